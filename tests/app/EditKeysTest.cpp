// The edit keys (Ctrl+X, Ctrl+C, Ctrl+V, Del, Ctrl+A, Ctrl+Y, Ctrl+I, Enter,
// Esc) typed where the user types them, in every window: the window's own
// action for the key, the main window's, or none takes it, and what the
// focused control holds afterwards. The keys are real key events sent to the
// focused control of the active window, the shortcut stage first, as the
// toolkit sends them. Rows: tests/data/input/edit-keys.txt.
#include "GoldenRows.h"
#include "MainFormTestSupport.h"

#include "app/away/AwayMessagesForm.h"
#include "app/dialogs/CharSelForm.h"
#include "app/dialogs/LoginForm.h"
#include "app/dialogs/ServerForm.h"
#include "app/mainform/MainFormControls.h"
#include "app/options/OptionsForm.h"
#include "app/refs/AttachForm.h"
#include "app/refs/TextRefForm.h"
#include "console/QvConsole/QvConsole.h"
#include "console/QvNumEdits.h"
#include "platform/gui/ActionList.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

#include <memory>
#include <vector>

namespace mainformtest {
namespace {

struct Row {
    QString Name, Window, Control, Text, Clipboard, MainLine, Key, Enabled, TextAfter,
        ClipboardAfter, MainLineAfter, Ran, WindowAfter;
};

std::vector<Row> Rows() {
    std::vector<Row> rows;
    for (const QList<QByteArray>& f : GoldenRows("input/edit-keys.txt", 13)) {
        QStringList s;
        for (const QByteArray& field : f) {
            s << QString::fromUtf8(field);
        }
        rows.push_back(
            {s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7], s[8], s[9], s[10], s[11], s[12]});
    }
    return rows;
}

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.Name.toStdString();
}

// A text with its selection ("[" and "]") or caret ("|", where it is not at
// the end) marked.
struct Marked {
    QString Text;
    int Anchor = 0;
    int Position = 0;
};

Marked Parse(const QString& field) {
    Marked m{field, 0, 0};
    if (const qsizetype open = field.indexOf(u'['); open >= 0) {
        const qsizetype close = field.indexOf(u']');
        m.Text = QString(field).remove(close, 1).remove(open, 1);
        m.Anchor = static_cast<int>(open);
        m.Position = static_cast<int>(close - 1);
    } else if (const qsizetype caret = field.indexOf(u'|'); caret >= 0) {
        m.Text = QString(field).remove(caret, 1);
        m.Anchor = m.Position = static_cast<int>(caret);
    } else {
        m.Anchor = m.Position = static_cast<int>(field.size());
    }
    return m;
}

QString Mark(QString text, int start, int end, int caret) {
    if (start != end) {
        return text.insert(end, u']').insert(start, u'[');
    }
    return caret == text.size() ? text : text.insert(caret, u'|');
}

// The line edit of a line edit, an editable combo box or a spin box.
QLineEdit* LineOf(QWidget* control) {
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        return line;
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        return combo->lineEdit();
    }
    if (qobject_cast<QAbstractSpinBox*>(control) != nullptr) {
        return control->findChild<QLineEdit*>();
    }
    return nullptr;
}

// Text, selection and caret of the control, marked; "-" for a control
// without a text.
QString MarkedText(QWidget* control) {
    if (QLineEdit* line = LineOf(control)) {
        const int start = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
        const int end = line->hasSelectedText() ? line->selectionEnd() : line->cursorPosition();
        return Mark(line->text(), start, end, line->cursorPosition());
    }
    QTextCursor cursor;
    QString text;
    if (auto* edit = qobject_cast<QTextEdit*>(control)) {
        cursor = edit->textCursor();
        text = edit->toPlainText();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        cursor = plain->textCursor();
        text = plain->toPlainText();
    } else {
        return QStringLiteral("-");
    }
    return Mark(text, cursor.selectionStart(), cursor.selectionEnd(), cursor.position());
}

// Gives the focused control the text: typed when it takes typing (so that it
// can be undone), set when it is read-only; then the selection.
void PutText(QWidget* control, const QString& field) {
    const Marked m = Parse(field);
    if (QLineEdit* line = LineOf(control)) {
        line->clear();
        if (line->isReadOnly()) {
            line->setText(m.Text);
        } else {
            QTest::keyClicks(QApplication::focusWidget(), m.Text);
        }
        line->setCursorPosition(m.Anchor);
        line->cursorForward(true, m.Position - m.Anchor);
        return;
    }
    auto* edit = qobject_cast<QTextEdit*>(control);
    ASSERT_NE(edit, nullptr) << control->objectName().toStdString();
    edit->clear();
    if (edit->isReadOnly()) {
        edit->setPlainText(m.Text);
    } else {
        QTest::keyClicks(edit, m.Text);
    }
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(m.Anchor);
    cursor.setPosition(m.Position, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

// The selected node of a tree, by its caption ("-": none).
void SelectNode(QTreeWidget* tree, const QString& caption) {
    tree->clearSelection();
    tree->setCurrentItem(nullptr);
    if (caption == u"-") {
        return;
    }
    const QList<QTreeWidgetItem*> found =
        tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1) << caption.toStdString();
    tree->setCurrentItem(found.first());
    found.first()->setSelected(true);
}

// The same in the main window's trees.
void SelectNode(TTreeView* tree, const QString& caption) {
    tree->clearSelection();
    tree->setCurrentIndex(QModelIndex());
    if (caption == u"-") {
        return;
    }
    std::vector<TTreeNode*> found;
    for (int i = 0; i < tree->RootCount(); ++i) {
        TTreeNode* root = tree->Root(i);
        for (int row = -1; row < root->ChildCount(); ++row) {
            TTreeNode* node = row < 0 ? root : root->Child(row);
            if (node->Text() == caption) {
                found.push_back(node);
            }
        }
    }
    ASSERT_EQ(found.size(), 1u) << caption.toStdString();
    tree->SelectNode(found.front());
}

QKeyCombination KeyOf(const QString& name) {
    if (name == u"Del") {
        return QKeyCombination(Qt::Key_Delete);
    }
    if (name == u"Enter") {
        return QKeyCombination(Qt::Key_Return);
    }
    if (name == u"Esc") {
        return QKeyCombination(Qt::Key_Escape);
    }
    return QKeySequence::fromString(name)[0];
}

class EditKeys : public MainFormTest, public ::testing::WithParamInterface<Row> {
protected:
    void TearDown() override {
        for (QPointer<QWidget>& dialog : dialogs_) {
            delete dialog.data();
        }
        MainFormTest::TearDown();
    }

    // Shows the window and makes it the active one.
    bool Activate(QWidget* window) {
        window->show();
        window->raise();
        window->activateWindow();
        return WaitUntil([&] { return QApplication::activeWindow() == window; });
    }

    // Opens the row's window over the main window and answers its control.
    QWidget* Open(TMainForm& f, const Row& row, QPointer<QWidget>& window) {
        const QString& name = row.Control;
        if (row.Window == u"main") {
            window = &f;
            return f.findChild<QWidget*>(name);
        }
        if (row.Window == u"editor") {
            f.AttachActionExecute();
            auto* editor = f.findChild<TAttachForm*>(QStringLiteral("AttachForm"));
            window = editor;
            if (name == u"ItemEdit") {
                editor->PageControl->setCurrentIndex(1);
                return editor->ItemEdit;
            }
            return editor->RefEdit;
        }
        if (row.Window == u"viewer") {
            auto* viewer =
                f.FindOrCreateForm<TTextRefForm>(QStringLiteral("TextRefForm"), [](QWidget* owner) {
                    return new TTextRefForm(owner);
                });
            window = viewer;
            return viewer->RefMemo;
        }
        if (row.Window == u"away") {
            f.ShowAwayMessages();
            auto* away = f.findChild<TAwayMessagesForm*>(QStringLiteral("AwayMessagesForm"));
            window = away;
            return away->MessagesEdit;
        }
        if (row.Window.startsWith(u"options:")) {
            f.OptionsActionExecute();
            auto* options = f.findChild<TOptionsForm*>(QStringLiteral("OptionsForm"));
            window = options;
            options->OptionsTreeView->setCurrentItem(options->FindNode(row.Window.mid(8)));
            return OptionsControl(*options, name);
        }
        return OpenModal(f, row, window);
    }

    QWidget* OptionsControl(TOptionsForm& options, const QString& name) {
        if (auto* page = options.FindFrame<TAutoConnectFrame>(); page && page->isVisible()) {
            return name == u"UserCombobox" ? static_cast<QWidget*>(page->UserCombobox)
                                           : page->TimesEdit;
        }
        if (auto* page = options.FindFrame<TLoggingFrame>(); page && page->isVisible()) {
            return page->FolderEdit;
        }
        if (auto* page = options.FindFrame<TAwayOptionsFrame>(); page && page->isVisible()) {
            return name == u"MessageEdit" ? static_cast<QWidget*>(page->MessageEdit)
                                          : page->IdleEdit;
        }
        if (auto* page = options.FindFrame<TSoundsFrame>(); page && page->isVisible()) {
            return page->FolderEdit;
        }
        if (auto* page = options.FindFrame<TFontsFrame>(); page && page->isVisible()) {
            return page->SampleEdits[0];
        }
        if (auto* page = options.FindFrame<TChatWindowFrame>(); page && page->isVisible()) {
            return name == u"TimestampEdit" ? static_cast<QWidget*>(page->TimestampEdit)
                                            : page->SpacingEdit;
        }
        return nullptr;
    }

    // The modal dialogs, shown as their callers run them, over the window.
    QWidget* OpenModal(TMainForm& f, const Row& row, QPointer<QWidget>& window) {
        QWidget* control = nullptr;
        if (row.Window == u"login") {
            auto* login =
                new TLoginForm(f.VLChat->DimensionList(), f.Logins, QString(), QString(), &f);
            login->UserCombobox->setEditText(QStringLiteral("kara"));
            control = row.Control == u"UserCombobox" ? static_cast<QWidget*>(login->UserCombobox)
                                                     : login->PasswordEdit;
            window = login;
        } else if (row.Window == u"dimension") {
            auto* server = new TServerForm(&f);
            server->HostEdit->setText(QStringLiteral("localhost"));
            server->PortEdit->setText(QStringLiteral("7012"));
            control = row.Control == u"NameEdit" ? static_cast<QWidget*>(server->NameEdit)
                                                 : server->PortEdit;
            window = server;
        } else if (row.Window == u"charsel") {
            auto* characters = new TCharSelForm(&f);
            characters->SetCharacters({QStringLiteral("Kara"), QStringLiteral("Zed")},
                                      QStringLiteral("Kara"));
            control = characters->CharacterCombobox;
            window = characters;
        }
        if (window) {
            window->setWindowModality(Qt::ApplicationModal);
            dialogs_.push_back(window);
        }
        return control;
    }

    // The enabled edit actions of the first action list the key meets that
    // has them (the window's own, else the main window's), brought up to date
    // as the key road does.
    static QString EnabledFor(QWidget* window, TMainForm& f) {
        std::vector<plat::TActionList*> lists = plat::ActionListsOf(window);
        if (window != &f) {
            for (plat::TActionList* list : plat::ActionListsOf(&f)) {
                lists.push_back(list);
            }
        }
        for (plat::TActionList* list : lists) {
            if (list->findChild<QAction*>(QStringLiteral("CutAction")) == nullptr) {
                continue;
            }
            QStringList enabled;
            for (const char* name : {"Cut", "Copy", "Paste", "Delete", "SelectAll", "Undo"}) {
                auto* action =
                    list->findChild<QAction*>(QLatin1String(name) + QLatin1String("Action"));
                list->UpdateAction(action);
                if (action->isEnabled()) {
                    enabled << QString::fromLatin1(name);
                }
            }
            return enabled.isEmpty() ? QStringLiteral("-") : enabled.join(u',');
        }
        return QStringLiteral("-");
    }

    std::vector<QPointer<QWidget>> dialogs_;
};

TEST_P(EditKeys, GoToTheCommandOfTheWindowTheyAreTypedInOrToTheFocusedControl) {
    const Row& row = GetParam();
    StoredRoot().WriteInteger(QStringLiteral("OnStartup"), 0);
    TMainForm& f = Create();
    ASSERT_TRUE(Activate(&f));
    f.EnableChatControls();
    f.AddFriend(QStringLiteral("Bob"), true, true);
    ProcessPosted();
    ASSERT_TRUE(f.InputEdit->hasFocus());
    const auto setClipboard = [](const QString& text) {
        if (text == u"-") {
            QGuiApplication::clipboard()->clear();
        } else {
            QGuiApplication::clipboard()->setText(text);
        }
    };
    setClipboard(row.Clipboard);
    if (row.MainLine != u"-") {
        PutText(f.InputEdit, row.MainLine);
    }

    QPointer<QWidget> window;
    QPointer<QWidget> control = Open(f, row, window);
    ASSERT_TRUE(control) << row.Control.toStdString();
    ASSERT_TRUE(window);
    ASSERT_TRUE(Activate(window));
    control->setEnabled(true);
    control->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return control->hasFocus(); })) << row.Control.toStdString();
    if (auto* tree = qobject_cast<QTreeWidget*>(control.data())) {
        SelectNode(tree, row.Text);
    } else if (auto* trees = qobject_cast<TTreeView*>(control.data())) {
        SelectNode(trees, row.Text);
    } else if (row.Text != u"-") {
        PutText(control, row.Text);
    }
    // Typing may have copied nothing, but the clipboard is set again to be sure.
    setClipboard(row.Clipboard);
    EXPECT_EQ(EnabledFor(window, f), row.Enabled);

    // What the key runs, by window.
    QStringList ran;
    const std::pair<const char*, QWidget*> forms[] = {
        {"main", &f},
        {"editor", f.findChild<TAttachForm*>(QStringLiteral("AttachForm"))},
        {"viewer", f.findChild<TTextRefForm*>(QStringLiteral("TextRefForm"))},
        {"away", f.findChild<TAwayMessagesForm*>(QStringLiteral("AwayMessagesForm"))}};
    for (const auto& [prefix, form] : forms) {
        for (plat::TActionList* list : plat::ActionListsOf(form)) {
            for (QAction* action : list->Actions()) {
                QString name = QLatin1String(prefix) + u'.' + action->objectName();
                name.remove(QRegularExpression(QStringLiteral("Action$")));
                QObject::connect(action, &QAction::triggered, list, [&ran, name] { ran << name; });
            }
        }
    }
    const QKeyCombination key = KeyOf(row.Key);
    QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
    ProcessPosted();

    EXPECT_EQ(ran.isEmpty() ? QStringLiteral("-") : ran.join(u','), row.Ran);
    if (row.TextAfter != u"-") {
        ASSERT_TRUE(control);
        EXPECT_EQ(MarkedText(control), row.TextAfter);
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text().isEmpty() ? QStringLiteral("-")
                                                             : QGuiApplication::clipboard()->text(),
              row.ClipboardAfter);
    if (row.MainLineAfter != u"-") {
        EXPECT_EQ(MarkedText(f.InputEdit), row.MainLineAfter);
    }
    const auto* editor = f.findChild<TAttachForm*>(QStringLiteral("AttachForm"));
    const QString after = row.Window != u"editor" && editor != nullptr && editor->isVisible()
                              ? QStringLiteral("editor")
                          : window && window->isVisible() ? QStringLiteral("open")
                                                          : QStringLiteral("closed");
    EXPECT_EQ(after, row.WindowAfter);
}

INSTANTIATE_TEST_SUITE_P(Rows, EditKeys, ::testing::ValuesIn(Rows()),
                         [](const auto& info) { return info.param.Name.toStdString(); });

} // namespace
} // namespace mainformtest

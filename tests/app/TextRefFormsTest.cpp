// The reference editor ("Attach Reference") and viewer ("Reference
// Information"): files, the save question, colours, edit actions, attaching,
// and received text shown as plain text.
#include "BoxAnswerer.h"
#include "GoldenRows.h"
#include "KitDriving.h"

#include "app/dialogs/DialogSupport.h"
#include "app/format/NamedColors.h"
#include "app/refs/AttachForm.h"
#include "app/refs/TextRefForm.h"
#include "app/rtf/Rtf.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/items/DkActionLink.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "dockkit/palettes/DkxColorPalette.h"
#include "dockkit/themes/DkThemedItem.h"
#include "dockkit/themes/DkThemedViewer.h"
#include "engine/VLBlob.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/MsgBox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

// The colour of the character at a position (none: the default colour).
std::optional<QRgb> ColorAt(const QTextDocument& document, int position) {
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);
    const QBrush brush = cursor.charFormat().foreground();
    if (brush.style() == Qt::NoBrush) {
        return std::nullopt;
    }
    return brush.color().rgb() & 0xFFFFFF;
}

// Which characters of a document are bold, as a string of 'B' and '.'.
QString BoldMap(const QTextDocument& document) {
    QString map;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            map += u'|';
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const bool bold = it.fragment().charFormat().fontWeight() >= QFont::Bold;
            map += QString(it.fragment().length(), bold ? u'B' : u'.');
        }
    }
    return map;
}

void Select(QTextEdit* edit, int from, int to) {
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The named colours, as the main window offers them.
struct NamedColorSet : TDkxColorSet {
    NamedColorSet() {
        SetSize(kNamedColorColumns, kNamedColorRows);
        OnGetColorInfo = [](TDkxCustomColorSet*, int col, int row, plat::TColor& color,
                            QString& name) {
            const TNamedColorCell cell = NamedColorAt(col, row);
            color = cell.Color;
            name = cell.Name;
        };
    }
};

class AttachFormTest : public ::testing::Test {
public:
    AttachFormTest() { Listen(); }
    ~AttachFormTest() override { delete form.data(); }

protected:
    // The file dialogs and OK's report go to the test.
    void Listen() {
        form->OpenDialog = [this](QWidget*) {
            ++OpenAsked;
            return OpenAnswer;
        };
        form->SaveDialog = [this](QWidget*) {
            ++SaveAsked;
            return SaveAnswer;
        };
        form->OnAttachReference = [this](TAttachForm*, const QByteArray& rtf, const QString& t) {
            Attached.push_back({rtf, t});
        };
    }
    void Type(const QString& text) {
        form->RefEdit->moveCursor(QTextCursor::End);
        form->RefEdit->insertPlainText(text);
    }
    QString Text() const { return form->RefEdit->toPlainText(); }
    QString Path(const QString& name) const { return dir.filePath(name); }
    // Deleting what the deferred deletion of a closed form left.
    bool Deleted() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return form.isNull();
    }

    QTemporaryDir dir;
    NamedColorSet colors;
    QPointer<TAttachForm> form = new TAttachForm(&colors);
    int OpenAsked = 0;
    int SaveAsked = 0;
    QString OpenAnswer;
    QString SaveAnswer;
    std::vector<std::pair<QByteArray, QString>> Attached;
    BoxAnswerer boxes;
};

} // namespace

TEST_F(AttachFormTest, SaveAndTheSaveChangesQuestion) {
    // Only the first activation moves the focus to the editor.
    form->FormActivate();
    EXPECT_EQ(form->focusWidget(), form->RefEdit);
    form->ItemEdit->setFocus();
    form->FormActivate();
    EXPECT_EQ(form->focusWidget(), form->ItemEdit);

    EXPECT_FALSE(form->SaveAction->isEnabled());
    Type(QStringLiteral("draft"));
    EXPECT_TRUE(form->SaveAction->isEnabled());
    boxes.ConfirmAnswer = plat::MsgResult::Cancel;
    form->NewActionExecute();
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Kind, plat::MsgKind::Confirmation);
    EXPECT_EQ(boxes.Boxes[0].Buttons, plat::MsgButtons::YesNoCancel);
    EXPECT_EQ(boxes.Boxes[0].Caption, QStringLiteral("Quorvel"));
    EXPECT_EQ(boxes.Boxes[0].Text, QStringLiteral("Save changes to current reference?"));
    EXPECT_EQ(Text(), QStringLiteral("draft"));

    // Yes, but the save dialog is cancelled: nothing is discarded.
    boxes.ConfirmAnswer = plat::MsgResult::Yes;
    form->OpenActionExecute();
    EXPECT_EQ(OpenAsked, 0);
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(form->FileName().isEmpty());

    // Yes with a file: saved, then replaced by the opened one.
    SaveAnswer = Path(QStringLiteral("a.ref"));
    ASSERT_TRUE(WriteBytes(Path(QStringLiteral("b.ref")), "{\\rtf1 from b\\par}"));
    OpenAnswer = Path(QStringLiteral("b.ref"));
    form->OpenActionExecute();
    EXPECT_TRUE(FileBytes(SaveAnswer).contains("draft"));
    EXPECT_EQ(Text(), QStringLiteral("from b"));
    EXPECT_EQ(form->FileName(), OpenAnswer);
    EXPECT_FALSE(form->Modified());
    EXPECT_FALSE(form->SaveAction->isEnabled());

    // Saving an opened file writes back to it without a dialog.
    Type(QStringLiteral("\nDamage:\t12"));
    form->SaveActionExecute();
    EXPECT_EQ(SaveAsked, 2);
    EXPECT_FALSE(form->Modified());
    QTextDocument saved;
    rtf::Read(FileBytes(OpenAnswer), saved);
    EXPECT_EQ(saved.toPlainText(), QStringLiteral("from b\nDamage:\t12"));

    // No discards the changes; the question names the file.
    Type(QStringLiteral(" changed"));
    boxes.ConfirmAnswer = plat::MsgResult::No;
    form->NewActionExecute();
    EXPECT_EQ(boxes.Boxes.back().Text, QStringLiteral("Save changes to b.ref?"));
    EXPECT_EQ(Text(), QString());
    EXPECT_TRUE(form->FileName().isEmpty());
    EXPECT_FALSE(form->Modified());

    // Nothing changed: no question.
    const size_t asked = boxes.Boxes.size();
    form->NewActionExecute();
    EXPECT_EQ(boxes.Boxes.size(), asked);
}

TEST_F(AttachFormTest, FailedSaveIsReportedAndKeepsTheText) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("gone")));
    OpenAnswer = Path(QStringLiteral("gone/r.ref"));
    ASSERT_TRUE(WriteBytes(OpenAnswer, "{\\rtf1 kept\\par}"));
    form->OpenActionExecute();
    Type(QStringLiteral(" and more"));
    ASSERT_TRUE(QDir(Path(QStringLiteral("gone"))).removeRecursively());

    boxes.ConfirmAnswer = plat::MsgResult::Yes;
    form->NewActionExecute();
    ASSERT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_EQ(boxes.Boxes[1].Kind, plat::MsgKind::Error);
    EXPECT_TRUE(boxes.Boxes[1].Text.startsWith(QStringLiteral("Cannot create file \"") +
                                               OpenAnswer + QStringLiteral("\". ")));
    EXPECT_EQ(Text(), QStringLiteral("kept and more"));
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->FileName(), OpenAnswer);
    form->SaveActionExecute();
    EXPECT_EQ(boxes.Boxes.size(), 3u);
    EXPECT_TRUE(form->SaveAction->isEnabled());
}

TEST_F(AttachFormTest, FailedSaveInAReadOnlyFolderLeavesTheOldFile) {
    const QString folder = Path(QStringLiteral("ro"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ro")));
    OpenAnswer = folder + QStringLiteral("/r.ref");
    ASSERT_TRUE(WriteBytes(OpenAnswer, "{\\rtf1 old\\par}"));
    form->OpenActionExecute();
    QFile::setPermissions(OpenAnswer, QFile::ReadOwner);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const bool writable = QFile(OpenAnswer).open(QIODevice::Append);
    if (!writable) {
        Type(QStringLiteral(" new"));
        form->SaveActionExecute();
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (writable) {
        GTEST_SKIP() << "permissions do not stop this user from writing";
    }
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Kind, plat::MsgKind::Error);
    EXPECT_EQ(Text(), QStringLiteral("old new"));
    EXPECT_EQ(FileBytes(OpenAnswer), QByteArray("{\\rtf1 old\\par}"));
}

TEST_F(AttachFormTest, OpenLoadsAFileOrReportsWhyItCannot) {
    OpenAnswer = QStringLiteral(QV_TEST_DATA_DIR "/rtf/richedit-old.rtf");
    form->OpenActionExecute();
    EXPECT_EQ(Text(), QStringLiteral("Lost Ring\nFound near the {old} well\\gate."));
    EXPECT_EQ(form->FileName(), OpenAnswer);
    EXPECT_FALSE(form->Modified());
    EXPECT_FALSE(form->RefEdit->document()->isUndoAvailable());

    // A missing, an oversized and a cancelled choice leave everything as it was.
    OpenAnswer = Path(QStringLiteral("missing.ref"));
    form->OpenActionExecute();
    QFile big(Path(QStringLiteral("big.ref")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(TAttachForm::kMaxFileSize + 1));
    big.close();
    OpenAnswer = big.fileName();
    form->OpenActionExecute();
    OpenAnswer.clear();
    form->OpenActionExecute();
    ASSERT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_TRUE(boxes.Boxes[0].Text.startsWith(QStringLiteral("Cannot open file \"") +
                                               Path(QStringLiteral("missing.ref"))));
    EXPECT_TRUE(boxes.Boxes[1].Text.contains(QStringLiteral("too large")));
    EXPECT_EQ(boxes.Boxes[1].Kind, plat::MsgKind::Error);
    EXPECT_TRUE(Text().startsWith(QStringLiteral("Lost Ring")));
    EXPECT_TRUE(form->FileName().endsWith(QStringLiteral("richedit-old.rtf")));

    // A text file that is not rich text opens as it is.
    OpenAnswer = Path(QStringLiteral("notes.ref"));
    ASSERT_TRUE(WriteBytes(OpenAnswer, "line <one>\r\nline {two}\r\n"));
    form->OpenActionExecute();
    EXPECT_EQ(Text(), QStringLiteral("line <one>\nline {two}\n"));
}

TEST_F(AttachFormTest, OkAttachesOnlyAReferenceThatIsNotBlank) {
    form->show();
    Type(QStringLiteral(" \t\n  \n"));
    form->OkButton->click();
    EXPECT_TRUE(Attached.empty());
    EXPECT_TRUE(Deleted());

    form = new TAttachForm(&colors);
    Listen();
    form->show();
    Type(QStringLiteral("Lost Ring\tx"));
    form->RefEdit->insertPlainText(QString(QChar::LineSeparator) + QStringLiteral("same line\n"));
    Type(QStringLiteral("next"));
    form->OkButton->click();
    ASSERT_EQ(Attached.size(), 1u);
    EXPECT_EQ(Attached[0].second, QStringLiteral("Lost Ring\tx"));
    EXPECT_TRUE(Deleted());

    // What was attached loads into a new editor as it was.
    form = new TAttachForm(&colors);
    form->LoadReference(Attached[0].first);
    EXPECT_EQ(form->RefEdit->document()->firstBlock().text(),
              QStringLiteral("Lost Ring\tx") + QChar::LineSeparator + QStringLiteral("same line"));
    EXPECT_TRUE(form->Modified());
}

// New, Save and Open with their captions, then "Font Color" with "Default",
// a blank line and the palette; the bar stays on its dock above the pages.
TEST_F(AttachFormTest, ToolBarOfFileCommandsAndFontColourCannotFloat) {
    TDkxToolbar* bar = form->DkxToolbar1;
    QStringList names;
    for (int i = 0; i < bar->Items()->Count(); ++i) {
        const TDkCustomItem* item = bar->Items()->Items(i);
        names << (item->HasStyle(dk::StyleSeparator) ? QStringLiteral("-") : item->objectName());
        if (item->Action() != nullptr) {
            EXPECT_EQ(item->DisplayMode(), nbdmImageAndText) << names.last().toStdString();
        }
    }
    EXPECT_EQ(names, QStringList({"NewAction", "SaveAction", "OpenAction", "-", "ColorItem"}));
    ASSERT_EQ(form->ColorItem->Count(), 3);
    EXPECT_EQ(form->ColorItem->Items(0), form->ClrDefault);
    const auto* blank = qobject_cast<TDkSeparatorItem*>(form->ColorItem->Items(1));
    ASSERT_NE(blank, nullptr);
    EXPECT_TRUE(blank->Blank());
    EXPECT_EQ(form->ColorItem->Items(2), form->ColorPalette);
    EXPECT_EQ(form->ColorItem->Hint(), QStringLiteral("Select Color"));
    EXPECT_EQ(form->ClrDefault->Hint(), QStringLiteral("Default Color"));

    form->show();
    EXPECT_EQ(kittest::TipOver(form->ColorItem), QStringLiteral("Select Color"))
        << "the window shows its bar's hints";
    EXPECT_EQ(bar->CurrentDock(), form->TopDock);
    EXPECT_EQ(bar->DockMode(), dmCannotFloat);
    bar->ToggleDockedFloating(); // what a double click on its handle does
    EXPECT_FALSE(bar->Floating());
    EXPECT_EQ(bar->CurrentDock(), form->TopDock);
    const auto top = [&](const QWidget* w) { return w->mapTo(form.data(), QPoint()).y(); };
    EXPECT_GE(top(form->PageControl), top(bar) + bar->height());
}

// One Escape closes the open "Font Color" drop-down together with the bar's
// menu loop, and leaves the button unpressed; the next one closes the form,
// as Cancel does.
TEST_F(AttachFormTest, EscapeClosesTheFontColourDropDownAndTheNextOneTheForm) {
    form->show();
    form->activateWindow();
    form->RefEdit->setFocus();
    form->RefEditEnter();
    QCoreApplication::processEvents();
    const std::optional<QPoint> at = kittest::CenterOf(form->ColorItem);
    ASSERT_TRUE(at.has_value());
    bool opened = false;
    bool endedByEscape = false;
    kittest::Later([&] { kittest::Mouse(QEvent::MouseButtonRelease, *at); });
    kittest::Later([&] {
        const TDkView* loop = dk::RunningMenuLoopView();
        opened = loop != nullptr && loop->PopupOpenFor(kittest::ViewerOf(form->ColorItem));
        kittest::Key(Qt::Key_Escape, Qt::NoModifier, {}, form);
        loop = dk::RunningMenuLoopView();
        endedByEscape = loop == nullptr || loop->ModalEnded();
    });
    kittest::Later([] { kittest::EndMenus(); });
    kittest::Mouse(QEvent::MouseButtonPress, *at);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(endedByEscape) << "one Escape closes the drop-down and the bar's loop";
    ASSERT_FALSE(Deleted());
    EXPECT_TRUE(form->isVisible());
    const TDkView* bar = kittest::ViewShowing(form->ColorItem);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->OpenWindow(), nullptr);

    kittest::Key(Qt::Key_Escape, Qt::NoModifier, {}, form);
    EXPECT_TRUE(Deleted()) << "the next Escape is the form's";
}

// New, Save and Open show the main window's images of those commands with
// their captions.
TEST_F(AttachFormTest, FileCommandsShowTheirImagesAndCaptions) {
    form->show();
    const struct {
        QAction* action;
        int image;
    } rows[] = {{form->NewAction, 21}, {form->SaveAction, 23}, {form->OpenAction, 22}};
    EXPECT_EQ(form->DkxToolbar1->Images(), form->MenuImages);
    for (const auto& row : rows) {
        const std::string name = row.action->objectName().toStdString();
        EXPECT_EQ(dk::ActionImageIndex(*row.action), row.image) << name;
        EXPECT_FALSE(form->MenuImages->Image(row.image).isNull()) << name;
        const auto* item = form->DkxToolbar1->Items()->findChild<TDkCustomItem*>(
            row.action->objectName(), Qt::FindDirectChildrenOnly);
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(item->ImageIndex(), row.image) << name;
        const auto* viewer = dynamic_cast<TDkxItemViewer*>(kittest::ViewerOf(item));
        ASSERT_NE(viewer, nullptr) << name;
        EXPECT_TRUE(viewer->ThemedImageShown() && viewer->CaptionShown()) << name;
    }
}

TEST_F(AttachFormTest, FontColourOfTheSelectionAndThePalette) {
    EXPECT_EQ(form->PaletteColor(), plat::clNone);
    EXPECT_EQ(kittest::DrawnImage(form->ColorItem, true).pixelColor(0, 15),
              plat::ToQColor(plat::clBtnShadow));
    EXPECT_EQ(form->ColorPalette->ColorSet(), &colors);
    EXPECT_FALSE(form->ColorItem->Enabled());
    form->RefEditEnter();
    EXPECT_TRUE(form->ColorItem->Enabled());
    Type(QStringLiteral("abc def"));
    Select(form->RefEdit, 4, 7);
    form->ColorPalette->HandleClickCell(4, 4); // "Red"
    EXPECT_EQ(form->PaletteColor(), plat::RGB(255, 0, 0));
    EXPECT_FALSE(form->ClrDefault->Checked());
    EXPECT_EQ(kittest::DrawnImage(form->ColorItem, true).pixelColor(8, 14), QColor(255, 0, 0));
    EXPECT_EQ(ColorAt(*form->RefEdit->document(), 3), std::nullopt);
    EXPECT_EQ(ColorAt(*form->RefEdit->document(), 4), 0xFF0000u);
    EXPECT_EQ(ColorAt(*form->RefEdit->document(), 6), 0xFF0000u);

    // A palette colour equal to the default colour checks "Default" too.
    form->ColorPalette->HandleClickCell(0, 0); // "Black"
    EXPECT_TRUE(form->ClrDefault->Checked());
    EXPECT_EQ(ColorAt(*form->RefEdit->document(), 4), 0x000000u);
    form->ColorPalette->HandleClickCell(1, 4); // "Blue"
    EXPECT_FALSE(form->ClrDefault->Checked());
    form->ClrDefault->Click();
    EXPECT_TRUE(form->ClrDefault->Checked());
    EXPECT_EQ(form->PaletteColor(), TAttachForm::kDefaultColor);
    EXPECT_EQ(ColorAt(*form->RefEdit->document(), 4), std::nullopt);

    // Without a selection the colour is the typing colour.
    form->RefEdit->moveCursor(QTextCursor::End);
    form->ColorPalette->HandleClickCell(2, 3); // "Sky"
    form->RefEdit->insertPlainText(QStringLiteral("!"));
    EXPECT_EQ(ColorAt(*form->RefEdit->document(), 7), 0x30D7FFu);

    // The palette follows the colour where the selection starts.
    Select(form->RefEdit, 7, 8);
    form->SyncColor();
    EXPECT_EQ(form->PaletteColor(), plat::RGB(0x30, 0xD7, 0xFF));
    Select(form->RefEdit, 1, 8);
    form->SyncColor();
    EXPECT_EQ(form->PaletteColor(), TAttachForm::kDefaultColor);
    form->RefEditExit();
    EXPECT_FALSE(form->ColorItem->Enabled());
}

// Paste, through the menu or the editor's own key, takes plain text only;
// an example page offers Copy and Select All only.
TEST_F(AttachFormTest, EditActionsActOnTheEditorOfTheMenu) {
    auto* mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b>bold</b>"));
    mime->setText(QStringLiteral("bold"));
    QApplication::clipboard()->setMimeData(mime);
    Type(QStringLiteral("hello world"));
    Select(form->RefEdit, 0, 5);
    form->UpdateActions(form->RefEdit);
    form->PasteAction->trigger();
    form->RefEdit->paste();
    EXPECT_EQ(Text(), QStringLiteral("boldbold world"));
    EXPECT_EQ(BoldMap(*form->RefEdit->document()), QString(14, u'.'));

    Select(form->ItemEdit, 0, 5);
    form->UpdateActions(form->ItemEdit);
    EXPECT_EQ(form->PopupComponent(), form->ItemEdit);
    EXPECT_FALSE(form->PasteAction->isEnabled() || form->CutAction->isEnabled() ||
                 form->DeleteAction->isEnabled() || form->UndoAction->isEnabled());
    form->CopyAction->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), form->ItemEdit->toPlainText().left(5));
}

TEST(ReferenceDialogs, AskForReferenceFilesOnly) {
    QTemporaryDir dir;
    std::vector<QString> titles;
    dlg::ScopedModalRunner runner([&](QDialog& dialog) {
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        EXPECT_NE(files, nullptr);
        titles.push_back(dialog.windowTitle());
        EXPECT_EQ(files->nameFilters(), QStringList{QStringLiteral("ZELVO References (*.ref)")});
        EXPECT_EQ(files->defaultSuffix(), QStringLiteral("ref"));
        EXPECT_FALSE(files->testOption(QFileDialog::DontConfirmOverwrite));
        if (files->acceptMode() == QFileDialog::AcceptOpen) {
            EXPECT_EQ(files->fileMode(), QFileDialog::ExistingFile);
            return int(QDialog::Rejected);
        }
        files->setDirectory(dir.path());
        files->selectFile(QStringLiteral("new"));
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(RunOpenReferenceDialog(nullptr), QString());
    EXPECT_EQ(RunSaveReferenceDialog(nullptr), dir.filePath(QStringLiteral("new.ref")));
    EXPECT_EQ(titles, (std::vector<QString>{QStringLiteral("Select ZELVO Reference:"),
                                            QStringLiteral("Save ZELVO Reference as:")}));
}

// Each reference replaces the one shown before; labels up to the first colon
// are bold, and nothing is a link or a picture.
TEST(TextRefForm, ShowsReceivedTextPlainWithBoldLabels) {
    TTextRefForm form;
    form.ShowReference(QStringLiteral("Old: reference\nwith: lines"));
    for (const auto& row : GoldenRows("format/references.txt", 3)) {
        SCOPED_TRACE(row[0].constData());
        form.ShowReference(QString::fromLatin1(row[0]));
        EXPECT_EQ(form.RefMemo->toPlainText(), QString::fromLatin1(row[1]));
        EXPECT_EQ(BoldMap(*form.RefMemo->document()), QString::fromLatin1(row[2]));
        for (QTextBlock block = form.RefMemo->document()->begin(); block.isValid();
             block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                EXPECT_FALSE(it.fragment().charFormat().isAnchor());
                EXPECT_FALSE(it.fragment().charFormat().isImageFormat());
            }
        }
    }
}

TEST(TextRefForm, ReceivedTabsAreBlanksAndOnlyCopyAndSelectAllAct) {
    TTextRefForm form;
    EXPECT_EQ(form.objectName(), QStringLiteral("TextRefForm"));
    TTextBlob blob;
    blob.SetText("Name:\tSword");
    form.ShowReference(TTextRefForm::ReferenceText(blob));
    EXPECT_FALSE(form.CopyAction->isEnabled() || form.SelectAllAction->isEnabled());
    form.InputPopupMenuPopup();
    EXPECT_TRUE(form.SelectAllAction->isEnabled());
    EXPECT_FALSE(form.CopyAction->isEnabled());
    form.SelectAllAction->trigger();
    form.InputPopupMenuPopup();
    ASSERT_TRUE(form.CopyAction->isEnabled());
    form.CopyAction->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Name: Sword"));
    for (QAction* a :
         {form.CutAction, form.PasteAction, form.DeleteAction, form.UndoAction, form.RedoAction}) {
        EXPECT_FALSE(a->isEnabled());
    }
}

// The input line: its keys and history, and sending what it holds to the
// current target, with the attached reference when there is one.
#include "app/mainform/MainForm.h"

#include "app/common/Actions.h"
#include "app/format/ColorCodes.h"
#include "app/mainform/MainFormControls.h"
#include "app/rtf/Rtf.h"
#include "engine/VLBlob.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Guarded.h"

#include <QAction>
#include <QKeyEvent>
#include <QListWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace {

// Hands the key releases of a widget to a handler.
class KeyUpFilter : public QObject {
public:
    KeyUpFilter(QObject* parent, std::function<void(QKeyEvent*)> handler)
        : QObject(parent), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease) {
            handler_(static_cast<QKeyEvent*>(event));
        }
        return false;
    }

private:
    std::function<void(QKeyEvent*)> handler_;
};

} // namespace

void TMainForm::CreateInputAndAway() {
    AwayAction =
        MakeAction(ActionList1, QStringLiteral("AwayAction"), QStringLiteral("Set Yourself Away"),
                   {}, -1, [this] { AwayActionExecute(); });
    AwayMessagesAction = MakeAction(ActionList1, QStringLiteral("AwayMessagesAction"),
                                    QStringLiteral("Away Messages"), {}, -1,
                                    [this] { AwayMessagesActionExecute(); });
    AwayActionUpdate();
    AwayMessagesActionUpdate();

    InputEdit->OnKeyDown = [this](TRichEdit* sender, QKeyEvent* key, bool& handled) {
        InputEditKeyDown(sender, key, handled);
    };
    plat::ConnectGuarded(AwayTimer, &QTimer::timeout, this, [this] { AwayTimerTimer(); });
    plat::ConnectGuarded(RefListView, &QListWidget::itemDoubleClicked, this,
                         [this] { RefListViewDblClick(); });
    RefListView->installEventFilter(new KeyUpFilter(
        RefListView, [this](QKeyEvent* key) { plat::Guarded([&] { RefListViewKeyUp(key); }); }));
}

void TMainForm::RefListViewDblClick() {
    if (RefListView->count() >= 1) {
        AttachActionExecute();
    }
}

void TMainForm::RefListViewKeyUp(QKeyEvent* key) {
    if (key->key() == Qt::Key_Delete) {
        DropReference();
    }
}

void TMainForm::InputEditKeyDown(TRichEdit*, QKeyEvent* Key, bool& Handled) {
    const bool shift = Key->modifiers().testFlag(Qt::ShiftModifier);
    switch (Key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Shift+Enter is left to the editor: a line break inside the message.
        if (!shift) {
            Handled = true;
            InputEditReturn();
        }
        return;
    case Qt::Key_Up:
        if (shift) {
            Handled = true;
            ShowHistoryLine(InputHistory.Previous());
        }
        return;
    case Qt::Key_Down:
        if (shift) {
            Handled = true;
            ShowHistoryLine(InputHistory.Next());
        }
        return;
    case Qt::Key_Escape: {
        Handled = true;
        // Emptied; what is typed next keeps the chosen colour.
        const plat::TColor color = InputEdit->TypingColor();
        InputEdit->clear();
        InputEdit->SetTypingColor(color);
        return;
    }
    default:
        break;
    }
    // A command always starts in the default colour. The typed character
    // counts, not the key that produced it, whatever the keyboard layout.
    if (Key->text() == QLatin1String("/") && InputEdit->textCursor().selectionStart() == 0) {
        InputEdit->SetTypingColor(DefaultTypingColor());
    }
}

void TMainForm::InputEditReturn() {
    // Taken now: away mode may empty the line while the text is sent.
    const QString plain = InputEdit->toPlainText();
    if (!plain.isEmpty()) {
        const plat::TColor defaultColor = DefaultTypingColor();
        QString text;
        {
            const TUpdateLock lock(*this);
            text = EncodeColors(ColoredCharacters(*InputEdit->document(), defaultColor),
                                defaultColor, AttachedReference.has_value());
        }
        if (text.startsWith(u'/')) {
            ParseCommand(text);
        } else {
            const QString& target = target_->Name();
            switch (target_->Kind()) {
            case tkPublicGroup:
                SendGroupMessage(target, text);
                break;
            case tkPrivateGroup:
                SendPrivateGroupMessage(target, text);
                break;
            case tkCharacter:
                SendTell(target, text);
                break;
            case tkNone:
                AddSystemLine(QStringLiteral("Please select a recipient for your message"));
                break;
            }
        }
        InputHistory.Add(plain);
    }
    InputEdit->clear();
    InputEdit->SetTypingColor(DefaultTypingColor());
}

void TMainForm::ShowHistoryLine(const QString& line) {
    InputEdit->setPlainText(line);
    QTextCursor cursor = InputEdit->textCursor();
    cursor.movePosition(QTextCursor::End);
    InputEdit->setTextCursor(cursor);
}

// --- sending ---------------------------------------------------------------------

std::unique_ptr<TTextBlob> TMainForm::ReferenceAttachment() {
    if (!AttachedReference) {
        return nullptr;
    }
    auto blob = std::make_unique<TTextBlob>();
    blob->SetValue(0);
    blob->SetText(plat::ToCp1252(EncodeReference(*AttachedReference)));
    return blob;
}

void TMainForm::MessageSent(bool withReference, bool mayCancelAway) {
    if (withReference) {
        DropReference();
    }
    Away.Touch();
    if (mayCancelAway && Away && Settings.AwayAutoCancel) {
        SetBack();
    }
}

bool TMainForm::SendTell(const QString& target, const QString& text) {
    // The automatic away reply never takes the user's reference along.
    const std::unique_ptr<TTextBlob> blob = Away.AutoReplying() ? nullptr : ReferenceAttachment();
    if (!VLChat->SendPrivateMessage(plat::ToCp1252(target), plat::ToCp1252(text), blob.get())) {
        AddErrorLine(QStringLiteral("Unknown character: ") + EscapeMarkup(target));
        return false;
    }
    ShowLine(formatter_.TellSent(target, text, blob.get()));
    MessageSent(blob != nullptr, !Away.AutoReplying());
    return true;
}

void TMainForm::SendGroupMessage(const QString& group, const QString& text) {
    const std::unique_ptr<TTextBlob> blob = ReferenceAttachment();
    VLChat->SendGroupMessage(plat::ToCp1252(group), plat::ToCp1252(text), blob.get());
    MessageSent(blob != nullptr, true);
}

bool TMainForm::SendPrivateGroupMessage(const QString& group, const QString& text) {
    const std::unique_ptr<TTextBlob> blob = ReferenceAttachment();
    if (!VLChat->SendPrivateGroupMessage(plat::ToCp1252(group), plat::ToCp1252(text), blob.get())) {
        // A private group is named by its owner's character.
        AddErrorLine(QStringLiteral("Unknown character: ") + EscapeMarkup(group));
        return false;
    }
    MessageSent(blob != nullptr, true);
    return true;
}

void TMainForm::DropReference() {
    AttachedReference.reset();
    RefListView->clear();
    RefListView->hide();
}

QString TMainForm::EncodeReference(const QByteArray& richText) {
    QTextDocument document;
    rtf::Read(richText, document);
    const plat::TColor defaultColor = DefaultTypingColor();
    return EncodeColors(ColoredCharacters(document, defaultColor), defaultColor, false);
}

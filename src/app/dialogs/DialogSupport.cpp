#include "app/dialogs/DialogSupport.h"

#include "platform/gui/MsgBox.h"
#include "platform/gui/Screens.h"
#include "platform/gui/WindowManager.h"

#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QLayout>
#include <QLineEdit>
#include <QProxyStyle>

#include <algorithm>
#include <initializer_list>

namespace dlg {

namespace {

QString ProgramTitle() {
    return QStringLiteral("Quorvel");
}

} // namespace

int RunModal(QDialog& dialog) {
    // A copy: the runner may end its scope or open another while it runs.
    if (const ModalRunner runner = ScopedModalRunner::Current()) {
        return runner(dialog);
    }
    return plat::ExecModal(dialog);
}

void SetSortedItems(QComboBox* combo, QStringList items) {
    std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    combo->clear();
    combo->addItems(items);
}

void InformationBox(QWidget* parent, const QString& text) {
    plat::InformationBox(parent, ProgramTitle(), text);
}

void ErrorBox(QWidget* parent, const QString& text) {
    plat::ErrorBox(parent, ProgramTitle(), text);
}

bool ConfirmationBox(QWidget* parent, const QString& text) {
    return plat::ConfirmationBox(parent, ProgramTitle(), text, plat::MsgButtons::YesNo) ==
           plat::MsgResult::Yes;
}

namespace {

class PasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return u'*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void CenterOnScreen(QWidget& window) {
    const QWidget* owner =
        window.parentWidget() != nullptr ? window.parentWidget()->window() : nullptr;
    const plat::Screens& screens = plat::CurrentScreens();
    const plat::TRect area = owner != nullptr
                                 ? screens.RectForRect(plat::TRect(owner->frameGeometry()), true)
                                 : screens.PrimaryRect(true);
    if (area.Width() <= 0 || area.Height() <= 0) {
        return;
    }
    const QRect work = area.ToQRect();
    QRect frame = window.frameGeometry();
    frame.moveCenter(work.center());
    // Too large for the area: its title bar stays in reach.
    frame.moveLeft(std::max(frame.left(), work.left()));
    frame.moveTop(std::max(frame.top(), work.top()));
    window.move(frame.topLeft());
}

namespace {

class CenterOnShow final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The first time it is shown by the program (not brought back by
        // the user); where the user moves it later is theirs.
        if (event->type() == QEvent::Show && !event->spontaneous() && watched->isWidgetType()) {
            CenterOnScreen(*static_cast<QWidget*>(watched));
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void CenterWhenShown(QWidget& window) {
    window.installEventFilter(new CenterOnShow(&window));
}

void SetDialogBorder(QDialog& dialog, bool helpButton) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (helpButton) {
        flags |= Qt::WindowContextHelpButtonHint;
    }
    dialog.setWindowFlags(flags);
    if (dialog.layout() != nullptr) {
        dialog.layout()->setSizeConstraint(QLayout::SetFixedSize);
    }
}

QLineEdit* NewPasswordEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    auto* style = new PasswordStyle;
    style->setParent(edit);
    edit->setStyle(style);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

namespace {

void SetTextColorIn(QWidget& widget, plat::TColor color,
                    std::initializer_list<QPalette::ColorGroup> groups) {
    QPalette palette = widget.palette();
    const QColor c = plat::ToQColor(color);
    for (const QPalette::ColorGroup group : groups) {
        palette.setColor(group, QPalette::Text, c);
        palette.setColor(group, QPalette::WindowText, c);
    }
    widget.setPalette(palette);
}

} // namespace

void SetTextColor(QWidget& widget, plat::TColor color) {
    SetTextColorIn(widget, color, {QPalette::Active, QPalette::Inactive, QPalette::Disabled});
}

void SetEnabledTextColor(QWidget& widget, plat::TColor color) {
    SetTextColorIn(widget, color, {QPalette::Active, QPalette::Inactive});
}

} // namespace dlg

#include "app/dialogs/DialogSupport.h"

#include "platform/gui/MsgBox.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QProxyStyle>
#include <QScreen>

#include <algorithm>

namespace dlg {

namespace {

QString programTitle() {
    return QStringLiteral("Quorvel");
}

} // namespace

int RunModal(QDialog& dialog) {
    // A copy: the runner may end its scope or open another while it runs.
    if (const ModalRunner runner = ScopedModalRunner::Current()) {
        return runner(dialog);
    }
    return dialog.exec();
}

void SetSortedItems(QComboBox* combo, QStringList items) {
    std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    combo->clear();
    combo->addItems(items);
}

void InformationBox(QWidget* parent, const QString& text) {
    plat::InformationBox(parent, programTitle(), text);
}

void ErrorBox(QWidget* parent, const QString& text) {
    plat::ErrorBox(parent, programTitle(), text);
}

bool ConfirmationBox(QWidget* parent, const QString& text) {
    return plat::ConfirmationBox(parent, programTitle(), text, plat::MsgButtons::YesNo) ==
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
    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
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

void SetTextColor(QWidget& widget, plat::TColor color) {
    QPalette palette = widget.palette();
    const QColor c = plat::ToQColor(color);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Text, c);
        palette.setColor(group, QPalette::WindowText, c);
    }
    widget.setPalette(palette);
}

} // namespace dlg

#include "platform/gui/MsgBox.h"

#include "platform/gui/WindowManager.h"

#include <QMessageBox>

namespace plat {

namespace {

QMessageBox::Icon IconOf(MsgKind kind) {
    switch (kind) {
    case MsgKind::Information:
        return QMessageBox::Information;
    case MsgKind::Confirmation:
        return QMessageBox::Question;
    case MsgKind::Error:
        return QMessageBox::Critical;
    case MsgKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString MsgBoxText(QStringView text) {
    QString result = text.toString();
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(u'\r', u'\n');
    return result;
}

MsgResult MessageBox(QWidget* parent, MsgKind kind, const QString& caption, const QString& text,
                     MsgButtons buttons) {
    const MsgBoxRequest request{kind, caption, MsgBoxText(text), buttons};
    if (const MsgBoxHandler& handler = ScopedMsgBoxHandler::Current()) {
        return handler(request);
    }

    QMessageBox box(IconOf(kind), request.Caption, request.Text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    MsgResult closed = MsgResult::Ok;
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        closed = MsgResult::No;
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        closed = MsgResult::Cancel;
        break;
    }
    ExecModal(box);
    const QAbstractButton* clicked = box.clickedButton();
    switch (clicked != nullptr ? box.standardButton(const_cast<QAbstractButton*>(clicked))
                               : QMessageBox::NoButton) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    default:
        return closed;
    }
}

} // namespace plat

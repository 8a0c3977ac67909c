#pragma once
// Message boxes: error, information and confirmation, always showing their
// text as plain text (texts may come from the chat service). Captions are
// passed by the caller.

#include "platform/core/ScopedOverride.h"

#include <QString>
#include <QStringView>

#include <functional>

class QWidget;

namespace plat {

enum class MsgKind { Plain, Information, Confirmation, Error };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

struct MsgBoxRequest {
    MsgKind Kind;
    QString Caption;
    QString Text; // line breaks already turned into "\n"
    MsgButtons Buttons;
};

using MsgBoxHandler = std::function<MsgResult(const MsgBoxRequest&)>;

// Shows a modal box and returns the button chosen. Closing a box without a
// button gives Cancel, No or Ok, whichever the box has (in that order).
MsgResult MessageBox(QWidget* parent, MsgKind kind, const QString& caption, const QString& text,
                     MsgButtons buttons = MsgButtons::Ok);

inline MsgResult ErrorBox(QWidget* parent, const QString& caption, const QString& text) {
    return MessageBox(parent, MsgKind::Error, caption, text, MsgButtons::Ok);
}
inline MsgResult InformationBox(QWidget* parent, const QString& caption, const QString& text) {
    return MessageBox(parent, MsgKind::Information, caption, text, MsgButtons::Ok);
}
inline MsgResult ConfirmationBox(QWidget* parent, const QString& caption, const QString& text,
                                 MsgButtons buttons = MsgButtons::YesNo) {
    return MessageBox(parent, MsgKind::Confirmation, caption, text, buttons);
}

// CR LF, and a CR on its own, become "\n".
QString MsgBoxText(QStringView text);

// While alive, boxes are answered by the handler instead of being shown
// (tests). Handlers nest; the innermost answers.
struct MsgBoxHandlerTag;
using ScopedMsgBoxHandler = ScopedOverride<MsgBoxHandler, MsgBoxHandlerTag>;

} // namespace plat

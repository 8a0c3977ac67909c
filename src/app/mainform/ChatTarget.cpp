#include "app/mainform/ChatTarget.h"

#include <QLabel>
#include <QWidget>

TChatTarget::TChatTarget(QWidget& panel, QLabel& label) : panel_(panel), label_(label) {}

void TChatTarget::Set(TTargetKind kind, const QString& name) {
    kind_ = kind;
    name_ = name;
    ShowLabel();
}

void TChatTarget::DropPrivateGroup(const QString& group) {
    if (kind_ == tkPrivateGroup && QString::compare(name_, group, Qt::CaseInsensitive) == 0) {
        kind_ = tkNone;
        HideLabel();
    }
}

void TChatTarget::SetLabel(const QString& text) {
    panel_.setVisible(!text.isEmpty());
    label_.setText(text);
    panel_.adjustSize();
}

void TChatTarget::ShowLabel() {
    if (kind_ != tkNone) {
        SetLabel(name_ + u':');
    }
}

#include "console/QvEdits.h"

#include "platform/core/Guarded.h"
#include "platform/gui/Drawing.h"

#include <QEvent>

TQvCustomEdit::TQvCustomEdit(QWidget* parent) : QLineEdit(parent) {
    SetAlignment(taRightJustify);
    ApplyColor();
}

plat::TColor TQvCustomEdit::GetColor(int Index) const {
    switch (Index) {
    case 0:
        return enabledColor_;
    case 1:
        return disabledColor_;
    case 2:
        return current_;
    case 3:
        return readOnlyColor_;
    default:
        throw plat::Exception(QStringLiteral("Internal error in TQvCustomEdit.GetColor"));
    }
}

void TQvCustomEdit::SetColor(int Index, plat::TColor Value) {
    switch (Index) {
    case 0:
        if (Value != enabledColor_) {
            enabledColor_ = Value;
            if (isEnabled()) {
                ApplyColor();
            }
        }
        break;
    case 1:
        if (Value != disabledColor_) {
            disabledColor_ = Value;
            if (!isEnabled()) {
                ApplyColor();
            }
        }
        break;
    case 2:
        SetColor(isEnabled() ? 0 : 1, Value);
        break;
    case 3:
        if (Value != readOnlyColor_) {
            readOnlyColor_ = Value;
            if (isEnabled()) {
                ApplyColor();
            }
        }
        break;
    default:
        throw plat::Exception(QStringLiteral("Internal error in TQvCustomEdit.SetColor"));
    }
}

void TQvCustomEdit::SetAlignment(TAlignment value) {
    alignment_ = value;
    const Qt::Alignment horizontal = value == taLeftJustify    ? Qt::AlignLeft
                                     : value == taRightJustify ? Qt::AlignRight
                                                               : Qt::AlignHCenter;
    setAlignment(horizontal | Qt::AlignVCenter);
}

void TQvCustomEdit::ApplyColor() {
    current_ = !isEnabled() ? disabledColor_ : isReadOnly() ? readOnlyColor_ : enabledColor_;
    plat::SetControlColor(*this, current_);
}

void TQvCustomEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::ReadOnlyChange) {
        plat::Guarded([&] { ApplyColor(); });
    }
}

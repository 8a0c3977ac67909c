#include "effects/gui/controls/VfxInfoLabel.h"

#include "effects/gui/application/VfxApplication.h"
#include "platform/core/Guarded.h"
#include "platform/gui/AccelText.h"

namespace fx {

QString VfxApplyNumberFormat(const QString& value, const QString& mask) {
    QString result = value;
    qsizetype p = value.size() + 1; // insertion point, 1-based, moving left
    for (qsizetype i = mask.size() - 1; i >= 0; --i) {
        const QChar c = mask[i];
        if (c == u'0') {
            if (p >= 2) {
                --p;
            } else {
                result.prepend(u'0');
            }
        } else {
            result.insert(p - 1, c);
        }
    }
    return result;
}

namespace {

bool IsComparedOnRefresh(TVfxInfoType info) {
    return info == itNumLock || info == itCapsLock || info == itScroll || info == itCurrentDateTime;
}

} // namespace

bool TVfxInformationLabel::IsNumericItem(TVfxInfoType info) {
    return info == itCurrentDiskFree32 || info == itCurrentDiskSize32 ||
           (info >= itVersion && info <= itFreeUserRes) ||
           (info >= itMajorVerNr32 && info <= itPlatformID32) || info == itProcessorCont32 ||
           info == itDOSVersion || info == itCPUSpeed;
}

TVfxInformationLabel::TVfxInformationLabel(QWidget* parent)
    : TVfxBaseLabel(parent), dateTimeFormat_(QStringLiteral("ddddd")) {
    TVfxApplication& app = VfxApplication();
    timer_ = app.AddTimer(1000, [this](void*) { plat::Guarded([&] { Refresh(); }); });
    if (timer_ == 0) {
        throw EOutOfResources(QStringLiteral("Not enough timers available"));
    }
    app.SetEnabled(timer_, false);
}

TVfxInformationLabel::~TVfxInformationLabel() {
    TVfxApplication& app = VfxApplication();
    app.SetEnabled(timer_, false);
    app.RemoveTimer(timer_);
}

void TVfxInformationLabel::SetInfo(TVfxInfoType value) {
    if (info_ == value) {
        return;
    }
    info_ = value;
    lastValue_.clear();
    TVfxApplication& app = VfxApplication();
    if (value == itNumLock || value == itCapsLock || value == itScroll) {
        app.SetInterval(timer_, 250);
        app.SetEnabled(timer_, true);
    } else if (value == itCurrentDateTime) {
        app.SetInterval(timer_, 1000);
        app.SetEnabled(timer_, true);
    } else {
        app.SetEnabled(timer_, false);
    }
    Changed();
}

void TVfxInformationLabel::SetUseStandardCaption(bool value) {
    if (useStandardCaption_ != value) {
        useStandardCaption_ = value;
        Changed();
    }
}

void TVfxInformationLabel::SetInsertColon(int8_t value) {
    if (insertColon_ != value) {
        insertColon_ = value;
        Changed();
    }
}

void TVfxInformationLabel::SetInsertTabs(int8_t value) {
    if (insertTabs_ != value) {
        insertTabs_ = value;
        Changed();
    }
}

void TVfxInformationLabel::SetDividerValue(int32_t value) {
    if (dividerValue_ != value) {
        dividerValue_ = value;
        Changed();
    }
}

void TVfxInformationLabel::SetDateTimeFormat(const QString& value) {
    if (dateTimeFormat_ != value) {
        dateTimeFormat_ = value;
        if (info_ == itCurrentDateTime) {
            Changed();
        }
    }
}

void TVfxInformationLabel::SetNumberFormat(const QString& value) {
    if (numberFormat_ != value) {
        numberFormat_ = value;
        if (IsNumericItem(info_)) {
            Changed();
        }
    }
}

void TVfxInformationLabel::Changed() {
    AdjustBounds();
    Invalidate();
}

QString TVfxInformationLabel::CaptionPart() const {
    QString text = useStandardCaption_ ? VfxGetInfoCaption(info_) : Caption();
    if (insertColon_ == 0) {
        text += u':';
    }
    for (int i = 1; i <= insertTabs_; ++i) {
        text += u'\t';
        if (insertColon_ == i) {
            text += u':';
        }
    }
    if (insertTabs_ == 0 && !Caption().isEmpty()) {
        text += u' ';
    }
    return text;
}

QString TVfxInformationLabel::ValueOf() const {
    QString value =
        VfxGetInfo(info_, static_cast<uint32_t>(dividerValue_), dateTimeFormat_, VfxSystemInfo());
    if (IsNumericItem(info_) && !numberFormat_.isEmpty()) {
        value = VfxApplyNumberFormat(value, numberFormat_);
    }
    return value;
}

QString TVfxInformationLabel::GetLabelText() const {
    if (refreshing_) {
        return refreshedText_;
    }
    const QString value = ValueOf();
    if (IsComparedOnRefresh(info_)) {
        lastValue_ = value;
    }
    return CaptionPart() + value;
}

void TVfxInformationLabel::Refresh() {
    const QString value = ValueOf();
    if (IsComparedOnRefresh(info_) && value == lastValue_) {
        return; // nothing changed: no repaint
    }
    lastValue_ = value;
    // Sized by the text just built, without asking for the value again.
    refreshedText_ = CaptionPart() + value;
    refreshing_ = true;
    AdjustBounds();
    refreshing_ = false;
    Invalidate();
}

unsigned TVfxInformationLabel::TextFormat() const {
    return plat::DT_SINGLELINE | plat::DT_EXPANDTABS;
}

} // namespace fx

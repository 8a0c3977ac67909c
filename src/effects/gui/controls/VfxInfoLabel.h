#pragma once

#include "effects/core/VfxSysInfo.h"
#include "effects/gui/controls/VfxControls.h"

#include <QString>

#include <cstdint>

namespace fx {

// Passes a number through a digit mask, walked from its end: each "0"
// takes one digit of the value (or puts a "0" in front when the digits are
// used up), any other character is put in between. Digits left when the mask
// ends stay in front: "0,000,000" with 987654 gives "0,987,654", "0,000"
// gives "987,654".
QString VfxApplyNumberFormat(const QString& value, const QString& mask);

// A label showing one item of system information as caption, separator and
// value, refreshed from an application timer for the lock keys (every 250
// ms) and the date and time (every second).
class TVfxInformationLabel : public TVfxBaseLabel {
    Q_OBJECT
public:
    // Raises EOutOfResources "Not enough timers available" when the
    // application object has no timer left.
    explicit TVfxInformationLabel(QWidget* parent = nullptr);
    ~TVfxInformationLabel() override;

    TVfxInfoType Info() const { return info_; }
    void SetInfo(TVfxInfoType value);
    // The caption part is the item's standard caption instead of Caption.
    bool UseStandardCaption() const { return useStandardCaption_; }
    void SetUseStandardCaption(bool value);
    // 0: a colon right after the caption; n > 0: after the n-th tab;
    // otherwise none.
    int8_t InsertColon() const { return insertColon_; }
    void SetInsertColon(int8_t value);
    // TAB characters between caption and value.
    int8_t InsertTabs() const { return insertTabs_; }
    void SetInsertTabs(int8_t value);
    // Divider of numeric items (0 counts as 1).
    int32_t DividerValue() const { return dividerValue_; }
    void SetDividerValue(int32_t value);
    // Format of the date and time item.
    const QString& DateTimeFormat() const { return dateTimeFormat_; }
    void SetDateTimeFormat(const QString& value);
    // Digit mask of the numeric items (VfxApplyNumberFormat); empty: none.
    const QString& NumberFormat() const { return numberFormat_; }
    void SetNumberFormat(const QString& value);

    // The text shown: caption part, separator, value.
    QString GetLabelText() const override;

    // The refresh tick: rebuilds the text and repaints only when it changed.
    void Refresh();
    // The application timer of the label.
    uint16_t TimerId() const { return timer_; }

    // True for the items the digit mask applies to.
    static bool IsNumericItem(TVfxInfoType info);

protected:
    unsigned TextFormat() const override;

private:
    QString CaptionPart() const;
    QString ValueOf() const;
    void Changed();

    TVfxInfoType info_ = itUser;
    bool useStandardCaption_ = true;
    int8_t insertColon_ = -1;
    int8_t insertTabs_ = 1;
    int32_t dividerValue_ = 0;
    QString dateTimeFormat_;
    QString numberFormat_;
    uint16_t timer_ = 0;
    // The value last shown of the items compared on refresh.
    mutable QString lastValue_;
    QString refreshedText_;
    bool refreshing_ = false;
};

} // namespace fx

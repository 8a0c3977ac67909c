#pragma once

#include "console/QvEdits.h"

#include <QString>

#include <cstdint>

// A number could not be converted to or from its floating-point form.
using TEditException = plat::Exception;
PLAT_DECLARE_EXCEPTION(EInvalidOp, TEditException);

// An edit for numbers: typed keys and pasted text are checked against the
// text the edit would hold afterwards.
class TQvCustomNumEdit : public TQvCustomEdit {
    Q_OBJECT
public:
    static constexpr int opInsert = 0;
    static constexpr int opDelete = 1;

    explicit TQvCustomNumEdit(QWidget* parent = nullptr);

    virtual bool CanChange(int Operation, const QString& Text);
    virtual bool IsValidText(const QString& Text) const = 0;
    virtual int64_t GetValue() const = 0;
    virtual void SetValue(int64_t Value) = 0;
    virtual long double GetAsFloat() const = 0;
    virtual void SetAsFloat(long double Value) = 0;

    int64_t Value() const { return GetValue(); }
    long double AsFloat() const { return GetAsFloat(); }

    // Pastes the clipboard's text, cut at its first line break, when the
    // result would be valid.
    void PasteText();

protected:
    // Whether a typed character may reach the edit.
    virtual bool AcceptChar(QChar c) = 0;

    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void DeleteChecked();
};

// An edit holding a signed 64-bit value within a range, with a blank value.
class TQvCustomIntegerEdit : public TQvCustomNumEdit {
    Q_OBJECT
public:
    explicit TQvCustomIntegerEdit(QWidget* parent = nullptr);

    bool IsValidText(const QString& Text) const override;
    int64_t GetValue() const override;
    void SetValue(int64_t Value) override;
    long double GetAsFloat() const override;
    void SetAsFloat(long double Value) override;

    int64_t MinValue() const { return minValue_; }
    void SetMinValue(int64_t value);
    int64_t MaxValue() const { return maxValue_; }
    void SetMaxValue(int64_t value);
    int64_t BlankValue() const { return blankValue_; }
    void SetBlankValue(int64_t value);
    bool UseBlank() const { return useBlank_; }
    void SetUseBlank(bool value);

protected:
    bool AcceptChar(QChar c) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ApplyBlankRule();
    void ApplyRangeRule();

    int64_t minValue_;
    int64_t maxValue_;
    int64_t blankValue_ = 0;
    bool useBlank_ = false;
};

class TQvIntegerEdit : public TQvCustomIntegerEdit {
    Q_OBJECT
public:
    using TQvCustomIntegerEdit::TQvCustomIntegerEdit;
};

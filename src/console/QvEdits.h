#pragma once

#include "platform/core/Exception.h"
#include "platform/gui/Colors.h"

#include <QLineEdit>

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A single-line edit whose colour follows its enabled and read-only state,
// with a text alignment.
class TQvCustomEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TQvCustomEdit(QWidget* parent = nullptr);

    QString PackageVersion() const { return QStringLiteral("1.09"); }
    void SetPackageVersion(const QString&) {}

    // Colours by index: 0 EnabledColor, 1 DisabledColor, 2 Color, 3 ReadOnlyColor.
    plat::TColor GetColor(int Index) const;
    void SetColor(int Index, plat::TColor Value);

    plat::TColor EnabledColor() const { return GetColor(0); }
    void SetEnabledColor(plat::TColor value) { SetColor(0, value); }
    plat::TColor DisabledColor() const { return GetColor(1); }
    void SetDisabledColor(plat::TColor value) { SetColor(1, value); }
    plat::TColor Color() const { return GetColor(2); }
    void SetColor(plat::TColor value) { SetColor(2, value); }
    plat::TColor ReadOnlyColor() const { return GetColor(3); }
    void SetReadOnlyColor(plat::TColor value) { SetColor(3, value); }

    TAlignment Alignment() const { return alignment_; }
    virtual void SetAlignment(TAlignment value);

    void SetEnabled(bool value) { setEnabled(value); }
    void SetReadOnly(bool value) { setReadOnly(value); }

protected:
    void changeEvent(QEvent* event) override;
    // Puts the colour for the current state in place.
    void ApplyColor();

private:
    plat::TColor enabledColor_ = plat::clWindow;
    plat::TColor disabledColor_ = plat::clBtnFace;
    plat::TColor readOnlyColor_ = plat::clWindow;
    plat::TColor current_ = plat::clWindow;
    TAlignment alignment_ = taRightJustify;
};

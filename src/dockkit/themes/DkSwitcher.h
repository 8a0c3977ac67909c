#pragma once
// The component through which a form picks the theme and hears of theme and
// colour changes.

#include "dockkit/common/DkEvent.h"
#include "dockkit/themes/DkNexus.h"

#include <QObject>
#include <QString>

class TDkxSwitcher : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = dk::TDkEvent<QObject*>;

    // Listens to the nexus in force (there must be one).
    explicit TDkxSwitcher(QObject* owner = nullptr);
    // Stops listening; the last switcher in design mode selects "Default".
    ~TDkxSwitcher() override;
    TDkxSwitcher(const TDkxSwitcher&) = delete;
    TDkxSwitcher& operator=(const TDkxSwitcher&) = delete;

    // The current theme's name; writing selects a theme by name.
    QString Theme() const;
    void SetTheme(const QString& name);
    bool EnableXPStyles() const;
    // Only a changed value reaches the nexus.
    void SetEnableXPStyles(bool value);
    TFlatMenuStyle FlatMenuStyle() const;
    // Always written through (the colours are recomputed and the theme
    // reselected even for the same value).
    void SetFlatMenuStyle(TFlatMenuStyle value);

    // A switcher being designed on a form rather than running in it.
    bool Designing() const { return designing_; }
    void SetDesigning(bool value) { designing_ = value; }

    // How many switchers exist.
    static int LiveCount();

    // The kit colours were recomputed (the desk's colours changed).
    TNotifyEvent OnSysColorChange;
    TNotifyEvent OnThemeChange;

protected:
    bool event(QEvent* event) override;

private:
    bool designing_ = false;
};

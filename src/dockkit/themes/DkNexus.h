#pragma once
// The nexus: the registry of theme classes by name, the current theme, the
// kit-wide colours every theme reads, and the lists of themed windows and
// listeners it tells when the theme or the colours change.
//
// One nexus is in force at a time: the program creates one at start, before
// any themed window, with the class it registers as "Default"; a test creates
// its own (it replaces the outer one for its lifetime). With the nexus in
// force there is always a current theme.
//
// A switch sends, synchronously and in list order, kThemeChangingMessage to
// every themed window, kListenerThemeMessage to every listener, then
// kThemeChangedMessage to every themed window; a recomputation of the kit
// colours ends with kListenerColorsMessage to every listener.

#include "dockkit/themes/DkTheme.h"

#include "platform/gui/Colors.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QWidget;

enum TFlatMenuStyle { fmsAuto, fmsEnable, fmsDisable };

namespace dk {

// The values every theme reads; recomputed by the nexus.
struct TDkxKitValues {
    // The display shows fewer than 12 bits per pixel.
    bool LoColor = false;
    // The button face resolves to white.
    bool HiContrast = false;
    // Either of the two: no blended images or shadows.
    bool NoBlending = false;
    plat::TColor ToolbarColor = plat::clBtnFace;
    plat::TColor ToolbarTextColor = plat::clBtnText;
    plat::TColor MenuColor = plat::clMenu;
    plat::TColor MenuTextColor = plat::clMenuText;
    bool FlatMenus = false;
    // The desk's visual styles are in use (never here: the themes draw the
    // classic way).
    bool XPStylesActive = false;
};

// The visual-style classes the nexus keeps a handle of, in this order.
constexpr int kVisualStyleClassCount = 8;
extern const char* const kVisualStyleClasses[kVisualStyleClassCount];

} // namespace dk

class TDkxNexus : public QObject {
    Q_OBJECT
public:
    // Registers `defaultClass` as "Default", selects it and computes the kit
    // colours; from now until its end this nexus is the one in force.
    explicit TDkxNexus(dk::TDkxThemeClass defaultClass, QObject* parent = nullptr);
    ~TDkxNexus() override;
    TDkxNexus(const TDkxNexus&) = delete;
    TDkxNexus& operator=(const TDkxNexus&) = delete;

    // The nexus in force, or null when none is.
    static TDkxNexus* Instance();

    // --- Registry and switching ---
    // Appends a record; the name is cut to 255 characters.
    void RegisterTheme(const QString& name, dk::TDkxThemeClass themeClass);
    // Selects by name, ignoring case, searching from the last registered
    // record; an unknown name selects the first ("Default"). The drawing
    // resources are built anew and the new theme is created and prepared
    // before the old one goes (when that fails, the old one stays and the
    // error propagates); the kit colours are brought up to date for the new
    // theme before the windows hear of it.
    void SelectTheme(const QString& name);
    QString GetCurrentThemeName() const;
    TDkxTheme& CurrentTheme() const { return *current_; }
    int RegisteredCount() const { return static_cast<int>(registry_.size()); }
    QString RegisteredName(int index) const;

    // --- Who hears of changes (each added once; removal when present) ---
    void AddThemedWindow(QObject* window);
    void RemoveThemedWindow(QObject* window);
    void AddThemeListener(QObject* listener);
    void RemoveThemeListener(QObject* listener);

    // --- Settings ---
    bool EnableXPStyles() const { return enableXPStyles_; }
    // Stores a changed value; with visual styles on the desk it reopens them,
    // recomputes the colours and reselects the theme.
    void SetEnableXPStyles(bool value);
    TFlatMenuStyle FlatMenuStyle() const { return flatMenuStyle_; }
    // Stores, recomputes the colours and reselects the theme, also when the
    // value is the same.
    void SetFlatMenuStyle(TFlatMenuStyle value);

    // --- Kit values ---
    const dk::TDkxKitValues& Values() const { return values_; }
    // The handle of a visual-style class (0: none is open).
    quintptr VisualStyleHandle(int index) const;

    // --- Desk changes ---
    // With a Qt GUI application the nexus hears of them itself (the
    // application palette, the screens, the platform theme and style).
    // The system colours changed.
    void SysColorChanged();
    // The display now shows `bitsPerPixel` bits per pixel.
    void DisplayChanged(int bitsPerPixel);
    // The desk's visual style changed.
    void VisualStyleChanged();

private:
    struct Record {
        QString name;
        dk::TDkxThemeClass themeClass;
    };

    void RecomputeColors(bool notify);
    void RecomputeContrast();
    void OpenVisualStyles();
    void CloseVisualStyles();
    void Broadcast(const std::vector<QPointer<QObject>>& list, int msg);

    std::vector<Record> registry_;
    std::unique_ptr<TDkxTheme> current_;
    std::vector<QPointer<QObject>> windows_;
    std::vector<QPointer<QObject>> listeners_;
    bool enableXPStyles_ = true;
    TFlatMenuStyle flatMenuStyle_ = fmsAuto;
    dk::TDkxKitValues values_;
    quintptr handles_[dk::kVisualStyleClassCount] = {};
    TDkxNexus* previous_;
    std::unique_ptr<QObject> deskWatcher_;
};

namespace dk {

// The nexus in force; raises plat::Exception "No theme nexus is in force"
// when there is none (a themed window made before the program's nexus).
TDkxNexus& Nexus();
// The current theme of the nexus in force.
TDkxTheme& CurrentTheme();
// The kit values of the nexus in force; the classic defaults when there is none.
const TDkxKitValues& KitValues();

void RegisterTheme(const QString& name, TDkxThemeClass themeClass);
void SelectTheme(const QString& name);
QString GetCurrentThemeName();
void AddThemedWindow(QObject* window);
void RemoveThemedWindow(QObject* window);
void AddThemeListener(QObject* listener);
void RemoveThemeListener(QObject* listener);

// Asks the object its effective background colour (kBackColorMessage); an
// object that does not answer gives a widget's window colour, anything else
// clNone.
plat::TColor GetEffectiveColor(QObject* control);
// Asks the object its view kind (kViewKindMessage); 0 for null or no answer.
unsigned GetViewKind(QObject* view);

// Gives a child control that follows its parent's colour (its dynamic
// property "ParentColor" is true) the colour as its window and base colour;
// top-level windows and other children keep theirs.
void PassParentColor(QWidget* child, plat::TColor color);
// The same for every direct child of the window.
void PassParentColorToChildren(QWidget* window, plat::TColor color);

} // namespace dk

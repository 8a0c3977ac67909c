#include "dockkit/themes/DkNexus.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkMessages.h"
#include "dockkit/themes/DkDeskWatcher.h"
#include "dockkit/themes/DkThemeUtils.h"

#include "platform/core/Exception.h"
#include "platform/gui/KitMessage.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace dk {

const char* const kVisualStyleClasses[kVisualStyleClassCount] = {
    "BUTTON", "SCROLLBAR", "REBAR", "TOOLBAR", "WINDOW", "COMBOBOX", "EXPLORERBAR", "STATUS"};

} // namespace dk

namespace {

constexpr int kMaxThemeNameLength = 255;

TDkxNexus*& InForce() {
    static TDkxNexus* nexus = nullptr;
    return nexus;
}

int ScreenBitsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->depth() : 32;
}

// The desk offers no visual-style library: the themes draw the classic way.
bool VisualStylesAvailable() {
    return false;
}

void AddOnce(std::vector<QPointer<QObject>>& list, QObject* object) {
    if (object == nullptr) {
        return;
    }
    // Entries of objects gone meanwhile are dropped on the way.
    std::erase_if(list, [](const QPointer<QObject>& p) { return p.isNull(); });
    if (std::find(list.begin(), list.end(), object) == list.end()) {
        list.emplace_back(object);
    }
}

void RemoveFrom(std::vector<QPointer<QObject>>& list, QObject* object) {
    std::erase_if(list, [object](const QPointer<QObject>& p) { return p.isNull() || p == object; });
}

} // namespace

TDkxNexus::TDkxNexus(dk::TDkxThemeClass defaultClass, QObject* parent)
    : QObject(parent), previous_(InForce()) {
    // In force from the start: themes read the kit values while they prepare.
    InForce() = this;
    try {
        values_.LoColor = ScreenBitsPerPixel() < 12;
        RecomputeContrast();
        RegisterTheme(QStringLiteral("Default"), std::move(defaultClass));
        SelectTheme(QStringLiteral("Default"));
        OpenVisualStyles();
        RecomputeColors(true);
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
            deskWatcher_ = std::make_unique<dk::TDkxDeskWatcher>(*this);
        }
        dk::RealiseKitMenuFont();
    } catch (...) {
        InForce() = previous_;
        throw;
    }
}

TDkxNexus::~TDkxNexus() {
    deskWatcher_.reset();
    CloseVisualStyles();
    while (!registry_.empty()) {
        registry_.pop_back();
    }
    windows_.clear();
    listeners_.clear();
    current_.reset();
    if (InForce() == this) {
        InForce() = previous_;
    }
}

TDkxNexus* TDkxNexus::Instance() {
    return InForce();
}

// --- Registry and switching -----------------------------------------------------------

void TDkxNexus::RegisterTheme(const QString& name, dk::TDkxThemeClass themeClass) {
    registry_.push_back({name.left(kMaxThemeNameLength), std::move(themeClass)});
}

QString TDkxNexus::RegisteredName(int index) const {
    return registry_.at(static_cast<size_t>(index)).name;
}

void TDkxNexus::SelectTheme(const QString& name) {
    if (registry_.empty()) {
        return;
    }
    size_t index = registry_.size() - 1;
    while (index > 0 && registry_[index].name.compare(name, Qt::CaseInsensitive) != 0) {
        --index;
    }
    const Record& record = registry_[index];
    dk::RecreateDrawingResources();
    // The new theme is complete before the old one goes, so a failure leaves
    // a current theme in place.
    std::unique_ptr<TDkxTheme> theme = record.themeClass ? record.themeClass() : nullptr;
    if (theme == nullptr) {
        throw plat::Exception(
            QStringLiteral("Theme class \"%1\" created no theme").arg(record.name));
    }
    theme->SetName(record.name);
    theme->Prepare();
    current_ = std::move(theme);
    // Windows recompute their colours on the change message: the kit colours
    // that depend on the theme must be current by then.
    RecomputeColors(false);
    Broadcast(windows_, dk::kThemeChangingMessage);
    Broadcast(listeners_, dk::kListenerThemeMessage);
    Broadcast(windows_, dk::kThemeChangedMessage);
}

QString TDkxNexus::GetCurrentThemeName() const {
    return current_ != nullptr ? current_->Name() : QString();
}

void TDkxNexus::Broadcast(const std::vector<QPointer<QObject>>& list, int msg) {
    // A round goes over the list as it was when the round began; whoever
    // leaves it (or is destroyed) meanwhile is skipped.
    // NOLINTNEXTLINE(performance-unnecessary-copy-initialization): listeners may change list
    const std::vector<QPointer<QObject>> round = list;
    for (const QPointer<QObject>& object : round) {
        if (object.isNull() || std::find(list.begin(), list.end(), object) == list.end()) {
            continue;
        }
        plat::SendMessage(object.data(), msg);
    }
}

// --- Lists -------------------------------------------------------------------------

void TDkxNexus::AddThemedWindow(QObject* window) {
    AddOnce(windows_, window);
}

void TDkxNexus::RemoveThemedWindow(QObject* window) {
    RemoveFrom(windows_, window);
}

void TDkxNexus::AddThemeListener(QObject* listener) {
    AddOnce(listeners_, listener);
}

void TDkxNexus::RemoveThemeListener(QObject* listener) {
    RemoveFrom(listeners_, listener);
}

// --- Settings --------------------------------------------------------------------------

void TDkxNexus::SetEnableXPStyles(bool value) {
    if (value == enableXPStyles_) {
        return;
    }
    enableXPStyles_ = value;
    if (VisualStylesAvailable()) {
        CloseVisualStyles();
        OpenVisualStyles();
        RecomputeColors(true);
        SelectTheme(GetCurrentThemeName());
    }
}

void TDkxNexus::SetFlatMenuStyle(TFlatMenuStyle value) {
    flatMenuStyle_ = value;
    RecomputeColors(true);
    SelectTheme(GetCurrentThemeName());
}

quintptr TDkxNexus::VisualStyleHandle(int index) const {
    return index >= 0 && index < dk::kVisualStyleClassCount ? handles_[index] : 0;
}

// --- Kit values --------------------------------------------------------------------------

void TDkxNexus::RecomputeContrast() {
    values_.HiContrast = plat::ColorToRGB(plat::clBtnFace) == 0xFFFFFF;
    values_.NoBlending = values_.LoColor || values_.HiContrast;
}

void TDkxNexus::OpenVisualStyles() {
    values_.XPStylesActive = false;
    if (!VisualStylesAvailable() || !enableXPStyles_) {
        return;
    }
    // A desk with visual styles would open one handle per class here.
}

void TDkxNexus::CloseVisualStyles() {
    std::fill(std::begin(handles_), std::end(handles_), 0);
    values_.XPStylesActive = false;
}

void TDkxNexus::RecomputeColors(bool notify) {
    values_.ToolbarColor = plat::clBtnFace;
    values_.ToolbarTextColor = plat::clBtnText;
    // Visual-style tool bar colours (GetBooleanValue(ValueVisualStyleColors))
    // need an open style: never the case here.
    if (dk::FlatMenusOn()) {
        if (flatMenuStyle_ != fmsDisable) {
            values_.FlatMenus = true;
            values_.MenuColor = plat::clMenu;
            values_.MenuTextColor = plat::clMenuText;
        } else {
            values_.FlatMenus = false;
            values_.MenuColor = values_.ToolbarColor;
            values_.MenuTextColor = values_.ToolbarTextColor;
        }
    } else if (flatMenuStyle_ == fmsEnable) {
        values_.FlatMenus = true;
        values_.MenuColor = plat::clWindow;
        values_.MenuTextColor = plat::clWindowText;
    } else {
        values_.FlatMenus = false;
        values_.MenuColor = plat::clMenu;
        values_.MenuTextColor = plat::clMenuText;
    }
    if (notify) {
        Broadcast(listeners_, dk::kListenerColorsMessage);
    }
}

// --- Desk changes ----------------------------------------------------------------------

void TDkxNexus::SysColorChanged() {
    RecomputeContrast();
    SelectTheme(GetCurrentThemeName());
    RecomputeColors(true);
}

void TDkxNexus::DisplayChanged(int bitsPerPixel) {
    values_.LoColor = bitsPerPixel < 12;
    SysColorChanged();
}

void TDkxNexus::VisualStyleChanged() {
    CloseVisualStyles();
    RecomputeContrast();
    OpenVisualStyles();
    SelectTheme(GetCurrentThemeName());
    RecomputeColors(true);
}

// --- Free functions --------------------------------------------------------------------

namespace dk {

TDkxNexus& Nexus() {
    TDkxNexus* nexus = TDkxNexus::Instance();
    if (nexus == nullptr) {
        throw plat::Exception(QStringLiteral("No theme nexus is in force"));
    }
    return *nexus;
}

TDkxTheme& CurrentTheme() {
    return Nexus().CurrentTheme();
}

const TDkxKitValues& KitValues() {
    static const TDkxKitValues classic;
    const TDkxNexus* nexus = TDkxNexus::Instance();
    return nexus != nullptr ? nexus->Values() : classic;
}

void RegisterTheme(const QString& name, TDkxThemeClass themeClass) {
    Nexus().RegisterTheme(name, std::move(themeClass));
}

void SelectTheme(const QString& name) {
    Nexus().SelectTheme(name);
}

QString GetCurrentThemeName() {
    return Nexus().GetCurrentThemeName();
}

void AddThemedWindow(QObject* window) {
    Nexus().AddThemedWindow(window);
}

void RemoveThemedWindow(QObject* window) {
    // Windows may outlive the nexus at the program's end.
    if (TDkxNexus* nexus = TDkxNexus::Instance()) {
        nexus->RemoveThemedWindow(window);
    }
}

void AddThemeListener(QObject* listener) {
    Nexus().AddThemeListener(listener);
}

void RemoveThemeListener(QObject* listener) {
    if (TDkxNexus* nexus = TDkxNexus::Instance()) {
        nexus->RemoveThemeListener(listener);
    }
}

plat::TColor GetEffectiveColor(QObject* control) {
    if (control == nullptr) {
        return plat::clNone;
    }
    plat::KitMessageEvent event(kBackColorMessage);
    QCoreApplication::sendEvent(control, &event);
    if (event.Result != 0) {
        return static_cast<plat::TColor>(event.WParam);
    }
    if (const auto* widget = qobject_cast<const QWidget*>(control)) {
        return plat::FromQColor(widget->palette().color(QPalette::Window));
    }
    return plat::clNone;
}

unsigned GetViewKind(QObject* view) {
    return static_cast<unsigned>(plat::SendMessage(view, kViewKindMessage));
}

void PassParentColor(QWidget* child, plat::TColor color) {
    if (child == nullptr || child->isWindow() || !child->property("ParentColor").toBool()) {
        return;
    }
    QPalette palette = child->palette();
    const QColor qcolor = plat::ToQColor(color);
    if (palette.color(QPalette::Window) == qcolor && palette.color(QPalette::Base) == qcolor &&
        child->testAttribute(Qt::WA_SetPalette)) {
        return;
    }
    palette.setColor(QPalette::Window, qcolor);
    palette.setColor(QPalette::Base, qcolor);
    child->setPalette(palette);
}

void PassParentColorToChildren(QWidget* window, plat::TColor color) {
    for (QWidget* child : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        PassParentColor(child, color);
    }
}

} // namespace dk

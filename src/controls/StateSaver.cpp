#include "controls/StateSaver.h"

#include "platform/core/Guarded.h"
#include "platform/core/Registry.h"
#include "platform/gui/Metrics.h"
#include "platform/gui/MsgBox.h"
#include "platform/gui/Screens.h"
#include "platform/gui/WindowManager.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWidget>

#include <optional>
#include <vector>

namespace {

const QString kTop = QStringLiteral("Top");
const QString kLeft = QStringLiteral("Left");
const QString kHeight = QStringLiteral("Height");
const QString kWidth = QStringLiteral("Width");
const QString kMaximized = QStringLiteral("Maximized");

void ReadInto(const plat::Registry::Key& key, TStateSaver::TStoredState& state,
              bool defaultMaximized) {
    // A value of another type reads as absent. Any number is kept as read:
    // the bounds rule drops what no screen could show.
    state.Bounds.Top = key.ReadInteger(kTop);
    state.Bounds.Left = key.ReadInteger(kLeft);
    state.Bounds.Height = key.ReadInteger(kHeight);
    state.Bounds.Width = key.ReadInteger(kWidth);
    const std::optional<bool> maximized = key.ReadBool(kMaximized);
    state.Maximized = maximized.value_or(defaultMaximized);
    state.MaximizedStored = maximized.has_value();
}

void WriteFrom(plat::Registry::Key& key, const TStateSaver::TStoredState& state) {
    if (!state.Maximized) {
        const auto write = [&key](const QString& name, const std::optional<int64_t>& value) {
            if (value) {
                key.WriteInteger(name, static_cast<int32_t>(*value));
            }
        };
        write(kTop, state.Bounds.Top);
        write(kLeft, state.Bounds.Left);
        write(kHeight, state.Bounds.Height);
        write(kWidth, state.Bounds.Width);
    }
    key.WriteBool(kMaximized, state.Maximized);
}

// Maximized as the window system carried it out. Without a window manager
// the state is only what the program asked for: the window counts as
// maximized while it covers its monitor's work area.
bool ShowsMaximized(const QWidget& form) {
    if (!form.windowState().testFlag(Qt::WindowMaximized)) {
        return false;
    }
    if (plat::WindowManagerRuns()) {
        return true;
    }
    const QRect frame = form.frameGeometry();
    return frame.contains(plat::CurrentScreens().RectForRect(plat::TRect(frame), true).ToQRect());
}

} // namespace

TStateSaver::TStateSaver(QWidget* form) : QObject(form) {
    path_ = QStringLiteral("Software\\MyCompany\\MyApplication\\") + form->windowTitle() +
            QStringLiteral("\\");
    form->installEventFilter(this);
}

TStateSaver::~TStateSaver() {
    // A form destroyed while shown was never closed: store it now.
    QWidget* form = Form();
    if (form && automatic_ && form->isVisible()) {
        plat::Guarded([&] { SaveState(); });
    }
}

QWidget* TStateSaver::Form() const {
    return qobject_cast<QWidget*>(parent());
}

void TStateSaver::Loaded() {
    if (automatic_) {
        RestoreState();
    }
}

bool TStateSaver::eventFilter(QObject* watched, QEvent* event) {
    // Closing hides the window; minimizing sends a spontaneous hide.
    if (watched == parent() && event->type() == QEvent::Hide && !event->spontaneous() &&
        automatic_) {
        plat::Guarded([&] { SaveState(); });
    }
    return QObject::eventFilter(watched, event);
}

QStringList TStateSaver::RegistryKey() const {
    return plat::Registry::KeyPath(QString(path_ + QLatin1Char('\\') + section_));
}

QString TStateSaver::IniSection() const {
    return section_.isEmpty() ? QStringLiteral("Position") : section_;
}

bool TStateSaver::IniFolderExists(const QString& what) const {
    const QString folder = QFileInfo(path_).path();
    if (QDir(folder).exists()) {
        return true;
    }
    plat::ErrorBox(Form(), QGuiApplication::applicationDisplayName(),
                   what + QStringLiteral("\n") + folder);
    return false;
}

TStateSaver::TStoredState TStateSaver::ReadState() const {
    TStoredState state;
    state.Maximized = defaulMaximized_;
    if (location_ == slIni) {
        if (!IniFolderExists(QStringLiteral("Unable to load window state.  Directory does not "
                                            "exist:"))) {
            // Nothing is read, not even the default state.
            state.Maximized = false;
            return state;
        }
        plat::Registry file(path_);
        if (const auto key = file.OpenKey({IniSection()}, false)) {
            ReadInto(*key, state, defaulMaximized_);
        }
        return state;
    }
    if (rootKey_ != TRootKey::CurrentUser) {
        return state;
    }
    std::shared_ptr<plat::Registry> registry = registry_;
    if (!registry) {
        registry = std::make_shared<plat::Registry>();
    }
    if (const auto key = registry->OpenKey(RegistryKey(), false)) {
        ReadInto(*key, state, defaulMaximized_);
    }
    return state;
}

void TStateSaver::ApplyState(const TStoredState& state) {
    QWidget* form = Form();
    if (!form) {
        return;
    }
    // Always on a monitor and no larger than its work area; with
    // KeepOnScreen wholly inside it. Never smaller than the form can be, nor
    // than the system lets a window be.
    const QSize minimum = QSize(plat::GetSystemMetrics(plat::SM_CXMINTRACK),
                                plat::GetSystemMetrics(plat::SM_CYMINTRACK))
                              .expandedTo(form->minimumSizeHint())
                              .expandedTo(form->minimumSize());
    const std::vector<plat::ScreenArea> monitors = plat::CurrentScreens().Areas();
    const plat::TRect bounds = plat::FitStoredBounds(
        state.Bounds, plat::TRect(QRect(form->pos(), form->size())), monitors,
        keepOnScreen_ ? plat::TBoundsFit::Inside : plat::TBoundsFit::Visible, minimum);
    const bool managed = plat::WindowManagerRuns();
    // Without a window manager a maximized window could never be restored:
    // the default does not make one.
    const bool maximized = state.Maximized && (managed || state.MaximizedStored);
    if (maximized) {
        form->setUpdatesEnabled(false);
    } else if (form->windowState() != Qt::WindowNoState) {
        form->setWindowState(Qt::WindowNoState);
    }
    // Until the window is shown, the position is that of its frame.
    const auto place = [form, &bounds] {
        form->resize(bounds.Width(), bounds.Height());
        form->move(bounds.Left, bounds.Top);
    };
    place();
    if (maximized) {
        // The bounds just set stay the form's normal geometry: restoring the
        // window brings them back.
        form->setWindowState((form->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        // That created the window. Until it is shown, the form would report
        // its position less the frame it expects: placed again, it reports
        // where the frame goes.
        place();
        const QRect work = plat::MonitorRectForRect(monitors, bounds, true).ToQRect();
        if (!managed && !work.isEmpty()) {
            // Nobody else carries the state out.
            form->setGeometry(work);
        }
        form->setUpdatesEnabled(true);
    }
}

void TStateSaver::RestoreState() {
    ApplyState(ReadState());
}

void TStateSaver::WriteState(const TStoredState& state) {
    if (location_ == slIni) {
        if (!IniFolderExists(QStringLiteral("Unable to save window state.  Directory does not "
                                            "exist:"))) {
            return;
        }
        plat::Registry file(path_);
        if (auto key = file.OpenKey({IniSection()}, true)) {
            WriteFrom(*key, state);
            file.Save();
        }
        return;
    }
    if (rootKey_ != TRootKey::CurrentUser) {
        return;
    }
    std::shared_ptr<plat::Registry> registry = registry_;
    if (!registry) {
        registry = std::make_shared<plat::Registry>();
    }
    if (auto key = registry->OpenKey(RegistryKey(), true)) {
        WriteFrom(*key, state);
        registry->Save();
    }
}

void TStateSaver::SaveState() {
    QWidget* form = Form();
    if (!form) {
        return;
    }
    TStoredState state;
    const Qt::WindowStates windowState = form->windowState();
    state.Maximized = ShowsMaximized(*form);
    if (!state.Maximized) {
        QRect bounds(form->pos(), form->size());
        if ((windowState & Qt::WindowMinimized) && !form->normalGeometry().isEmpty()) {
            // Never the coordinates of the minimized window.
            const QPoint frameOffset = form->geometry().topLeft() - form->pos();
            const QRect normal = form->normalGeometry();
            bounds = QRect(normal.topLeft() - frameOffset, normal.size());
        }
        state.Bounds = {bounds.x(), bounds.y(), bounds.width(), bounds.height()};
    }
    WriteState(state);
}

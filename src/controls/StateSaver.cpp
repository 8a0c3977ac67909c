#include "controls/StateSaver.h"

#include "platform/core/Guarded.h"
#include "platform/core/Registry.h"
#include "platform/gui/MsgBox.h"
#include "platform/gui/Screens.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWidget>

namespace {

const QString kTop = QStringLiteral("Top");
const QString kLeft = QStringLiteral("Left");
const QString kHeight = QStringLiteral("Height");
const QString kWidth = QStringLiteral("Width");
const QString kMaximized = QStringLiteral("Maximized");

void readInto(const plat::Registry::Key& key, TStateSaver::TStoredState& state,
              bool defaultMaximized) {
    // A value of another type reads as absent: the form keeps its own.
    state.Top = key.ReadInteger(kTop).value_or(TStateSaver::kNotStored);
    state.Left = key.ReadInteger(kLeft).value_or(TStateSaver::kNotStored);
    state.Height = key.ReadInteger(kHeight).value_or(TStateSaver::kNotStored);
    state.Width = key.ReadInteger(kWidth).value_or(TStateSaver::kNotStored);
    state.Maximized = key.ReadBool(kMaximized).value_or(defaultMaximized);
    // A window of no size would be lost as surely as one off the screen.
    if (state.Height < 1) {
        state.Height = TStateSaver::kNotStored;
    }
    if (state.Width < 1) {
        state.Width = TStateSaver::kNotStored;
    }
}

void writeFrom(plat::Registry::Key& key, const TStateSaver::TStoredState& state) {
    if (!state.Maximized) {
        key.WriteInteger(kTop, state.Top);
        key.WriteInteger(kLeft, state.Left);
        key.WriteInteger(kHeight, state.Height);
        key.WriteInteger(kWidth, state.Width);
    }
    key.WriteBool(kMaximized, state.Maximized);
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
        plat::guarded([&] { SaveState(); });
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
        plat::guarded([&] { SaveState(); });
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
            readInto(*key, state, defaulMaximized_);
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
        readInto(*key, state, defaulMaximized_);
    }
    return state;
}

void TStateSaver::KeepInside(TStoredState& s, const QRect& workArea) {
    const int left = workArea.x();
    const int top = workArea.y();
    const int right = workArea.x() + workArea.width();
    const int bottom = workArea.y() + workArea.height();
    if (s.Top != kNotStored) {
        if (s.Top >= bottom) {
            s.Top = kNotStored;
        } else if (s.Top < top) {
            s.Top = top;
        }
    }
    if (s.Left != kNotStored) {
        if (s.Left >= right) {
            s.Left = kNotStored;
        } else if (s.Left < left) {
            s.Left = left;
        }
    }
    // A Top or Left dropped above takes part as the number it stands for:
    // the window then starts at the work area's edge and spans all of it.
    if (s.Height != kNotStored) {
        if (s.Top + s.Height > bottom) {
            s.Top = bottom - s.Height;
        }
        if (s.Top < top) {
            s.Top = top;
            s.Height = bottom - top;
        }
    }
    if (s.Width != kNotStored) {
        if (s.Left + s.Width > right) {
            s.Left = right - s.Width;
        }
        if (s.Left < left) {
            s.Left = left;
            s.Width = right - left;
        }
    }
}

void TStateSaver::ApplyState(TStoredState state) {
    QWidget* form = Form();
    if (!form) {
        return;
    }
    if (keepOnScreen_) {
        // The monitor the stored bounds lie on (the nearest one when they
        // lie on none); with one monitor, its work area.
        const QRect wanted(state.Left != kNotStored ? state.Left : form->x(),
                           state.Top != kNotStored ? state.Top : form->y(),
                           state.Width != kNotStored ? state.Width : form->width(),
                           state.Height != kNotStored ? state.Height : form->height());
        const plat::Screens& screens = plat::CurrentScreens();
        if (screens.Count() > 0) {
            KeepInside(state, screens.RectForRect(wanted, true).ToQRect());
        }
    }
    const bool maximized = state.Maximized;
    if (maximized) {
        form->setUpdatesEnabled(false);
    } else if (form->windowState() != Qt::WindowNoState) {
        form->setWindowState(Qt::WindowNoState);
    }
    QPoint position = form->pos();
    QSize size = form->size();
    if (state.Left != kNotStored) {
        position.setX(state.Left);
    }
    if (state.Top != kNotStored) {
        position.setY(state.Top);
    }
    if (state.Width != kNotStored) {
        size.setWidth(state.Width);
    }
    if (state.Height != kNotStored) {
        size.setHeight(state.Height);
    }
    form->resize(size);
    form->move(position);
    if (maximized) {
        // The bounds just set stay the form's normal geometry: restoring the
        // window brings them back.
        form->setWindowState((form->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
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
            writeFrom(*key, state);
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
        writeFrom(*key, state);
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
    state.Maximized = (windowState & Qt::WindowMaximized) != 0;
    if (!state.Maximized) {
        QRect bounds(form->pos(), form->size());
        if ((windowState & Qt::WindowMinimized) && !form->normalGeometry().isEmpty()) {
            // Never the coordinates of the minimized window.
            const QPoint frameOffset = form->geometry().topLeft() - form->pos();
            const QRect normal = form->normalGeometry();
            bounds = QRect(normal.topLeft() - frameOffset, normal.size());
        }
        state.Top = bounds.y();
        state.Left = bounds.x();
        state.Height = bounds.height();
        state.Width = bounds.width();
    }
    WriteState(state);
}

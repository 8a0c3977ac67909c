#include "KitDriving.h"
#include "MouseInput.h"
#include "ToolTips.h"

#include "dockkit/bars/DkToolbar/DkToolbar.h"
#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/menus/DkPopupWindow.h"
#include "dockkit/themes/DkThemeTypes.h"
#include "dockkit/themes/DkThemedItem.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

namespace kittest {

QString KeyText(int key, Qt::KeyboardModifiers modifiers);

void Later(std::function<void()> step) {
    QMetaObject::invokeMethod(qApp, std::move(step), Qt::QueuedConnection);
}

void Mouse(QEvent::Type type, QPoint global, Qt::MouseButton button, QWidget* fallback) {
    SendMouseAt(type, global, button,
                type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::MouseButtons(),
                fallback);
}

void ClickAt(QPoint global, Qt::MouseButton button, QWidget* fallback) {
    Mouse(QEvent::MouseMove, global, Qt::NoButton, fallback);
    Mouse(QEvent::MouseButtonPress, global, button, fallback);
    Mouse(QEvent::MouseButtonRelease, global, button, fallback);
}

void Key(int key, Qt::KeyboardModifiers modifiers, const QString& text, QWidget* fallback) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) {
        target = fallback;
    }
    if (target == nullptr) {
        return;
    }
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

namespace {

TDkItemViewer* ViewerIn(TDkView* view, const TDkCustomItem* item) {
    for (int i = 0; i < view->ViewerCount(); ++i) {
        if (view->Viewers(i)->Item() == item && view->Viewers(i)->Show) {
            return view->Viewers(i);
        }
    }
    return nullptr;
}

} // namespace

void EndMenus() {
    TDkView* view = dk::RunningMenuLoopView();
    if (view == nullptr || view->Window() == nullptr) {
        return;
    }
    // A loop that has ended already keeps the command it ended with.
    if (!view->ModalEnded()) {
        view->EndModal();
    }
}

TDkView* ViewShowing(const TDkCustomItem* item) {
    for (QWidget* widget : QApplication::allWidgets()) {
        if (!widget->isVisible()) {
            continue;
        }
        TDkView* view = nullptr;
        if (auto* popup = qobject_cast<TDkPopupWindow*>(widget)) {
            view = popup->View();
        } else if (auto* bar = qobject_cast<TDkCustomToolbar*>(widget)) {
            view = bar->View();
        }
        if (view != nullptr && ViewerIn(view, item) != nullptr) {
            return view;
        }
    }
    return nullptr;
}

std::optional<QPoint> CenterOf(const TDkCustomItem* item) {
    TDkView* view = ViewShowing(item);
    if (view == nullptr) {
        return std::nullopt;
    }
    view->ValidatePositions();
    const TDkItemViewer* viewer = ViewerIn(view, item);
    QWidget* window = view->Window();
    const QPoint client((viewer->BoundsRect.Left + viewer->BoundsRect.Right) / 2,
                        (viewer->BoundsRect.Top + viewer->BoundsRect.Bottom) / 2);
    return window->mapToGlobal(client + window->contentsRect().topLeft());
}

TDkItemViewer* ViewerOf(const TDkCustomItem* item) {
    TDkView* view = ViewShowing(item);
    if (view == nullptr) {
        return nullptr;
    }
    view->ValidatePositions();
    return ViewerIn(view, item);
}

QString TipOver(const TDkCustomItem* item) {
    const std::optional<QPoint> at = CenterOf(item);
    if (!at) {
        return {};
    }
    QWidget* window = ViewShowing(item)->Window();
    return ToolTipAt(window, window->mapFromGlobal(*at));
}

std::vector<QString> OpenMenuCaptions() {
    std::vector<QString> captions;
    TDkView* view = dk::RunningMenuLoopView();
    if (view == nullptr) {
        return captions;
    }
    view = view->DeepestOpenView();
    for (int i = 0; i < view->ViewerCount(); ++i) {
        const TDkItemViewer* viewer = view->Viewers(i);
        if (viewer->Show && !viewer->Item()->Caption().isEmpty()) {
            captions.push_back(viewer->Item()->Caption());
        }
    }
    return captions;
}

QImage DrawnImage(TDkxCustomItem* item, bool enabled) {
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (item->OnDrawImage) {
        QPainter painter(&image);
        item->OnDrawImage(item, nullptr, painter, plat::TRect(0, 0, 16, 16), QPoint(),
                          enabled ? 0u : dk::ItemStateDisabled);
    }
    return image;
}

bool ChooseByMouse(const std::vector<TDkCustomItem*>& path) {
    if (path.empty()) {
        return false;
    }
    auto found = std::make_shared<bool>(true);
    for (size_t i = 1; i < path.size(); ++i) {
        TDkCustomItem* item = path[i];
        Later([item, found] {
            const std::optional<QPoint> at = CenterOf(item);
            if (!at || !*found) {
                *found = false;
                EndMenus();
                return;
            }
            ClickAt(*at);
        });
    }
    Later([] { EndMenus(); });
    const std::optional<QPoint> first = CenterOf(path.front());
    if (!first) {
        return false;
    }
    ClickAt(*first);
    return *found;
}

void PressKeys(const std::vector<std::pair<int, Qt::KeyboardModifiers>>& keys, QWidget* fallback) {
    if (keys.empty()) {
        return;
    }
    for (size_t i = 1; i < keys.size(); ++i) {
        const int key = keys[i].first;
        const Qt::KeyboardModifiers modifiers = keys[i].second;
        // The menu loop sees the keys wherever they go.
        Later(
            [key, modifiers, fallback] { Key(key, modifiers, KeyText(key, modifiers), fallback); });
    }
    Later([] { EndMenus(); });
    Key(keys.front().first, keys.front().second, KeyText(keys.front().first, keys.front().second),
        fallback);
}

QString KeyText(int key, Qt::KeyboardModifiers modifiers) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z && (modifiers & ~Qt::ShiftModifier) == 0) {
        return QString(QChar(u'a' + (key - Qt::Key_A)));
    }
    return {};
}

} // namespace kittest

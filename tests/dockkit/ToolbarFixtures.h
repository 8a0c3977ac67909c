#pragma once
// Tool bars on the four-dock form: bars of fixed-size buttons, menu bars
// whose headers open pop-ups of plain items, counted clicks and beeps, and
// keys sent the way the window system sends them (the shortcut stage, the
// press, the release) to a chosen widget.

#include "DockFixtures.h"
#include "MenuFixtures.h"
#include "ViewFixtures.h"

#include "dockkit/bars/DkKeyRouter.h"
#include "dockkit/bars/DkToolbar/DkToolbar.h"

#include "platform/gui/Sound.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>

// A key event as the window system sends it to the focused widget.
inline void KeyStroke(QWidget* to, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
                      const QString& text = {}) {
    QKeyEvent event(type, key, modifiers, text);
    if (type == QEvent::ShortcutOverride) {
        event.ignore();
    }
    QApplication::sendEvent(to, &event);
}
// A key pressed and released. The toolkit puts the shortcut stage before
// the press itself, for a sent press as for a typed one.
inline void TypeKey(QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = {}) {
    KeyStroke(to, QEvent::KeyPress, key, modifiers, text);
    KeyStroke(to, QEvent::KeyRelease, key, modifiers, text);
}
// Alt pressed and released alone.
inline void TapAlt(QWidget* to) {
    KeyStroke(to, QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    KeyStroke(to, QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
}

class ToolbarTest : public ::testing::Test {
public:
    ~ToolbarTest() override {
        script_.Finish();
        dk::SetMainForm(nullptr);
    }

protected:
    ToolbarTest() { QCursor::setPos(1020, 760); }

    // A bar named `name` with `buttons` buttons "B0", "B1", ... of 30 x 20,
    // on the dock (or the form when null).
    TDkToolbar* AddBar(const char* name, TDkDock* dock, int buttons, QWidget* form = nullptr) {
        auto* bar = new TDkToolbar(form != nullptr ? form : &f_.form);
        bar->setObjectName(QString::fromLatin1(name));
        bar->SetCaption(QString::fromLatin1(name));
        for (int i = 0; i < buttons; ++i) {
            AddButton(bar, ("B" + std::to_string(i)).c_str());
        }
        if (dock != nullptr) {
            bar->SetCurrentDock(dock);
        }
        return bar;
    }
    // A button whose clicks are logged by caption.
    FixedItem* AddButton(TDkCustomToolbar* bar, const char* caption, int width = 30,
                         int height = 20, plat::TShortCut shortCut = 0) {
        auto* item = new FixedItem(bar, caption, width, height);
        item->SetCaption(QString::fromUtf8(caption));
        item->SetShortCut(shortCut);
        Count(item);
        bar->Items()->Add(item);
        return item;
    }
    // A header of a menu bar opening a pop-up of plain items.
    FixedItem* AddMenu(TDkCustomToolbar* bar, const char* caption,
                       std::initializer_list<const char*> items, int width = 40) {
        FixedItem* header = AddButton(bar, caption, width, 20);
        header->SetItemStyle(header->ItemStyle() | dk::StyleSubmenu);
        header->OnClick = nullptr; // opening the pop-up clicks it: no command
        for (const char* caption : items) {
            auto* item = new TDkCustomItem(bar);
            item->SetCaption(QString::fromUtf8(caption));
            Count(item);
            header->Add(item);
        }
        return header;
    }
    void Count(TDkCustomItem* item) {
        item->OnClick = [this, item](QObject*) {
            clickLog_ += (clickLog_.empty() ? "" : " ") + item->Caption().toStdString();
        };
    }
    // The commands run so far (deferred clicks included), and forgets them.
    std::string TakeClicks() {
        QCoreApplication::sendPostedEvents();
        return std::exchange(clickLog_, std::string());
    }

    // Presses at a screen point as a pointer there would (the cursor moves
    // there first).
    static void PressAt(QPoint global) {
        QCursor::setPos(global);
        SendMouse(QEvent::MouseButtonPress, global);
    }
    // The screen point at the middle of the item's viewer in the bar.
    static QPoint CenterOf(TDkCustomToolbar* bar, const TDkCustomItem* item) {
        bar->View()->ValidatePositions();
        const TDkItemViewer* viewer = bar->View()->Find(item);
        return bar->mapToGlobal(bar->ClientOrigin() + viewer->BoundsRect.ToQRect().center());
    }
    // The screen point at the middle of the item in the deepest open pop-up
    // that shows it.
    static QPoint PopupCenterOf(const TDkCustomItem* item) {
        const std::vector<TDkView*> views = OpenMenuViews();
        for (auto it = views.rbegin(); it != views.rend(); ++it) {
            TDkView* view = *it;
            view->ValidatePositions();
            for (int i = 0; i < view->ViewerCount(); ++i) {
                const TDkItemViewer* viewer = view->Viewers(i);
                if (viewer->Item() == item && viewer->Show) {
                    const QWidget* window = view->Window();
                    return window->mapToGlobal(window->contentsRect().topLeft() +
                                               viewer->BoundsRect.ToQRect().center());
                }
            }
        }
        ADD_FAILURE() << "no open pop-up shows " << item->Caption().toStdString();
        return {};
    }
    // The items the bar hides behind its chevron, by caption.
    static std::string Hidden(TDkCustomToolbar* bar) {
        std::string hidden;
        for (int i = 0; i < bar->View()->ViewerCount(); ++i) {
            const TDkItemViewer* viewer = bar->View()->Viewers(i);
            if (viewer->OffEdge) {
                hidden += (hidden.empty() ? "" : " ") + viewer->Item()->Caption().toStdString();
            }
        }
        return hidden;
    }

    DockForm f_;
    MenuScript script_;
    int beeps_ = 0;
    plat::ScopedMessageBeep beep_{[this] { ++beeps_; }};
    std::string clickLog_;
};

// A modal dialog of the program stands in front of its floating bars,
// whichever of them showed or rose last.
#include "ToolbarFixtures.h"

#include "platform/gui/WindowStack.h"

#include <QDialog>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace {

// The stacking of a window system without a window manager (offscreen
// windows have none): a window the program shows goes on top, a raised one
// moves to the top.
class StackingOrder : public QObject {
public:
    StackingOrder() { QCoreApplication::instance()->installEventFilter(this); }
    ~StackingOrder() override { QCoreApplication::instance()->removeEventFilter(this); }
    StackingOrder(const StackingOrder&) = delete;
    StackingOrder& operator=(const StackingOrder&) = delete;

    // The visible window in front, once what was posted has run.
    QWidget* Front() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
            if (!it->isNull() && (*it)->isVisible()) {
                return *it;
            }
        }
        return nullptr;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            ToFront(static_cast<QWidget*>(watched));
        }
        return false;
    }

private:
    void ToFront(QWidget* window) {
        order_.erase(std::remove(order_.begin(), order_.end(), QPointer<QWidget>(window)),
                     order_.end());
        order_.emplace_back(window);
    }

    std::vector<QPointer<QWidget>> order_;
    plat::ScopedRaiseHandler raise_{[this](QWidget& window) { ToFront(&window); }};
};

class FloatingAndModal : public ToolbarTest {
protected:
    FloatingAndModal() {
        bar_ = AddBar("Bar", f_.top, 3);
        bar_->SetFloatingPosition({300, 200});
        f_.Settle();
    }
    void OpenModal() {
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setGeometry(280, 180, 200, 120);
        dialog_.show();
    }
    QWidget* FloatingFrame() const { return bar_->window(); }

    StackingOrder stack_;
    TDkToolbar* bar_ = nullptr;
    QDialog dialog_{&f_.form};
};

TEST_F(FloatingAndModal, ABarThatFloatsWhileADialogIsOpenStaysBehindIt) {
    OpenModal();
    bar_->ToggleDockedFloating(); // as a restored position floats it at start
    ASSERT_TRUE(bar_->Floating());
    ASSERT_TRUE(FloatingFrame()->isVisible());
    EXPECT_EQ(stack_.Front(), &dialog_);
}

TEST_F(FloatingAndModal, ABarShownAgainOrRaisedWhileADialogIsOpenStaysBehindIt) {
    bar_->ToggleDockedFloating();
    ASSERT_EQ(stack_.Front(), FloatingFrame());
    OpenModal();
    EXPECT_EQ(stack_.Front(), &dialog_);

    bar_->hide();
    bar_->show();
    EXPECT_EQ(stack_.Front(), &dialog_) << "shown again";
    auto* frame = qobject_cast<TDkFloatingWindowParent*>(FloatingFrame());
    ASSERT_NE(frame, nullptr);
    frame->MouseActivate();
    EXPECT_EQ(stack_.Front(), &dialog_) << "brought forward";

    dialog_.hide();
    frame->MouseActivate();
    EXPECT_EQ(stack_.Front(), FloatingFrame()) << "without a dialog the bar comes forward";
}

} // namespace

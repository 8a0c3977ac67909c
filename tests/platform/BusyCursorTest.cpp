#include "platform/gui/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

Qt::CursorShape Shown() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr ? cursor->shape() : Qt::BitmapCursor;
}

TEST(BusyCursor, NestsByCountAndLeavesOtherCursorsAlone) {
    // Someone else's override cursor lies underneath.
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    plat::EndBusy(); // nothing busy: must not take the cross off
    EXPECT_EQ(Shown(), Qt::CrossCursor);
    EXPECT_EQ(plat::BusyCount(), 0);
    {
        const plat::BusyScope outer;
        EXPECT_EQ(Shown(), Qt::WaitCursor);
        {
            const plat::BusyScope inner;
            plat::BeginBusy();
            EXPECT_EQ(plat::BusyCount(), 3);
            plat::EndBusy();
        }
        EXPECT_EQ(Shown(), Qt::WaitCursor);
        EXPECT_EQ(plat::BusyCount(), 1);
    }
    EXPECT_EQ(Shown(), Qt::CrossCursor); // one wait cursor was set, one taken off
    plat::EndBusy();
    EXPECT_EQ(Shown(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace

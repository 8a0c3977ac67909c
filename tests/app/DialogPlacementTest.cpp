// Where the dialogs open and what their borders offer: centred on the work
// area of the monitor their owner stands on, never a minimise or maximise
// button, a size the user cannot drag.
#include "PlatformFakes.h"

#include "app/common/ProgramIcon.h"
#include "app/dialogs/AboutForm.h"
#include "app/dialogs/CharSelForm.h"
#include "app/dialogs/LoginForm.h"
#include "app/dialogs/ServerForm.h"
#include "app/dialogs/ServersForm.h"
#include "app/options/OptionsForm.h"
#include "app/settings/Settings.h"
#include "effects/gui/application/VfxApplication.h"
#include "engine/DimensionList.h"

#include <QDialog>
#include <QLabel>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Two monitors side by side, the second taller with its panel at the top.
FakeScreens TwoMonitors() {
    return FakeScreens({{plat::TRect(0, 0, 1024, 768), plat::TRect(0, 0, 1024, 738)},
                        {plat::TRect(1024, 0, 2944, 1080), plat::TRect(1024, 40, 2944, 1080)}});
}

struct DialogRow {
    const char* name;
    // Whether the border offers the help button.
    bool help;
    // Whether it has a dialog border; the options dialog is a window of its
    // own (modeless, in front of the others).
    bool dialogBorder;
};

class DialogPlacement : public testing::TestWithParam<DialogRow> {
protected:
    std::unique_ptr<QWidget> Make(const char* name, QWidget* owner) {
        const std::string which = name;
        if (which == "Login") {
            return std::make_unique<TLoginForm>(dimensions_, logins_, QString(), QString(), owner);
        }
        if (which == "CharacterChoice") {
            return std::make_unique<TCharSelForm>(owner);
        }
        if (which == "DimensionDetails") {
            return std::make_unique<TServerForm>(owner);
        }
        if (which == "Dimensions") {
            return std::make_unique<TServersForm>(owner);
        }
        if (which == "About") {
            return std::make_unique<TAboutForm>(owner);
        }
        return std::make_unique<TOptionsForm>(
            TOptionsContext{settings_, logins_, dimensions_, [](const TSettingsChange&) {}}, owner);
    }

    TDimensionList dimensions_{nullptr};
    TLogins logins_;
    TMainSettings settings_;
    fx::TVfxApplication vfx_;
    fx::ScopedVfxApplication vfxScope_{&vfx_};
};

std::string Text(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
           "x" + std::to_string(r.height());
}

// Centred within a pixel (odd leftovers round down), and wholly inside.
void ExpectCentredIn(const QRect& frame, const QRect& work) {
    EXPECT_LE(std::abs(frame.center().x() - work.center().x()), 1)
        << Text(frame) << " in " << Text(work);
    EXPECT_LE(std::abs(frame.center().y() - work.center().y()), 1)
        << Text(frame) << " in " << Text(work);
    EXPECT_TRUE(work.contains(frame)) << Text(frame) << " in " << Text(work);
}

TEST_P(DialogPlacement, OpensInTheMiddleOfItsOwnersMonitor) {
    const FakeScreens screens = TwoMonitors();
    // The main window maximised on the second monitor, and then a small one
    // in the corner of the first: the dialog follows the monitor, not the
    // window's corner.
    for (const QRect ownerRect : {QRect(1024, 40, 1920, 1040), QRect(10, 10, 300, 200)}) {
        QWidget owner;
        owner.setGeometry(ownerRect);
        owner.show();
        const std::unique_ptr<QWidget> dialog = Make(GetParam().name, &owner);
        dialog->show();
        const bool second = ownerRect.left() >= 1024;
        ExpectCentredIn(dialog->frameGeometry(),
                        second ? QRect(1024, 40, 1920, 1040) : QRect(0, 0, 1024, 738));
        dialog->close();
    }
}

TEST_P(DialogPlacement, WithoutAnOwnerOpensOnThePrimaryMonitor) {
    const FakeScreens screens = TwoMonitors();
    const std::unique_ptr<QWidget> dialog = Make(GetParam().name, nullptr);
    dialog->show();
    ExpectCentredIn(dialog->frameGeometry(), QRect(0, 0, 1024, 738));
}

TEST_P(DialogPlacement, BorderOffersNoMinimiseOrMaximise) {
    const DialogRow& row = GetParam();
    QWidget owner;
    const std::unique_ptr<QWidget> dialog = Make(row.name, &owner);
    dialog->show();
    if (!row.dialogBorder) {
        return;
    }
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint) << "the window system's default buttons are off";
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_EQ(static_cast<bool>(flags & Qt::WindowContextHelpButtonHint), row.help);
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "a dialog border is not sizable";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DialogPlacement,
    testing::Values(DialogRow{"Login", true, true}, DialogRow{"CharacterChoice", false, true},
                    DialogRow{"DimensionDetails", true, true}, DialogRow{"Dimensions", false, true},
                    DialogRow{"About", false, true}, DialogRow{"Options", false, false}),
    [](const testing::TestParamInfo<DialogRow>& info) { return std::string(info.param.name); });

TEST(ProgramPicture, ComesInEverySizeAndFillsTheAboutBoxsPicture) {
    const QList<QSize> sizes = ProgramIcon().availableSizes();
    for (const int size : kProgramIconSizes) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(sizes.contains(QSize(size, size)));
        const QImage image = ProgramImage(size);
        // Transparent round the bubble, opaque in its middle.
        EXPECT_EQ(qAlpha(image.pixel(size - 1, size - 1)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 5)), 255);
    }
    fx::TVfxApplication vfx;
    const fx::ScopedVfxApplication scope(&vfx);
    TAboutForm about;
    about.adjustSize();
    QImage shown(about.Image1->size(), QImage::Format_ARGB32);
    shown.fill(Qt::transparent);
    about.Image1->render(&shown);
    int opaque = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            opaque += qAlpha(shown.pixel(x, y)) == 255;
        }
    }
    EXPECT_GT(opaque, shown.width() * shown.height() / 2) << "the picture's place is filled";
}

} // namespace

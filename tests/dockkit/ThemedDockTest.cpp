// The themed dock beside the plain one: without the desk's visual styles it
// paints and answers exactly as the plain dock does, in every theme.
#include "DockFixtures.h"
#include "KitThemeFixtures.h"

#include "dockkit/docking/DkxDock.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A picture of one colour.
class SolidBackground : public TDkBasicBackground {
public:
    using TDkBasicBackground::TDkBasicBackground;
    void PaintBackground(QPainter& painter, const QRect& rect) override {
        painter.fillRect(rect, QColor(200, 40, 40));
    }
    void AddChangeListener(const void*, std::function<void()>) override {}
    void SystemColorsChanged() override {}
    void RemoveChangeListener(const void*) override {}
    bool HasBackground() override { return true; }
};

} // namespace

TEST(ThemedDock, PaintsLikeThePlainDockWithoutVisualStyles) {
    KitThemes themes;
    DockForm f;
    auto* themed = new TDkxDock(&f.form, dpTop);
    f.Add("PlainBar", QSize(80, 20), f.top);
    f.Add("ThemedBar", QSize(80, 20), themed);
    f.top->SetBoundLines(blTop | blBottom);
    themed->SetBoundLines(blTop | blBottom);
    f.Settle();
    SolidBackground background;

    const struct {
        const char* name;
        std::function<void()> apply;
        bool painted; // the background picture shows
    } cases[] = {
        {"Default theme", [&] { themes.Select("Default"); }, false},
        {"Flat theme", [&] { themes.Select("Flat"); }, false},
        {"visual styles turned off", [&] { themes.nexus->SetEnableXPStyles(false); }, false},
        {"a background of its own",
         [&] {
             f.top->SetBackground(&background);
             themed->SetBackground(&background);
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.apply();
        EXPECT_FALSE(themed->UsesVisualStyleBackground());
        EXPECT_EQ(themed->HasDockBackground(), c.painted);
        const QImage plain = f.top->grab().toImage();
        const QImage image = themed->grab().toImage();
        ASSERT_EQ(image.size(), plain.size());
        EXPECT_EQ(image, plain);
        // Right of the bar: the dock's own colour, or the picture.
        EXPECT_EQ(image.pixel(image.width() - 2, image.height() / 2) & 0xFFFFFFu,
                  c.painted ? 0xC82828u : 0xD4D0C8u);
    }
    f.top->SetBackground(nullptr);
    themed->SetBackground(nullptr);
}

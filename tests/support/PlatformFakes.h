#pragma once
// Stand-ins for the desktop services of the platform layer. Each one is in
// force from its construction to its end (they nest like the clock override).

#include "platform/gui/Metrics.h"
#include "platform/gui/Screens.h"
#include "platform/gui/SystemParams.h"

#include <map>
#include <vector>

// Monitors of known geometry; the first one is the primary monitor.
class FakeScreens final : public plat::Screens {
public:
    explicit FakeScreens(std::vector<plat::ScreenArea> areas) : areas_(std::move(areas)) {}
    // One 800 x 600 monitor whose lowest 30 rows hold a task bar.
    FakeScreens() : FakeScreens({{plat::TRect(0, 0, 800, 600), plat::TRect(0, 0, 800, 570)}}) {}

    std::vector<plat::ScreenArea> Areas() const override { return areas_; }
    void SetAreas(std::vector<plat::ScreenArea> areas) { areas_ = std::move(areas); }

private:
    std::vector<plat::ScreenArea> areas_;
    plat::ScopedScreens scope_{this};
};

// The classic table with some values changed.
class FakeMetrics final : public plat::ClassicMetrics {
public:
    void Set(int index, int value) { values_[index] = value; }
    int Metric(int index) const override {
        const auto it = values_.find(index);
        return it != values_.end() ? it->second : ClassicMetrics::Metric(index);
    }

private:
    std::map<int, int> values_;
    plat::ScopedSystemMetrics scope_{this};
};

// Settings as a test sets them; the defaults are the desktop's fallbacks with
// the application active.
class FakeSystemParameters final : public plat::SystemParameters {
public:
    struct Values {
        int MenuShowDelay = 400;
        bool FlatMenus = false;
        bool KeyboardCues = true;
        bool MenuAnimation = false;
        bool MenuFade = false;
        bool GradientCaptions = false;
        bool LayeredWindows = false;
        bool ApplicationActive = true;
    };
    Values Answers;

    int MenuShowDelay() const override { return Answers.MenuShowDelay; }
    bool FlatMenus() const override { return Answers.FlatMenus; }
    bool KeyboardCues() const override { return Answers.KeyboardCues; }
    bool MenuAnimation() const override { return Answers.MenuAnimation; }
    bool MenuFade() const override { return Answers.MenuFade; }
    bool GradientCaptions() const override { return Answers.GradientCaptions; }
    bool LayeredWindows() const override { return Answers.LayeredWindows; }
    bool ApplicationActive() const override { return Answers.ApplicationActive; }

private:
    plat::ScopedSystemParameters scope_{this};
};

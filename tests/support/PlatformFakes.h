#pragma once
// Stand-ins for the desktop services of the platform layer. Each one is in
// force from its construction to its end (they nest like the clock override).

#include "platform/core/DesktopSettings.h"
#include "platform/core/Registry.h"
#include "platform/gui/Metrics.h"
#include "platform/gui/Screens.h"
#include "platform/gui/Sound.h"
#include "platform/gui/SystemParams.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <optional>
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
        std::optional<int> MenuShowDelay = 400; // nothing: the desktop cannot say
        bool FlatMenus = false;
        bool KeyboardCues = true;
        bool MenuAnimation = false;
        bool MenuFade = false;
        bool GradientCaptions = false;
        bool LayeredWindows = false;
        bool ApplicationActive = true;
    };
    Values Answers;

    std::optional<int> MenuShowDelay() const override { return Answers.MenuShowDelay; }
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

// The program's sound service as a log: "play <file>" (stopping what plays),
// "play-unless-playing <file>", "stop". Playing counts as playing until Stop.
class FakeSoundService final : public plat::SoundService {
public:
    void PlayFile(const QString& fileName) override {
        Log << QStringLiteral("play ") + fileName;
        Playing = true;
    }
    void PlayFileUnlessPlaying(const QString& fileName) override {
        if (!Playing) {
            Log << QStringLiteral("play-unless-playing ") + fileName;
            Playing = true;
        }
    }
    void Stop() override {
        Log << QStringLiteral("stop");
        Playing = false;
    }

    QStringList Log;
    bool Playing = false;

private:
    plat::ScopedSoundService scope_{this};
};

// A desktop store of the test's own, in a temporary folder, in force while it
// lives.
class FakeDesktopStore {
public:
    FakeDesktopStore() : store_(dir_.path() + QStringLiteral("/desktop.ini")) {}
    // Writes a text value, creating the key (path written with "\"); an empty
    // name is the key's default value.
    void Write(const QString& keyPath, const QString& name, const QString& value) {
        store_.OpenKey(plat::Registry::KeyPath(keyPath), true)->WriteString(name, value);
    }

private:
    QTemporaryDir dir_;
    plat::Registry store_;
    plat::ScopedDesktopStore scope_{&store_};
};

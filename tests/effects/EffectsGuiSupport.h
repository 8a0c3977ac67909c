#pragma once
// What the effects kit's widget tests share: an application object of their
// own (ticks given by hand), system information they decide, and expected
// pixels written as one line of text.

#include "effects/core/VfxLinuxSysInfo.h"
#include "effects/core/VfxSysInfo.h"
#include "effects/gui/application/VfxApplication.h"

#include <QImage>
#include <QStringList>

#include <deque>
#include <map>

// Memory figures and lock-key states set by the test. Each lock-key query
// takes the next state of its queue (the last one stays).
class FakeDisplayInfo : public fx::TVfxLinuxSystemInfo {
public:
    fx::TVfxMemoryStatus memory{17, 25274781696ull, 5368709120ull, 0, 0, 0, 0};
    std::map<fx::TVfxLockKey, std::deque<bool>> locks;
    int lockQueries = 0;

    fx::TVfxMemoryStatus MemoryStatus() override { return memory; }
    bool LockKeyOn(fx::TVfxLockKey key) override {
        ++lockQueries;
        std::deque<bool>& states = locks[key];
        if (states.empty()) {
            return false;
        }
        const bool on = states.front();
        if (states.size() > 1) {
            states.pop_front();
        }
        return on;
    }
    uint32_t ColorDepth() override { return 24; }
};

// Puts a fresh application object and the fake system information in place
// for a test's lifetime.
class KitFixture {
public:
    KitFixture() : scope_(&app) { fx::VfxSetSystemInfoProvider(&info); }
    ~KitFixture() { fx::VfxSetSystemInfoProvider(nullptr); }
    KitFixture(const KitFixture&) = delete;
    KitFixture& operator=(const KitFixture&) = delete;

    // Advances the application's timer pool by n ticks of 50 ms.
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            app.TimerPool().Tick();
        }
    }

    fx::TVfxApplication app;
    FakeDisplayInfo info;

private:
    fx::ScopedVfxApplication scope_;
};

// The pixels of "x,y:c ..." that the image does not have, where c is one of
// R G B W M K (red, green, blue, white, magenta, black) or a colour as rrggbb.
inline QString WrongPixels(const QImage& image, const char* expected) {
    static const std::map<QString, QRgb> letters = {{"R", 0xFFFF0000}, {"G", 0xFF00FF00},
                                                    {"B", 0xFF0000FF}, {"W", 0xFFFFFFFF},
                                                    {"M", 0xFFFF00FF}, {"K", 0xFF000000}};
    QStringList wrong;
    for (const QString& item : QString::fromLatin1(expected).split(u' ')) {
        const QStringList parts = item.split(u':');
        const QStringList xy = parts[0].split(u',');
        const QRgb want =
            parts[1].size() == 1 ? letters.at(parts[1]) : 0xFF000000 | parts[1].toUInt(nullptr, 16);
        if (image.pixel(xy[0].toInt(), xy[1].toInt()) != want) {
            wrong << item;
        }
    }
    return wrong.join(u' ');
}

#include "effects/core/VfxObject.h"
#include "effects/core/VfxThemes.h"
#include "effects/core/VfxUtils.h"
#include "platform/core/Guarded.h"

#include "EffectsTestSupport.h"

#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

#include <vector>

using namespace fx;

namespace {

// A settings object with one property, as the kit's settings objects are.
class TDepth : public TVfxObject {
public:
    int Depth() const { return depth_; }
    void SetDepth(int value) { SetValue(depth_, value); }

private:
    int depth_ = 1;
};

TEST(ChangeNotification, FiresOncePerChangeAndWaitsForTheEndOfAnUpdate) {
    TDepth d;
    std::vector<TVfxObject*> senders;
    d.OnChange = [&](TVfxObject* sender) { senders.push_back(sender); };

    d.SetDepth(1); // unchanged
    EXPECT_TRUE(senders.empty());
    d.SetDepth(5);
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], &d);

    d.BeginUpdate();
    d.SetDepth(6);
    d.SetDepth(7);
    d.EndUpdate(false);
    EXPECT_EQ(senders.size(), 1u);
    EXPECT_EQ(d.Depth(), 7);

    d.BeginUpdate();
    d.BeginUpdate(); // a flag, not a counter
    d.SetDepth(8);
    d.EndUpdate(true);
    EXPECT_EQ(senders.size(), 2u);
    EXPECT_FALSE(d.Updating());
}

// Records what it saw and consumes what it is told to.
class Spy : public TVfxWndProcComponent {
public:
    using TVfxWndProcComponent::TVfxWndProcComponent;
    std::vector<QEvent::Type> seen;
    QEvent::Type consume = QEvent::None;

protected:
    bool WndProc(QObject* target, QEvent* event) override {
        seen.push_back(event->type());
        return event->type() == consume || TVfxWndProcComponent::WndProc(target, event);
    }
};

// Records the events sent by the tests (those of the user range).
class Owner : public QObject {
public:
    std::vector<QEvent::Type> got;
    bool event(QEvent* e) override {
        if (e->type() >= QEvent::User) {
            got.push_back(e->type());
        }
        return QObject::event(e);
    }
};

void Send(QObject* to, QEvent::Type type) {
    QEvent e(type);
    QCoreApplication::sendEvent(to, &e);
}

TEST(WindowProcedureComponent, SeesTheOwnersEventsFirstOnceLoaded) {
    Owner owner;
    auto* spy = new Spy(&owner, TVfxWndProcComponent::fmMDIChild);
    EXPECT_EQ(spy->FormMode(), 1);
    EXPECT_TRUE(spy->Enabled());
    EXPECT_FALSE(spy->EnabledAtDesignTime());

    Send(&owner, QEvent::User);
    EXPECT_TRUE(spy->seen.empty()); // not hooked before Loaded

    spy->Loaded();
    spy->consume = QEvent::Type(QEvent::User + 1);
    Send(&owner, QEvent::User);
    Send(&owner, QEvent::Type(QEvent::User + 1));
    EXPECT_EQ(spy->seen.size(), 2u);
    EXPECT_EQ(owner.got, (std::vector<QEvent::Type>{QEvent::User, QEvent::User}));

    delete spy; // the owner's own handling is back
    Send(&owner, QEvent::Type(QEvent::User + 1));
    EXPECT_EQ(owner.got.back(), QEvent::User + 1);
}

TEST(WindowProcedureComponent, DisablingUnhooksAnExceptionStaysInsideAndTheTargetMayGoFirst) {
    Owner owner;
    struct Thrower : TVfxWndProcComponent {
        using TVfxWndProcComponent::TVfxWndProcComponent;
        bool WndProc(QObject*, QEvent*) override { throw std::runtime_error("inside"); }
    } thrower(&owner);
    thrower.Loaded();
    EXPECT_TRUE(thrower.Hooked());
    QString handled;
    {
        const plat::ScopedExceptionHandler handler(
            [&](const std::exception& e) { handled = e.what(); });
        EXPECT_NO_THROW(Send(&owner, QEvent::User));
    }
    EXPECT_EQ(handled, QStringLiteral("inside"));
    EXPECT_EQ(owner.got.size(), 1u);

    thrower.SetEnabled(false);
    EXPECT_FALSE(thrower.Hooked());
    thrower.Loaded();
    EXPECT_FALSE(thrower.Hooked());

    // Outliving its target is safe.
    Spy spy;
    {
        Owner target;
        spy.Loaded(&target);
        EXPECT_TRUE(spy.Hooked());
    }
    EXPECT_FALSE(spy.Hooked());
    EXPECT_EQ(spy.Target(), nullptr);
}

int themeState = 0;
int IsThemeActiveFake() {
    return themeState;
}

TEST(ThemeServices, EveryEntryPointIsOptionalAndAThemeChangeRereadsTheState) {
    const TVfxThemeLibrary library([](const char* name) -> void* {
        return std::string_view(name) == "IsThemeActive"
                   ? reinterpret_cast<void*>(&IsThemeActiveFake)
                   : nullptr;
    });
    EXPECT_TRUE(library.Loaded());
    EXPECT_EQ(library.EntryPoint("DrawThemeText"), nullptr);
    const TVfxThemeLibrary bare([](const char*) -> void* { return nullptr; });
    EXPECT_TRUE(bare.Loaded());
    EXPECT_FALSE(bare.IsThemeActive());

    themeState = 1;
    TVfxXPThemeManager manager(library);
    int changes = 0;
    manager.OnChange = [&](TVfxCustomComponent*) { ++changes; };
    manager.Loaded(QCoreApplication::instance());
    EXPECT_TRUE(manager.ThemesActive());

    // A change of theme sent to any object of the application.
    QObject window;
    Send(&window, QEvent::ThemeChange);
    EXPECT_TRUE(manager.ThemesActive());
    themeState = 0;
    Send(&window, QEvent::ThemeChange);
    EXPECT_FALSE(manager.ThemesActive());
    // Once off, a theme change does not read the state again.
    themeState = 1;
    Send(&window, QEvent::ThemeChange);
    EXPECT_FALSE(manager.ThemesActive());
    EXPECT_EQ(changes, 4); // on; off and on again; off
}

TEST(PathRoutines, TrailingSeparatorsAndPrefixFolders) {
    for (const QStringList& row : GoldenTextRows("effects/trailing-separators.tsv", 3)) {
        EXPECT_EQ(VfxAddBackslash(row[0]), row[1]) << row[0].toStdString();
        EXPECT_EQ(VfxRemoveBackslash(row[0]), row[2]) << row[0].toStdString();
    }
    EXPECT_TRUE(VfxIsBlank(u"  "));
    EXPECT_FALSE(VfxIsBlank(u"\t"));
    // the prefix folders
    EXPECT_EQ(VfxPathPrefix(ppFixed, true), QString());
    EXPECT_EQ(VfxPathPrefix(ppSystem, false), QStringLiteral("/etc"));
    EXPECT_EQ(VfxPathPrefix(ppSystem, true), QStringLiteral("/etc/"));
    EXPECT_EQ(VfxPathPrefix(ppProgram, true), QCoreApplication::applicationDirPath() + u'/');
}

} // namespace

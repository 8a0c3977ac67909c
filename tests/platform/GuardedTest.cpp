#include "platform/core/Guarded.h"
#include "platform/core/Exception.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

TEST(Guarded, ExceptionsReachTheInstalledHandler) {
    QStringList seen;
    plat::ScopedExceptionHandler scope([&](const std::exception& e) {
        const auto* ours = dynamic_cast<const plat::Exception*>(&e);
        seen << (ours
                     ? QString::fromUtf8(ours->ClassName()) + QStringLiteral(": ") + ours->Message()
                     : QString::fromUtf8(e.what()));
    });
    plat::guarded([] { throw plat::EListError(QStringLiteral("List index out of bounds (3)")); });
    plat::guarded([] { throw std::runtime_error("plain"); });
    plat::guarded([] { throw 42; });
    bool ran = false;
    plat::guarded([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(seen, QStringList({u"EListError: List index out of bounds (3)"_qs, u"plain"_qs,
                                 u"Exception: Unknown exception"_qs}));
}

TEST(Guarded, AThrowingHandlerDoesNotEscape) {
    plat::ScopedExceptionHandler scope(
        [](const std::exception&) { throw std::runtime_error("handler broke"); });
    EXPECT_NO_THROW(plat::guarded([] { throw std::runtime_error("first"); }));
}

TEST(Guarded, ListIndexErrorMessage) {
    try {
        plat::ThrowListIndexError(-1);
    } catch (const plat::EListError& e) {
        EXPECT_EQ(e.Message(), u"List index out of bounds (-1)");
        EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
        return;
    }
    FAIL() << "no exception";
}

TEST(Guarded, ConnectedCallablesRunGuardedWithTheArgumentsTheyTake) {
    QStringList seen;
    plat::ScopedExceptionHandler scope(
        [&](const std::exception& e) { seen << QString::fromUtf8(e.what()); });
    QObject sender;
    auto context = std::make_unique<QObject>();
    QStringList calls;
    plat::ConnectGuarded(&sender, &QObject::objectNameChanged, context.get(),
                         [&](const QString& name) {
                             calls << name;
                             if (name == u"bad") {
                                 throw std::runtime_error("slot broke");
                             }
                         });
    plat::ConnectGuarded(&sender, &QObject::objectNameChanged, context.get(),
                         [&] { calls << QStringLiteral("-"); });
    sender.setObjectName(QStringLiteral("a"));
    sender.setObjectName(QStringLiteral("bad"));
    EXPECT_EQ(calls, QStringList({u"a"_qs, u"-"_qs, u"bad"_qs, u"-"_qs}));
    EXPECT_EQ(seen, QStringList{u"slot broke"_qs});

    // The connections end with their context.
    context.reset();
    sender.setObjectName(QStringLiteral("late"));
    EXPECT_EQ(calls.size(), 4);
}

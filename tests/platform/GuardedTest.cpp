#include "platform/core/Guarded.h"
#include "platform/core/Exception.h"

#include "Raises.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

TEST(Guarded, ExceptionsReachTheInstalledHandlerAndAThrowingHandlerDoesNotEscape) {
    {
        ExceptionLog seen(true);
        plat::Guarded([] { plat::ThrowListIndexError(-1); });
        plat::Guarded([] { throw std::runtime_error("plain"); });
        plat::Guarded([] { throw 42; });
        bool ran = false;
        plat::Guarded([&] { ran = true; });
        EXPECT_TRUE(ran);
        EXPECT_EQ(seen.messages, QStringList({"EListError: List index out of bounds (-1)", "plain",
                                              "Exception: Unknown exception"}));
    }
    const plat::ScopedExceptionHandler scope(
        [](const std::exception&) { throw std::runtime_error("handler broke"); });
    EXPECT_NO_THROW(plat::Guarded([] { throw std::runtime_error("first"); }));
}

TEST(Guarded, ConnectedCallablesRunGuardedWithTheArgumentsTheyTake) {
    ExceptionLog seen;
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
    EXPECT_EQ(calls, QStringList({"a", "-", "bad", "-"}));
    EXPECT_EQ(seen.messages, QStringList{"slot broke"});

    // The connections end with their context.
    context.reset();
    sender.setObjectName(QStringLiteral("late"));
    EXPECT_EQ(calls.size(), 4);
}

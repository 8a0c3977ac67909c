// The engine's message events in the main window's console, against the
// local chat service, and the program's exception handler.
#include "MainFormTestSupport.h"

#include "chatd/ServerCodec.h"
#include "console/QvConsole/QvConsole.h"
#include "platform/core/Exception.h"

namespace mainformtest {
namespace {

class MainFormChatTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        StartService();
        Create();
        ASSERT_TRUE(LogInWindow());
    }
    // The console lines after the welcome line and the connect line.
    QStringList Lines() const { return ConsoleLines().mid(2); }
    bool WaitForLines(int count) {
        return WaitUntil([&] { return Lines().size() >= count; });
    }
};

TEST_F(MainFormChatTest, ServerLinesAndGroupsTheClientWasNotToldAbout) {
    const plat::ScopedExceptionHandler router(MainFormExceptionHandler());
    TVLChat bob;
    TVLChat cara;
    ASSERT_TRUE(LogIn(bob, "bob"));
    ASSERT_TRUE(LogIn(cara, "cara"));
    ASSERT_TRUE(
        server->SendSystemMessage(QStringLiteral("Kara"), QStringLiteral("Server <down> :-)")));
    // A group the server never announced: shown without a name or link.
    const QByteArray data("\x00\x01\x00", 3);
    ASSERT_TRUE(server->SendFrame(
        QStringLiteral("Kara"),
        chatd::ServerFrame(spGroupMessage,
                           {TPacketArg::Group({9, 9, 9, 9, 9}), TPacketArg::Int(0x1001),
                            TPacketArg::Text("lost?"), TPacketArg::Data(data)})));
    // A tell from an id nobody announced is not worth a line.
    ASSERT_TRUE(server->SendFrame(
        QStringLiteral("Kara"),
        chatd::ServerFrame(spMessagePrivate, {TPacketArg::Int(0x9999), TPacketArg::Text("who?"),
                                              TPacketArg::Data(data)})));
    // Another member leaves a private group this window shows.
    form->AddPrivateGroupNode(QStringLiteral("Bob"));
    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(bob.PrivateGroupInvite("Cara"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("invite Bob -> Cara")));
    ASSERT_TRUE(form->VLChat->PrivateGroupJoin("Bob"));
    ASSERT_TRUE(WaitForLines(3));
    ASSERT_TRUE(cara.PrivateGroupJoin("Bob"));
    ASSERT_TRUE(WaitForLines(4));
    ASSERT_TRUE(bob.PrivateGroupKick("Cara"));
    ASSERT_TRUE(WaitForLines(5));
    EXPECT_EQ(Lines(), (QStringList{System("Server &lt;down&gt; <img index=\"0\">"),
                                    Line("008000", "[?] " + CharLink("Bob") + ": lost?</font>"),
                                    Line("808000", "Kara joined the private group Bob."),
                                    Line("808000", "Cara joined the private group Bob."),
                                    Line("808000", "Cara left the private group Bob.")}));
}

TEST_F(MainFormTest, ExceptionsBecomeRedLinesAndEndTheBusyCursor) {
    Create();
    const plat::ScopedExceptionHandler router(MainFormExceptionHandler());
    TMainForm::BeginBusy();
    // Entities only: "(8)" is not taken for an emoticon.
    plat::HandleException(plat::EListError(QStringLiteral("List index out of bounds (8) <x>")));
    EXPECT_EQ(TMainForm::BusyCount(), 0);
    EXPECT_EQ(ConsoleLines().last(), Line("FF0000", "List index out of bounds (8) &lt;x&gt;"));

    TMainForm::BeginBusy();
    plat::HandleException(plat::Exception(QStringLiteral("error NAME NOT FOUND FOR ID 39321")));
    EXPECT_EQ(TMainForm::BusyCount(), 1);
    EXPECT_EQ(ConsoleLines().size(), 2);

    // Without a window the message goes to the debug log.
    form.reset();
    plat::HandleException(plat::Exception(QStringLiteral("no window")));
}

} // namespace
} // namespace mainformtest

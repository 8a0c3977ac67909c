// Message boxes and sound playback.
#include "platform/gui/MsgBox.h"
#include "platform/gui/Sound.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace plat;

TEST(MsgBox, TextIsShownPlainWithItsLineBreaks) {
    {
        std::vector<MsgBoxRequest> asked;
        ScopedMsgBoxHandler outer([&](const MsgBoxRequest& r) {
            asked.push_back(r);
            return MsgResult::No;
        });
        ScopedMsgBoxHandler inner([](const MsgBoxRequest&) { return MsgResult::Cancel; });
        EXPECT_EQ(ConfirmationBox(nullptr, "Q", "x", MsgButtons::YesNoCancel), MsgResult::Cancel);
        EXPECT_TRUE(asked.empty()); // the innermost handler answers
    }
    // The boxes themselves from here on, not the test program's answerer.
    const ScopedMsgBoxHandler realBoxes(nullptr);
    QString shownText;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        format = box->textFormat();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(ConfirmationBox(nullptr, "Quorvel", "<b>Group</b>\r\nAlice.\rNow?"), MsgResult::No);
    EXPECT_EQ(shownText, "<b>Group</b>\nAlice.\nNow?");
    EXPECT_EQ(format, Qt::PlainText);
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(ConfirmationBox(nullptr, "Q", "x", MsgButtons::YesNoCancel), MsgResult::Cancel);
}

TEST(Sound, NewPlayReplacesTheLastAndNothingFails) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString notWav = dir.filePath("b_01.wav");
    QFile file(notWav);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RIFF, but not a sound");
    file.close();
    SoundPlayer player;
    player.PlayFile(dir.filePath("missing_01.wav"));
    player.PlayFile(notWav);
    EXPECT_EQ(player.CurrentFile(), notWav);
    // The file fails to load in the background; nothing is raised.
    auto* effect = player.findChild<QSoundEffect*>();
    ASSERT_NE(effect, nullptr);
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    QObject::connect(effect, &QSoundEffect::statusChanged, &loop, [&] {
        if (effect->status() != QSoundEffect::Loading) {
            loop.quit();
        }
    });
    if (effect->status() == QSoundEffect::Loading) {
        loop.exec();
    }
    EXPECT_EQ(effect->status(), QSoundEffect::Error);
    player.Stop();
    EXPECT_EQ(player.CurrentFile(), QString());
}

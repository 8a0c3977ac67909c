#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkHooks.h"

#include "DataRows.h"
#include "PixelPicture.h"
#include "PlatformFakes.h"

#include "platform/gui/AccelText.h"
#include "platform/gui/KitMessage.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>

namespace {

// --- Desktop settings ---------------------------------------------------------

TEST(RegistryMenuDelay, ReadsTheDesktopValueWithItsFallbacks) {
    for (const QStringList& row : DataRows("menu-show-delay.txt", 3)) {
        SCOPED_ROW(row);
        QTemporaryDir dir;
        plat::Registry store(dir.path() + QStringLiteral("/store.ini"));
        std::optional<plat::Registry::Key> key;
        if (row[0] != "no key") {
            key = store.OpenKey({QStringLiteral("Desktop")}, true);
            if (row[0] == "binary") {
                key->WriteBinary(QStringLiteral("MenuShowDelay"), QByteArray("\x01\x02", 2));
            } else if (row[0] == "text") {
                key->WriteString(QStringLiteral("MenuShowDelay"), row[1]);
            }
        }
        EXPECT_EQ(dk::RegistryMenuShowDelay(key), row[2].toInt());
    }
    // The delay in force is never negative.
    FakeSystemParameters params;
    params.Answers.MenuShowDelay = -5;
    EXPECT_EQ(dk::MenuShowDelayMs(), 0);
}

// The delay in force: the desktop's answer when it has one, else the value
// stored under "Control Panel\Desktop" of the desktop store, read once per
// store.
TEST(MenuShowDelay, IsReadOncePerStoreAndTheDesktopsAnswerWins) {
    FakeSystemParameters params;
    params.Answers.MenuShowDelay = std::nullopt;
    EXPECT_EQ(dk::MenuShowDelayMs(), 400); // no store at all
    FakeDesktopStore desktop;
    desktop.Write(QStringLiteral("Control Panel\\Desktop"), QStringLiteral("MenuShowDelay"),
                  QStringLiteral("120"));
    EXPECT_EQ(dk::MenuShowDelayMs(), 120);
    desktop.Write(QStringLiteral("Control Panel\\Desktop"), QStringLiteral("MenuShowDelay"),
                  QStringLiteral("30"));
    EXPECT_EQ(dk::MenuShowDelayMs(), 120); // kept from the first read
    {
        FakeDesktopStore other;
        EXPECT_EQ(dk::MenuShowDelayMs(), 400);
    }
    EXPECT_EQ(dk::MenuShowDelayMs(), 30); // the store back in force is read again
    params.Answers.MenuShowDelay = 75;
    EXPECT_EQ(dk::MenuShowDelayMs(), 75);
}

// The scheme's entry for an event is the default value of the event's
// ".Current" key; only a file name counts, and it plays through the program's
// sound service unless a sound plays already.
TEST(SoundScheme, TheDesktopStoreNamesTheFileThatPlays) {
    const struct {
        const char* stored; // "-": no key; "~": the key without a default value
        bool set;
    } rows[] = {{"-", false}, {"~", false}, {"", false}, {"/sounds/popup.wav", true}};
    const QString key = QStringLiteral("AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored);
        FakeDesktopStore desktop;
        FakeSoundService sounds;
        if (QLatin1String(row.stored) == QLatin1String("~")) {
            desktop.Write(key, QStringLiteral("Other"), QStringLiteral("x.wav"));
        } else if (QLatin1String(row.stored) != QLatin1String("-")) {
            desktop.Write(key, QString(), QString::fromLatin1(row.stored));
        }
        EXPECT_EQ(dk::SoundSchemeEntrySet(QStringLiteral("MenuPopup")), row.set);
        EXPECT_FALSE(dk::SoundSchemeEntrySet(QStringLiteral("MenuCommand")));
        dk::PlaySchemeSound(QStringLiteral("MenuPopup"));
        dk::PlaySchemeSound(QStringLiteral("MenuPopup")); // the first still plays
        const QStringList expected =
            row.set ? QStringList{QStringLiteral("play-unless-playing /sounds/popup.wav")}
                    : QStringList{};
        EXPECT_EQ(sounds.Log, expected);
    }
}

class RecordingScheme final : public dk::SoundScheme {
public:
    std::optional<QString> EntryFile(const QString& eventName) const override {
        if (eventName == QStringLiteral("MenuPopup")) {
            return QStringLiteral("/sounds/popup.wav");
        }
        if (eventName == QStringLiteral("MenuCommand")) {
            return QString(); // present but empty
        }
        return std::nullopt;
    }
    void Play(const QString& fileName) const override { played.push_back(fileName); }
    mutable std::vector<QString> played;
};

TEST(SoundScheme, OnlyEntriesWithAFileCountAndPlay) {
    EXPECT_FALSE(dk::SoundSchemeEntrySet(QStringLiteral("MenuPopup"))); // no scheme: silent
    RecordingScheme scheme;
    dk::ScopedSoundScheme installed(&scheme);
    EXPECT_TRUE(dk::SoundSchemeEntrySet(QStringLiteral("MenuPopup")));
    EXPECT_FALSE(dk::SoundSchemeEntrySet(QStringLiteral("MenuCommand")));
    EXPECT_FALSE(dk::SoundSchemeEntrySet(QStringLiteral("Other")));
    dk::PlaySchemeSound(QStringLiteral("MenuCommand"));
    dk::PlaySchemeSound(QStringLiteral("MenuPopup"));
    EXPECT_EQ(scheme.played, std::vector<QString>{QStringLiteral("/sounds/popup.wav")});
}

// --- Small routines -------------------------------------------------------------

// Kit messages queued for a receiver within the range go; others stay.
TEST(DiscardMessages, DropsTheQueuedKitMessagesOfTheRange) {
    struct Recorder : QObject {
        bool event(QEvent* e) override {
            if (const auto* message = plat::KitMessageEvent::From(e)) {
                Got.push_back(message->Msg());
                return true;
            }
            return QObject::event(e);
        }
        std::vector<int> Got;
    } receiver, other;
    for (const int msg : {1256, 1257, 1258, 1260, 1261, 1278, 2389}) {
        plat::PostMessage(&receiver, msg);
        plat::PostMessage(&other, msg);
    }
    dk::DiscardMessages(&receiver, 1257, 1260);
    dk::DiscardMessages(&receiver, 2389, 2389);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(receiver.Got, (std::vector<int>{1256, 1261, 1278}));
    EXPECT_EQ(other.Got, (std::vector<int>{1256, 1257, 1258, 1260, 1261, 1278, 2389}));
}

TEST(DivideAwayFromZero, RoundsAwayFromZero) {
    struct Case {
        int a, b, expected;
    };
    for (const Case c : {Case{7, 2, 4}, Case{-7, 2, -4}, Case{7, -2, -4}, Case{-7, -2, 4},
                         Case{6, 3, 2}, Case{1, 3, 1}, Case{0, 5, 0}, Case{5, 0, 0}}) {
        EXPECT_EQ(dk::DivideAwayFromZero(c.a, c.b), c.expected) << c.a << " / " << c.b;
    }
}

TEST(SortListWithCompare, SortsAnyInputAndKeepsTheQuicksortOrderOfEqualElements) {
    // Descending priority; the two equal ones come out exchanged.
    std::vector<std::pair<int, int>> panels{{1, 100}, {2, 50}, {3, 50}};
    dk::SortListWithCompare(panels,
                            [](const auto& a, const auto& b) { return b.second - a.second; });
    EXPECT_EQ(panels, (std::vector<std::pair<int, int>>{{1, 100}, {3, 50}, {2, 50}}));

    std::mt19937 random(7);
    for (int size : {0, 1, 2, 3, 10, 101}) {
        std::vector<int> values(static_cast<size_t>(size));
        for (int& v : values) {
            v = static_cast<int>(random() % 20);
        }
        std::vector<int> expected = values;
        std::sort(expected.begin(), expected.end());
        dk::SortListWithCompare(values, [](int a, int b) { return a - b; });
        EXPECT_EQ(values, expected) << size;
    }
}

// --- Drag outlines ------------------------------------------------------------------

// The 40 x 30 button face with what `draw` inverted on it.
QImage OnFace(const std::function<void(QPainter&)>& draw) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(0xD4, 0xD0, 0xC8));
    QPainter p(&image);
    draw(p);
    return image;
}

TEST(InvertOutline, OutlineIsTheRectangleLessItsInside) {
    const QRegion outline = dk::OutlineRegion(plat::TRect(0, 0, 10, 8), QSize(2, 1));
    int area = 0;
    for (const QRect& r : outline) {
        area += r.width() * r.height();
    }
    EXPECT_EQ(area, 10 * 8 - 6 * 6);
    EXPECT_FALSE(outline.contains(QPoint(2, 1)));
    EXPECT_TRUE(outline.contains(QPoint(1, 4)));
}

TEST(InvertOutline, MovingOrErasingLeavesExactlyTheNewOutline) {
    const plat::TRect a(2, 2, 20, 16);
    const plat::TRect b(6, 5, 30, 25);
    const QSize n(3, 3);
    const QBrush white(Qt::white);
    const QImage face = OnFace([](QPainter&) {});
    const QImage direct =
        OnFace([&](QPainter& p) { dk::InvertOutline(p, b, std::nullopt, n, n, white, white); });
    EXPECT_NE(direct, face);
    EXPECT_EQ(OnFace([&](QPainter& p) {
                  dk::InvertOutline(p, a, std::nullopt, n, n, white, white);
                  dk::InvertOutline(p, b, a, n, n, white, white);
              }),
              direct);
    // The same rectangle again changes nothing; erasing restores the face,
    // also when the old outline had another brush.
    EXPECT_EQ(OnFace([&](QPainter& p) {
                  dk::InvertOutline(p, b, std::nullopt, n, n, white, white);
                  dk::InvertOutline(p, b, b, n, n, white, white);
                  dk::InvertOutline(p, std::nullopt, b, n, n, white, white);
              }),
              face);
    EXPECT_EQ(OnFace([&](QPainter& p) {
                  dk::InvertHalftoneOutline(p, a, std::nullopt, n, n);
                  dk::InvertOutline(p, a, a, n, n, white, dk::MakeHalftoneBrush());
                  dk::InvertOutline(p, std::nullopt, a, n, n, white, white);
              }),
              face);
    // The halftone inverts every other pixel.
    QImage black(4, 2, QImage::Format_RGB32);
    black.fill(Qt::black);
    {
        QPainter p(&black);
        dk::InvertHalftoneOutline(p, plat::TRect(0, 0, 4, 2), std::nullopt, QSize(4, 2), QSize());
    }
    const PixelLegend legend{{qRgb(0, 0, 0), '.'}, {qRgb(255, 255, 255), 'W'}};
    EXPECT_EQ(PixelPicture(black, legend), (QStringList{"W.W.", ".W.W"}));
}

// --- Vertical text ----------------------------------------------------------------

TEST(DrawVerticalText, RunsDownwardsCentredInTheRectangle) {
    QImage image(40, 160, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setPen(Qt::black);
        dk::DrawVerticalText(p, u"&Toolbar caption", plat::TRect(0, 0, 40, 160), 0);
    }
    QRect inked;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                inked |= QRect(x, y, 1, 1);
            }
        }
    }
    ASSERT_FALSE(inked.isEmpty());
    EXPECT_GT(inked.height(), 3 * inked.width());
    // Centred across: the ink lies in the middle band of the 40-pixel width.
    const int line = QFontMetrics(QFont()).height();
    EXPECT_GE(inked.left(), 20 - line);
    EXPECT_LE(inked.right(), 20 + line);
}

// The accelerator's underline: one pixel wide, in the text colour, at the
// descent less 2 from the text's reference column, running down from the
// width of the text before the accelerator over the accelerator's width. It
// is what the text drawn with and without the prefix hidden differs in.
TEST(DrawVerticalText, UnderlinesTheAcceleratorTwoPixelsInsideTheDescent) {
    const plat::TRect rect(0, 0, 40, 160);
    const auto draw = [&](QStringView text, unsigned format) {
        QImage image(40, 160, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setPen(Qt::black);
        dk::DrawVerticalText(p, text, rect, format);
        return image;
    };
    for (const QString& text : {QStringLiteral("&Toolbar"), QStringLiteral("Tool&bar")}) {
        SCOPED_TRACE(text.toStdString());
        const QImage underlined = draw(text, 0);
        const QImage hidden = draw(text, plat::DT_HIDEPREFIX);
        QRect line;
        for (int y = 0; y < underlined.height(); ++y) {
            for (int x = 0; x < underlined.width(); ++x) {
                if (underlined.pixel(x, y) != hidden.pixel(x, y)) {
                    line |= QRect(x, y, 1, 1);
                }
            }
        }
        const QFontMetrics metrics(QFont(), &underlined);
        const QString plain = QString(text).remove(u'&');
        const int accel = int(text.indexOf(u'&'));
        const int x = (40 - metrics.height()) / 2;
        const int y = (160 - metrics.horizontalAdvance(plain)) / 2;
        EXPECT_EQ(line.left(), x + metrics.descent() - 2);
        EXPECT_EQ(line.width(), 1);
        EXPECT_EQ(line.top(), y + metrics.horizontalAdvance(plain.left(accel)));
        EXPECT_LE(line.bottom() + 1, line.top() + metrics.horizontalAdvance(plain.mid(accel, 1)));
        EXPECT_GT(line.height(), 1);
    }
}

// --- Thread hooks --------------------------------------------------------------------

class FakeBackend final : public dk::ThreadHookBackend {
public:
    void Install(int slot) override { log.push_back("+" + std::to_string(slot)); }
    void Remove(int slot) override { log.push_back("-" + std::to_string(slot)); }
    std::vector<std::string> log;
};

std::vector<std::string>* calls = nullptr;

void ProcA(dk::KitHookMessage&) {
    calls->push_back("A");
}
void ProcB(dk::KitHookMessage&) {
    calls->push_back("B");
}
void ProcThrows(dk::KitHookMessage&) {
    calls->push_back("T");
    throw std::runtime_error("hook failed");
}
void ProcLeaves(dk::KitHookMessage&) {
    calls->push_back("L");
    dk::UnregisterThreadHookProc(&ProcLeaves);
}

class ThreadHooks : public ::testing::Test {
protected:
    void SetUp() override { calls = &calls_; }
    void TearDown() override {
        for (dk::KitHookProc proc : {&ProcA, &ProcB, &ProcThrows, &ProcLeaves}) {
            while (dk::ThreadHookRegistrationCount(proc) > 0) {
                dk::UnregisterThreadHookProc(proc);
            }
        }
        EXPECT_EQ(dk::ThreadHookProcCount(), 0);
        calls = nullptr;
    }

    std::vector<std::string> Dispatch(dk::KitHookCode code) {
        calls_.clear();
        dk::KitHookMessage message{code};
        dk::DispatchThreadHook(message);
        return calls_;
    }

    FakeBackend backend_;
    dk::ScopedThreadHookBackend scope_{&backend_};
    std::vector<std::string> calls_;
};

constexpr dk::KitHookCodes kActivate = dk::HookCodeBit(dk::KitHookCode::hcActivateApp);
constexpr dk::KitHookCodes kDestroy = dk::HookCodeBit(dk::KitHookCode::hcDestroyWindow);
constexpr dk::KitHookCodes kGetMessage = dk::HookCodeBit(dk::KitHookCode::hcGetMessage);

TEST_F(ThreadHooks, RegistrationsAreCountedAndEachLowersOnlyWhatItRaised) {
    dk::RegisterThreadHookProc(&ProcA, kActivate);
    dk::RegisterThreadHookProc(&ProcA, kGetMessage | kDestroy);
    EXPECT_EQ(dk::ThreadHookProcCount(), 1);
    EXPECT_EQ(backend_.log, (std::vector<std::string>{"+0", "+1", "+2"}));
    dk::UnregisterThreadHookProc(&ProcB); // a stranger: nothing changes
    dk::UnregisterThreadHookProc(&ProcA); // the second registration goes first
    EXPECT_TRUE(dk::ThreadHookInstalled(0));
    EXPECT_FALSE(dk::ThreadHookInstalled(1));
    EXPECT_FALSE(dk::ThreadHookInstalled(2));
    EXPECT_EQ(Dispatch(dk::KitHookCode::hcGetMessage), std::vector<std::string>{});
    EXPECT_EQ(Dispatch(dk::KitHookCode::hcActivateApp), std::vector<std::string>{"A"});
    dk::UnregisterThreadHookProc(&ProcA);
    EXPECT_EQ(dk::ThreadHookProcCount(), 0);

    // A count-only registration never removes another one's hook.
    dk::RegisterThreadHookProc(&ProcB, kActivate);
    dk::RegisterThreadHookProc(&ProcA, kActivate, /*onlyIncrementCount=*/true);
    dk::UnregisterThreadHookProc(&ProcA);
    EXPECT_TRUE(dk::ThreadHookInstalled(0));
    EXPECT_EQ(dk::ThreadHookInstallCount(0), 1);
    dk::UnregisterThreadHookProc(&ProcB);
    EXPECT_EQ(dk::ThreadHookInstallCount(0), 0);
    EXPECT_FALSE(dk::ThreadHookInstalled(0));
}

TEST_F(ThreadHooks, DispatchKeepsOrderSurvivesFailuresAndSelfRemoval) {
    dk::RegisterThreadHookProc(&ProcThrows, kActivate);
    dk::RegisterThreadHookProc(&ProcLeaves, kActivate);
    dk::RegisterThreadHookProc(&ProcA, kActivate | kGetMessage);
    dk::RegisterThreadHookProc(&ProcB, kDestroy);
    EXPECT_EQ(Dispatch(dk::KitHookCode::hcActivateApp), (std::vector<std::string>{"T", "L", "A"}));
    EXPECT_EQ(dk::ThreadHookRegistrationCount(&ProcLeaves), 0);
    EXPECT_EQ(Dispatch(dk::KitHookCode::hcActivateApp), (std::vector<std::string>{"T", "A"}));
    // Same hook as activation, but nobody asked for this code.
    EXPECT_EQ(Dispatch(dk::KitHookCode::hcWindowPosChanged), std::vector<std::string>{});
    EXPECT_EQ(Dispatch(dk::KitHookCode::hcDestroyWindow), std::vector<std::string>{"B"});
}

// The Qt stand-in for the hooks, with real events.
struct SeenEvent {
    dk::KitHookCode code;
    QObject* window;
    int eventType;
};
std::vector<SeenEvent>* seen = nullptr;
bool swallowKitMessages = false;

void Recorder(dk::KitHookMessage& message) {
    seen->push_back({message.Code, message.Window,
                     message.Event != nullptr ? static_cast<int>(message.Event->type()) : -1});
    if (swallowKitMessages && message.Event != nullptr &&
        plat::KitMessageEvent::InBand(message.Event->type())) {
        message.Handled = true;
    }
}

class Receiver final : public QObject {
public:
    bool event(QEvent* e) override {
        if (plat::KitMessageEvent::From(e) != nullptr) {
            ++received;
            return true;
        }
        return QObject::event(e);
    }
    int received = 0;
};

TEST(QtThreadHooks, ReportQueuedEventsShownAndDestroyedWindows) {
    std::vector<SeenEvent> events;
    seen = &events;
    dk::RegisterThreadHookProc(&Recorder, kGetMessage | kDestroy |
                                              dk::HookCodeBit(dk::KitHookCode::hcWindowPosChanged));
    Receiver receiver;
    plat::PostMessage(&receiver, 1280);
    QCoreApplication::sendPostedEvents(&receiver);
    EXPECT_EQ(receiver.received, 1);
    swallowKitMessages = true;
    plat::PostMessage(&receiver, 1280);
    QCoreApplication::sendPostedEvents(&receiver);
    swallowKitMessages = false;
    EXPECT_EQ(receiver.received, 1); // handled by the hook, never delivered

    auto* window = new QWidget;
    window->show();
    QObject* const address = window;
    delete window;

    dk::UnregisterThreadHookProc(&Recorder);
    EXPECT_FALSE(dk::ThreadHookInstalled(0));
    EXPECT_FALSE(dk::ThreadHookInstalled(2));
    const auto count = [&](dk::KitHookCode code, QObject* target) {
        return std::count_if(events.begin(), events.end(), [&](const SeenEvent& e) {
            return e.code == code && e.window == target;
        });
    };
    EXPECT_EQ(count(dk::KitHookCode::hcGetMessage, &receiver), 2);
    EXPECT_GE(count(dk::KitHookCode::hcWindowPosChanged, address), 1);
    EXPECT_EQ(count(dk::KitHookCode::hcDestroyWindow, address), 1);

    // Once removed, nothing reaches the procedure.
    events.clear();
    plat::PostMessage(&receiver, 1280);
    QCoreApplication::sendPostedEvents(&receiver);
    EXPECT_TRUE(events.empty());
    seen = nullptr;
}

} // namespace

#include "dockkit/common/DkCommon.h"

#include "platform/core/DesktopSettings.h"
#include "platform/gui/AccelText.h"
#include "platform/gui/Drawing.h"
#include "platform/gui/KitMessage.h"
#include "platform/gui/Screens.h"
#include "platform/gui/Sound.h"
#include "platform/gui/SystemParams.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QWidget>

#include <cstdint>

namespace dk {

namespace {

// The stored delay, read once per desktop store (the program has one).
int StoredMenuShowDelay() {
    struct Cache {
        bool read = false;
        uint64_t generation = 0;
        int delay = 0;
    };
    static Cache cache;
    const uint64_t generation = plat::DesktopStoreGeneration();
    if (!cache.read || cache.generation != generation) {
        cache.delay = RegistryMenuShowDelay(plat::OpenDesktopKey(u"Control Panel\\Desktop"));
        cache.generation = generation;
        cache.read = true;
    }
    return cache.delay;
}

} // namespace

int MenuShowDelayMs() {
    const std::optional<int> desktop = plat::CurrentSystemParameters().MenuShowDelay();
    return std::max(0, desktop ? *desktop : StoredMenuShowDelay());
}

int RegistryMenuShowDelay(const std::optional<plat::Registry::Key>& desktopKey) {
    constexpr int kDefaultDelay = 400;
    const QString name = QStringLiteral("MenuShowDelay");
    if (!desktopKey || !desktopKey->ValueExists(name)) {
        return kDefaultDelay;
    }
    const std::optional<QString> text = desktopKey->ReadString(name);
    if (!text || text->isEmpty()) {
        return 0;
    }
    // A whole decimal number: an optional sign and digits only, as the
    // desktop's own conversion accepts it.
    bool ok = false;
    const int value = text->toInt(&ok, 10);
    const bool digitsOnly = std::all_of(text->begin() + ((*text)[0] == u'-' || (*text)[0] == u'+'),
                                        text->end(), [](QChar c) { return c.isDigit(); });
    return ok && digitsOnly ? value : 0;
}

bool RunningWindowsXP() {
    return true;
}

bool FlatMenusOn() {
    return RunningWindowsXP() && plat::CurrentSystemParameters().FlatMenus();
}

bool KeyboardCuesOn() {
    return plat::CurrentSystemParameters().KeyboardCues();
}

void SoundScheme::Play(const QString& fileName) const {
    plat::CurrentSoundService().PlayFileUnlessPlaying(fileName);
}

std::optional<QString> DesktopSoundScheme::EntryFile(const QString& eventName) const {
    const std::optional<plat::Registry::Key> key =
        plat::OpenDesktopKey(QStringLiteral("AppEvents\\Schemes\\Apps\\.Default\\") + eventName +
                             QStringLiteral("\\.Current"));
    if (!key) {
        return std::nullopt;
    }
    // The key's default value: a present key without it names no file.
    return key->ReadString(QString()).value_or(QString());
}

namespace {

const SoundScheme& CurrentScheme() {
    static const DesktopSoundScheme desktop;
    const SoundScheme* installed = ScopedSoundScheme::Current();
    return installed != nullptr ? *installed : desktop;
}

} // namespace

bool SoundSchemeEntrySet(const QString& eventName) {
    const std::optional<QString> file = CurrentScheme().EntryFile(eventName);
    return file && !file->isEmpty();
}

void PlaySchemeSound(const QString& eventName) {
    const SoundScheme& scheme = CurrentScheme();
    const std::optional<QString> file = scheme.EntryFile(eventName);
    if (file && !file->isEmpty()) {
        scheme.Play(*file);
    }
}

bool MultipleMonitorsInUse() {
    return plat::CurrentScreens().Count() > 1;
}

plat::TRect PrimaryMonitorRect(bool workArea) {
    return plat::CurrentScreens().PrimaryRect(workArea);
}

plat::TRect MonitorRectForRect(const plat::TRect& rect, bool workArea) {
    return plat::CurrentScreens().RectForRect(rect, workArea);
}

plat::TRect MonitorRectForPoint(QPoint point, bool workArea) {
    return plat::CurrentScreens().RectForPoint(point, workArea);
}

namespace {
thread_local int mouseTrackingUsers = 0;
} // namespace

void PrepareMouseTracking() {
    ++mouseTrackingUsers;
}

int MouseTrackingUseCount() {
    return mouseTrackingUsers;
}

bool RequestMouseTracking(QWidget* widget) {
    if (widget == nullptr) {
        return false;
    }
    widget->setMouseTracking(true);
    return true;
}

QFont KitMenuFont() {
    return QApplication::font("QMenu");
}

void RealiseKitMenuFont() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    const QFontMetrics metrics(KitMenuFont());
    // A caption's glyphs, so that the engine behind the font is loaded too.
    (void)metrics.horizontalAdvance(QStringLiteral("&File"));
}

int FontTextHeight(const QFontMetrics& metrics) {
    return metrics.height();
}

int MeasureTextWidth(const QFontMetrics& metrics, QStringView text, bool prefix) {
    return plat::TextWidth(metrics, text, prefix);
}

QChar AcceleratorCharOf(QStringView text) {
    return plat::AcceleratorCharOf(text);
}

void DrawVerticalText(QPainter& painter, QStringView text, const plat::TRect& rect,
                      unsigned format) {
    const plat::AccelText parsed = plat::ParseAccelerators(text);
    const QFontMetrics metrics(painter.font(), painter.device());
    const int textWidth = metrics.horizontalAdvance(parsed.Text);
    // The reference point is the bottom of the character cell, which faces
    // left once the text runs downwards.
    const int x = rect.Left + (rect.Width() - metrics.height()) / 2;
    const int y = rect.Top + (rect.Height() - textWidth) / 2;
    painter.save();
    painter.translate(x, y);
    painter.rotate(90);
    painter.drawText(QPointF(0, -metrics.descent()), parsed.Text);
    painter.restore();
    if ((format & plat::DT_HIDEPREFIX) == 0 && parsed.AccelIndex >= 0) {
        const int from = y + metrics.horizontalAdvance(parsed.Text.left(parsed.AccelIndex));
        const int length = metrics.horizontalAdvance(parsed.Text.mid(parsed.AccelIndex, 1));
        const int lineX = x + metrics.descent() - 2;
        painter.fillRect(QRect(lineX, from, 1, length), painter.pen().color());
    }
}

QRegion OutlineRegion(const plat::TRect& rect, QSize size) {
    plat::TRect inner = rect;
    inner.Inflate(-size.width(), -size.height());
    QRegion region(rect.ToQRect());
    if (!inner.IsEmpty()) {
        region -= QRegion(inner.ToQRect());
    }
    return region;
}

namespace {

void InvertRegion(QPainter& painter, const QRegion& region, const QBrush& brush) {
    if (region.isEmpty()) {
        return;
    }
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    for (const QRect& r : region) {
        painter.drawRect(r);
    }
    painter.restore();
}

} // namespace

void InvertOutline(QPainter& painter, const std::optional<plat::TRect>& newRect,
                   const std::optional<plat::TRect>& oldRect, QSize newSize, QSize oldSize,
                   const QBrush& newBrush, const QBrush& oldBrush) {
    const QRegion fresh = newRect ? OutlineRegion(*newRect, newSize) : QRegion();
    const QRegion stale = oldRect ? OutlineRegion(*oldRect, oldSize) : QRegion();
    if (newRect && oldRect && newBrush != oldBrush) {
        InvertRegion(painter, stale, oldBrush);
        InvertRegion(painter, fresh, newBrush);
        return;
    }
    if (newRect && oldRect) {
        InvertRegion(painter, fresh.xored(stale), newBrush);
    } else if (newRect) {
        InvertRegion(painter, fresh, newBrush);
    } else if (oldRect) {
        InvertRegion(painter, stale, oldBrush);
    }
}

QBrush MakeHalftoneBrush() {
    return plat::HalftoneBrush();
}

void InvertHalftoneOutline(QPainter& painter, const std::optional<plat::TRect>& newRect,
                           const std::optional<plat::TRect>& oldRect, QSize newSize,
                           QSize oldSize) {
    const QBrush brush = MakeHalftoneBrush();
    InvertOutline(painter, newRect, oldRect, newSize, oldSize, brush, brush);
}

int DivideAwayFromZero(int a, int b) {
    if (b == 0) {
        return 0;
    }
    const long long q = static_cast<long long>(a) / b;
    const long long r = static_cast<long long>(a) % b;
    if (r == 0) {
        return static_cast<int>(q);
    }
    return static_cast<int>(((a < 0) != (b < 0)) ? q - 1 : q + 1);
}

void FlushPaintMessages() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
}

void DiscardMessages(QObject* receiver, int minMsg, int maxMsg) {
    minMsg = std::max(minMsg, 0);
    maxMsg = std::min(maxMsg, plat::KitMessageEvent::kLastMessage);
    for (int msg = minMsg; msg <= maxMsg; ++msg) {
        QCoreApplication::removePostedEvents(receiver, plat::KitMessageEvent::TypeOf(msg));
    }
}

} // namespace dk

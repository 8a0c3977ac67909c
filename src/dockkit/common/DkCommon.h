#pragma once
// Services every part of the kit calls: desktop settings that change how
// menus behave, the menu sounds of the desktop's sound scheme, monitor
// rectangles, mouse tracking, text with "&" accelerators and vertical
// captions, drag outlines drawn by inversion, and small list routines.

#include "platform/core/Registry.h"
#include "platform/core/ScopedOverride.h"
#include "platform/gui/Rect.h"

#include <QBrush>
#include <QFont>
#include <QPoint>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

class QFontMetrics;
class QObject;
class QPainter;
class QWidget;

namespace dk {

// --- Desktop settings -------------------------------------------------------

// Milliseconds before a submenu opens by itself, never negative: the
// desktop's setting, or when the desktop cannot say, the value stored under
// "Control Panel\Desktop" of the desktop store (read once per store).
int MenuShowDelayMs();
// The delay as the desktop's own settings store keeps it under
// "Control Panel\Desktop": no key or no "MenuShowDelay" value gives 400; a
// value that is not text, or text that is not a whole decimal number, gives 0.
int RegistryMenuShowDelay(const std::optional<plat::Registry::Key>& desktopKey);
// The desktop's version profile: the kit takes the newest classic behaviour.
bool RunningWindowsXP();
bool FlatMenusOn();
// Whether accelerators are underlined before the keyboard has been used.
bool KeyboardCuesOn();

// The menu sounds ("MenuPopup", "MenuCommand") of the desktop's sound scheme.
class SoundScheme {
public:
    virtual ~SoundScheme() = default;
    // The sound file of the event: nothing when the scheme has no entry for
    // it, an empty name when the entry names no file.
    virtual std::optional<QString> EntryFile(const QString& eventName) const = 0;
    // Plays a file asynchronously through the program's sound service,
    // unless a sound is playing already (that one is not stopped).
    virtual void Play(const QString& fileName) const;
};
// The scheme of the desktop store: the default value of the key
// "AppEvents\Schemes\Apps\.Default\<event>\.Current" names the file. Without a
// store, or without the key, there is no entry: menus are silent.
class DesktopSoundScheme final : public SoundScheme {
public:
    std::optional<QString> EntryFile(const QString& eventName) const override;
};
// A scheme put in force instead of the desktop's (tests).
struct SoundSchemeTag;
using ScopedSoundScheme = plat::ScopedOverride<const SoundScheme*, SoundSchemeTag>;

// Whether the scheme in force names a file for the event.
bool SoundSchemeEntrySet(const QString& eventName);
// Plays the scheme's sound of the event when it has one.
void PlaySchemeSound(const QString& eventName);

// --- Monitors ----------------------------------------------------------------

bool MultipleMonitorsInUse();
plat::TRect PrimaryMonitorRect(bool workArea);
plat::TRect MonitorRectForRect(const plat::TRect& rect, bool workArea);
plat::TRect MonitorRectForPoint(QPoint point, bool workArea);

// --- Mouse tracking ----------------------------------------------------------

// Counts the users of mouse tracking.
void PrepareMouseTracking();
int MouseTrackingUseCount();
// Asks for move and leave events of the widget; false without a widget.
bool RequestMouseTracking(QWidget* widget);

// --- Text --------------------------------------------------------------------

// The kit's menu font, the one font object its menus, menu bars and tool
// bars share: the application's menu font.
QFont KitMenuFont();
// Loads the menu font's glyphs and metrics now (with the font database
// behind them), so that the first menu does not pay for it; the kit's start
// and a change of the application's fonts run it.
void RealiseKitMenuFont();

int FontTextHeight(const QFontMetrics& metrics);
// The width of the text; with `prefix` the "&" marks are removed first.
int MeasureTextWidth(const QFontMetrics& metrics, QStringView text, bool prefix);
// The character after the last single "&"; a null character when there is none.
QChar AcceleratorCharOf(QStringView text);
// Writes the text running downwards (tops of the letters to the right),
// centred in the rectangle, in the painter's font and pen colour, with its
// accelerator underlined unless `format` holds plat::DT_HIDEPREFIX.
void DrawVerticalText(QPainter& painter, QStringView text, const plat::TRect& rect,
                      unsigned format);

// --- Drag outlines -------------------------------------------------------------

// The frame of the rectangle `size.width()` pixels wide at the sides and
// `size.height()` at the top and bottom.
QRegion OutlineRegion(const plat::TRect& rect, QSize size);
// Inverts outlines by XOR with the brush: with only a new rectangle it draws
// the new outline, with only an old one it erases the old one, with both it
// moves the outline, inverting only the pixels that change. When the brushes
// differ, the old outline is inverted with its own brush first.
void InvertOutline(QPainter& painter, const std::optional<plat::TRect>& newRect,
                   const std::optional<plat::TRect>& oldRect, QSize newSize, QSize oldSize,
                   const QBrush& newBrush, const QBrush& oldBrush);
// An 8 x 8 checkerboard: rows alternate 0x55 and 0xAA.
QBrush MakeHalftoneBrush();
void InvertHalftoneOutline(QPainter& painter, const std::optional<plat::TRect>& newRect,
                           const std::optional<plat::TRect>& oldRect, QSize newSize, QSize oldSize);

// --- Small routines -------------------------------------------------------------

// Sorts in place by quicksort with the middle element as pivot (Hoare
// partition), the order equal elements come out in being the algorithm's.
// `compare(a, b)` answers below, equal to or above 0.
template <typename T, typename Compare>
void SortListWithCompare(std::vector<T>& list, Compare compare) {
    if (list.size() < 2) {
        return;
    }
    struct Sorter {
        std::vector<T>& a;
        Compare& cmp;
        void Run(int l, int r) {
            int i = l;
            do {
                i = l;
                int j = r;
                const T pivot = a[static_cast<size_t>((l + r) / 2)];
                do {
                    while (cmp(a[static_cast<size_t>(i)], pivot) < 0) {
                        ++i;
                    }
                    while (cmp(a[static_cast<size_t>(j)], pivot) > 0) {
                        --j;
                    }
                    if (i <= j) {
                        std::swap(a[static_cast<size_t>(i)], a[static_cast<size_t>(j)]);
                        ++i;
                        --j;
                    }
                } while (i <= j);
                if (l < j) {
                    Run(l, j);
                }
                l = i;
            } while (i < r);
        }
    };
    Sorter{list, compare}.Run(0, static_cast<int>(list.size()) - 1);
}

// Adds the item to the list, creating the list on first use; true when added.
template <typename T>
bool AddOnce(std::unique_ptr<std::vector<T>>& list, const T& item) {
    if (!list) {
        list = std::make_unique<std::vector<T>>();
    }
    if (std::find(list->begin(), list->end(), item) != list->end()) {
        return false;
    }
    list->push_back(item);
    return true;
}

// Removes the item and releases the list once it is empty.
template <typename T>
void RemoveAndRelease(std::unique_ptr<std::vector<T>>& list, const T& item) {
    if (!list) {
        return;
    }
    const auto it = std::find(list->begin(), list->end(), item);
    if (it != list->end()) {
        list->erase(it);
    }
    if (list->empty()) {
        list.reset();
    }
}

// a / b rounded away from zero; 0 when b is 0.
int DivideAwayFromZero(int a, int b);

// Delivers the paints that are waiting, now.
void FlushPaintMessages();
// Drops the kit messages minMsg .. maxMsg queued for the receiver (every
// receiver when null).
void DiscardMessages(QObject* receiver, int minMsg, int maxMsg);

} // namespace dk

#pragma once

#include "console/ConsoleModel.h"
#include "console/FontCache.h"
#include "console/LineGeometry.h"
#include "console/LineIndex.h"
#include "console/LineLayout.h"
#include "platform/core/Exception.h"
#include "platform/core/Format.h"
#include "platform/core/Guarded.h"
#include "platform/gui/Drawing.h"
#include "platform/gui/ImageList.h"

#include <QAbstractScrollArea>
#include <QMenu>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <initializer_list>

class QTimer;
class TQvCustomConsole;

// A broken promise of a caller (a missing line, for example).
using TConsoleException = plat::Exception;
PLAT_DECLARE_EXCEPTION(EAssertionFailed, TConsoleException);

// Smooth scrolling and trimming settings of a console.
class TScrollingData {
public:
    bool SmoothScrolling() const { return smoothScrolling_; }
    void SetSmoothScrolling(bool value) { smoothScrolling_ = value; }
    int MaxScrollSpeed() const { return maxScrollSpeed_; }
    void SetMaxScrollSpeed(int value) { maxScrollSpeed_ = qMax(1, value); }
    int AccelerationRange() const { return accelerationRange_; }
    void SetAccelerationRange(int value) { accelerationRange_ = qMax(0, value); }
    int DecelerationRange() const { return decelerationRange_; }
    void SetDecelerationRange(int value) { decelerationRange_ = qMax(0, value); }
    bool RemoveLinesWhileScrolledUp() const { return removeLinesWhileScrolledUp_; }
    void SetRemoveLinesWhileScrolledUp(bool value) { removeLinesWhileScrolledUp_ = value; }

    void Assign(const TScrollingData& source) { *this = source; }

private:
    bool smoothScrolling_ = false;
    int maxScrollSpeed_ = 20;
    int accelerationRange_ = 210;
    int decelerationRange_ = 210;
    bool removeLinesWhileScrolledUp_ = false;
};

// The fonts of links: normal and hovered.
class TLinkData {
public:
    const plat::ColoredFont& Font() const { return font_; }
    void SetFont(const plat::ColoredFont& value);
    const plat::ColoredFont& HoverFont() const { return hoverFont_; }
    void SetHoverFont(const plat::ColoredFont& value);
    void Assign(const TLinkData& source);

private:
    friend class TQvCustomConsole;
    void Changed();

    plat::ColoredFont font_;
    plat::ColoredFont hoverFont_;
    TQvCustomConsole* owner_ = nullptr;
};

// The chat console: lines of markup painted bottom-up, newest at the bottom,
// with links, selection and copying, a line limit and smooth scrolling.
class TQvCustomConsole : public QAbstractScrollArea {
    Q_OBJECT
public:
    using TLinkEvent = std::function<void(TQvCustomConsole* Sender, const QString& Name,
                                          const QString& Params, const QString& Hint)>;
    using TSelectEvent = std::function<void(TQvCustomConsole* Sender, const QString& SelectedText)>;
    using TTextAddedEvent =
        std::function<void(TQvCustomConsole* Sender, int LineCount, bool ScrolledUp)>;
    using TNotifyEvent = std::function<void(TQvCustomConsole* Sender)>;
    using TMouseEvent = std::function<void(TQvCustomConsole* Sender, Qt::MouseButton Button,
                                           Qt::KeyboardModifiers Shift, int X, int Y)>;
    using TMouseMoveEvent =
        std::function<void(TQvCustomConsole* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;
    using TContextPopupEvent =
        std::function<void(TQvCustomConsole* Sender, QPoint MousePos, bool& Handled)>;
    using TMouseWheelEvent =
        std::function<void(TQvCustomConsole* Sender, Qt::KeyboardModifiers Shift, int WheelDelta,
                           QPoint MousePos, bool& Handled)>;
    using TMouseWheelUpDownEvent = std::function<void(
        TQvCustomConsole* Sender, Qt::KeyboardModifiers Shift, QPoint MousePos, bool& Handled)>;

    // Row heights, text widths and selection marks are kept for this many
    // lines near the view (more while one paint needs more); enough for a
    // view of several hundred rows and for laying out the default line limit
    // again without measuring text. Other lines keep only their height.
    static constexpr int kGeometryLines = 512;

    explicit TQvCustomConsole(QWidget* parent = nullptr);
    ~TQvCustomConsole() override;

    // Line operations.
    virtual void ResetLayout();
    // Adds a line of markup after `After` (newest when null). Raises
    // EConvertError for a bad colour, adding nothing. Returns the line, or
    // null when the line limit removed it at once.
    virtual TMessageNode* AddLine(const QString& Text, TMessageNode* After = nullptr,
                                  bool DetectURLs = false);
    virtual TMessageNode* AddLineFmt(const QString& Format,
                                     std::initializer_list<plat::FormatArg> Args,
                                     TMessageNode* After = nullptr, bool DetectURLs = false);
    virtual void SetLineText(TMessageNode* Line, const QString& Text, bool RenewTimestamp);
    virtual void SetLineTextFmt(TMessageNode* Line, const QString& Format,
                                std::initializer_list<plat::FormatArg> Args, bool RenewTimestamp);
    virtual void DeleteLine(TMessageNode* Line);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    void ScrollBy(int Delta);
    void SetScrollPosition(int Value);

    // The lines and the scrolling state.
    int LineCount() const { return lines_.Count(); }
    TMessageNode* FirstLine() const { return lines_.First(); }
    TMessageNode* LastLine() const { return lines_.Last(); }
    int ScrollPosition();
    int ScrollTarget();
    int ScrollRange();
    int ClientWidth() const;
    int ClientHeight() const;
    TLinkInformation LinkInformation() const;
    // The heights of a line's rows at the current layout.
    QList<int> RowHeights(TMessageNode* Line);
    // Lines whose geometry is kept.
    int GeometryLines() const { return geometry_.Count(); }

    // Properties.
    QString PackageVersion() const { return QStringLiteral("1.09"); }
    void SetPackageVersion(const QString&) {}
    bool StoreText() const { return storeText_; }
    void SetStoreText(bool value) { storeText_ = value; }
    plat::ImageList* ImageList() const { return imageList_; }
    void SetImageList(plat::ImageList* value);
    int BlinkInterval() const;
    void SetBlinkInterval(int value);
    TConsoleOptions Options() const { return options_; }
    void SetOptions(TConsoleOptions value);
    const QStringList& DesignText() const { return designText_; }
    void SetDesignText(const QStringList& value) { designText_ = value; }
    int LeftMargin() const { return leftMargin_; }
    void SetLeftMargin(int value);
    int RightMargin() const { return rightMargin_; }
    void SetRightMargin(int value);
    int Limit() const { return limit_; }
    void SetLimit(int value);
    int LineSpacing() const { return lineSpacing_; }
    void SetLineSpacing(int value);
    TScrollingData& Scrolling() { return scrolling_; }
    void SetScrolling(const TScrollingData& value) { scrolling_.Assign(value); }
    TEdgeType Edge() const { return edge_; }
    void SetEdge(TEdgeType value);
    TLinkData& Links() { return links_; }
    void SetLinks(const TLinkData& value) { links_.Assign(value); }
    bool TimestampVisible() const { return timestampVisible_; }
    void SetTimestampVisible(bool value);
    const QString& TimestampFormat() const { return timestampFormat_; }
    void SetTimestampFormat(const QString& value);
    TIndentType IndentType() const { return indentType_; }
    void SetIndentType(TIndentType value);
    int IndentAmount() const { return indentAmount_; }
    void SetIndentAmount(int value);
    bool TimestampEmptyLines() const { return timestampEmptyLines_; }
    void SetTimestampEmptyLines(bool value) { timestampEmptyLines_ = value; }
    TQvConsoleWhitespace Whitespace() const { return whitespace_; }
    void SetWhitespace(TQvConsoleWhitespace value) { whitespace_ = value; }
    const plat::ColoredFont& PreFont() const { return preFont_; }
    // Null puts a fresh default font in place.
    void SetPreFont(const plat::ColoredFont* value);
    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value);
    const plat::ColoredFont& Font() const { return font_; }
    void SetFont(const plat::ColoredFont& value);
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& value) { hint_ = value; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value) { showHint_ = value; }
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* value) { popupMenu_ = value; }

    // What the blink timer does on every tick.
    void BlinkTimerTick();
    bool BlinkPhase() const { return blinkPhase_; }
    // The mouse left the control (also called by owners after a pop-up menu).
    void MouseLeave();

    // Events.
    TLinkEvent OnLink;
    TSelectEvent OnSelect;
    TTextAddedEvent OnTextAdded;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TContextPopupEvent OnContextPopup;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class TLinkData;

    // Runs body inside an update bracket that is always closed.
    template <typename F>
    void Batch(F&& body) {
        BeginUpdate();
        try {
            body();
        } catch (...) {
            plat::Guarded([this] { EndUpdate(); });
            throw;
        }
        EndUpdate();
    }

    // Layout bookkeeping (QvConsoleLines.cpp).
    // A new line parsed from markup, not yet in the list.
    std::unique_ptr<TMessageNode> MakeLine(const QString& text, bool detectURLs) const;
    // Moves the view for a new line of the height; whether all of it must be
    // repainted (repaintAll, or a smooth scroll).
    bool ScrollForNewLine(int height, bool repaintAll);
    const TLayoutEnv& Env();
    int UsableWidth() const;
    // Makes every line's height stale; `settings`: not only the width changed.
    void BumpLayoutStamp(bool settings);
    // Measures the line's height; `keep` keeps its geometry for painting.
    void MeasureLine(TMessageNode& line, TLineLayout& layout, bool keep);
    void SetLineHeight(TMessageNode& line, int height);
    // The index of line positions, rebuilt first when it went stale.
    const TLineIndex& Index();
    bool HasLine(const TMessageNode* line);
    void RemeasureLine(TMessageNode& line);
    // The line's geometry laid out for placing, measured again if it was dropped.
    TLineGeometry& GeometryFor(TMessageNode& line, TLineLayout& layout);
    int RawRange();
    void EnsureLayout();
    void InvalidateLayout();
    void ContentChanged();
    void ClampScroll();
    int RowHeight();
    int EffectivePosition() const;
    bool ApplyLimit(const TMessageNode* watch = nullptr, bool* watchRemoved = nullptr);
    void RemoveLine(TMessageNode* line, bool limit = false);
    bool OldestLineInView() const;
    void DropReferencesTo(const TMessageNode* line);
    void ClearSelectedFlags();
    void CountBlinking(const TChunkList& chunks, int delta);

    // Painting and scrolling (QvConsolePaint.cpp).
    // Lays out (and paints, with a painter) the lines in view; the oldest and
    // the newest line placed.
    void PlaceVisible(QPainter* painter, const QRect& paintRect, TMessageNode** oldestPlaced,
                      TMessageNode** newestPlaced = nullptr);
    // The newest line whose top lies above the client area's bottom, and its bottom.
    TMessageNode* NewestLineReaching(int& bottom);
    void EnsureHitAreas();
    void UpdateScrollBar();
    void SmoothScrollStep();
    // Paints are paced to the display's frame rate: content that changes
    // again within a frame (a flood of lines, one event-loop turn each) is
    // painted once, when the frame is due.
    void RequestFrame();
    void DeliverFrame();
    void FlushScroll();
    void ScrollBarAction(int action);
    void ScrollBarReleased();

    // Mouse and links (QvConsoleMouse.cpp).
    void UpdateHover(QPoint point);
    void SetHover(TMessageNode* line, int link);
    const TLinkChunkData& HoveredLinkData() const;
    void Click();
    void ActivateLink(const TLinkChunkData& link);
    // Lays the visible lines out with the selection's points; the oldest and
    // the newest placed.
    TMessageNode* PlaceForSelection(TMessageNode** newest);
    // The selected text, lines joined by CR LF, without trailing line ends.
    QString CollectSelection();
    void DeliverSelection();
    void ApplyEdge();

    TLineList lines_;
    TLineIndex index_;
    bool indexStale_ = false; // many heights changed: rebuilt when next asked
    TFontCache fonts_;
    TLayoutEnv env_;
    bool fontsInEnvValid_ = false;
    TGeometryCache geometry_{kGeometryLines};
    TLineGeometry scratch_;        // for measuring lines whose geometry is not kept
    uint32_t widthGeneration_ = 1; // bumped when cached text widths go stale
    uint32_t layoutStamp_ = 1;     // bumped when line heights go stale
    uint32_t settingsStamp_ = 1;   // bumped with layoutStamp_ except for width changes
    bool settingsChanged_ = false; // since every line was last measured
    int layoutWidth_ = -1;
    bool allMeasured_ = true;
    qint64 sumHeights_ = 0;

    int updateCount_ = 0;
    bool repaintPending_ = false;
    int linesAdded_ = 0;
    int pendingScroll_ = 0;    // pixels the painted content still has to move up
    bool wholeFrame_ = false;  // the next frame paints the whole view
    bool framePosted_ = false; // a DeliverFrame call is queued
    QTimer* frameTimer_ = nullptr;
    int frameInterval_ = 16;         // ms
    int64_t lastFrameMs_ = -1000000; // on the platform clock
    bool destroying_ = false;

    int scrollPosition_ = 0;
    int scrollTarget_ = 0;
    int scrollSpeed_ = 1;
    bool updatingScrollBar_ = false;

    std::vector<TLinkHitArea> hitAreas_;
    quint64 contentVersion_ = 1;
    quint64 hitVersion_ = 0;

    TMessageNode* hoverLine_ = nullptr;
    int hoverLink_ = -1; // chunk index of the hovered link in hoverLine_
    QString savedHint_;

    bool press_ = false;
    bool dragging_ = false;
    bool clickPending_ = false;
    QPoint pressPoint_;
    QPoint currentPoint_;

    QTimer* blinkTimer_ = nullptr;
    int blinkingLines_ = 0; // the timer runs only while some line blinks
    bool blinkPhase_ = false;
    bool blinkOnScreen_ = false;
    QSize lastSize_;

    bool storeText_ = false;
    QPointer<plat::ImageList> imageList_;
    TConsoleOptions options_ = coBlinking | coSelection | coAutoCopy | coAutoOpenURLLinks;
    QStringList designText_;
    int leftMargin_ = 2;
    int rightMargin_ = 2;
    int limit_ = 500;
    int lineSpacing_ = 0;
    TScrollingData scrolling_;
    TEdgeType edge_ = etClient;
    TLinkData links_;
    bool timestampVisible_ = false;
    QString timestampFormat_;
    TIndentType indentType_ = itHanging;
    int indentAmount_ = 10;
    bool timestampEmptyLines_ = false;
    TQvConsoleWhitespace whitespace_ = cwsCollapseOutsidePRE;
    plat::ColoredFont preFont_;
    plat::TColor color_ = plat::clWindow;
    plat::ColoredFont font_;
    QString hint_;
    bool showHint_ = true;
    QPointer<QMenu> popupMenu_;
};

// The published console.
class TQvConsole : public TQvCustomConsole {
    Q_OBJECT
public:
    using TQvCustomConsole::TQvCustomConsole;
};

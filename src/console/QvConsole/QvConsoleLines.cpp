// The line list of the console: adding, replacing and removing lines, the
// line limit, the update bracket and the layout bookkeeping.
#include "console/QvConsole/QvConsole.h"

#include "console/MarkupParser.h"
#include "platform/core/Clock.h"

#include <QScrollBar>
#include <QTimer>

#include <limits>

namespace {

constexpr int kMaxCachedFonts = 64;

void AssertLine(bool ok) {
    if (!ok) {
        throw EAssertionFailed(QStringLiteral("Assertion failed: not a line of this console"));
    }
}

} // namespace

const TLayoutEnv& TQvCustomConsole::Env() {
    if (fonts_.Size() > kMaxCachedFonts) {
        fonts_.Clear();
        fontsInEnvValid_ = false;
    }
    TLayoutEnv& e = env_;
    if (!fontsInEnvValid_) {
        e.Font = &fonts_.Get(font_.font);
        e.FontColor = font_.color;
        e.LinkFont = &fonts_.Get(links_.Font().font);
        e.LinkColor = links_.Font().color;
        e.HoverFont = &fonts_.Get(links_.HoverFont().font);
        e.HoverColor = links_.HoverFont().color;
        e.PreFont = &fonts_.Get(preFont_.font);
        e.PreColor = preFont_.color;
        fontsInEnvValid_ = true;
    }
    e.SettingsStamp = settingsStamp_;
    e.LeftMargin = leftMargin_;
    e.ClientWidth = ClientWidth();
    e.ClientHeight = ClientHeight();
    e.UsableWidth = e.ClientWidth - rightMargin_;
    e.IndentType = indentType_;
    e.IndentAmount = indentAmount_;
    e.TimestampVisible = timestampVisible_;
    e.TimestampFormat = timestampFormat_;
    e.Images = imageList_.data();
    e.Color = color_;
    e.HoveredLine = hoverLine_;
    e.HoveredLink = hoverLink_;
    e.Selecting = press_ && dragging_;
    e.SelectFrom = pressPoint_;
    e.SelectTo = currentPoint_;
    e.BlinkHidden = options_.testFlag(coBlinking) && blinkPhase_;
    return e;
}

int TQvCustomConsole::UsableWidth() const {
    return ClientWidth() - rightMargin_;
}

void TQvCustomConsole::BumpLayoutStamp(bool settings) {
    // 0 marks a line never measured.
    if (++layoutStamp_ == 0) {
        ++layoutStamp_;
    }
    if (settings) {
        if (++settingsStamp_ == 0) {
            ++settingsStamp_;
        }
        settingsChanged_ = true;
    }
}

namespace {

// Makes the geometry fit the line and the current fonts.
void Prepare(TLineGeometry& g, const TMessageNode& line, uint32_t widthGeneration) {
    const int n = line.Chunks.Chunks.Size();
    if (g.Pieces.size() != static_cast<size_t>(n)) {
        g.Reset(n);
    }
    if (g.ShapeGeneration != widthGeneration) {
        // Fonts or the timestamps' text changed since the line was drawn.
        g.Shapes.clear();
        g.ShapeGeneration = widthGeneration;
    }
    if (g.WidthGeneration != widthGeneration) {
        g.ForgetWidths();
        g.WidthGeneration = widthGeneration;
        g.LayoutStamp = 0;
    }
}

} // namespace

void TQvCustomConsole::MeasureLine(TMessageNode& line, TLineLayout& layout, bool keep) {
    TLineGeometry* g = keep ? &geometry_.Acquire(line) : geometry_.Find(line);
    if (!g) {
        g = &scratch_;
        scratch_.Reset(line.Chunks.Chunks.Size());
    }
    Prepare(*g, line, widthGeneration_);
    const int height = layout.Measure(line, *g);
    g->LayoutStamp = layoutStamp_;
    SetLineHeight(line, height);
    line.LayoutStamp = layoutStamp_;
    line.FitWidth = g->Wrapped
                        ? TMessageNode::kNoFit
                        : static_cast<uint16_t>(qMin<int>(g->RowWidth, TMessageNode::kNoFit));
}

void TQvCustomConsole::RemeasureLine(TMessageNode& line) {
    EnsureLayout();
    if (TLineGeometry* g = geometry_.Find(line)) {
        g->ForgetWidths();
    }
    TLineLayout layout(Env(), fonts_);
    MeasureLine(line, layout, true);
    ContentChanged();
}

TLineGeometry& TQvCustomConsole::GeometryFor(TMessageNode& line, TLineLayout& layout) {
    TLineGeometry& g = geometry_.Acquire(line);
    Prepare(g, line, widthGeneration_);
    if (g.LayoutStamp != layoutStamp_ || g.RowHeights.isEmpty()) {
        // Dropped while the line was far from the view: the same settings
        // give the same height.
        const int height = layout.Measure(line, g);
        g.LayoutStamp = layoutStamp_;
        Q_ASSERT(height == line.Height);
        SetLineHeight(line, height);
    }
    return g;
}

void TQvCustomConsole::SetLineHeight(TMessageNode& line, int height) {
    if (height == line.Height) {
        return;
    }
    sumHeights_ += height - line.Height;
    line.Height = height;
    if (!indexStale_) {
        index_.SetExtent(&line, height + lineSpacing_);
    }
}

const TLineIndex& TQvCustomConsole::Index() {
    if (indexStale_) {
        index_.Rebuild(lines_.First(),
                       [this](const TMessageNode& line) { return line.Height + lineSpacing_; });
        indexStale_ = false;
    }
    return index_;
}

bool TQvCustomConsole::HasLine(const TMessageNode* line) {
    return Index().Contains(line);
}

void TQvCustomConsole::EnsureLayout() {
    const int usable = UsableWidth();
    if (usable != layoutWidth_) {
        layoutWidth_ = usable;
        BumpLayoutStamp(false);
        allMeasured_ = false;
    }
    if (allMeasured_) {
        return;
    }
    // Only the width changed since every line was measured: a line whose
    // rows all fit the new width keeps them.
    const bool widthOnly = !settingsChanged_;
    indexStale_ = true; // one rebuild instead of an update per line
    TLineLayout layout(Env(), fonts_);
    for (TMessageNode* line = lines_.First(); line; line = line->Next) {
        if (line->LayoutStamp == layoutStamp_) {
            continue;
        }
        if (widthOnly && line->FitWidth < usable) {
            TLineGeometry* g = geometry_.Peek(*line);
            if (g && g->LayoutStamp == line->LayoutStamp) {
                g->LayoutStamp = layoutStamp_;
            }
            line->LayoutStamp = layoutStamp_;
        } else {
            MeasureLine(*line, layout, false);
        }
    }
    allMeasured_ = true;
    settingsChanged_ = false;
    ++contentVersion_;
    ClampScroll();
}

// Settings changes lay every line out again at once, so that heights and the
// scroll range are right before the next paint.
void TQvCustomConsole::InvalidateLayout() {
    BumpLayoutStamp(true);
    allMeasured_ = false;
    EnsureLayout();
    ContentChanged();
}

void TQvCustomConsole::ResetLayout() {
    ++widthGeneration_;
    BumpLayoutStamp(true);
    fontsInEnvValid_ = false;
    allMeasured_ = false;
    EnsureLayout();
    ContentChanged();
}

void TQvCustomConsole::ContentChanged() {
    ++contentVersion_;
    pendingScroll_ = 0; // everything is painted afresh
    wholeFrame_ = true;
    RequestFrame();
}

int TQvCustomConsole::RowHeight() {
    return Env().Font->rowHeight;
}

int TQvCustomConsole::RawRange() {
    const qint64 total = sumHeights_ + qint64(lines_.Count()) * lineSpacing_ - RowHeight();
    return static_cast<int>(qBound(qint64(0), total, qint64(std::numeric_limits<int>::max())));
}

int TQvCustomConsole::ScrollRange() {
    EnsureLayout();
    return RawRange();
}

int TQvCustomConsole::ScrollPosition() {
    EnsureLayout();
    return scrollPosition_;
}

int TQvCustomConsole::ScrollTarget() {
    EnsureLayout();
    return scrollTarget_;
}

void TQvCustomConsole::ClampScroll() {
    const int range = RawRange();
    scrollPosition_ = qBound(0, scrollPosition_, range);
    scrollTarget_ = qBound(0, scrollTarget_, range);
}

int TQvCustomConsole::EffectivePosition() const {
    return scrolling_.SmoothScrolling() ? scrollTarget_ : scrollPosition_;
}

bool TQvCustomConsole::ApplyLimit(const TMessageNode* watch, bool* watchRemoved) {
    if (!scrolling_.RemoveLinesWhileScrolledUp() && EffectivePosition() > 0) {
        return false;
    }
    bool removed = false;
    while (limit_ >= 1 && lines_.Count() > limit_) {
        TMessageNode* oldest = lines_.First();
        if (oldest == watch && watchRemoved) {
            *watchRemoved = true;
        }
        RemoveLine(oldest, true);
        removed = true;
    }
    return removed;
}

// Whether any of the oldest line lies inside the client area.
bool TQvCustomConsole::OldestLineInView() const {
    const TMessageNode* oldest = lines_.First();
    if (!oldest) {
        return false;
    }
    const qint64 top = qint64(ClientHeight()) + scrollPosition_ - sumHeights_ -
                       qint64(lines_.Count() - 1) * lineSpacing_;
    return top + oldest->Height > 0;
}

void TQvCustomConsole::RemoveLine(TMessageNode* line, bool limit) {
    // The limit trims lines above the view most of the time: nothing to paint then.
    const bool visible = !limit || OldestLineInView();
    DropReferencesTo(line);
    sumHeights_ -= line->Height;
    if (!indexStale_) {
        index_.Remove(line);
    }
    CountBlinking(line->Chunks, -1);
    geometry_.Release(*line);
    lines_.Unlink(line);
    ClampScroll();
    ++contentVersion_;
    if (visible) {
        ContentChanged();
    }
}

void TQvCustomConsole::DropReferencesTo(const TMessageNode* line) {
    if (hoverLine_ && (!line || hoverLine_ == line)) {
        hoverLink_ = -1;
        hoverLine_ = nullptr;
        if (!destroying_) {
            viewport()->unsetCursor();
        }
        hint_ = savedHint_;
    }
    hitAreas_.clear();
    hitVersion_ = 0;
}

void TQvCustomConsole::CountBlinking(const TChunkList& chunks, int delta) {
    if (!chunks.Blinks) {
        return;
    }
    blinkingLines_ += delta;
    const bool run = options_.testFlag(coBlinking) && blinkingLines_ > 0;
    if (run && !blinkTimer_->isActive()) {
        blinkTimer_->start();
    } else if (!run && blinkTimer_->isActive()) {
        blinkTimer_->stop();
    }
}

void TQvCustomConsole::ClearSelectedFlags() {
    geometry_.ForEach([](TLineGeometry& g) {
        for (TPieceState& piece : g.Pieces) {
            piece.Selected = false;
        }
    });
}

std::unique_ptr<TMessageNode> TQvCustomConsole::MakeLine(const QString& text,
                                                         bool detectURLs) const {
    auto node = std::make_unique<TMessageNode>();
    node->Chunks = ParseMarkup(text, TParseOptions{whitespace_, timestampEmptyLines_});
    if (detectURLs) {
        ::DetectURLs(node->Chunks);
    }
    if (storeText_) {
        node->Text = text;
    }
    node->Timestamp = plat::SystemLocalClock().Now();
    return node;
}

bool TQvCustomConsole::ScrollForNewLine(int height, bool repaintAll) {
    // What the user sees: at the bottom the painted lines move up and only
    // the new line is painted; scrolled up nothing visible changes.
    const bool scrolledUp = scrollPosition_ >= 1;
    if (scrolledUp) {
        if (scrollTarget_ == scrollPosition_) {
            scrollTarget_ += height;
        }
        scrollPosition_ += height;
    } else if (scrolling_.SmoothScrolling()) {
        scrollPosition_ += height;
        scrollTarget_ = 0;
        repaintAll = true;
    } else if (!repaintAll) {
        pendingScroll_ += height;
    }
    ClampScroll();
    return repaintAll;
}

TMessageNode* TQvCustomConsole::AddLine(const QString& Text, TMessageNode* After, bool DetectURLs) {
    TMessageNode* result = nullptr;
    Batch([&] {
        std::unique_ptr<TMessageNode> node = MakeLine(Text, DetectURLs);
        if (After) {
            AssertLine(HasLine(After));
        }
        if (lines_.Count() == 0) {
            scrollPosition_ = 0;
            scrollTarget_ = 0;
        }
        EnsureLayout();
        TMessageNode* line = lines_.Insert(std::move(node), After);
        if (line->Next || indexStale_) {
            indexStale_ = true; // only the newest line has its place at once
        } else {
            index_.Append(line, lineSpacing_);
        }
        CountBlinking(line->Chunks, +1);
        repaintPending_ = true;
        geometry_.BeginPass();
        TLineLayout layout(Env(), fonts_);
        // A line added far from the view keeps only its height.
        MeasureLine(*line, layout, After || scrollPosition_ < ClientHeight());
        const bool repaintAll =
            ScrollForNewLine(line->Height + lineSpacing_, After || (press_ && dragging_));
        ++linesAdded_;
        bool removed = false;
        ApplyLimit(line, &removed);
        ++contentVersion_;
        if (repaintAll) {
            ContentChanged();
        }
        result = removed ? nullptr : line;
    });
    return result;
}

TMessageNode* TQvCustomConsole::AddLineFmt(const QString& Format,
                                           std::initializer_list<plat::FormatArg> Args,
                                           TMessageNode* After, bool DetectURLs) {
    return AddLine(plat::FormatList(Format, Args), After, DetectURLs);
}

void TQvCustomConsole::SetLineText(TMessageNode* Line, const QString& Text, bool RenewTimestamp) {
    AssertLine(HasLine(Line));
    Batch([&] {
        // Parse first: a bad colour leaves the line as it was.
        TChunkList parsed = ParseMarkup(Text, TParseOptions{whitespace_, timestampEmptyLines_});
        DropReferencesTo(Line);
        CountBlinking(Line->Chunks, -1);
        CountBlinking(parsed, +1);
        geometry_.Release(*Line);
        Line->Chunks = std::move(parsed);
        Line->Text = storeText_ ? Text : QString();
        if (RenewTimestamp) {
            Line->Timestamp = plat::SystemLocalClock().Now();
        }
        repaintPending_ = true;
        EnsureLayout();
        RemeasureLine(*Line);
        ClampScroll();
    });
}

void TQvCustomConsole::SetLineTextFmt(TMessageNode* Line, const QString& Format,
                                      std::initializer_list<plat::FormatArg> Args,
                                      bool RenewTimestamp) {
    SetLineText(Line, plat::FormatList(Format, Args), RenewTimestamp);
}

void TQvCustomConsole::DeleteLine(TMessageNode* Line) {
    AssertLine(HasLine(Line));
    Batch([&] {
        RemoveLine(Line);
        repaintPending_ = true;
    });
}

void TQvCustomConsole::Clear() {
    Batch([&] {
        DropReferencesTo(nullptr);
        lines_.Clear();
        index_.Clear();
        indexStale_ = false;
        geometry_.Forget();
        blinkingLines_ = 0;
        blinkTimer_->stop();
        sumHeights_ = 0;
        ClampScroll();
        repaintPending_ = true;
        ContentChanged();
    });
}

void TQvCustomConsole::BeginUpdate() {
    ++updateCount_;
}

void TQvCustomConsole::EndUpdate() {
    if (updateCount_ <= 0) {
        return;
    }
    if (--updateCount_ > 0 || !repaintPending_) {
        return;
    }
    repaintPending_ = false;
    if (pendingScroll_ > 0) {
        // One move of the painted pixels for all lines added until the
        // next frame.
        RequestFrame();
    }
    UpdateScrollBar();
    const int added = linesAdded_;
    linesAdded_ = 0;
    if (added > 0 && OnTextAdded) {
        const bool scrolledUp =
            scrolling_.SmoothScrolling() ? scrollTarget_ >= 1 : scrollPosition_ > 0;
        OnTextAdded(this, added, scrolledUp);
    }
}

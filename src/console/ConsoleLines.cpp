// The line list of the console: adding, replacing and removing lines, the
// line limit, the update bracket and the layout bookkeeping.
#include "console/QvConsole.h"

#include "console/MarkupParser.h"

#include <QScrollBar>
#include <QTimer>

#include <limits>

namespace {

constexpr int kMaxCachedFonts = 64;

void assertLine(bool ok) {
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

bool TQvCustomConsole::IsLineValid(const TMessageNode& line) const {
    return line.Measured && line.FontGeneration == fontGeneration_ &&
           line.LayoutGeneration == layoutGeneration_ && line.LayoutWidth == layoutWidth_;
}

void TQvCustomConsole::MeasureLine(TMessageNode& line, TLineLayout& layout) {
    if (line.FontGeneration != fontGeneration_) {
        for (TConsoleChunk& chunk : line.Chunks.Chunks) {
            chunk.Width = 0;
            chunk.Height = 0;
        }
    }
    const int old = line.Height;
    layout.Measure(line);
    sumHeights_ += line.Height - old;
    line.Measured = true;
    line.FontGeneration = fontGeneration_;
    line.LayoutGeneration = layoutGeneration_;
}

void TQvCustomConsole::RemeasureLine(TMessageNode& line) {
    EnsureLayout();
    sumHeights_ -= line.Height;
    line.ResetSizes();
    TLineLayout layout(Env(), fonts_);
    MeasureLine(line, layout);
    ContentChanged();
}

void TQvCustomConsole::EnsureLayout() {
    const int usable = UsableWidth();
    if (usable != layoutWidth_) {
        layoutWidth_ = usable;
        allMeasured_ = false;
    }
    if (allMeasured_) {
        return;
    }
    TLineLayout layout(Env(), fonts_);
    for (TMessageNode* line = lines_.First(); line; line = line->Next) {
        if (!IsLineValid(*line)) {
            MeasureLine(*line, layout);
        }
    }
    allMeasured_ = true;
    ++contentVersion_;
    ClampScroll();
}

// Settings changes lay every line out again at once, so that heights and the
// scroll range are right before the next paint.
void TQvCustomConsole::InvalidateLayout() {
    ++layoutGeneration_;
    allMeasured_ = false;
    EnsureLayout();
    ContentChanged();
}

void TQvCustomConsole::ResetLayout() {
    ++fontGeneration_;
    fontsInEnvValid_ = false;
    allMeasured_ = false;
    EnsureLayout();
    ContentChanged();
}

void TQvCustomConsole::ContentChanged() {
    ++contentVersion_;
    pendingScroll_ = 0; // everything is painted afresh
    if (!destroying_) {
        viewport()->update();
    }
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
    CountBlinking(line->Chunks, -1);
    lines_.Unlink(line);
    ClampScroll();
    ++contentVersion_;
    if (visible) {
        ContentChanged();
    }
}

void TQvCustomConsole::DropReferencesTo(const TMessageNode* line) {
    if (hoverLink_ && (!line || hoverLine_ == line)) {
        hoverLink_ = nullptr;
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
    for (TMessageNode* line = lines_.First(); line; line = line->Next) {
        for (TConsoleChunk& chunk : line->Chunks.Chunks) {
            chunk.Selected = false;
        }
    }
}

TMessageNode* TQvCustomConsole::AddLine(const QString& Text, TMessageNode* After, bool DetectURLs) {
    TMessageNode* result = nullptr;
    Batch([&] {
        auto node = std::make_unique<TMessageNode>();
        node->Chunks = ParseMarkup(Text, TParseOptions{whitespace_, timestampEmptyLines_});
        if (DetectURLs) {
            ::DetectURLs(node->Chunks);
        }
        if (storeText_) {
            node->Text = Text;
        }
        node->Timestamp = QDateTime::currentDateTime();
        if (After) {
            assertLine(lines_.Contains(After));
        }
        if (lines_.Count() == 0) {
            scrollPosition_ = 0;
            scrollTarget_ = 0;
        }
        EnsureLayout();
        TMessageNode* line = lines_.Insert(std::move(node), After);
        CountBlinking(line->Chunks, +1);
        repaintPending_ = true;
        TLineLayout layout(Env(), fonts_);
        MeasureLine(*line, layout);

        const int h = line->Height + lineSpacing_;
        // What the user sees: at the bottom the painted lines move up and only
        // the new line is painted; scrolled up nothing visible changes.
        const bool scrolledUp = scrollPosition_ >= 1;
        bool repaintAll = After || (press_ && dragging_);
        if (scrolledUp) {
            if (scrollTarget_ == scrollPosition_) {
                scrollTarget_ += h;
            }
            scrollPosition_ += h;
        } else if (scrolling_.SmoothScrolling()) {
            scrollPosition_ += h;
            scrollTarget_ = 0;
            repaintAll = true;
        } else if (!repaintAll) {
            pendingScroll_ += h;
        }
        ClampScroll();
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
    assertLine(Line && lines_.Contains(Line));
    Batch([&] {
        // Parse first: a bad colour leaves the line as it was.
        TChunkList parsed = ParseMarkup(Text, TParseOptions{whitespace_, timestampEmptyLines_});
        DropReferencesTo(Line);
        CountBlinking(Line->Chunks, -1);
        CountBlinking(parsed, +1);
        Line->Chunks = std::move(parsed);
        Line->Text = storeText_ ? Text : QString();
        if (RenewTimestamp) {
            Line->Timestamp = QDateTime::currentDateTime();
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
    assertLine(Line && lines_.Contains(Line));
    Batch([&] {
        RemoveLine(Line);
        repaintPending_ = true;
    });
}

void TQvCustomConsole::Clear() {
    Batch([&] {
        DropReferencesTo(nullptr);
        lines_.Clear();
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
    if (pendingScroll_ > 0 && !scrollPosted_ && !destroying_) {
        // One move of the painted pixels for all lines added before the
        // event loop runs again.
        scrollPosted_ = true;
        QMetaObject::invokeMethod(
            this, [this] { plat::guarded([&] { FlushScroll(); }); }, Qt::QueuedConnection);
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

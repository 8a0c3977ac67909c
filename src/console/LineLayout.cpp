#include "console/LineLayout.h"

#include "platform/core/FormatDateTime.h"
#include "platform/gui/Drawing.h"
#include "platform/gui/ImageList.h"

#include <QPainter>
#include <QVarLengthArray>

#include <algorithm>
#include <utility>

bool IsPieceSelected(const QRect& piece, QPoint from, QPoint to) {
    const int left = piece.x();
    const int top = piece.y();
    const int right = piece.x() + piece.width();
    const int bottom = piece.y() + piece.height();
    const auto inRow = [&](int y) { return top <= y && y < bottom; };
    if (inRow(from.y()) && inRow(to.y())) {
        if (from.x() > to.x()) {
            std::swap(from, to);
        }
    } else if (to.y() < from.y()) {
        std::swap(from, to);
    }
    const int x1 = from.x();
    const int y1 = from.y();
    const int x2 = to.x();
    const int y2 = to.y();
    if (y1 > bottom || y2 < top) {
        return false;
    }
    return (y1 < top && y2 >= bottom) || (inRow(y1) && y2 >= bottom && x1 < right) ||
           (y1 < top && inRow(y2) && x2 >= left) ||
           (inRow(y1) && inRow(y2) && x1 < right && x2 >= left);
}

QString TLineLayout::TimestampText(const TMessageNode& line, const QString& format) {
    return plat::FormatDateTime(format, line.Timestamp) + QLatin1Char(' ');
}

namespace {

struct FontState {
    const TFontCache::Entry* entry;
    plat::TColor color;
    plat::TColor brush;
};

class Pass {
public:
    Pass(const TLayoutEnv& env, TFontCache& fonts, TMessageNode& line, TLineGeometry& geometry,
         bool measuring, int top, QPainter* painter, TLayoutOutput* out)
        : env_(env), fonts_(fonts), line_(line), geo_(geometry), measuring_(measuring),
          painter_(painter), out_(out), rowTop_(top),
          sprites_(painter && TTextSprites::Suits(*painter)) {}

    // Returns the line height.
    int Run() {
        Q_ASSERT(geo_.Pieces.size() == static_cast<size_t>(line_.Chunks.Chunks.Size()));
        cur_ = {env_.Font, env_.FontColor, env_.Color};
        textHeight_ = cur_.entry->height;
        x_ = env_.LeftMargin;
        geo_.RowWidth = 0;
        if (measuring_) {
            geo_.Wrapped = false;
        }
        if (measuring_ || geo_.RowHeights.isEmpty()) {
            geo_.RowHeights.clear();
            geo_.RowHeights.append(0);
        }
        indent_ = env_.IndentType == itHanging ? env_.IndentAmount : env_.LeftMargin;
        rowStartX_ = env_.LeftMargin;
        rowOriginX_ = env_.LeftMargin;
        if (line_.Chunks.IsEmpty()) {
            NewRow();
        }
        if (measuring_ && geo_.TapeStamp == env_.SettingsStamp) {
            // The pieces were measured under these settings: only the
            // width moved, and the rows follow from what was recorded.
            ReplayAll();
        } else {
            StepAll();
            if (measuring_) {
                geo_.TapeStamp = env_.SettingsStamp;
                geo_.WidthsStale = false;
            }
        }
        geo_.RowWidth = std::max(geo_.RowWidth, x_);
        int height = 0;
        for (const int h : geo_.RowHeights) {
            height += h;
        }
        return height;
    }

private:
    // The two walks are kept apart, each with its steps inlined.
    [[gnu::noinline]] void ReplayAll() {
        for (TPieceState& piece : geo_.Pieces) {
            Replay(piece);
        }
    }

    [[gnu::noinline]] void StepAll() {
        for (const TConsoleChunk& chunk : line_.Chunks.Chunks) {
            Step(chunk, geo_.Pieces[static_cast<size_t>(chunk.Index)]);
        }
    }

    // What a measure needs of a recorded piece: its kind, width and the
    // height of the font in force.
    [[gnu::always_inline]] void Replay(TPieceState& piece) {
        piece.Selected = false;
        piece.WrapDropped = false;
        textHeight_ = piece.Height;
        switch (piece.Kind) {
        case ckText:
        case ckSpace:
            if (RoomForText(piece)) {
                x_ += piece.Width;
            }
            break;
        case ckTimestamp:
            if (env_.TimestampVisible && RoomForText(piece)) {
                x_ += piece.Width;
            }
            if (env_.IndentType == itTimestamp) {
                indent_ = x_;
            }
            break;
        case ckIndentOpen:
            OpenIndent();
            break;
        case ckIndentClose:
            CloseIndent();
            break;
        case ckLineBreak:
            NewRow();
            break;
        case ckImage:
            if (env_.Images) {
                RoomForImage();
                x_ += env_.Images->Width();
            }
            break;
        case ckColumn:
            if (RoomForColumn(piece.Width)) {
                x_ = piece.Width;
            }
            break;
        case ckRule:
            RuleRows();
            break;
        case ckPreOpen:
            inPre_ = true;
            break;
        case ckPreClose:
            inPre_ = false;
            break;
        default: // fonts, styles and links: their heights are recorded
            break;
        }
    }

    [[gnu::always_inline]] void Step(const TConsoleChunk& chunk, TPieceState& piece) {
        piece.Selected = false;
        piece.WrapDropped = false;
        textHeight_ = cur_.entry->height;
        if (measuring_) {
            piece.Kind = chunk.Kind;
            piece.Height = static_cast<int16_t>(textHeight_);
        }
        switch (chunk.Kind) {
        case ckText:
            PlaceText(chunk, piece, [&] { return TextOf(chunk); });
            break;
        case ckSpace:
            PlaceText(chunk, piece, [] { return QStringLiteral(" "); });
            break;
        case ckStyleOn:
        case ckStyleOff:
            SwitchStyle(chunk);
            break;
        case ckIndentOpen:
            OpenIndent();
            break;
        case ckIndentClose:
            CloseIndent();
            break;
        case ckLineBreak:
            NewRow();
            break;
        case ckLinkOpen:
            OpenLink(chunk);
            break;
        case ckLinkClose:
            CloseLink();
            break;
        case ckImage:
            PlaceImage(chunk, piece);
            break;
        case ckColumn:
            PlaceColumn(chunk, piece);
            break;
        case ckRule:
            PlaceRule(chunk);
            break;
        case ckFontOpen:
            OpenFont(line_.Chunks.FontOf(chunk));
            break;
        case ckFontClose:
            PopFont();
            break;
        case ckTimestamp:
            PlaceTimestamp(chunk, piece);
            break;
        case ckPreOpen:
            OpenPre();
            break;
        case ckPreClose:
            PopFont();
            inPre_ = false;
            break;
        }
    }

    // Preformatted text in its own font; its new rows start where the row
    // before started, not at the indent.
    void OpenPre() {
        fontStack_.append(cur_);
        cur_.entry = env_.PreFont;
        cur_.color = env_.PreColor;
        inPre_ = true;
    }

    // No copy: the line's text outlives the pass.
    QString TextOf(const TConsoleChunk& chunk) const {
        return QString::fromRawData(line_.Chunks.Pool.ConstData() + chunk.Start, chunk.Length);
    }

    // The font in force with the chunk's styles on or off.
    void SwitchStyle(const TConsoleChunk& chunk) {
        const uint8_t style = StyleOf(cur_.entry->font);
        SetStyle(chunk.Kind == ckStyleOn ? style | chunk.Style : style & ~chunk.Style);
    }

    // A link's text in the link font, or the hover font when the mouse is on it.
    void OpenLink(const TConsoleChunk& chunk) {
        links_.append(chunk.Index);
        fontStack_.append(cur_);
        const bool hovered = env_.HoveredLine == &line_ && env_.HoveredLink == chunk.Index;
        cur_.entry = hovered ? env_.HoverFont : env_.LinkFont;
        cur_.color = hovered ? env_.HoverColor : env_.LinkColor;
    }

    void CloseLink() {
        if (!links_.isEmpty()) {
            PopFont();
            links_.removeLast();
        }
    }

    // The timestamp, when shown; a timestamp indent starts after it either way.
    void PlaceTimestamp(const TConsoleChunk& chunk, TPieceState& piece) {
        if (env_.TimestampVisible) {
            PlaceText(chunk, piece,
                      [&] { return TLineLayout::TimestampText(line_, env_.TimestampFormat); });
        }
        if (env_.IndentType == itTimestamp) {
            indent_ = x_;
        }
    }

    static uint8_t StyleOf(const QFont& f) {
        return static_cast<uint8_t>((f.bold() ? fsBold : 0) | (f.italic() ? fsItalic : 0) |
                                    (f.underline() ? fsUnderline : 0));
    }

    void SetStyle(int style) {
        QFont f = cur_.entry->font;
        f.setBold(style & fsBold);
        f.setItalic(style & fsItalic);
        f.setUnderline(style & fsUnderline);
        cur_.entry = &fonts_.Get(f);
    }

    void OpenFont(const TFontChunkData& data) {
        fontStack_.append(cur_);
        QFont f = cur_.entry->font;
        bool changed = false;
        if (!data.Face.isEmpty()) {
            f.setFamily(data.Face);
            changed = true;
        }
        if (data.AbsoluteSize > 0) {
            SetSize(f, data.AbsoluteSize);
            changed = true;
        }
        if (data.RelativeSize != 0) {
            const int current = f.pointSize() > 0 ? f.pointSize() : f.pixelSize();
            SetSize(f, std::clamp(current + data.RelativeSize, 1, 1638));
            changed = true;
        }
        if (changed) {
            cur_.entry = &fonts_.Get(f);
        }
        if (data.Color != plat::clNone) {
            cur_.color = data.Color;
        }
        if (data.Background != plat::clNone) {
            cur_.brush = data.Background;
        }
    }

    static void SetSize(QFont& f, int size) {
        size = std::clamp(size, 1, 1638);
        if (f.pointSize() > 0) {
            f.setPointSize(size);
        } else {
            f.setPixelSize(size);
        }
    }

    void PopFont() {
        if (!fontStack_.isEmpty()) {
            cur_ = fontStack_.back();
            fontStack_.removeLast();
        }
    }

    // Rows. A row made by a piece starts at the height of a row in the font
    // in force; pieces raise it.
    int RowHeight() const {
        const int row = row_;
        return row < geo_.RowHeights.size() ? geo_.RowHeights[row]
                                            : textHeight_ + TFontCache::kRowExtra;
    }

    [[gnu::always_inline]] void EnsureEntry() {
        if (measuring_) {
            while (geo_.RowHeights.size() <= row_) {
                geo_.RowHeights.append(textHeight_ + TFontCache::kRowExtra);
            }
        }
    }

    [[gnu::always_inline]] void Raise(int height) {
        EnsureEntry();
        if (measuring_ && geo_.RowHeights[row_] < height) {
            geo_.RowHeights[row_] = height;
        }
    }

    void NewRow() {
        geo_.RowWidth = std::max(geo_.RowWidth, x_);
        EnsureEntry();
        rowTop_ += RowHeight();
        x_ = inPre_ ? rowStartX_ : indent_;
        rowStartX_ = x_;
        rowOriginX_ = x_;
        ++row_;
    }

    // A row too narrow for what follows.
    void Wrap() {
        if (measuring_) {
            geo_.Wrapped = true;
        }
        NewRow();
    }

    // Wrap test for a piece: only a row that already holds something wraps.
    bool MustWrap(int width) const {
        return x_ + width >= env_.UsableWidth && width < env_.UsableWidth && x_ > rowOriginX_;
    }

    void OpenIndent() {
        indents_.append(indent_);
        indent_ = x_;
    }

    void CloseIndent() {
        if (!indents_.isEmpty()) {
            indent_ = indents_.back();
            indents_.removeLast();
        }
    }

    // Makes room for a text piece of the recorded width in the font in
    // force; false when it is a space dropped at a wrap.
    [[gnu::always_inline]] bool RoomForText(TPieceState& piece) {
        Raise(textHeight_);
        if (MustWrap(piece.Width)) {
            Wrap();
            Raise(textHeight_);
            if (piece.Kind == ckSpace) {
                piece.WrapDropped = true;
                return false;
            }
        }
        return true;
    }

    void RoomForImage() {
        if (MustWrap(env_.Images->Width())) {
            Wrap();
        }
        Raise(env_.Images->Height());
    }

    // False when the pen stays (already past the spot, or a new row).
    bool RoomForColumn(int spot) {
        if (x_ >= spot) {
            return false;
        }
        EnsureEntry();
        if (x_ > env_.UsableWidth) {
            Wrap();
            return false;
        }
        return true;
    }

    // A rule closes the row before it and takes a row of 2 pixels; returns
    // the top of that row.
    int RuleRows() {
        if (x_ > 0) {
            geo_.RowWidth = std::max(geo_.RowWidth, x_);
            EnsureEntry();
            rowTop_ += RowHeight();
            ++row_;
            x_ = indent_;
        }
        if (measuring_) {
            EnsureEntry();
            geo_.RowHeights[row_] = 2;
        }
        const int top = rowTop_;
        rowTop_ += 2;
        ++row_;
        x_ = indent_;
        rowOriginX_ = x_;
        return top;
    }

    bool ReachesClient(int top, int bottom) const { return top < env_.ClientHeight && bottom >= 0; }

    // Hit area, Selected and blink state of a placed piece; returns whether
    // the piece is selected.
    bool NotePiece(const TConsoleChunk& chunk, TPieceState& piece, const QRect& rect) {
        if (out_) {
            if (!links_.isEmpty() && ReachesClient(rect.top(), rect.y() + rect.height())) {
                out_->HitAreas.push_back({rect, &line_, links_.last()});
            }
            if (chunk.Blink && ReachesClient(rect.top(), rect.y() + rect.height())) {
                out_->BlinkOnScreen = true;
            }
        }
        piece.Selected = env_.Selecting && !chunk.NoSelect &&
                         IsPieceSelected(rect, env_.SelectFrom, env_.SelectTo);
        return piece.Selected;
    }

    // The piece's glyphs in the font in force, shaped when the line was
    // drawn before only if the font differed then.
    template <typename TextFn>
    const QList<QGlyphRun>& ShapedText(const TConsoleChunk& chunk, TextFn&& text) {
        if (geo_.Shapes.size() != geo_.Pieces.size()) {
            geo_.Shapes.assign(geo_.Pieces.size(), TShapedPiece());
        }
        TShapedPiece& shaped = geo_.Shapes[static_cast<size_t>(chunk.Index)];
        if (shaped.Font != cur_.entry->serial) {
            shaped.Runs = cur_.entry->Shape(text());
            shaped.Font = cur_.entry->serial;
        }
        return shaped.Runs;
    }

    // Text of the width at the pen on its baseline: a copy of its image
    // when its font keeps them, else its glyphs.
    template <typename TextFn>
    void DrawText(const TConsoleChunk& chunk, TextFn&& text, int width, const QColor& pen,
                  QPoint at) {
        const auto runs = [&]() -> const QList<QGlyphRun>& { return ShapedText(chunk, text); };
        if (sprites_) {
            if (const TTextSprite* sprite = cur_.entry->Sprite(text(), pen.rgb(), width, runs)) {
                painter_->drawImage(at + sprite->Offset, sprite->Image);
                return;
            }
        }
        painter_->setPen(pen);
        TTextSprites::DrawGlyphs(*painter_, at, runs());
    }

    template <typename TextFn>
    [[gnu::always_inline]] void PlaceText(const TConsoleChunk& chunk, TPieceState& piece,
                                          TextFn&& text) {
        QString cached;
        bool haveText = false;
        const auto getText = [&]() -> const QString& {
            if (!haveText) {
                cached = text();
                haveText = true;
            }
            return cached;
        };
        if (geo_.WidthsStale || piece.Width < 0) {
            piece.Width = cur_.entry->Advance(getText());
        }
        if (!RoomForText(piece)) {
            return;
        }
        const int width = piece.Width;
        if (measuring_) {
            x_ += width;
            return;
        }
        const int height = RowHeight();
        const QRect rect(x_, rowTop_, width, height);
        const bool selected = NotePiece(chunk, piece, rect);
        if (painter_ && rect.right() >= 0 && rect.left() < env_.ClientWidth) {
            const plat::TColor brush = selected ? plat::clHighlight : cur_.brush;
            if (brush != env_.Color) {
                plat::FillRectColor(*painter_, rect, brush);
            }
            // A space shows nothing but an underline or a strike-out line,
            // which must run on from word to word.
            const bool ink = chunk.Kind != ckSpace || cur_.entry->font.underline() ||
                             cur_.entry->font.strikeOut();
            if (!(chunk.Blink && env_.BlinkHidden) && ink) {
                const QColor pen = plat::ToQColor(selected ? env_.Color : cur_.color);
                DrawText(chunk, getText, width, pen,
                         QPoint(x_, rowTop_ + height - textHeight_ + cur_.entry->ascent));
            }
        }
        x_ += width;
    }

    void PlaceImage(const TConsoleChunk& chunk, TPieceState& piece) {
        const plat::ImageList* images = env_.Images;
        if (!images) {
            return;
        }
        const int width = images->Width();
        const int imageHeight = images->Height();
        RoomForImage();
        if (!measuring_) {
            const int height = RowHeight();
            const QRect rect(x_, rowTop_, width, height);
            const bool selected = NotePiece(chunk, piece, rect);
            if (painter_) {
                const plat::TColor background = selected ? plat::clHighlight : env_.Color;
                if (chunk.Blink && env_.BlinkHidden) {
                    plat::FillRectColor(*painter_, rect, cur_.brush);
                } else {
                    plat::FillRectColor(*painter_, rect, background);
                    images->Draw(*painter_, x_, rowTop_ + height - imageHeight, chunk.Value,
                                 background);
                }
            }
        }
        x_ += width;
    }

    void PlaceColumn(const TConsoleChunk& chunk, TPieceState& piece) {
        const int spot = chunk.Value;
        if (measuring_) {
            piece.Width = spot; // recorded for replays
        }
        if (!RoomForColumn(spot)) {
            return;
        }
        if (!measuring_) {
            const QRect rect(x_, rowTop_, spot - x_, RowHeight());
            piece.Selected = env_.Selecting && !chunk.NoSelect &&
                             IsPieceSelected(rect, env_.SelectFrom, env_.SelectTo);
            if (painter_ && piece.Selected) {
                plat::FillRectColor(*painter_, rect, plat::clHighlight);
            }
        }
        x_ = spot;
    }

    void PlaceRule(const TConsoleChunk& chunk) {
        const int top = RuleRows();
        const int rightEnd = (env_.UsableWidth - indent_) * chunk.Value / 100 + indent_;
        if (painter_ && rightEnd > indent_) {
            painter_->fillRect(QRect(indent_, top, rightEnd - indent_, 1),
                               plat::ToQColor(cur_.color));
        }
    }

    const TLayoutEnv& env_;
    TFontCache& fonts_;
    TMessageNode& line_;
    TLineGeometry& geo_;
    const bool measuring_;
    QPainter* painter_;
    TLayoutOutput* out_;
    int rowTop_;
    const bool sprites_; // text may be copied from images
    int x_ = 0;
    int row_ = 0;
    int indent_ = 0;
    int rowStartX_ = 0;
    int rowOriginX_ = 0; // x where the current row began
    int textHeight_ = 0; // height of text in the font in force
    bool inPre_ = false;
    FontState cur_{};
    QVarLengthArray<FontState, 8> fontStack_;
    QVarLengthArray<int, 4> indents_;
    QVarLengthArray<int, 4> links_; // chunk indices of the open links
};

} // namespace

int TLineLayout::Measure(TMessageNode& line, TLineGeometry& geometry) {
    return Pass(env_, fonts_, line, geometry, true, 0, nullptr, nullptr).Run();
}

void TLineLayout::Place(TMessageNode& line, TLineGeometry& geometry, int top, QPainter* painter,
                        TLayoutOutput& out) {
    Pass(env_, fonts_, line, geometry, false, top, painter, &out).Run();
}

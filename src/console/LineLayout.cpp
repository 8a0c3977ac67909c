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
    Pass(const TLayoutEnv& env, TFontCache& fonts, TMessageNode& line, bool measuring, int top,
         QPainter* painter, TLayoutOutput* out)
        : env_(env), fonts_(fonts), line_(line), measuring_(measuring), painter_(painter),
          out_(out), rowTop_(top) {}

    void Run() {
        cur_ = {env_.Font, env_.FontColor, env_.Color};
        x_ = env_.LeftMargin;
        line_.RowWidth = 0;
        if (measuring_ || line_.RowHeights.isEmpty()) {
            line_.RowHeights.clear();
            line_.RowHeights.append(0);
        }
        indent_ = env_.IndentType == itHanging ? env_.IndentAmount : env_.LeftMargin;
        rowStartX_ = env_.LeftMargin;
        rowOriginX_ = env_.LeftMargin;
        if (line_.Chunks.Chunks.empty()) {
            newRow();
        }
        for (TConsoleChunk& chunk : line_.Chunks.Chunks) {
            chunk.Selected = false;
            chunk.WrapDropped = false;
            step(chunk);
        }
        line_.RowWidth = std::max(line_.RowWidth, x_);
        if (measuring_) {
            int height = 0;
            for (const int h : line_.RowHeights) {
                height += h;
            }
            line_.Height = height;
            line_.LayoutWidth = env_.UsableWidth;
        }
    }

private:
    void step(TConsoleChunk& chunk) {
        switch (chunk.Kind) {
        case ckText:
            placeText(chunk, [&] {
                // No copy: the line's text outlives the pass.
                return QString::fromRawData(line_.Chunks.Pool.constData() + chunk.Start,
                                            chunk.Length);
            });
            break;
        case ckSpace:
            placeText(chunk, [] { return QStringLiteral(" "); });
            break;
        case ckStyleOn:
            setStyle(styleOf(cur_.entry->font) | chunk.Style);
            break;
        case ckStyleOff:
            setStyle(styleOf(cur_.entry->font) & ~chunk.Style);
            break;
        case ckIndentOpen:
            indents_.append(indent_);
            indent_ = x_;
            break;
        case ckIndentClose:
            if (!indents_.isEmpty()) {
                indent_ = indents_.back();
                indents_.removeLast();
            }
            break;
        case ckLineBreak:
            newRow();
            break;
        case ckLinkOpen: {
            links_.append(&chunk);
            fontStack_.append(cur_);
            const bool hovered = env_.HoveredLink == &chunk;
            cur_.entry = hovered ? env_.HoverFont : env_.LinkFont;
            cur_.color = hovered ? env_.HoverColor : env_.LinkColor;
            break;
        }
        case ckLinkClose:
            if (!links_.isEmpty()) {
                popFont();
                links_.removeLast();
            }
            break;
        case ckImage:
            placeImage(chunk);
            break;
        case ckColumn:
            placeColumn(chunk);
            break;
        case ckRule:
            placeRule(chunk);
            break;
        case ckFontOpen:
            openFont(line_.Chunks.FontOf(chunk));
            break;
        case ckFontClose:
            popFont();
            break;
        case ckTimestamp:
            if (env_.TimestampVisible) {
                placeText(chunk,
                          [&] { return TLineLayout::TimestampText(line_, env_.TimestampFormat); });
            }
            if (env_.IndentType == itTimestamp) {
                indent_ = x_;
            }
            break;
        case ckPreOpen:
            fontStack_.append(cur_);
            cur_.entry = env_.PreFont;
            cur_.color = env_.PreColor;
            inPre_ = true;
            break;
        case ckPreClose:
            popFont();
            inPre_ = false;
            break;
        }
    }

    static uint8_t styleOf(const QFont& f) {
        return static_cast<uint8_t>((f.bold() ? fsBold : 0) | (f.italic() ? fsItalic : 0) |
                                    (f.underline() ? fsUnderline : 0));
    }

    void setStyle(int style) {
        QFont f = cur_.entry->font;
        f.setBold(style & fsBold);
        f.setItalic(style & fsItalic);
        f.setUnderline(style & fsUnderline);
        cur_.entry = &fonts_.Get(f);
    }

    void openFont(const TFontChunkData& data) {
        fontStack_.append(cur_);
        QFont f = cur_.entry->font;
        bool changed = false;
        if (!data.Face.isEmpty()) {
            f.setFamily(data.Face);
            changed = true;
        }
        if (data.AbsoluteSize > 0) {
            setSize(f, data.AbsoluteSize);
            changed = true;
        }
        if (data.RelativeSize != 0) {
            const int current = f.pointSize() > 0 ? f.pointSize() : f.pixelSize();
            setSize(f, std::clamp(current + data.RelativeSize, 1, 1638));
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

    static void setSize(QFont& f, int size) {
        size = std::clamp(size, 1, 1638);
        if (f.pointSize() > 0) {
            f.setPointSize(size);
        } else {
            f.setPixelSize(size);
        }
    }

    void popFont() {
        if (!fontStack_.isEmpty()) {
            cur_ = fontStack_.back();
            fontStack_.removeLast();
        }
    }

    int rowHeight() const {
        const int row = row_;
        return row < line_.RowHeights.size() ? line_.RowHeights[row] : cur_.entry->rowHeight;
    }

    void ensureEntry() {
        if (measuring_) {
            while (line_.RowHeights.size() <= row_) {
                line_.RowHeights.append(cur_.entry->rowHeight);
            }
        }
    }

    void raise(int height) {
        ensureEntry();
        if (measuring_ && line_.RowHeights[row_] < height) {
            line_.RowHeights[row_] = height;
        }
    }

    void newRow() {
        line_.RowWidth = std::max(line_.RowWidth, x_);
        ensureEntry();
        rowTop_ += rowHeight();
        x_ = inPre_ ? rowStartX_ : indent_;
        rowStartX_ = x_;
        rowOriginX_ = x_;
        ++row_;
    }

    // Wrap test for a piece: only a row that already holds something wraps.
    bool mustWrap(int width) const {
        return x_ + width >= env_.UsableWidth && width < env_.UsableWidth && x_ > rowOriginX_;
    }

    bool reachesClient(int top, int bottom) const { return top < env_.ClientHeight && bottom >= 0; }

    // Hit area, Selected and blink state of a placed piece; returns whether
    // the piece is selected.
    bool notePiece(TConsoleChunk& chunk, const QRect& rect) {
        if (out_) {
            if (!links_.isEmpty() && reachesClient(rect.top(), rect.y() + rect.height())) {
                out_->HitAreas.push_back({rect, &line_, links_.last()});
            }
            if (chunk.Blink && reachesClient(rect.top(), rect.y() + rect.height())) {
                out_->BlinkOnScreen = true;
            }
        }
        chunk.Selected = env_.Selecting && !chunk.NoSelect &&
                         IsPieceSelected(rect, env_.SelectFrom, env_.SelectTo);
        return chunk.Selected;
    }

    template <typename TextFn>
    void placeText(TConsoleChunk& chunk, TextFn&& text) {
        QString cached;
        bool haveText = false;
        const auto getText = [&]() -> const QString& {
            if (!haveText) {
                cached = text();
                haveText = true;
            }
            return cached;
        };
        if (chunk.Width == 0 && chunk.Height == 0) {
            chunk.Width = cur_.entry->Advance(getText());
            chunk.Height = cur_.entry->height;
        }
        const int width = chunk.Width;
        raise(chunk.Height);
        if (mustWrap(width)) {
            newRow();
            raise(chunk.Height);
            if (chunk.Kind == ckSpace) {
                chunk.WrapDropped = true;
                return;
            }
        }
        if (measuring_) {
            x_ += width;
            return;
        }
        const int height = rowHeight();
        const QRect rect(x_, rowTop_, width, height);
        const bool selected = notePiece(chunk, rect);
        if (painter_ && rect.right() >= 0 && rect.left() < env_.ClientWidth) {
            const plat::TColor brush = selected ? plat::clHighlight : cur_.brush;
            if (brush != env_.Color) {
                plat::FillRectColor(*painter_, rect, brush);
            }
            if (!(chunk.Blink && env_.BlinkHidden) && chunk.Kind != ckSpace) {
                if (painterFont_ != cur_.entry) {
                    painter_->setFont(cur_.entry->font);
                    painterFont_ = cur_.entry;
                }
                painter_->setPen(plat::ToQColor(selected ? env_.Color : cur_.color));
                const int baseline = rowTop_ + height - chunk.Height + cur_.entry->ascent;
                painter_->drawText(x_, baseline, getText());
            }
        }
        x_ += width;
    }

    void placeImage(TConsoleChunk& chunk) {
        const plat::ImageList* images = env_.Images;
        if (!images) {
            return;
        }
        const int width = images->Width();
        const int imageHeight = images->Height();
        if (mustWrap(width)) {
            newRow();
        }
        raise(imageHeight);
        if (!measuring_) {
            const int height = rowHeight();
            const QRect rect(x_, rowTop_, width, height);
            const bool selected = notePiece(chunk, rect);
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

    void placeColumn(TConsoleChunk& chunk) {
        const int spot = chunk.Value;
        if (x_ >= spot) {
            return;
        }
        ensureEntry();
        if (x_ > env_.UsableWidth) {
            newRow();
            return;
        }
        if (!measuring_) {
            const QRect rect(x_, rowTop_, spot - x_, rowHeight());
            chunk.Selected = env_.Selecting && !chunk.NoSelect &&
                             IsPieceSelected(rect, env_.SelectFrom, env_.SelectTo);
            if (painter_ && chunk.Selected) {
                plat::FillRectColor(*painter_, rect, plat::clHighlight);
            }
        }
        x_ = spot;
    }

    void placeRule(TConsoleChunk& chunk) {
        if (x_ > 0) {
            line_.RowWidth = std::max(line_.RowWidth, x_);
            ensureEntry();
            rowTop_ += rowHeight();
            ++row_;
            x_ = indent_;
        }
        const int rightEnd = (env_.UsableWidth - indent_) * chunk.Value / 100 + indent_;
        if (measuring_) {
            ensureEntry();
            line_.RowHeights[row_] = 2;
        } else if (painter_ && rightEnd > indent_) {
            painter_->fillRect(QRect(indent_, rowTop_, rightEnd - indent_, 1),
                               plat::ToQColor(cur_.color));
        }
        rowTop_ += 2;
        ++row_;
        x_ = indent_;
        rowOriginX_ = x_;
    }

    const TLayoutEnv& env_;
    TFontCache& fonts_;
    TMessageNode& line_;
    const bool measuring_;
    QPainter* painter_;
    TLayoutOutput* out_;
    int rowTop_;
    int x_ = 0;
    int row_ = 0;
    int indent_ = 0;
    int rowStartX_ = 0;
    int rowOriginX_ = 0; // x where the current row began
    bool inPre_ = false;
    FontState cur_{};
    const TFontCache::Entry* painterFont_ = nullptr;
    QVarLengthArray<FontState, 8> fontStack_;
    QVarLengthArray<int, 4> indents_;
    QVarLengthArray<const TConsoleChunk*, 4> links_;
};

} // namespace

void TLineLayout::Measure(TMessageNode& line) {
    Pass(env_, fonts_, line, true, 0, nullptr, nullptr).Run();
}

void TLineLayout::Place(TMessageNode& line, int top, QPainter* painter, TLayoutOutput& out) {
    Pass(env_, fonts_, line, false, top, painter, &out).Run();
}

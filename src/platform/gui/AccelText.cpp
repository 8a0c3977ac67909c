#include "platform/gui/AccelText.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace plat {

namespace {

const QString kEllipsis = QStringLiteral("...");

// One line as laid out: its text and where its accelerator is (-1: none).
struct Line {
    QString text;
    qsizetype accel = -1;
    int width = 0;
};

// Measures with tabs expanded to stops every tabWidth pixels (0: no stops).
class Measure {
public:
    Measure(const QFontMetrics& metrics, unsigned format)
        : fm_(metrics), tabWidth_((format & DT_EXPANDTABS) ? 8 * metrics.averageCharWidth() : 0) {}

    // The x of each tab-separated segment is where the previous one ended,
    // moved to the next stop.
    template <typename F>
    int ForEachSegment(const QString& text, F&& segment) const {
        int x = 0;
        qsizetype start = 0;
        while (true) {
            const qsizetype tab = tabWidth_ > 0 ? text.indexOf(u'\t', start) : -1;
            const QString part = text.mid(start, tab < 0 ? -1 : tab - start);
            segment(x, start, part);
            x += fm_.horizontalAdvance(part);
            if (tab < 0) {
                return x;
            }
            x = (x / tabWidth_ + 1) * tabWidth_;
            start = tab + 1;
        }
    }

    int Width(const QString& text) const {
        return ForEachSegment(text, [](int, qsizetype, const QString&) {});
    }

    // The x where character i of the text starts.
    int XOf(const QString& text, qsizetype i) const {
        int at = 0;
        ForEachSegment(text, [&](int x, qsizetype start, const QString& part) {
            if (i >= start && i <= start + part.size()) {
                at = x + fm_.horizontalAdvance(part.left(i - start));
            }
        });
        return at;
    }

    const QFontMetrics& Metrics() const { return fm_; }

private:
    const QFontMetrics& fm_;
    int tabWidth_;
};

// Shortens one line as the ellipsis flags ask, moving its accelerator along.
void Ellipsize(const Measure& m, Line& line, int width, unsigned format) {
    if (!(format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) || m.Width(line.text) <= width) {
        return;
    }
    const QString& text = line.text;
    qsizetype separator = -1;
    if (format & DT_PATH_ELLIPSIS) {
        separator = std::max(text.lastIndexOf(u'\\'), text.lastIndexOf(u'/'));
    }
    if (separator < 0) {
        // The longest beginning that fits with the ellipsis; none: the ellipsis alone.
        qsizetype keep = text.size() - 1;
        while (keep > 0 && m.Width(text.left(keep) + kEllipsis) > width) {
            --keep;
        }
        line.text = text.left(keep) + kEllipsis;
        if (line.accel >= keep) {
            line.accel = -1;
        }
        return;
    }
    const QString tail = text.mid(separator);
    qsizetype keep = separator - 1;
    while (keep > 0 && m.Width(text.left(keep) + kEllipsis + tail) > width) {
        --keep;
    }
    keep = std::max<qsizetype>(keep, 0);
    line.text = text.left(keep) + kEllipsis + tail;
    if (line.accel >= separator) {
        line.accel = keep + kEllipsis.size() + (line.accel - separator);
    } else if (line.accel >= keep) {
        line.accel = -1;
    }
}

// Where the line that starts at `start` ends: at the last space before which
// the text fits the width, else at the first space after the first word, else
// at the end of the text.
qsizetype LineEnd(const Measure& m, const QString& text, qsizetype start, int width) {
    if (m.Width(text.mid(start)) <= width) {
        return text.size();
    }
    qsizetype fit = -1;
    for (qsizetype i = start + 1; i < text.size(); ++i) {
        if (text[i] != u' ') {
            continue;
        }
        if (m.Width(text.mid(start, i - start)) > width) {
            break;
        }
        fit = i;
    }
    if (fit < 0) {
        fit = text.indexOf(u' ', start + 1);
    }
    return fit >= 0 ? fit : text.size();
}

// Breaks one paragraph into lines no wider than width at spaces; a word wider
// than the width stays whole on its own line. Spaces at a break are dropped.
void Wrap(const Measure& m, const QString& text, qsizetype accel, int width,
          std::vector<Line>& out) {
    qsizetype start = 0;
    do {
        const qsizetype end = LineEnd(m, text, start, width);
        qsizetype shownEnd = end;
        if (end < text.size()) {
            while (shownEnd > start && text[shownEnd - 1] == u' ') {
                --shownEnd;
            }
        }
        const bool hasAccel = accel >= start && accel < shownEnd;
        out.push_back({text.mid(start, shownEnd - start), hasAccel ? accel - start : -1});
        start = end;
        while (start < text.size() && text[start] == u' ') {
            ++start;
        }
    } while (start < text.size());
}

std::vector<Line> LayOut(const Measure& m, QStringView source, int width, unsigned format) {
    AccelText parsed;
    if (format & DT_NOPREFIX) {
        parsed.Text = source.toString();
    } else {
        parsed = ParseAccelerators(source);
    }
    std::vector<Line> lines;
    if (parsed.Text.isEmpty()) {
        return lines;
    }
    // Paragraphs at CR LF, LF or CR; a single line drops the breaks.
    std::vector<Line> paragraphs(1);
    const QString& text = parsed.Text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            if (!(format & DT_SINGLELINE)) {
                paragraphs.emplace_back();
            }
            continue;
        }
        if (i == parsed.AccelIndex) {
            paragraphs.back().accel = paragraphs.back().text.size();
        }
        paragraphs.back().text += c;
    }
    const bool wordBreak = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    for (Line& paragraph : paragraphs) {
        if (wordBreak) {
            Wrap(m, paragraph.text, paragraph.accel, width, lines);
        } else {
            lines.push_back(std::move(paragraph));
        }
    }
    for (Line& line : lines) {
        Ellipsize(m, line, width, format);
        line.width = m.Width(line.text);
    }
    return lines;
}

int MeasureInto(const Measure& m, QStringView text, TRect& rect, unsigned format) {
    const std::vector<Line> lines = LayOut(m, text, rect.Width(), format);
    int width = 0;
    for (const Line& line : lines) {
        width = std::max(width, line.width);
    }
    const int height = static_cast<int>(lines.size()) * m.Metrics().height();
    rect.Right = rect.Left + width;
    rect.Bottom = rect.Top + height;
    return height;
}

} // namespace

AccelText ParseAccelerators(QStringView text) {
    AccelText result;
    result.Text.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            result.Text += text[i];
        } else if (i + 1 < text.size()) {
            ++i;
            if (text[i] != u'&') {
                result.AccelIndex = result.Text.size();
            }
            result.Text += text[i];
        }
    }
    return result;
}

QString StripAccelerators(QStringView text) {
    return ParseAccelerators(text).Text;
}

QChar AcceleratorCharOf(QStringView text) {
    const AccelText parsed = ParseAccelerators(text);
    return parsed.AccelIndex < 0 ? QChar() : parsed.Text[parsed.AccelIndex];
}

int TextWidth(const QFontMetrics& metrics, QStringView text, bool prefix) {
    return metrics.horizontalAdvance(prefix ? StripAccelerators(text) : text.toString());
}

QString EllipsizeText(const QFontMetrics& metrics, const QString& text, int width,
                      unsigned format) {
    Line line{text};
    Ellipsize(Measure(metrics, 0), line, width, format);
    return line.text;
}

int DrawText(QPainter& painter, QStringView text, TRect& rect, unsigned format) {
    const QFontMetrics fm(painter.font(), painter.device());
    const Measure m(fm, format);
    if (format & DT_CALCRECT) {
        return MeasureInto(m, text, rect, format);
    }
    const std::vector<Line> lines = LayOut(m, text, rect.Width(), format);
    const int lineHeight = fm.height();
    int y = rect.Top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) {
            y = rect.Top + (rect.Height() - lineHeight) / 2;
        } else if (format & DT_BOTTOM) {
            y = rect.Bottom - lineHeight;
        }
    }
    const int textTop = y;
    painter.save();
    if (!(format & DT_NOCLIP)) {
        painter.setClipRect(rect.ToQRect(), Qt::IntersectClip);
    }
    const QColor ink = painter.pen().color();
    for (const Line& line : lines) {
        int x = rect.Left;
        if (format & DT_CENTER) {
            x = rect.Left + (rect.Width() - line.width) / 2;
        } else if (format & DT_RIGHT) {
            x = rect.Right - line.width;
        }
        const int baseline = y + fm.ascent();
        m.ForEachSegment(line.text, [&](int dx, qsizetype, const QString& part) {
            painter.drawText(QPoint(x + dx, baseline), part);
        });
        if (line.accel >= 0 && !(format & DT_HIDEPREFIX)) {
            const int ax = x + m.XOf(line.text, line.accel);
            const int aw = fm.horizontalAdvance(line.text[line.accel]);
            painter.fillRect(
                QRect(ax, baseline + fm.underlinePos(), aw, std::max(1, fm.lineWidth())), ink);
        }
        y += lineHeight;
    }
    painter.restore();
    const int height = static_cast<int>(lines.size()) * lineHeight;
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) {
        return textTop - rect.Top + height;
    }
    return height;
}

TRect CalcTextRect(const QFont& font, QStringView text, const TRect& rect, unsigned format,
                   const QPaintDevice* device) {
    const QFontMetrics fm = device ? QFontMetrics(font, device) : QFontMetrics(font);
    TRect result = rect;
    MeasureInto(Measure(fm, format), text, result, format);
    return result;
}

} // namespace plat

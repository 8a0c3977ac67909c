#include "ConsoleTestSupport.h"

#include <QFontMetrics>

namespace {

QString styleName(uint8_t style) {
    return style == fsBold ? u"b"_qs : style == fsItalic ? u"i"_qs : u"u"_qs;
}

} // namespace

QString DumpChunks(const TChunkList& line) {
    QStringList out;
    for (const TConsoleChunk& c : line.Chunks) {
        QString s;
        switch (c.Kind) {
        case ckText:
            s = u"t:"_qs + line.TextOf(c).toString();
            break;
        case ckSpace:
            s = u"sp"_qs;
            break;
        case ckLineBreak:
            s = u"br"_qs;
            break;
        case ckTimestamp:
            s = u"ts"_qs;
            break;
        case ckLinkOpen: {
            const TLinkChunkData& l = line.LinkOf(c);
            s = u"link:%1|%2|%3|%4"_qs.arg(l.Name, l.Params, l.Hint,
                                           l.NotURL ? u"other"_qs : u"url"_qs);
            break;
        }
        case ckLinkClose:
            s = u"/link"_qs;
            break;
        case ckFontOpen: {
            const TFontChunkData& f = line.FontOf(c);
            s = u"font:%1,%2,%3,%4,%5"_qs.arg(f.Face)
                    .arg(f.AbsoluteSize)
                    .arg(f.RelativeSize)
                    .arg(plat::ColorToString(f.Color), plat::ColorToString(f.Background));
            break;
        }
        case ckFontClose:
            s = u"/font"_qs;
            break;
        case ckImage:
            s = u"img:%1"_qs.arg(c.Value);
            break;
        case ckColumn:
            s = u"col:%1"_qs.arg(c.Value);
            break;
        case ckRule:
            s = u"hr:%1"_qs.arg(c.Value);
            break;
        case ckStyleOn:
            s = u"on:"_qs + styleName(c.Style);
            break;
        case ckStyleOff:
            s = u"off:"_qs + styleName(c.Style);
            break;
        case ckIndentOpen:
            s = u"indent"_qs;
            break;
        case ckIndentClose:
            s = u"/indent"_qs;
            break;
        case ckPreOpen:
            s = u"pre"_qs;
            break;
        case ckPreClose:
            s = u"/pre"_qs;
            break;
        }
        if (c.Blink) {
            s += u'!';
        }
        if (c.NoSelect) {
            s += u'#';
        }
        out << s;
    }
    return out.join(u' ');
}

QString Parse(const QString& markup, TQvConsoleWhitespace ws, bool timestampEmptyLines) {
    return DumpChunks(ParseMarkup(markup, TParseOptions{ws, timestampEmptyLines}));
}

plat::ColoredFont TestFont(int points, plat::TColor color) {
    QFont f(u"DejaVu Sans"_qs, points);
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return plat::ColoredFont{f, color};
}

ConsoleRig::ConsoleRig(int width, int height) {
    console.SetEdge(etNone);
    console.SetColor(plat::clWhite);
    console.SetFont(TestFont());
    plat::ColoredFont link = TestFont(9, plat::clBlue);
    console.Links().SetFont(link);
    link.font.setUnderline(true);
    console.Links().SetHoverFont(link);
    console.SetPreFont(nullptr);
    console.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    console.resize(width, height);
    console.show();
}

ConsoleRig::~ConsoleRig() = default;

QImage ConsoleRig::Grab() {
    last = console.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return last;
}

QRgb ConsoleRig::Pixel(int x, int y) {
    if (last.isNull()) {
        Grab();
    }
    return last.pixel(x, y);
}

int ConsoleRig::LineHeight() const {
    return QFontMetrics(TestFont().font).height();
}

int ConsoleRig::Advance(const QString& text) const {
    return QFontMetrics(TestFont().font).horizontalAdvance(text);
}

bool HasColor(const QImage& image, const QRect& rect, unsigned rgb) {
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (Rgb(image.pixel(x, y)) == rgb) {
                return true;
            }
        }
    }
    return false;
}

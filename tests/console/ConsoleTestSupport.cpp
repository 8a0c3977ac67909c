#include "ConsoleTestSupport.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QScreen>

namespace {

QString styleName(uint8_t style) {
    return style == fsBold ? u"b"_qs : style == fsItalic ? u"i"_qs : u"u"_qs;
}

const char* const kSchemes[] = {"http", "https", "mailto"};

} // namespace

QString DumpChunks(const TChunkList& line) {
    // Names of the kinds that carry no data, in kind order; "" for the others.
    static const char16_t* const kPlain[] = {u"", u"",      u"",   u"indent", u"/indent", u"br",
                                             u"", u"/link", u"sp", u"",       u"",        u"",
                                             u"", u"/font", u"ts", u"pre",    u"/pre"};
    QStringList out;
    for (const TConsoleChunk& c : line.Chunks) {
        QString s = QString::fromUtf16(kPlain[c.Kind]);
        if (c.Kind == ckText) {
            s = u"t:"_qs + line.TextOf(c).toString();
        } else if (c.Kind == ckLinkOpen) {
            const TLinkChunkData& l = line.LinkOf(c);
            s = u"link:%1|%2|%3|%4"_qs.arg(l.Name, l.Params, l.Hint,
                                           l.NotURL ? u"other"_qs : u"url"_qs);
        } else if (c.Kind == ckFontOpen) {
            const TFontChunkData& f = line.FontOf(c);
            s = u"font:%1,%2,%3,%4,%5"_qs.arg(f.Face)
                    .arg(f.AbsoluteSize)
                    .arg(f.RelativeSize)
                    .arg(plat::ColorToString(f.Color), plat::ColorToString(f.Background));
        } else if (c.Kind == ckImage || c.Kind == ckColumn || c.Kind == ckRule) {
            const QString name = c.Kind == ckImage    ? u"img"_qs
                                 : c.Kind == ckColumn ? u"col"_qs
                                                      : u"hr"_qs;
            s = name + u':' + QString::number(c.Value);
        } else if (c.Kind == ckStyleOn || c.Kind == ckStyleOff) {
            s = (c.Kind == ckStyleOn ? u"on:"_qs : u"off:"_qs) + styleName(c.Style);
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

QImage ConsoleRig::Grab() {
    last = console.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return last;
}

int ConsoleRig::LineHeight() const {
    return QFontMetrics(TestFont().font).height();
}

int ConsoleRig::Advance(const QString& text) const {
    return QFontMetrics(TestFont().font).horizontalAdvance(text);
}

QPoint ConsoleRig::OnNewest(int dx) const {
    return QPoint(dx, console.ClientHeight() - LineHeight() / 2);
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

void Settle() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
    }
}

bool ShownEqualsFresh(TQvConsole& console) {
    Settle();
    const QImage shown = console.screen()->grabWindow(console.winId()).toImage();
    return shown.convertToFormat(QImage::Format_RGB32) ==
           console.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QStringList Texts(const TQvConsole& console) {
    QStringList out;
    for (TMessageNode* line = console.FirstLine(); line; line = line->Next) {
        out << line->Text;
    }
    return out;
}

void ConsoleRig::Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button,
                       Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(p), console.viewport()->mapToGlobal(QPointF(p)), button, buttons,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(console.viewport(), &e);
}

QString WrongPixels(ConsoleRig& rig, std::initializer_list<Px> expected) {
    QStringList wrong;
    const QImage& image = rig.last.isNull() ? rig.Grab() : rig.last;
    for (const Px& px : expected) {
        const unsigned rgb = Rgb(image.pixel(px.x, px.y));
        if (rgb != px.rgb) {
            wrong << u"%1,%2:%3"_qs.arg(px.x).arg(px.y).arg(rgb, 6, 16, QLatin1Char('0'));
        }
    }
    return wrong.join(u' ');
}

EventLog::EventLog(TQvConsole& c) {
    c.OnMouseDown = [this](TQvCustomConsole*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        log << u"down"_qs;
    };
    c.OnClick = [this](TQvCustomConsole*) { log << u"click"_qs; };
    c.OnLink = [this](TQvCustomConsole*, const QString& n, const QString& p, const QString& h) {
        log << u"link:%1|%2|%3"_qs.arg(n, p, h);
    };
    c.OnMouseUp = [this](TQvCustomConsole* s, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        const TLinkInformation info = s->LinkInformation();
        log << (info.Valid ? u"up:"_qs + info.Name : u"up"_qs);
    };
    c.OnSelect = [this](TQvCustomConsole*, const QString& t) { log << u"select:"_qs + t; };
    c.OnTextAdded = [this](TQvCustomConsole*, int n, bool up) {
        log << u"added:%1,%2"_qs.arg(n).arg(up ? u"up"_qs : u"bottom"_qs);
    };
    for (const char* scheme : kSchemes) {
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
}

EventLog::~EventLog() {
    for (const char* scheme : kSchemes) {
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
}

QStringList EventLog::Take() {
    QStringList l = log;
    log.clear();
    return l;
}

QStringList EventLog::TakeOutcome() {
    QStringList l = Take();
    l.removeAll(u"down"_qs);
    l.removeAll(u"click"_qs);
    return l;
}

void EventLog::Open(const QUrl& url) {
    log << u"open:"_qs + url.toString();
}

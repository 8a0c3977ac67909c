#include "platform/gui/AccelText.h"

#include "GoldenRows.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

#include <map>

using namespace plat;

namespace {

// Format flags written "SINGLELINE|NOPREFIX" (empty for none).
unsigned Flags(const QString& field) {
    static const std::map<QString, unsigned> names{
        {"SINGLELINE", DT_SINGLELINE},       {"NOPREFIX", DT_NOPREFIX},
        {"WORDBREAK", DT_WORDBREAK},         {"END_ELLIPSIS", DT_END_ELLIPSIS},
        {"PATH_ELLIPSIS", DT_PATH_ELLIPSIS}, {"EXPANDTABS", DT_EXPANDTABS},
        {"HIDEPREFIX", DT_HIDEPREFIX}};
    unsigned flags = 0;
    for (const QString& name : field.split(u'|', Qt::SkipEmptyParts)) {
        flags |= names.at(name);
    }
    return flags;
}

struct ParseCase {
    const char16_t* source;
    const char16_t* shown;
    int accel;
};

TEST(Accelerators, ParseStripAndFindTheLastSingleMark) {
    const ParseCase cases[] = {
        {u"&File", u"File", 0},
        {u"E&xit", u"Exit", 1},
        {u"Fish && Chips", u"Fish & Chips", -1}, // a doubled mark is a literal "&"
        {u"&&&x", u"&x", 1},
        {u"&a b &c", u"a b c", 4}, // the last single mark wins
        {u"tail&", u"tail", -1},
        {u"&&a&&", u"&a&", -1},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.source).toStdString());
        const AccelText parsed = ParseAccelerators(c.source);
        EXPECT_EQ(parsed.Text, QString::fromUtf16(c.shown));
        EXPECT_EQ(parsed.AccelIndex, c.accel);
        EXPECT_EQ(StripAccelerators(c.source), QString::fromUtf16(c.shown));
        EXPECT_EQ(AcceleratorCharOf(c.source),
                  c.accel < 0 ? QChar() : QString::fromUtf16(c.shown)[c.accel]);
    }
}

// Text laid out in a fixed-pitch font, so that widths count characters.
class TextLayout : public ::testing::Test {
protected:
    void SetUp() override {
        font_ = QFont(QStringLiteral("DejaVu Sans Mono"));
        font_.setPixelSize(12);
        font_.setHintingPreference(QFont::PreferFullHinting);
        ASSERT_EQ(QFontInfo(font_).family(), QStringLiteral("DejaVu Sans Mono"));
        image_ = QImage(200, 60, QImage::Format_RGB32);
        const QFontMetrics fm(font_, &image_);
        c_ = fm.horizontalAdvance(QLatin1Char('M'));
        h_ = fm.height();
        ascent_ = fm.ascent();
        underline_ = fm.underlinePos();
        ASSERT_EQ(fm.horizontalAdvance(QStringLiteral("MMMMMMMMMM")), 10 * c_);
    }

    // Draws into a white image in black; the painter's pen is the ink.
    int Draw(QStringView text, TRect rect, unsigned format) {
        image_.fill(Qt::white);
        QPainter p(&image_);
        p.setFont(font_);
        p.setPen(Qt::black);
        return DrawText(p, text, rect, format);
    }

    // The bounds of the ink in the rows [top, bottom) (the whole image by
    // default); an empty rectangle when blank.
    QRect Ink(int top = 0, int bottom = -1) const {
        QRect ink;
        for (int y = top; y < (bottom < 0 ? image_.height() : bottom); ++y) {
            for (int x = 0; x < image_.width(); ++x) {
                if (image_.pixel(x, y) != 0xFFFFFFFF) {
                    ink |= QRect(x, y, 1, 1);
                }
            }
        }
        return ink;
    }

    QFont font_;
    QImage image_;
    int c_ = 0;
    int h_ = 0;
    int ascent_ = 0;
    int underline_ = 0;
};

// Rows: text (escapes), flags, the rectangle's width and then the text's width
// in characters, its lines.
TEST_F(TextLayout, CalcRectMeasuresLinesBreaksAndMarks) {
    for (const QList<QByteArray>& row : GoldenRows("platform/text-measure.tsv", 5)) {
        const struct {
            QString text;
            unsigned format;
            int widthChars, expectChars, expectLines;
        } m{QString::fromUtf8(row[0]), Flags(QString::fromLatin1(row[1])), row[2].toInt(),
            row[3].toInt(), row[4].toInt()};
        SCOPED_TRACE(row.join(" | ").toStdString());
        const TRect given(3, 4, 3 + m.widthChars * c_, 100);
        const TRect calc = CalcTextRect(font_, m.text, given, m.format | DT_CALCRECT, &image_);
        EXPECT_EQ(calc, TRect(3, 4, 3 + m.expectChars * c_, 4 + m.expectLines * h_));
        // The painter form measures the same and draws nothing.
        TRect viaPainter = given;
        image_.fill(Qt::white);
        QPainter p(&image_);
        p.setFont(font_);
        EXPECT_EQ(DrawText(p, m.text, viaPainter, m.format | DT_CALCRECT), m.expectLines * h_);
        EXPECT_EQ(viaPainter, calc);
        p.end();
        EXPECT_TRUE(Ink().isEmpty());
    }
}

// Rows: text, width in characters, flags, what shows.
TEST_F(TextLayout, EllipsesKeepTheEndOfAPath) {
    const QFontMetrics fm(font_, &image_);
    for (const QStringList& row : GoldenTextRows("platform/text-ellipses.tsv", 4)) {
        EXPECT_EQ(EllipsizeText(fm, row[0], row[1].toInt() * c_, Flags(row[2])), row[3])
            << row.join(u" | ").toStdString();
    }
}

TEST_F(TextLayout, AlignsHorizontallyAndVerticallyInsideTheRectangle) {
    const TRect rect(10, 5, 10 + 20 * c_, 5 + 3 * h_);
    const struct {
        unsigned format;
        int firstCell; // the cell where "MM" starts
    } cases[] = {{DT_LEFT, 0}, {DT_CENTER, 9}, {DT_RIGHT, 18}};
    for (const auto& a : cases) {
        Draw(u"MM", rect, a.format | DT_SINGLELINE | DT_VCENTER);
        EXPECT_GE(Ink().left(), rect.Left + a.firstCell * c_) << a.format;
        EXPECT_LT(Ink().right(), rect.Left + (a.firstCell + 2) * c_) << a.format;
    }
    // Vertically centred: the line starts at (3h - h) / 2.
    const int top = rect.Top + h_;
    EXPECT_EQ(Draw(u"MM", rect, DT_SINGLELINE | DT_VCENTER), 2 * h_);
    EXPECT_GE(Ink().top(), top);
    EXPECT_LT(Ink().bottom(), top + h_);
    // Without DT_SINGLELINE the vertical flags do nothing.
    EXPECT_EQ(Draw(u"MM", rect, DT_VCENTER), h_);
    EXPECT_LT(Ink().top(), rect.Top + h_);
}

TEST_F(TextLayout, UnderlinesTheAcceleratorUnlessHiddenOrOff) {
    const TRect rect(0, 0, 20 * c_, h_);
    const int underlineRow = ascent_ + underline_;
    // Capitals have no descender: below the baseline only the underline inks.
    const struct {
        const char16_t* text;
        unsigned format;
        int cell; // -1: no underline
    } cases[] = {
        {u"M&MM", DT_SINGLELINE, 1},
        {u"MM&&M", DT_SINGLELINE, -1},
        {u"M&MM", DT_SINGLELINE | DT_HIDEPREFIX, -1},
        {u"M&MM", DT_SINGLELINE | DT_NOPREFIX, -1},
        {u"MMMMMMMM&M", DT_SINGLELINE | DT_END_ELLIPSIS, -1}, // cut off with its letter
        {u"MM\t&M", DT_SINGLELINE | DT_EXPANDTABS, 8},
    };
    for (const auto& u : cases) {
        SCOPED_TRACE(QString::fromUtf16(u.text).toStdString());
        TRect r = rect;
        if (u.format & DT_END_ELLIPSIS) {
            r.Right = 6 * c_;
        }
        Draw(u.text, r, u.format);
        const QRect ink = Ink(underlineRow, underlineRow + 1);
        EXPECT_EQ(ink, u.cell < 0 ? QRect() : QRect(u.cell * c_, underlineRow, c_, 1));
        if (u.cell >= 0) {
            EXPECT_EQ(image_.pixel(ink.topLeft()), 0xFF000000u); // the pen's colour
        }
    }
}

TEST_F(TextLayout, ClipsToTheRectangleUnlessTold) {
    const TRect rect(0, 0, 3 * c_, h_);
    Draw(u"MMMMMM", rect, DT_SINGLELINE);
    EXPECT_LT(Ink(0, h_).right(), 3 * c_);
    Draw(u"MMMMMM", rect, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GE(Ink(0, h_).right(), 5 * c_);
    // Word-broken lines go one below the other.
    Draw(u"MM MM", TRect(0, 0, 3 * c_, 3 * h_), DT_WORDBREAK);
    EXPECT_GE(Ink().bottom(), h_);
    EXPECT_LT(Ink().right(), 2 * c_);
}

} // namespace

// Text copied from images of its words: the same pixels as glyphs blended
// directly, the right image for each font and colour, and glyphs wherever
// an image would not land one to one.
#include "ConsoleTestSupport.h"

#include "console/FontCache.h"
#include "console/TextSprites.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

// Largest difference of any colour channel.
int MaxDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return worst;
}

struct SpriteCase {
    const char* name;
    std::function<void(QFont&)> style;
    QRgb pen;
    QRgb background;
};

class TextSprite : public testing::TestWithParam<SpriteCase> {};

// Each word drawn both ways at the same pen: glyphs blended onto the
// background, and the word's image copied there.
TEST_P(TextSprite, CopiesWhatGlyphsDraw) {
    QFont font = TestFont().font;
    GetParam().style(font);
    TFontCache fonts;
    const TFontCache::Entry& entry = fonts.Get(font);
    const QPoint pen(30, 25);
    for (const QString& word : {u"anyone"_qs, u"Wolf"_qs, u"[15:07]"_qs, u"fjord,"_qs, u"Ærø"_qs,
                                u"iiii"_qs, u"W"_qs, u"12345"_qs}) {
        const QList<QGlyphRun> runs = entry.Shape(word);
        const auto runsOf = [&]() -> const QList<QGlyphRun>& { return runs; };
        QImage glyphs(160, 45, QImage::Format_RGB32);
        glyphs.fill(GetParam().background);
        QImage copied = glyphs;
        {
            QPainter painter(&glyphs);
            painter.setPen(QColor::fromRgb(GetParam().pen));
            TTextSprites::DrawGlyphs(painter, pen, runs);
        }
        const int advance = entry.Advance(word);
        const TTextSprite* sprite = entry.Sprite(word, GetParam().pen, advance, runsOf);
        ASSERT_NE(sprite, nullptr) << word.toStdString();
        {
            QPainter painter(&copied);
            ASSERT_TRUE(TTextSprites::Suits(painter));
            painter.drawImage(pen + sprite->Offset, sprite->Image);
        }
        EXPECT_LE(MaxDifference(glyphs, copied), 1) << word.toStdString();
        // Found again, not made again.
        EXPECT_EQ(entry.Sprite(word, GetParam().pen, advance, runsOf), sprite);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FontsAndColours, TextSprite,
    testing::Values(SpriteCase{"Plain", [](QFont&) {}, 0x000000, 0xFFFFFF},
                    SpriteCase{"LinkOnYellow", [](QFont&) {}, 0x0000FF, 0xFFFFC8},
                    SpriteCase{"Selected", [](QFont&) {}, 0xFFFFFF, 0x308CC6},
                    SpriteCase{"Bold", [](QFont& f) { f.setBold(true); }, 0x008000, 0xFFFFFF},
                    SpriteCase{"Italic", [](QFont& f) { f.setItalic(true); }, 0x800080, 0xF0F0F0},
                    SpriteCase{"Underlined", [](QFont& f) { f.setUnderline(true); }, 0x0000FF,
                               0xFFFFFF},
                    SpriteCase{"StruckLarge",
                               [](QFont& f) {
                                   f.setStrikeOut(true);
                                   f.setPointSize(16);
                               },
                               0x808080, 0x000000}),
    [](const auto& info) { return std::string(info.param.name); });

// The same word in two colours and two fonts of one line: each copy in its own.
TEST(ConsoleSprites, EachColourAndFontGetsItsOwnImage) {
    ConsoleRig rig(300, 60);
    const QString line = u"<font color=#FF0000>same</font> <font color=#0000FF>same</font> "
                         u"<b>same</b> same"_qs;
    for (int i = 0; i < 2; ++i) { // the second time from the images
        rig.console.Clear();
        rig.console.AddLine(line);
        const QImage image = rig.Grab();
        const int row = image.height() - rig.LineHeight() - 2;
        const int word = rig.Advance(u"same"_qs);
        const int space = rig.Advance(u" "_qs);
        const QRect first(2, row, word, rig.LineHeight());
        const QRect second = first.translated(word + space, 0);
        const QRect bold(second.right() + 1 + space, row, word + 2, rig.LineHeight());
        EXPECT_TRUE(HasColor(image, first, 0xFF0000)) << i;
        EXPECT_FALSE(HasColor(image, first, 0x0000FF)) << i;
        EXPECT_TRUE(HasColor(image, second, 0x0000FF)) << i;
        EXPECT_FALSE(HasColor(image, second, 0xFF0000)) << i;
        // The bold word is wider than the plain one after it would be.
        const int boldWidth = QFontMetrics([] {
                                  QFont f = TestFont().font;
                                  f.setBold(true);
                                  return f;
                              }())
                                  .horizontalAdvance(u"same"_qs);
        EXPECT_TRUE(HasColor(image, bold, 0x000000)) << i;
        const QRect plain(bold.left() + boldWidth + space, row, word, rig.LineHeight());
        EXPECT_TRUE(HasColor(image, plain, 0x000000)) << i;
    }
}

// More words than a font keeps: the images start again and look the same.
TEST(ConsoleSprites, KeepsABoundedNumberOfWords) {
    TFontCache fonts;
    const TFontCache::Entry& entry = fonts.Get(TestFont().font);
    const auto sprite = [&](const QString& word) {
        const TTextSprite* s =
            entry.Sprite(word, 0x000000, entry.Advance(word), [&] { return entry.Shape(word); });
        return s ? s->Image : QImage();
    };
    const QImage first = sprite(u"w0"_qs);
    for (int i = 1; i <= TTextSprites::kMaxSprites; ++i) {
        sprite(u"w%1"_qs.arg(i));
        ASSERT_LE(entry.SpriteCount(), TTextSprites::kMaxSprites);
    }
    EXPECT_LT(entry.SpriteCount(), TTextSprites::kMaxSprites);
    EXPECT_EQ(sprite(u"w0"_qs), first);
}

// Painters an image would not land on one to one get glyphs.
TEST(ConsoleSprites, OnlyPaintersThatCopyPixelsOneToOne) {
    const std::pair<const char*, std::function<void(QPainter&)>> cases[] = {
        {"plain", [](QPainter&) {}},
        {"whole shift", [](QPainter& p) { p.translate(3, -4); }},
        {"half shift", [](QPainter& p) { p.translate(0.5, 0); }},
        {"scaled", [](QPainter& p) { p.scale(2, 2); }},
        {"rotated", [](QPainter& p) { p.rotate(90); }},
        {"half opaque", [](QPainter& p) { p.setOpacity(0.5); }},
        {"other composition",
         [](QPainter& p) { p.setCompositionMode(QPainter::CompositionMode_Source); }},
    };
    const bool suits[] = {true, true, false, false, false, false, false};
    for (size_t i = 0; i < std::size(cases); ++i) {
        QImage image(20, 20, QImage::Format_RGB32);
        QPainter painter(&image);
        cases[i].second(painter);
        EXPECT_EQ(TTextSprites::Suits(painter), suits[i]) << cases[i].first;
    }
    QImage sharp(40, 40, QImage::Format_RGB32);
    sharp.setDevicePixelRatio(2);
    QPainter painter(&sharp);
    EXPECT_FALSE(TTextSprites::Suits(painter));
}

} // namespace

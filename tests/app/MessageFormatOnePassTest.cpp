// Escaping, emoticons and colour codes are replaced in one pass over the
// text; the result must be what replacing each table row everywhere, row after
// row, gives. Each case here holds the one-pass result against that
// row-by-row replacement, over every short text of the characters that take
// part in matches.
#include "app/format/ColorCodes.h"
#include "app/format/Emoticons.h"
#include "app/format/MessageFormat.h"
#include "app/format/Substitution.h"

#include "strings/FastStrings.h"

#include <functional>
#include <random>

#include <gtest/gtest.h>

namespace {

// Every text of length 1 to maxLength over the alphabet.
void ForEveryText(QStringView alphabet, int maxLength,
                  const std::function<void(const QString&)>& visit) {
    QString text;
    std::function<void()> grow = [&] {
        if (!text.isEmpty()) {
            visit(text);
        }
        if (text.size() == maxLength) {
            return;
        }
        for (const QChar c : alphabet) {
            text.append(c);
            grow();
            text.chop(1);
        }
    };
    grow();
}

QString RowByRow(QStringView text, std::span<const TSubstitutionRow> rows) {
    QString result = text.toString();
    for (const TSubstitutionRow& row : rows) {
        result = FastReplace(result, row.Find, row.Replace, true);
    }
    return result;
}

QString EmoticonsRowByRow(QStringView text) {
    static const std::vector<QString> kTags = [] {
        std::vector<QString> tags;
        tags.reserve(EmoticonImageCount);
        for (int image = 0; image < EmoticonImageCount; ++image) {
            tags.push_back(QStringLiteral("<img index=\"%1\">").arg(image));
        }
        return tags;
    }();
    QString result = text.toString();
    for (const TEmoticon& e : EmoticonTable) {
        result = FastReplace(result, e.Text, kTags[size_t(e.Image)], true);
    }
    return result;
}

QString Switch(const QString& hex) {
    return QStringLiteral("</font><font color=\"#") + hex + QStringLiteral("\">");
}

QString DecodeRowByRow(QStringView text, plat::TColor message, plat::TColor background) {
    QString result = text.toString();
    for (const TColorCodeRow& r : ColorCodeTable) {
        const QString hex =
            r.Color() == plat::ColorToRGB(background) ? ColorToHex(message) : r.Hex();
        result = FastReplace(result, r.Code(), Switch(hex), true);
    }
    return FastReplace(result, QStringView(&EndCode, 1), Switch(ColorToHex(message)), true);
}

// Chat text escaped with stand-ins, the emoticons replaced between them, then
// the stand-ins turned into what they stand for.
QString EscapeRowByRow(QStringView text, bool emoticons) {
    QString s = FastReplace(text, u"&", u"\x17\x18", false);
    s = FastReplace(s, u"<", u"\x17\x19", false);
    s = FastReplace(s, u">", u"\x17\x1A", false);
    s = FastReplace(s, u"http://", u"\x17\x1C", false);
    s = FastReplace(s, u"https://", u"\x17\x1D", false);
    if (emoticons) {
        s = EmoticonsRowByRow(s);
    }
    s = FastReplace(s, u"\x17\x18", u"&amp;", true);
    s = FastReplace(s, u"\x17\x19", u"&lt;", true);
    s = FastReplace(s, u"\x17\x1A", u"&gt;", true);
    s = FastReplace(s, u"\x17\x1C", u"http://", true);
    return FastReplace(s, u"\x17\x1D", u"https://", true);
}

QString Visible(const QString& text) {
    QString shown;
    for (const QChar c : text) {
        shown += c.unicode() < 0x20 ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'))
                                    : QString(c);
    }
    return shown;
}

} // namespace

TEST(OnePassReplacement, OverlapsGoToTheEarlierRowThenTheLeftmostMatch) {
    // A first character beyond Latin-1 too.
    const std::array<TSubstitutionRow, 4> rows{
        {{u"bc", u"[1]"}, {u"ab", u"[2]"}, {u"cab", u"[3]"}, {u"\u20ACa", u"[4]"}}};
    ASSERT_FALSE(SubstitutionRowsInterfere(rows));
    struct Case {
        QStringView text;
        QStringView expected;
    };
    for (const Case& c :
         {Case{u"abc", u"a[1]"}, Case{u"cabab", u"c[2][2]"}, Case{u"bcab", u"[1][2]"},
          Case{u"abcab", u"a[1][2]"}, Case{u"xyz", u"xyz"}, Case{u"", u""},
          Case{u"\u20ACab", u"\u20AC[2]"}, Case{u"\u20ACac", u"[4]c"}}) {
        QString out = QStringLiteral(">");
        AppendSubstituted(out, c.text, rows);
        EXPECT_EQ(out, QStringLiteral(">") + c.expected.toString())
            << c.text.toString().toStdString();
        EXPECT_EQ(out.mid(1), RowByRow(c.text, rows));
    }
    ForEveryText(u"abc\u20ACx", 6, [&](const QString& text) {
        QString out;
        AppendSubstituted(out, text, rows);
        ASSERT_EQ(out, RowByRow(text, rows)) << text.toStdString();
    });
}

TEST(OnePassReplacement, RowsThatWouldMeetTheirReplacementsAreTold) {
    struct Case {
        TSubstitutionRow a;
        TSubstitutionRow b;
        bool interfere;
    };
    for (const Case& c : {
             Case{{u"ab", u"<x>"}, {u"cd", u"<y>"}, false},
             Case{{u"ab", u"<x>"}, {u"x", u"<y>"}, true},   // inside a replacement
             Case{{u"ab", u"<x>"}, {u">c", u"<y>"}, true},  // across its end
             Case{{u"ab", u"<x>"}, {u"c<", u"<y>"}, true},  // across its start
             Case{{u"ab", u"<x>"}, {u"c<x>d", u"y"}, true}, // around it
             Case{{u"ab", u""}, {u"cd", u"<y>"}, true},     // a removal joins its neighbours
         }) {
        const std::array<TSubstitutionRow, 2> rows{c.a, c.b};
        EXPECT_EQ(SubstitutionRowsInterfere(rows), c.interfere)
            << c.b.Find.toString().toStdString() << " / " << c.a.Replace.toString().toStdString();
    }
}

TEST(OnePassReplacement, EmoticonsAsTheTableReplacesThemRowByRow) {
    // The emoticon texts' characters, so that texts overlap in every way.
    ForEveryText(u":=8-o')(O", 4, [](const QString& text) {
        ASSERT_EQ(ReplaceEmoticons(text), EmoticonsRowByRow(text)) << text.toStdString();
    });
}

TEST(OnePassReplacement, ColourCodesAsTheTableDecodesThemRowByRow) {
    // Code starts, the reference code, the end code and index characters
    // that are themselves code characters (0x10 0x10, 0x10 0x11, 0x10 0x12).
    const QString alphabet = QStringLiteral("\x10\x11\x12\x0B\x0F");
    for (const plat::TColor background : {plat::clWhite, plat::clBlack, plat::RGB(1, 2, 3)}) {
        ForEveryText(alphabet, 5, [&](const QString& text) {
            ASSERT_EQ(DecodeColorCodes(text, plat::clGreen, background),
                      DecodeRowByRow(text, plat::clGreen, background))
                << Visible(text).toStdString();
        });
    }
}

TEST(OnePassReplacement, EscapingAsTheStandInsAndEmoticonsDoItStepByStep) {
    // Texts made of the pieces escaping looks at, in any case and order,
    // stand-in characters included.
    const std::array<QStringView, 18> pieces{
        u"&",    u"<",    u">", u"http://", u"HtTp://", u"https://", u"HTTPS://", u"\x17", u"\x18",
        u"\x1C", u"\x1D", u":", u"/",       u")",       u"-",        u"o",        u"h",    u"x"};
    std::mt19937 random(36);
    std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1);
    std::uniform_int_distribution<int> count(1, 7);
    for (int i = 0; i < 6000; ++i) {
        QString text;
        for (int n = count(random); n > 0; --n) {
            text += pieces[piece(random)];
        }
        for (const bool emoticons : {false, true}) {
            ASSERT_EQ(EscapeText(text, emoticons), EscapeRowByRow(text, emoticons))
                << Visible(text).toStdString() << (emoticons ? " with" : " without")
                << " emoticons";
        }
    }
}

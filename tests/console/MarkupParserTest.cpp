#include "ConsoleTestSupport.h"
#include "GoldenRows.h"
#include "Raises.h"

#include "platform/core/Exception.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Rows: how the line is read, the markup, the chunks made.
TEST(ParseMarkup, MakesTheChunksOfEveryTagEntityAndSpace) {
    const std::map<QByteArray, TQvConsoleWhitespace> ws = {{"all", cwsCollapse},
                                                           {"none", cwsLeave}};
    for (const QList<QByteArray>& row : GoldenRows("console/markup-chunks.tsv", 3)) {
        const auto found = ws.find(row[0]);
        TChunkList line = ParseMarkup(
            QString::fromUtf8(row[1]),
            {found == ws.end() ? cwsCollapseOutsidePRE : found->second, row[0] == "stamp"});
        if (row[0] == "urls") {
            DetectURLs(line);
        }
        EXPECT_EQ(DumpChunks(line), QString::fromUtf8(row[2])) << row.join(" | ").constData();
    }
}

TEST(ParseMarkup, LongTextKeepsItsPlaceAmongTheChunks) {
    const QString longWord(20000, u'w');
    EXPECT_EQ(Parse(u"<b>"_qs + longWord + u"</b> x<img 130>y"_qs),
              u"ts on:b t:"_qs + longWord + u" off:b sp t:x img:130 t:y"_qs);
}

TEST(ParseMarkup, ColourNotationsAndConversionErrors) {
    // "#" is RGB, short "#" values shift ("#FF00" reads "$00FF"); other values
    // go to the colour-name conversion as they are.
    const std::pair<const char16_t*, plat::TColor> colours[] = {
        {u"#FF0000", plat::clRed},  {u"#123456", 0x563412}, {u"#FF00", 0xFF}, {u"#12", 0x12},
        {u"$FF0000", plat::clBlue}, {u"255", plat::clRed}};
    for (const auto& [value, expected] : colours) {
        const QString markup = u"<font color=\""_qs + QString::fromUtf16(value) + u"\">"_qs;
        EXPECT_EQ(ParseMarkup(markup, {}).Fonts.At(0).Color, expected) << markup.toStdString();
    }
    EXPECT_EQ(ParseMarkup(u"<color #00FF00>"_qs, {}).Fonts.At(0).Color, plat::clLime);

    const std::pair<const char16_t*, const char16_t*> errors[] = {
        {u"<font color=\"red\">x", u"'red' is not a valid integer value"},
        {u"<color>x", u"'' is not a valid integer value"},
        {u"<font background=#GG0000>", u"'$0000GG' is not a valid integer value"},
    };
    for (const auto& error : errors) {
        const QString markup = QString::fromUtf16(error.first);
        EXPECT_EQ(MessageOf<plat::EConvertError>([&] { ParseMarkup(markup, {}); }),
                  QString::fromUtf16(error.second));
    }
}

// Names and keys match whatever their case, as QString compares without
// case: letters outside ASCII that fold to the name's letters count too.
TEST(ParseMarkup, TagNamesAndKeysIgnoreCase) {
    const std::pair<const char16_t*, const char16_t*> rows[] = {
        {u"<NoSeLeCt>x</NOSELECT>y", u"ts t:x# t:y"},
        {u"<no\u017Felect>x</noselect>", u"ts t:x#"}, // long s folds to s
        {u"<BLIN\u212A>x</blink>", u"ts t:x!"},       // Kelvin sign folds to k
        {u"<noselectx>x<noselec>y", u"ts t:xy"},      // other lengths never match
        {u"<FoNt CoLoR=#00FF00 SIZE=3>", u"ts font:,3,0,clLime,clNone"},
        {u"<font \u212Aey=1 color=#0000FF>", u"ts font:,0,0,clBlue,clNone"},
        {u"<a NAME=n PARAMS=p HINT=h TYPE=url>x</A>", u"ts link:n|p|h|url t:x /link"},
        {u"<a name=n type=UR\u029F>x</a>", u"ts link:n|||other t:x /link"},
    };
    for (const auto& [markup, chunks] : rows) {
        const QString text = QString::fromUtf16(markup);
        EXPECT_EQ(Parse(text), QString::fromUtf16(chunks)) << text.toStdString();
    }
    // Addresses: the prefix in any case, and nothing from a word whose first
    // letter no prefix has.
    TChunkList line = ParseMarkup(u"HtTp://a.b Mailto:c@d nEWS://e xhttp://f"_qs, {});
    DetectURLs(line);
    EXPECT_EQ(DumpChunks(line),
              u"ts link:URL|HtTp://a.b|Open HtTp://a.b in default browser|url t:HtTp://a.b /link "
              u"sp link:URL|Mailto:c@d|Send email to Mailto:c@d via default mail client|url "
              u"t:c@d /link sp link:URL|nEWS://e|Read news from nEWS://e in default news "
              u"client|url t:nEWS://e /link sp t:xhttp://f"_qs);
}

TEST(ChunkData, LinesShareTheirLinkAndFontDataAndGiveItBack) {
    const int links = chunkdata::LinkCount();
    const int fonts = chunkdata::FontCount();
    {
        std::vector<TChunkList> lines;
        for (int i = 0; i < 20; ++i) {
            lines.push_back(ParseMarkup(
                u"<a name=n%1>x</a><font color=#00000%1>y</font> http://u%2"_qs.arg(i % 3).arg(i),
                {}));
            DetectURLs(lines.back());
        }
        EXPECT_EQ(chunkdata::LinkCount(), links + 3 + 20); // three names, twenty addresses
        EXPECT_EQ(chunkdata::FontCount(), fonts + 3);
        const TChunkList copy = lines.front();
        lines.clear();
        EXPECT_EQ(DumpChunks(copy), u"ts link:n0|||other t:x /link font:,0,0,clBlack,clNone t:y "
                                    u"/font sp link:URL|http://u0|Open http://u0 in default "
                                    u"browser|url t:http://u0 /link"_qs);
        EXPECT_EQ(chunkdata::LinkCount(), links + 2);
        EXPECT_EQ(chunkdata::FontCount(), fonts + 1);
        // A line refused for a bad colour takes nothing.
        EXPECT_THROW(ParseMarkup(u"<a name=m>x</a><font color=bad>"_qs, {}), plat::EConvertError);
        EXPECT_EQ(chunkdata::LinkCount(), links + 2);
    }
    EXPECT_EQ(chunkdata::LinkCount(), links);
    EXPECT_EQ(chunkdata::FontCount(), fonts);
}

} // namespace

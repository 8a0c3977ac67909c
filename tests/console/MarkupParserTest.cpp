#include "ConsoleTestSupport.h"
#include "Raises.h"

#include "platform/core/Exception.h"

#include <gtest/gtest.h>

namespace {

constexpr auto C = cwsCollapseOutsidePRE;

struct ChunkCase {
    const char16_t* markup;
    const char16_t* chunks;
    TQvConsoleWhitespace ws = C;
    bool timestampEmptyLines = false;
};

const ChunkCase kChunkCases[] = {
    // Whitespace: collapsed outside PRE, every character kept inside it.
    {u"a  b&amp;c &AMP; <br/>x<br />y", u"ts t:a sp t:b&c sp t:&AMP sp t:x br t:y"},
    {u"<pre>a\r\n\tb</pre>c  d", u"ts pre t:a br sp t:b /pre t:c sp t:d"},
    {u"<pre>a  b</pre>", u"ts pre t:a sp t:b /pre", cwsCollapse},
    // Kept: CR breaks, LF vanishes, so CR LF is one break.
    {u"a  b\r\nc\nd\te", u"ts t:a sp sp t:b br t:cd sp t:e", cwsLeave},
    {u"a <zz> b", u"ts t:a sp sp t:b"}, // an ignored tag ends a run of whitespace
    {u"a\x01b", u"ts t:a\x01b"},        // other control characters are word characters
    // Entities: unknown or wrongly cased ones stay literal without ";"; an
    // "&" without ";" takes the rest of the line, tags included.
    {u"x&amp;y a&nbsp;b &lt;b&gt;", u"ts t:x&y sp t:a b sp t:<b>"},
    {u"AT&T; x", u"ts t:AT&T sp t:x"},
    {u"a &lt b <b>c</b>", u"ts t:a sp t:&lt b <b>c</b>"},
    {u"&", u"ts t:&"},
    // Empty lines carry a timestamp only when asked.
    {u"", u""},
    {u"", u"ts", C, true},
    // Tag names, closing forms, malformed tags.
    {u"a<br/>b<br />c</br>d", u"ts t:ab br t:c br t:d"},
    {u"<B>x</b><I>y</I><u>z</U>", u"ts on:b t:x off:b on:i t:y off:i on:u t:z off:u"},
    {u"x<unknown>y< b>z<>w", u"ts t:xyzw"},
    {u"a<zz c d", u"ts t:a"},
    {u"<font\tcolor=#FF0000\nsize=4>", u"ts font:,4,0,clRed,clNone"},
    {u"</pre><pre><pre>a</pre>b</pre></pre>c", u"ts pre t:ab /pre t:c"},
    // Rules, images and columns, with numbers of every size and sign.
    {u"<hr><hr width=50><hr 150><hr x><hr -5></hr>", u"ts hr:100 hr:50 hr:100 hr:100 hr:0 hr:100"},
    {u"<img index=3><img 5><img><img x></img><img -70000>",
     u"ts img:3 img:5 img:0 img:0 img:-70000"},
    {u"<column 40><column spot=$10></column><column 2000000>",
     u"ts col:40 col:16 col:0 col:2000000"},
    // Attributes: quotes, defaults, key order, replaced and emptied pairs.
    {u"<FONT Color='#FF0000' size=\"+2\">r</font>", u"ts font:,0,2,clRed,clNone t:r /font"},
    {u"<font size=3><font size=-2><font size=+x><font name=\"Deja Vu\">",
     u"ts font:,3,0,clNone,clNone font:,0,-2,clNone,clNone font:,0,0,clNone,clNone "
     u"font:Deja Vu,0,0,clNone,clNone"},
    {u"<font Arial background=clYellow foreground=$FF>", u"ts font:Arial,0,0,clRed,clYellow"},
    {u"<font color=clLime foregroundcolor=clRed>", u"ts font:,0,0,clRed,clNone"},
    {u"<font color=clLime color=\"\">", u"ts font:,0,0,clNone,clNone"},
    {u"<a \"query\">q</a>", u"ts link:query|||url t:q /link"},
    {u"<a name=\"x y\" params='p' hint=h type=url>t</a>", u"ts link:x y|p|h|url t:t /link"},
    {u"<a name=n params=p>t</a>", u"ts link:n|p||other t:t /link"},
    {u"<a name=\"x\" hint=\"a>b\">t</a>", u"ts link:x||\"a|other t:b\">t /link"},
    {u"<a name = \"x\">", u"ts link:x|||url"}, // three tokens; the last bare value wins
    // Blink and no-select depths, per line; unselectable text never joins
    // selectable text.
    {u"<blink>a</blink>b", u"ts t:a! t:b"},
    {u"</blink></noselect><blink><blink>a</blink>b</blink>c", u"ts t:ab! t:c"},
    {u"a<noselect>b</noselect> c", u"ts t:a t:b# sp t:c"},
    {u"<noselect><b>x", u"ts on:b# t:x#"},
    {u"<noselect><blink>a", u"ts t:a!#"},
};

TEST(ParseMarkup, MakesTheChunksOfEveryTagEntityAndSpace) {
    for (const ChunkCase& c : kChunkCases) {
        const QString markup = QString::fromUtf16(c.markup);
        SCOPED_TRACE(markup.toStdString());
        EXPECT_EQ(Parse(markup, c.ws, c.timestampEmptyLines), QString::fromUtf16(c.chunks));
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
        EXPECT_EQ(ParseMarkup(markup, {}).Fonts.at(0).Color, expected) << markup.toStdString();
    }
    EXPECT_EQ(ParseMarkup(u"<color #00FF00>"_qs, {}).Fonts.at(0).Color, plat::clLime);

    const std::pair<const char16_t*, const char16_t*> errors[] = {
        {u"<font color=\"red\">x", u"'red' is not a valid integer value"},
        {u"<color>x", u"'' is not a valid integer value"},
        {u"<font background=#GG0000>", u"'$0000GG' is not a valid integer value"},
    };
    for (const auto& [markup, message] : errors) {
        EXPECT_EQ(
            MessageOf<plat::EConvertError>([&] { ParseMarkup(QString::fromUtf16(markup), {}); }),
            QString::fromUtf16(message));
    }
}

TEST(DetectURLs, RewritesWholeWordsIntoLinks) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"see http://x.com/?a=1&amp;b=2 now",
         u"ts t:see sp link:URL|http://x.com/?a=1&b=2|Open http://x.com/?a=1&b=2 in default "
         u"browser|url t:http://x.com/?a=1&b=2 /link sp t:now"},
        // The shown text loses "mailto:"; the text after it keeps its place.
        {u"MAILTO:bob@x.org after",
         u"ts link:URL|MAILTO:bob@x.org|Send email to MAILTO:bob@x.org via default mail "
         u"client|url t:bob@x.org /link sp t:after"},
        {u"news://n.example",
         u"ts link:URL|news://n.example|Read news from news://n.example in default news "
         u"client|url t:news://n.example /link"},
        // Not detected: other schemes, text glued in front, a space made by &nbsp;.
        {u"https://x.com see:http://x &nbsp;http://y",
         u"ts t:https://x.com sp t:see:http://x sp t: http://y"},
        // A tag that makes a chunk ends the address; flags and other links stay.
        {u"<blink>http://a.b</blink>c<a name=n>b</a>",
         u"ts link:URL|http://a.b|Open http://a.b in default browser|url! t:http://a.b! /link! "
         u"t:c link:n|||other t:b /link"},
        {u"<noselect>http://a.b<font size=3>c",
         u"ts link:URL|http://a.b|Open http://a.b in default browser|url# t:http://a.b# /link# "
         u"font:,3,0,clNone,clNone# t:c#"},
    };
    for (const auto& [markup, chunks] : cases) {
        TChunkList line = ParseMarkup(QString::fromUtf16(markup), {});
        DetectURLs(line);
        EXPECT_EQ(DumpChunks(line), QString::fromUtf16(chunks));
    }
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

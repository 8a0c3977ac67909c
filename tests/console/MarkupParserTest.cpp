#include "ConsoleTestSupport.h"

#include "platform/core/Exception.h"

#include <gtest/gtest.h>

TEST(MarkupLexing, WhitespaceCollapsesOutsidePreAndIsKeptInside) {
    EXPECT_EQ(Parse(u"a  b&amp;c &AMP; <br/>x<br />y"_qs),
              u"ts t:a sp t:b&c sp t:&AMP sp t:x br t:y"_qs);
    EXPECT_EQ(Parse(u"<pre>a\r\n\tb</pre>c  d"_qs), u"ts pre t:a br sp t:b /pre t:c sp t:d"_qs);
    // Inside PRE two spaces make two chunks; cwsCollapse collapses even there.
    EXPECT_EQ(Parse(u"<pre>a  b</pre>"_qs), u"ts pre t:a sp sp t:b /pre"_qs);
    EXPECT_EQ(Parse(u"<pre>a  b</pre>"_qs, cwsCollapse), u"ts pre t:a sp t:b /pre"_qs);
    // Kept whitespace: CR breaks, LF vanishes, so CR LF is one break.
    EXPECT_EQ(Parse(u"a  b\r\nc\nd\te"_qs, cwsLeave), u"ts t:a sp sp t:b br t:cd sp t:e"_qs);
    // Collapsed, CR and LF are spaces and a leading run makes one space.
    EXPECT_EQ(Parse(u" \r\n a"_qs), u"ts sp t:a"_qs);
    // An ignored tag ends a run of whitespace.
    EXPECT_EQ(Parse(u"a <zz> b"_qs), u"ts t:a sp sp t:b"_qs);
    // Control characters other than whitespace are word characters.
    EXPECT_EQ(Parse(QStringLiteral("a\x01"
                                   "b")),
              QStringLiteral("ts t:a\x01"
                             "b"));
}

TEST(MarkupLexing, EntitiesAndTheirOddities) {
    EXPECT_EQ(Parse(u"x&amp;y"_qs), u"ts t:x&y"_qs);
    EXPECT_EQ(Parse(u"a&nbsp;b"_qs), u"ts t:a b"_qs);
    EXPECT_EQ(Parse(u"&lt;b&gt;"_qs), u"ts t:<b>"_qs);
    // Unknown and wrongly cased entities stay literal, without their ";".
    EXPECT_EQ(Parse(u"AT&T; x"_qs), u"ts t:AT&T sp t:x"_qs);
    // Without a ";" the rest of the line, tags included, is literal text.
    EXPECT_EQ(Parse(u"a &lt b <b>c</b>"_qs), u"ts t:a sp t:&lt b <b>c</b>"_qs);
    EXPECT_EQ(Parse(u"&"_qs), u"ts t:&"_qs);
    EXPECT_EQ(Parse(u"&;"_qs), u"ts t:&"_qs);
}

TEST(MarkupLexing, EmptyLinesAndTimestampChunks) {
    EXPECT_EQ(Parse(QString()), QString());
    EXPECT_EQ(Parse(QString(), cwsCollapseOutsidePRE, true), u"ts"_qs);
    EXPECT_EQ(Parse(u"<b>"_qs), u"ts on:b"_qs);
}

TEST(MarkupTags, NamesClosingFormsAndMalformedTags) {
    EXPECT_EQ(Parse(u"a<br/>b<br />c</br>d"_qs), u"ts t:ab br t:c br t:d"_qs);
    EXPECT_EQ(Parse(u"<B>x</b><I>y</I><u>z</U>"_qs),
              u"ts on:b t:x off:b on:i t:y off:i on:u t:z off:u"_qs);
    // Tags not in the table make no chunk, so the words around them join.
    EXPECT_EQ(Parse(u"x<unknown>y< b>z<>w"_qs), u"ts t:xyzw"_qs);
    // An unterminated tag swallows the rest of the line; "<" at the end is ignored.
    EXPECT_EQ(Parse(u"a<zz c d"_qs), u"ts t:a"_qs);
    EXPECT_EQ(Parse(u"a<"_qs), u"ts t:a"_qs);
    // TAB, LF and CR inside a tag separate like spaces.
    EXPECT_EQ(Parse(u"<font\tcolor=#FF0000\nsize=4>"_qs), u"ts font:,4,0,clRed,clNone"_qs);
    EXPECT_EQ(Parse(u"<indent>a</indent>"_qs), u"ts indent t:a /indent"_qs);
    // Closing a counter never goes below zero, and PRE chunks mark only the outer pair.
    EXPECT_EQ(Parse(u"</pre><pre><pre>a</pre>b</pre></pre>c"_qs), u"ts pre t:ab /pre t:c"_qs);
}

TEST(MarkupTags, RulesImagesAndColumns) {
    EXPECT_EQ(Parse(u"<hr><hr width=50><hr 150><hr x><hr -5></hr>"_qs),
              u"ts hr:100 hr:50 hr:100 hr:100 hr:0 hr:100"_qs);
    EXPECT_EQ(Parse(u"<img index=3><img 5><img><img x></img>"_qs),
              u"ts img:3 img:5 img:0 img:0"_qs);
    EXPECT_EQ(Parse(u"<column 40><column spot=$10></column>"_qs), u"ts col:40 col:16 col:0"_qs);
}

TEST(MarkupTags, AttributesQuotesAndDefaults) {
    EXPECT_EQ(Parse(u"<FONT Color='#FF0000' size=\"+2\">r</font>"_qs),
              u"ts font:,0,2,clRed,clNone t:r /font"_qs);
    EXPECT_EQ(Parse(u"<font size=3><font size=-2><font size=+x><font name=\"Deja Vu\">"_qs),
              u"ts font:,3,0,clNone,clNone font:,0,-2,clNone,clNone font:,0,0,clNone,clNone "
              "font:Deja Vu,0,0,clNone,clNone"_qs);
    EXPECT_EQ(Parse(u"<font Arial background=clYellow foreground=$FF>"_qs),
              u"ts font:Arial,0,0,clRed,clYellow"_qs);
    // "foregroundcolor" wins over "color" whatever the order.
    EXPECT_EQ(Parse(u"<font color=clLime foregroundcolor=clRed>"_qs),
              u"ts font:,0,0,clRed,clNone"_qs);
    // A later pair replaces an earlier one; an empty value removes it.
    EXPECT_EQ(Parse(u"<font color=clLime COLOR=clRed>"_qs), u"ts font:,0,0,clRed,clNone"_qs);
    EXPECT_EQ(Parse(u"<font color=clLime color=\"\">"_qs), u"ts font:,0,0,clNone,clNone"_qs);
    EXPECT_EQ(Parse(u"<a \"query\">q</a>"_qs), u"ts link:query|||url t:q /link"_qs);
    EXPECT_EQ(Parse(u"<a name=\"x y\" params='p' hint=h type=url>t</a>"_qs),
              u"ts link:x y|p|h|url t:t /link"_qs);
    EXPECT_EQ(Parse(u"<a name=n params=p>t</a>"_qs), u"ts link:n|p||other t:t /link"_qs);
    // A ">" inside quotes still ends the tag.
    EXPECT_EQ(Parse(u"<a name=\"x\" hint=\"a>b\">t</a>"_qs),
              u"ts link:x||\"a|other t:b\">t /link"_qs);
    // "name = x" is three tokens: bare "name", an empty key, bare "x"; the last bare wins.
    EXPECT_EQ(Parse(u"<a name = \"x\">"_qs), u"ts link:x|||url"_qs);
}

TEST(MarkupTags, ColourNotationsAndConversionErrors) {
    const auto colorOf = [](const QString& value) {
        return ParseMarkup(u"<font color=\""_qs + value + u"\">"_qs, {}).Fonts.at(0).Color;
    };
    EXPECT_EQ(colorOf(u"#FF0000"_qs), plat::clRed);
    EXPECT_EQ(colorOf(u"#0000FF"_qs), plat::clBlue);
    EXPECT_EQ(colorOf(u"#123456"_qs), 0x563412);
    EXPECT_EQ(colorOf(u"$FF0000"_qs), plat::clBlue);
    EXPECT_EQ(colorOf(u"clBlue"_qs), plat::clBlue);
    EXPECT_EQ(colorOf(u"CLBLUE"_qs), plat::clBlue);
    EXPECT_EQ(colorOf(u"255"_qs), plat::clRed);
    EXPECT_EQ(colorOf(u"clHighlight"_qs), plat::clHighlight);
    // Short "#" values shift: "#FF00" reads as "$00FF".
    EXPECT_EQ(colorOf(u"#FF00"_qs), 0xFF);
    EXPECT_EQ(colorOf(u"#12"_qs), 0x12);
    EXPECT_EQ(ParseMarkup(u"<color #00FF00>"_qs, {}).Fonts.at(0).Color, plat::clLime);
    EXPECT_EQ(ParseMarkup(u"<color name=clAqua>"_qs, {}).Fonts.at(0).Color, plat::clAqua);

    const auto messageOf = [](const QString& markup) {
        try {
            ParseMarkup(markup, {});
        } catch (const plat::EConvertError& e) {
            return e.Message();
        }
        return u"no error"_qs;
    };
    EXPECT_EQ(messageOf(u"<font color=\"red\">x"_qs), u"'red' is not a valid integer value"_qs);
    EXPECT_EQ(messageOf(u"<color>x"_qs), u"'' is not a valid integer value"_qs);
    EXPECT_EQ(messageOf(u"<font background=#GG0000>"_qs),
              u"'$0000GG' is not a valid integer value"_qs);
    EXPECT_EQ(messageOf(u"<font color=#>"_qs), u"'$' is not a valid integer value"_qs);
}

TEST(MarkupFlags, BlinkAndNoSelectFollowTheirDepthPerLine) {
    EXPECT_EQ(Parse(u"<blink>a</blink>b"_qs), u"ts t:a! t:b"_qs);
    EXPECT_EQ(Parse(u"</blink></noselect><blink><blink>a</blink>b</blink>c"_qs),
              u"ts t:ab! t:c"_qs);
    // Unselectable text never joins selectable text, in either order.
    EXPECT_EQ(Parse(u"a<noselect>b</noselect> c"_qs), u"ts t:a t:b# sp t:c"_qs);
    EXPECT_EQ(Parse(u"<noselect>a</noselect>b"_qs), u"ts t:a# t:b"_qs);
    EXPECT_EQ(Parse(u"<noselect><b>x"_qs), u"ts on:b# t:x#"_qs);
    // Depths restart with every line.
    EXPECT_EQ(Parse(u"<noselect><blink>a"_qs), u"ts t:a!#"_qs);
    EXPECT_EQ(Parse(u"a"_qs), u"ts t:a"_qs);
}

TEST(MarkupUrls, DetectionRewritesWholeWords) {
    const auto detect = [](const QString& markup) {
        TChunkList line = ParseMarkup(markup, {});
        DetectURLs(line);
        return DumpChunks(line);
    };
    EXPECT_EQ(detect(u"see http://x.com/?a=1&amp;b=2 now"_qs),
              u"ts t:see sp link:URL|http://x.com/?a=1&b=2|Open http://x.com/?a=1&b=2 in default "
              "browser|url t:http://x.com/?a=1&b=2 /link sp t:now"_qs);
    EXPECT_EQ(detect(u"MAILTO:bob@x.org"_qs),
              u"ts link:URL|MAILTO:bob@x.org|Send email to MAILTO:bob@x.org via default mail "
              "client|url t:bob@x.org /link"_qs);
    EXPECT_EQ(detect(u"news://n.example"_qs),
              u"ts link:URL|news://n.example|Read news from news://n.example in default news "
              "client|url t:news://n.example /link"_qs);
    // Not detected: other schemes, text glued in front, a space made by &nbsp;.
    EXPECT_EQ(detect(u"https://x.com see:http://x &nbsp;http://y"_qs),
              u"ts t:https://x.com sp t:see:http://x sp t: http://y"_qs);
    // A tag that makes a chunk ends the address; flags are copied to the new chunks.
    EXPECT_EQ(
        detect(u"<blink>http://a.b</blink>c<b>"_qs),
        u"ts link:URL|http://a.b|Open http://a.b in default browser|url! t:http://a.b! /link! t:c on:b"_qs);
    EXPECT_EQ(detect(u"<noselect>http://a.b<b>c"_qs),
              u"ts link:URL|http://a.b|Open http://a.b in default browser|url# t:http://a.b# "
              "/link# on:b# t:c#"_qs);
}

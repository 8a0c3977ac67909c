#include "console/MarkupParser.h"

#include "console/MarkupAttributes.h"
#include "platform/core/Convert.h"
#include "platform/gui/Colors.h"

#include <algorithm>
#include <utility>

namespace {

bool IsWhitespace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    return u >= u'0' && u <= u'9'   ? u - u'0'
           : u >= u'a' && u <= u'f' ? u - u'a' + 10
           : u >= u'A' && u <= u'F' ? u - u'A' + 10
                                    : -1;
}

// Colour values: "#RRGGBB" is read as "$BBGGRR"; everything else goes to the
// colour-name conversion as it stands.
plat::TColor ParseColor(QStringView value) {
    if (value.size() == 7 && value[0] == u'#') {
        // The usual case, without building the text for the conversion.
        int rgb = 0;
        for (int i = 1; i < 7 && rgb >= 0; ++i) {
            const int d = HexDigit(value[i]);
            rgb = d < 0 ? -1 : rgb * 16 + d;
        }
        if (rgb >= 0) {
            return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
        }
    }
    if (value.startsWith(u'#')) {
        QString text = QStringLiteral("$");
        text.append(value.mid(5, 2)).append(value.mid(3, 2)).append(value.mid(1, 2));
        return plat::StringToColor(text);
    }
    return plat::StringToColor(value);
}

int ToIntDef(const std::optional<QStringView>& value, int fallback) {
    if (!value) {
        return fallback;
    }
    return plat::TryStrToInt(*value).value_or(fallback);
}

// Trims characters up to and including the space from both ends.
QStringView TrimControls(QStringView s) {
    while (!s.isEmpty() && s.front().unicode() <= 0x20) {
        s = s.mid(1);
    }
    while (!s.isEmpty() && s.back().unicode() <= 0x20) {
        s.chop(1);
    }
    return s;
}

class Parser {
public:
    Parser(QStringView markup, const TParseOptions& options) : m_(markup), options_(options) {
        // The text is never longer than the markup.
        pool_.reserve(markup.size());
        chunks_.reserve(64);
    }

    TChunkList Run() {
        if (!m_.isEmpty() || options_.TimestampEmptyLines) {
            Add(ckTimestamp);
        }
        const qsizetype n = m_.size();
        while (pos_ < n) {
            const QChar c = m_[pos_];
            if (IsWhitespace(c)) {
                Whitespace(c);
                ++pos_;
            } else if (c == u'&') {
                Entity();
                lastWasSpace_ = false;
            } else if (c == u'<') {
                Tag();
                lastWasSpace_ = false;
            } else {
                const qsizetype start = pos_;
                while (pos_ < n && !IsWhitespace(m_[pos_]) && m_[pos_] != u'&' &&
                       m_[pos_] != u'<') {
                    ++pos_;
                }
                AddText(m_.mid(start, pos_ - start));
                lastWasSpace_ = false;
            }
        }
        return TChunkList::Make(std::move(chunks_), pool_, links_, fonts_);
    }

private:
    TConsoleChunk& Add(TChunkKind kind) {
        TConsoleChunk& chunk = chunks_.emplace_back();
        chunk.Kind = kind;
        chunk.Blink = blink_ > 0;
        chunk.NoSelect = noSelect_ > 0;
        return chunk;
    }

    void AddText(QStringView text) {
        if (!chunks_.empty()) {
            TConsoleChunk& last = chunks_.back();
            if (last.Kind == ckText && last.Blink == (blink_ > 0) &&
                last.NoSelect == (noSelect_ > 0)) {
                pool_.append(text);
                last.Length += static_cast<int32_t>(text.size());
                return;
            }
        }
        TConsoleChunk& chunk = Add(ckText);
        chunk.Start = static_cast<int32_t>(pool_.size());
        chunk.Length = static_cast<int32_t>(text.size());
        pool_.append(text);
    }

    bool Collapsing() const {
        return options_.Whitespace == cwsCollapse ||
               (options_.Whitespace == cwsCollapseOutsidePRE && pre_ == 0);
    }

    void Whitespace(QChar c) {
        if (Collapsing()) {
            if (!lastWasSpace_) {
                Add(ckSpace);
                lastWasSpace_ = true;
            }
            return;
        }
        if (c == u' ' || c == u'\t') {
            Add(ckSpace);
        } else if (c == u'\r') {
            Add(ckLineBreak);
        }
    }

    void Entity() {
        const qsizetype start = pos_;
        const qsizetype semi = m_.indexOf(u';', pos_);
        const qsizetype end = semi < 0 ? m_.size() : semi;
        const QStringView token = m_.mid(start, end - start);
        pos_ = semi < 0 ? m_.size() : semi + 1;
        if (token == u"&lt") {
            AddText(u"<");
        } else if (token == u"&gt") {
            AddText(u">");
        } else if (token == u"&nbsp") {
            AddText(u" ");
        } else if (token == u"&amp") {
            AddText(u"&");
        } else {
            AddText(token);
        }
    }

    void Tag() {
        const qsizetype close = m_.indexOf(u'>', pos_);
        const qsizetype end = close < 0 ? m_.size() : close;
        QStringView rest = m_.mid(pos_ + 1, end - pos_ - 1);
        pos_ = close < 0 ? m_.size() : close + 1;
        // Tabs and line ends count as blanks; a copy only when there are any.
        QString blanked;
        if (std::any_of(rest.begin(), rest.end(),
                        [](QChar c) { return c == u'\t' || c == u'\n' || c == u'\r'; })) {
            blanked = rest.toString();
            for (QChar& c : blanked) {
                if (c == u'\t' || c == u'\n' || c == u'\r') {
                    c = u' ';
                }
            }
            rest = blanked;
        }
        const bool closing = rest.startsWith(u'/');
        if (closing) {
            rest = rest.mid(1);
        }
        const qsizetype space = rest.indexOf(u' ');
        const QStringView name = space < 0 ? rest : rest.left(space);
        const QStringView attributes = space < 0 ? QStringView() : TrimControls(rest.mid(space));
        if (!name.isEmpty()) {
            Apply(name, closing, attributes);
        }
    }

    using TagHandler = void (Parser::*)(bool closing, QStringView attributeText);

    // Applies the tag of that name, whatever its case; other names do nothing.
    void Apply(QStringView name, bool closing, QStringView attributeText) {
        static constexpr std::pair<QStringView, TagHandler> kTags[] = {
            {u"PRE", &Parser::ApplyPre},           {u"B", &Parser::ApplyBold},
            {u"I", &Parser::ApplyItalic},          {u"U", &Parser::ApplyUnderline},
            {u"COLOR", &Parser::ApplyColor},       {u"INDENT", &Parser::ApplyIndent},
            {u"BR", &Parser::ApplyBreak},          {u"A", &Parser::ApplyLink},
            {u"FONT", &Parser::ApplyFont},         {u"IMG", &Parser::ApplyImage},
            {u"HR", &Parser::ApplyRule},           {u"COLUMN", &Parser::ApplyColumn},
            {u"NOSELECT", &Parser::ApplyNoSelect}, {u"BLINK", &Parser::ApplyBlink},
        };
        for (const auto& [tagName, handler] : kTags) {
            if (SameNoCase(name, tagName)) {
                (this->*handler)(closing, attributeText);
                return;
            }
        }
    }

    void ApplyStyle(bool closing, uint8_t style) {
        Add(closing ? ckStyleOff : ckStyleOn).Style = style;
    }
    void ApplyBold(bool closing, QStringView) { ApplyStyle(closing, fsBold); }
    void ApplyItalic(bool closing, QStringView) { ApplyStyle(closing, fsItalic); }
    void ApplyUnderline(bool closing, QStringView) { ApplyStyle(closing, fsUnderline); }

    void ApplyIndent(bool closing, QStringView) { Add(closing ? ckIndentClose : ckIndentOpen); }
    void ApplyBreak(bool, QStringView) { Add(ckLineBreak); }

    void ApplyImage(bool closing, QStringView attributeText) {
        if (!closing) {
            const TTagAttributes attrs(attributeText);
            Add(ckImage).Value =
                ToIntDef(attrs.FindView({TTagAttributes::kDefaultKey, u"index"}), 0);
        }
    }

    // A rule's width is a percentage of the row.
    void ApplyRule(bool, QStringView attributeText) {
        const TTagAttributes attrs(attributeText);
        Add(ckRule).Value = std::clamp(
            ToIntDef(attrs.FindView({TTagAttributes::kDefaultKey, u"width"}), 100), 0, 100);
    }

    void ApplyColumn(bool, QStringView attributeText) {
        const TTagAttributes attrs(attributeText);
        Add(ckColumn).Value = ToIntDef(attrs.FindView({TTagAttributes::kDefaultKey, u"spot"}), 0);
    }

    // NOSELECT and BLINK nest; a stray closing tag changes nothing.
    void ApplyNoSelect(bool closing, QStringView) {
        noSelect_ = closing ? std::max(0, noSelect_ - 1) : noSelect_ + 1;
    }
    void ApplyBlink(bool closing, QStringView) {
        blink_ = closing ? std::max(0, blink_ - 1) : blink_ + 1;
    }

    // Nested PRE tags make one block.
    void ApplyPre(bool closing, QStringView) {
        if (!closing) {
            if (++pre_ == 1) {
                Add(ckPreOpen);
            }
        } else if (pre_ > 0 && --pre_ == 0) {
            Add(ckPreClose);
        }
    }

    void ApplyColor(bool closing, QStringView attributeText) {
        if (closing) {
            Add(ckFontClose);
            return;
        }
        const TTagAttributes attrs(attributeText);
        TFontChunkData font;
        font.Color = ParseColor(
            attrs.FindView({TTagAttributes::kDefaultKey, u"Name"}).value_or(QStringView()));
        AddFont(std::move(font));
    }

    // A bare value names a link that is not an address; otherwise the name,
    // parameters, hint and type attributes say what it is.
    void ApplyLink(bool closing, QStringView attributeText) {
        if (closing) {
            Add(ckLinkClose);
            return;
        }
        const TTagAttributes attrs(attributeText);
        TLinkChunkData link;
        if (const auto bare = attrs.FindView({TTagAttributes::kDefaultKey})) {
            link.Name = bare->toString();
            link.NotURL = false;
        } else {
            link.Name = attrs.FindView({u"name"}).value_or(QStringView()).toString();
            link.Params = attrs.FindView({u"params"}).value_or(QStringView()).toString();
            link.Hint = attrs.FindView({u"hint"}).value_or(QStringView()).toString();
            const auto type = attrs.FindView({u"type"});
            link.NotURL = !(type && SameNoCase(*type, u"URL"));
        }
        TConsoleChunk& chunk = Add(ckLinkOpen);
        chunk.Value = static_cast<int32_t>(links_.size());
        links_.push_back(std::move(link));
    }

    void ApplyFont(bool closing, QStringView attributeText) {
        if (closing) {
            Add(ckFontClose);
            return;
        }
        const TTagAttributes attrs(attributeText);
        TFontChunkData font;
        font.Face = attrs.FindView({u"name", TTagAttributes::kDefaultKey})
                        .value_or(QStringView())
                        .toString();
        if (const auto c = attrs.FindView({u"foregroundcolor", u"color", u"foreground"})) {
            font.Color = ParseColor(*c);
        }
        if (const auto c = attrs.FindView({u"backgroundcolor", u"background"})) {
            font.Background = ParseColor(*c);
        }
        // "+n" and "-n" change the size in force, a plain number replaces it
        if (const auto size = attrs.FindView({u"size"})) {
            if (size->startsWith(u'+') || size->startsWith(u'-')) {
                font.RelativeSize = ToIntDef(size, 0);
            } else {
                font.AbsoluteSize = ToIntDef(size, 0);
            }
        }
        AddFont(std::move(font));
    }

    void AddFont(TFontChunkData font) {
        TConsoleChunk& chunk = Add(ckFontOpen);
        chunk.Value = static_cast<int32_t>(fonts_.size());
        fonts_.push_back(std::move(font));
    }

    QStringView m_;
    TParseOptions options_;
    std::vector<TConsoleChunk> chunks_;
    QString pool_;
    std::vector<TLinkChunkData> links_;
    std::vector<TFontChunkData> fonts_;
    qsizetype pos_ = 0;
    int blink_ = 0;
    int noSelect_ = 0;
    int pre_ = 0;
    bool lastWasSpace_ = false;
};

struct UrlPrefix {
    QStringView prefix;
    bool stripPrefix;
    QStringView hintBefore;
    QStringView hintAfter;
};

constexpr UrlPrefix kUrlPrefixes[] = {
    {u"http://", false, u"Open ", u" in default browser"},
    {u"mailto:", true, u"Send email to ", u" via default mail client"},
    {u"news://", false, u"Read news from ", u" in default news client"},
};

} // namespace

TChunkList ParseMarkup(QStringView markup, const TParseOptions& options) {
    return Parser(markup, options).Run();
}

namespace {

// Whether the text holds a colon that could end a prefix: one followed by
// "//" or following "mailto" in any case. Most lines hold a few colons and
// no address.
bool MayHoldURL(QStringView text) {
    for (qsizetype colon = text.indexOf(u':'); colon >= 0; colon = text.indexOf(u':', colon + 1)) {
        if (text.mid(colon + 1, 2) == u"//" ||
            (colon >= 6 && SameNoCase(text.mid(colon - 6, 6), u"mailto"))) {
            return true;
        }
    }
    return false;
}

const UrlPrefix* UrlPrefixOf(const TChunkList& line, const TConsoleChunk& chunk) {
    if (chunk.Kind != ckText || chunk.Length < 7) {
        return nullptr;
    }
    const QStringView head = line.TextOf(chunk).left(7);
    // Most words start with a letter no prefix starts with.
    const char16_t first = head[0].unicode() | 0x20;
    if (first < 0x80 && first != u'h' && first != u'm' && first != u'n') {
        return nullptr;
    }
    for (const UrlPrefix& p : kUrlPrefixes) {
        if (SameNoCase(head, p.prefix)) {
            return &p;
        }
    }
    return nullptr;
}

} // namespace

void DetectURLs(TChunkList& line) {
    if (!MayHoldURL(line.Chunks.Text())) {
        return;
    }
    const bool any = std::any_of(line.Chunks.begin(), line.Chunks.end(),
                                 [&](const TConsoleChunk& c) { return UrlPrefixOf(line, c); });
    if (!any) {
        return;
    }
    // Unpacked with positions in local tables, then packed again.
    std::vector<TConsoleChunk> out;
    out.reserve(static_cast<size_t>(line.Chunks.Size()) + 4);
    std::vector<TLinkChunkData> links;
    std::vector<TFontChunkData> fonts;
    for (const TConsoleChunk& chunk : line.Chunks) {
        TConsoleChunk copy = chunk;
        if (chunk.Kind == ckLinkOpen) {
            copy.Value = static_cast<int32_t>(links.size());
            links.push_back(TChunkList::LinkOf(chunk));
        } else if (chunk.Kind == ckFontOpen) {
            copy.Value = static_cast<int32_t>(fonts.size());
            fonts.push_back(TChunkList::FontOf(chunk));
        }
        const UrlPrefix* match = UrlPrefixOf(line, chunk);
        if (!match) {
            out.push_back(copy);
            continue;
        }
        const QString text = line.TextOf(chunk).toString();
        TLinkChunkData link;
        link.Name = QStringLiteral("URL");
        link.Params = text;
        link.Hint = match->hintBefore.toString() + text + match->hintAfter.toString();
        link.NotURL = false;

        TConsoleChunk open = chunk;
        open.Kind = ckLinkOpen;
        open.Start = 0;
        open.Length = 0;
        open.Value = static_cast<int32_t>(links.size());
        links.push_back(std::move(link));

        TConsoleChunk shown = chunk;
        if (match->stripPrefix) {
            shown.Start += 7;
            shown.Length -= 7;
        }
        TConsoleChunk close = open;
        close.Kind = ckLinkClose;
        close.Value = 0;
        out.push_back(open);
        out.push_back(shown);
        out.push_back(close);
    }
    line = TChunkList::Make(std::move(out), line.Chunks.Text(), links, fonts);
}

#include "app/rtf/Rtf.h"

#include "platform/core/Cp1252.h"

#include <QColor>
#include <QFont>
#include <QStringDecoder>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace rtf {

namespace {

constexpr int kWindows1252 = 1252;
constexpr int kUtf8 = 65001;
// Font and colour tables longer than this are not real documents; further
// entries are ignored.
constexpr size_t kMaxTableEntries = 4096;
// Control word names are at most 32 letters; longer ones are cut (and so
// not recognised).
constexpr size_t kMaxWordLength = 32;
constexpr int kMaxUnicodeSkip = 16;

struct CharFormat {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    std::optional<QRgb> Color; // none: the default colour

    bool operator==(const CharFormat&) const = default;
};

struct Run {
    QString Text;
    CharFormat Format;
};

// Replaces a surrogate that is not part of a pair by U+FFFD.
void RepairSurrogates(QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (ch.isSurrogate()) {
            text[i] = QChar::ReplacementCharacter;
        }
    }
}

// The text as read: paragraphs of formatted runs.
class TextBuilder {
public:
    TextBuilder() : blocks_(1) {}

    // Control characters are not text: carriage returns, line feeds and
    // paragraph separators end a paragraph, tabs stay, the rest is dropped.
    void Append(QStringView text, const CharFormat& format) {
        qsizetype start = 0;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            const char16_t ch = i < text.size() ? text[i].unicode() : u'\0';
            const bool end = i == text.size();
            const bool breaks = ch == u'\r' || ch == u'\n' || ch == 0x2029;
            const bool dropped = ch < 0x20 && ch != u'\t';
            // U+FDD0 and U+FDD1 mark frames inside a text document, U+FFFC
            // an embedded object; a reference has neither.
            if (end || breaks || dropped || ch == 0xFDD0 || ch == 0xFDD1 || ch == 0xFFFC) {
                AppendRun(text.mid(start, i - start), format);
                if (!end && breaks) {
                    Paragraph();
                }
                start = i + 1;
            }
        }
    }
    void Paragraph() { blocks_.emplace_back(); }
    bool ParagraphEmpty() const { return blocks_.back().empty(); }

    // RTF ends every paragraph with its mark, the last one too: an empty
    // paragraph after the last mark is not part of the text.
    void DropFinalMark() {
        if (blocks_.size() > 1 && blocks_.back().empty()) {
            blocks_.pop_back();
        }
    }

    void Apply(QTextDocument& document) {
        const bool undo = document.isUndoRedoEnabled();
        document.setUndoRedoEnabled(false);
        document.clear();
        QTextCursor cursor(&document);
        for (size_t b = 0; b < blocks_.size(); ++b) {
            if (b > 0) {
                cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
            }
            for (Run& run : blocks_[b]) {
                RepairSurrogates(run.Text);
                QTextCharFormat format;
                if (run.Format.Bold) {
                    format.setFontWeight(QFont::Bold);
                }
                if (run.Format.Italic) {
                    format.setFontItalic(true);
                }
                if (run.Format.Underline) {
                    format.setFontUnderline(true);
                }
                if (run.Format.Color) {
                    format.setForeground(QColor::fromRgb(*run.Format.Color));
                }
                cursor.insertText(run.Text, format);
            }
        }
        document.setUndoRedoEnabled(undo);
    }

private:
    void AppendRun(QStringView text, const CharFormat& format) {
        if (text.isEmpty()) {
            return;
        }
        std::vector<Run>& runs = blocks_.back();
        if (!runs.empty() && runs.back().Format == format) {
            runs.back().Text += text;
        } else {
            runs.push_back({text.toString(), format});
        }
    }

    std::vector<std::vector<Run>> blocks_;
};

// The code page of a font character set; 0 for the document's code page.
int CharsetCodePage(int charset) {
    // clang-format off
    static constexpr std::pair<int, int> kCodePages[] = {
        {0, kWindows1252}, {77, 10000}, {128, 932}, {129, 949}, {134, 936}, {136, 950},
        {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
        {204, 1251}, {222, 874}, {238, 1250}, {254, 437}, {255, 437}};
    // clang-format on
    for (const auto& [set, codePage] : kCodePages) {
        if (set == charset) {
            return codePage;
        }
    }
    return 0;
}

// Decodes bytes of a code page; code pages the platform cannot convert are
// read as Windows-1252.
class CodePages {
public:
    QString Decode(QByteArrayView bytes, int codePage) {
        if (codePage == kUtf8) {
            return QString::fromUtf8(bytes);
        }
        if (codePage != kWindows1252) {
            auto it = decoders_.find(codePage);
            if (it == decoders_.end()) {
                QByteArray name;
                switch (codePage) {
                case 10000:
                    name = "macintosh";
                    break;
                case 437:
                case 850:
                    name = "IBM" + QByteArray::number(codePage);
                    break;
                default:
                    name = "windows-" + QByteArray::number(codePage);
                    break;
                }
                it = decoders_
                         .emplace(codePage, QStringDecoder(name.constData(),
                                                           QStringConverter::Flag::Stateless))
                         .first;
            }
            if (it->second.isValid()) {
                return it->second.decode(bytes);
            }
        }
        return plat::FromCp1252(bytes);
    }

private:
    std::map<int, QStringDecoder> decoders_;
};

enum class Destination { Text, FontTable, ColorTable };

// What a group carries and restores when it closes.
struct GroupState {
    CharFormat Format;
    int Font = -1; // -1: the default font
    int UnicodeSkip = 1;
    Destination Dest = Destination::Text;
};

// Destinations whose content is not body text.
bool IsSkippedDestination(std::string_view word) {
    // clang-format off
    static constexpr std::string_view kSkipped[] = {
        "annotation", "atnauthor", "atnid", "author", "bkmkend", "bkmkstart", "buptim",
        "category", "comment", "company", "creatim", "datastore", "doccomm", "docvar", "filetbl",
        "fldinst", "footer", "footerf", "footerl", "footerr", "footnote", "generator", "header",
        "headerf", "headerl", "headerr", "hlinkbase", "info", "keywords", "latentstyles",
        "listoverridetable", "listtable", "manager", "nonshppict", "object", "objdata",
        "operator", "pgdsctbl", "pict", "pn", "printim", "private", "revtbl", "revtim", "rsidtbl",
        "shp", "shpinst", "stylesheet", "subject", "tc", "template", "themedata", "title", "txe",
        "userprops", "xe", "xmlnstbl"};
    // clang-format on
    return std::find(std::begin(kSkipped), std::end(kSkipped), word) != std::end(kSkipped);
}

bool IsUnderlineOn(std::string_view word) {
    static constexpr std::string_view kOn[] = {"ul",  "uld",    "uldash",  "uldb",    "ulth",
                                               "ulw", "ulwave", "uldashd", "ulhwave", "ulldash"};
    return std::find(std::begin(kOn), std::end(kOn), word) != std::end(kOn);
}

// Control words that stand for one character.
std::optional<char16_t> CharacterOfWord(std::string_view word) {
    // clang-format off
    static constexpr std::pair<std::string_view, char16_t> kCharacters[] = {
        {"emdash", 0x2014}, {"endash", 0x2013}, {"bullet", 0x2022}, {"lquote", 0x2018},
        {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", u' '},
        {"enspace", u' '}, {"qmspace", u' '}, {"line", 0x2028}, {"tab", u'\t'}, {"cell", u'\t'},
        {"nestcell", u'\t'}};
    // clang-format on
    for (const auto& [name, ch] : kCharacters) {
        if (name == word) {
            return ch;
        }
    }
    return std::nullopt;
}

class Reader {
public:
    explicit Reader(QByteArrayView data) : in_(data) {}

    TextBuilder& Run() {
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            if (c == '{') {
                Flush();
                OpenGroup();
            } else if (c == '}') {
                Flush();
                if (!CloseGroup()) {
                    break; // the document has ended; what follows is not read
                }
            } else if (c == '\\') {
                ControlSequence();
            } else {
                TextByte(c);
            }
        }
        Flush();
        text_.DropFinalMark();
        return text_;
    }

private:
    bool Skipping() const { return depth_ >= skipFrom_; }
    // Drops the rest of the current group.
    void SkipGroup() { skipFrom_ = std::min(skipFrom_, depth_); }

    void OpenGroup() {
        ++depth_;
        if (depth_ <= kMaxGroupDepth) {
            stack_.push_back(state_);
        }
        pendingSkip_ = 0;
    }

    // False when the outermost group closed.
    bool CloseGroup() {
        if (depth_ <= kMaxGroupDepth && !stack_.empty()) {
            state_ = stack_.back();
            stack_.pop_back();
        }
        --depth_;
        if (depth_ < skipFrom_) {
            skipFrom_ = INT_MAX;
        }
        pendingSkip_ = 0;
        return depth_ > 0;
    }

    void ControlSequence() {
        if (pos_ >= in_.size()) {
            return;
        }
        const char c = in_[pos_];
        if (!IsLetter(c)) {
            ++pos_;
            if (c == '\'') {
                HexByte();
            } else {
                ControlSymbol(c);
            }
            return;
        }
        const qsizetype start = pos_;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) {
            ++pos_;
        }
        const std::string_view word(in_.data() + start,
                                    std::min<size_t>(pos_ - start, kMaxWordLength));
        std::optional<int> parameter;
        const bool negative = pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1]);
        if (negative) {
            ++pos_;
        }
        if (pos_ < in_.size() && IsDigit(in_[pos_])) {
            long long value = 0;
            while (pos_ < in_.size() && IsDigit(in_[pos_])) {
                value = std::min<long long>(value * 10 + (in_[pos_] - '0'), INT_MAX);
                ++pos_;
            }
            parameter = static_cast<int>(negative ? -value : value);
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') {
            ++pos_; // the blank that ends a control word belongs to it
        }
        ControlWord(word, parameter);
    }

    void ControlWord(std::string_view word, std::optional<int> parameter) {
        if (word == "bin") {
            // Binary data: its bytes are never text or braces.
            const qsizetype length = std::max(parameter.value_or(0), 0);
            pos_ += std::min(length, in_.size() - pos_);
            return;
        }
        if (Skipping()) {
            return;
        }
        Flush();
        if (pendingSkip_ > 0 && state_.Dest == Destination::Text) {
            --pendingSkip_; // a control word in place of a fallback character
            return;
        }
        if (IsSkippedDestination(word)) {
            SkipGroup();
            return;
        }
        if (word == "fonttbl" || word == "colortbl") {
            if (depth_ > kMaxGroupDepth) {
                SkipGroup(); // no state of its own to return to
            } else {
                state_.Dest = word == "fonttbl" ? Destination::FontTable : Destination::ColorTable;
                color_.reset();
            }
            return;
        }
        const int value = parameter.value_or(0);
        switch (state_.Dest) {
        case Destination::FontTable:
            FontTableWord(word, parameter);
            return;
        case Destination::ColorTable:
            if (word == "red" || word == "green" || word == "blue") {
                const QRgb part = static_cast<QRgb>(std::clamp(value, 0, 255));
                const QRgb rgb = color_.value_or(0);
                color_ = word == "red"     ? (rgb & 0x00FFFF) | (part << 16)
                         : word == "green" ? (rgb & 0xFF00FF) | (part << 8)
                                           : (rgb & 0xFFFF00) | part;
            }
            return;
        case Destination::Text:
            break;
        }
        TextWord(word, parameter);
    }

    void FontTableWord(std::string_view word, std::optional<int> parameter) {
        if (word == "f") {
            definedFont_ = parameter.value_or(0);
        } else if ((word == "fcharset" || word == "cpg") && parameter &&
                   (fontCodePages_.size() < kMaxTableEntries ||
                    fontCodePages_.count(definedFont_) > 0)) {
            const int codePage = word == "cpg" ? *parameter : CharsetCodePage(*parameter);
            if (word == "cpg" || fontCodePages_.count(definedFont_) == 0) {
                fontCodePages_[definedFont_] = codePage;
            }
        }
    }

    void TextWord(std::string_view word, std::optional<int> parameter) {
        const int value = parameter.value_or(0);
        const bool on = !parameter || *parameter != 0;
        if (word == "par" || word == "row" || word == "nestrow") {
            text_.Paragraph();
        } else if (word == "page" || word == "sect") {
            if (!text_.ParagraphEmpty()) {
                text_.Paragraph();
            }
        } else if (const std::optional<char16_t> ch = CharacterOfWord(word)) {
            PutChar(*ch);
        } else if (word == "u") {
            PutChar(static_cast<char16_t>(static_cast<uint16_t>(value)));
            pendingSkip_ = state_.UnicodeSkip;
        } else if (word == "uc") {
            state_.UnicodeSkip = std::clamp(value, 0, kMaxUnicodeSkip);
        } else if (word == "b") {
            state_.Format.Bold = on;
        } else if (word == "i") {
            state_.Format.Italic = on;
        } else if (word == "ulnone") {
            state_.Format.Underline = false;
        } else if (IsUnderlineOn(word)) {
            state_.Format.Underline = on;
        } else if (word == "cf") {
            state_.Format.Color = ColorAt(value);
        } else if (word == "plain") {
            state_.Format = CharFormat();
            state_.Font = -1;
        } else if (word == "f") {
            state_.Font = value;
        } else if (word == "deff") {
            defaultFont_ = value;
        } else if (word == "ansicpg") {
            if (value > 0) {
                documentCodePage_ = value;
            }
        } else if (word == "mac" || word == "pc" || word == "pca") {
            documentCodePage_ = word == "mac" ? 10000 : word == "pc" ? 437 : 850;
        }
    }

    void ControlSymbol(char c) {
        if (Skipping()) {
            return;
        }
        if (c == '*') {
            SkipGroup(); // a destination readers may ignore
            return;
        }
        if (state_.Dest != Destination::Text) {
            return;
        }
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            AddByte(c); // a byte of the code page, which may be part of a character
            return;
        case '~':
            PutChar(QChar::Nbsp);
            return;
        case '_':
            PutChar(u'\x2011');
            return;
        case '\r':
        case '\n':
            Flush();
            text_.Paragraph();
            return;
        case '\t':
            PutChar(u'\t');
            return;
        default:
            return; // optional hyphen, index and formula symbols
        }
    }

    void HexByte() {
        int byte = 0;
        int digits = 0;
        while (digits < 2 && pos_ < in_.size() && HexValue(in_[pos_]) >= 0) {
            byte = byte * 16 + HexValue(in_[pos_++]);
            ++digits;
        }
        if (digits == 0 || Skipping() || state_.Dest != Destination::Text) {
            return;
        }
        AddByte(static_cast<char>(byte));
    }

    void TextByte(char c) {
        if (c == '\r' || c == '\n' || Skipping()) {
            return;
        }
        switch (state_.Dest) {
        case Destination::ColorTable:
            if (c == ';') {
                ColorEntry();
            }
            return;
        case Destination::FontTable:
            return; // font names
        case Destination::Text:
            break;
        }
        if (c == '\t') {
            if (pendingSkip_ > 0) {
                --pendingSkip_;
            } else {
                PutChar(u'\t');
            }
            return;
        }
        AddByte(c);
    }

    // A text byte, decoded with the others of its run.
    void AddByte(char byte) {
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        const int page = CodePage();
        if (!pending_.isEmpty() && page != pendingCodePage_) {
            Flush();
        }
        pendingCodePage_ = page;
        pending_.append(byte);
    }

    void PutChar(QChar ch) {
        Flush();
        text_.Append(QStringView(&ch, 1), state_.Format);
    }

    void Flush() {
        if (pending_.isEmpty()) {
            return;
        }
        text_.Append(codePages_.Decode(pending_, pendingCodePage_), state_.Format);
        pending_.clear();
    }

    int CodePage() const {
        const auto it = fontCodePages_.find(state_.Font >= 0 ? state_.Font : defaultFont_);
        return it != fontCodePages_.end() && it->second > 0 ? it->second : documentCodePage_;
    }

    void ColorEntry() {
        if (colors_.size() < kMaxTableEntries) {
            colors_.push_back(color_);
        }
        color_.reset();
    }

    std::optional<QRgb> ColorAt(int index) const {
        if (index < 0 || static_cast<size_t>(index) >= colors_.size()) {
            return std::nullopt; // not in the table: the default colour
        }
        return colors_[index];
    }

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static int HexValue(char c) {
        if (IsDigit(c)) {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    }

    QByteArrayView in_;
    qsizetype pos_ = 0;
    int depth_ = 0;
    int skipFrom_ = INT_MAX; // groups from this depth on are skipped
    std::vector<GroupState> stack_;
    GroupState state_;
    int pendingSkip_ = 0; // fallback characters of \uN still to skip

    QByteArray pending_; // text bytes not decoded yet
    int pendingCodePage_ = kWindows1252;
    int documentCodePage_ = kWindows1252;
    int defaultFont_ = 0;
    int definedFont_ = 0;
    std::map<int, int> fontCodePages_;
    std::vector<std::optional<QRgb>> colors_;
    std::optional<QRgb> color_; // the colour table entry being read
    CodePages codePages_;
    TextBuilder text_;
};

qsizetype RtfStart(QByteArrayView data) {
    qsizetype pos = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < data.size() &&
           (data[pos] == ' ' || data[pos] == '\t' || data[pos] == '\r' || data[pos] == '\n')) {
        ++pos;
    }
    return data.sliced(pos).startsWith("{\\rtf") ? pos : -1;
}

void ReadPlainText(QByteArrayView data, QTextDocument& document) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(data);
    if (utf8.hasError()) {
        text = plat::FromCp1252(data);
    }
    TextBuilder builder;
    // CR LF is one line end.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    builder.Append(text, CharFormat());
    builder.Apply(document);
}

} // namespace

bool IsRtf(QByteArrayView data) {
    return RtfStart(data) >= 0;
}

void Read(QByteArrayView data, QTextDocument& document) {
    const qsizetype start = RtfStart(data);
    if (start < 0) {
        ReadPlainText(data, document);
        return;
    }
    Reader reader(data.sliced(start));
    reader.Run().Apply(document);
}

} // namespace rtf

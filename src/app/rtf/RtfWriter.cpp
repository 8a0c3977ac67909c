#include "app/rtf/Rtf.h"

#include "platform/core/Cp1252.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace rtf {

namespace {

// The character formatting a reference keeps.
struct RunFormat {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    std::optional<QRgb> Color; // none: the default colour

    bool operator==(const RunFormat&) const = default;
};

RunFormat FormatOf(const QTextCharFormat& format) {
    RunFormat result;
    result.Bold = format.fontWeight() >= QFont::Bold;
    result.Italic = format.fontItalic();
    result.Underline = format.fontUnderline();
    const QBrush brush = format.foreground();
    if (brush.style() != Qt::NoBrush) {
        result.Color = brush.color().rgb() & 0xFFFFFF;
    }
    return result;
}

// Writes RTF text: control words are followed by a blank only when the next
// character would otherwise be read as part of them.
class Output {
public:
    void Raw(const char* text) {
        bytes_.append(text);
        delimit_ = false;
    }
    void Word(const char* word, std::optional<int> parameter = std::nullopt) {
        bytes_.append(word);
        if (parameter) {
            bytes_.append(QByteArray::number(*parameter));
        }
        delimit_ = true;
    }
    void LineEnd() { Raw("\r\n"); }

    // One UTF-16 code unit of text.
    void Char(char16_t unit) {
        switch (unit) {
        case u'\t':
            Word("\\tab");
            return;
        case 0x2028: // line break inside a paragraph
            Word("\\line");
            return;
        case 0x2029:
            Word("\\par");
            LineEnd();
            return;
        case u'\\':
            Raw("\\\\");
            return;
        case u'{':
            Raw("\\{");
            return;
        case u'}':
            Raw("\\}");
            return;
        case 0xFFFC: // an embedded object: a reference holds none
            return;
        default:
            break;
        }
        if (unit < 0x20) {
            return; // control characters are not text
        }
        if (unit < 0x7F) {
            if (delimit_) {
                bytes_.append(' ');
            }
            bytes_.append(static_cast<char>(unit));
            delimit_ = false;
            return;
        }
        const int byte = unit >= 0xD800 && unit <= 0xDFFF ? -1 : plat::Cp1252Byte(unit);
        if (byte >= 0) {
            static const char hex[] = "0123456789abcdef";
            const char escape[] = {'\\', '\'', hex[byte >> 4], hex[byte & 15], 0};
            Raw(escape);
            return;
        }
        // \uN takes a signed 16-bit number; "?" is what older readers show.
        Word("\\u", static_cast<int16_t>(unit));
        Raw("?");
    }
    void Text(QStringView text) {
        for (const QChar ch : text) {
            Char(ch.unicode());
        }
    }

    QByteArray Take() { return std::move(bytes_); }

private:
    QByteArray bytes_;
    bool delimit_ = false;
};

// A font name in the font table: ';' ends an entry there, so it is left out.
void WriteFontName(Output& out, const QString& family) {
    QString name = family;
    name.remove(u';');
    out.Text(name.isEmpty() ? QStringLiteral("Arial") : name);
}

// The colour table: the automatic colour (index 0) first, then the colours in
// the order they first appear.
class ColorTable {
public:
    explicit ColorTable(const QTextDocument& document) {
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const RunFormat format = FormatOf(it.fragment().charFormat());
                if (format.Color && Find(*format.Color) < 0) {
                    colors_.push_back(*format.Color);
                }
            }
        }
    }

    // The table entry of a run's colour.
    int IndexOf(const RunFormat& format) const {
        return format.Color ? Find(*format.Color) + 1 : 0;
    }

    void Write(Output& out) const {
        if (colors_.empty()) {
            return;
        }
        out.Raw("{\\colortbl ;");
        for (const QRgb rgb : colors_) {
            out.Word("\\red", qRed(rgb));
            out.Word("\\green", qGreen(rgb));
            out.Word("\\blue", qBlue(rgb));
            out.Raw(";");
        }
        out.Raw("}");
        out.LineEnd();
    }

private:
    // The colour's place in colors_, -1 when it is not there.
    int Find(QRgb rgb) const {
        const auto it = std::find(colors_.begin(), colors_.end(), rgb);
        return it == colors_.end() ? -1 : static_cast<int>(it - colors_.begin());
    }

    std::vector<QRgb> colors_;
};

// The font and colour tables and the settings every paragraph starts from.
void WriteHeader(Output& out, const QTextDocument& document, const ColorTable& colors) {
    out.Raw("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 ");
    WriteFontName(out, document.defaultFont().family());
    out.Raw(";}}");
    out.LineEnd();
    colors.Write(out);
    out.Word("\\viewkind4");
    out.Word("\\uc", 1);
    out.Word("\\pard");
    out.Word("\\f", 0);
    const int halfPoints = qRound(document.defaultFont().pointSizeF() * 2);
    if (halfPoints > 0) {
        out.Word("\\fs", halfPoints);
    }
}

// The control words that change the formatting from `current` to `format`.
void WriteFormatChange(Output& out, const RunFormat& current, const RunFormat& format,
                       const ColorTable& colors) {
    if (format.Bold != current.Bold) {
        out.Word(format.Bold ? "\\b" : "\\b0");
    }
    if (format.Italic != current.Italic) {
        out.Word(format.Italic ? "\\i" : "\\i0");
    }
    if (format.Underline != current.Underline) {
        out.Word(format.Underline ? "\\ul" : "\\ulnone");
    }
    if (format.Color != current.Color) {
        out.Word("\\cf", colors.IndexOf(format));
    }
}

} // namespace

QByteArray Write(const QTextDocument& document) {
    const ColorTable colors(document);
    Output out;
    WriteHeader(out, document, colors);
    RunFormat current;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const RunFormat format = FormatOf(it.fragment().charFormat());
            WriteFormatChange(out, current, format, colors);
            current = format;
            out.Text(it.fragment().text());
        }
        // Every paragraph ends with its mark, the last one too.
        out.Word("\\par");
        out.LineEnd();
    }
    out.Raw("}");
    out.LineEnd();
    return out.Take();
}

} // namespace rtf

#include "app/format/ColorCodes.h"

#include "app/format/Substitution.h"
#include "platform/core/Format.h"
#include "strings/FastStrings.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>

namespace {

constexpr TColorCodeRow Row(uint32_t rgb, char16_t index) {
    return TColorCodeRow{rgb, {u'\x10', index}, 2};
}

QString FontSwitch(const QString& hex) {
    return QStringLiteral("</font><font color=\"#") + hex + QStringLiteral("\">");
}

// Whether the text holds a code or an end code at all.
bool HasCodeCharacters(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c == ColorCodeStart || c == ReferenceCode || c == EndCode;
    });
}

} // namespace

QString ColorToHex(plat::TColor color) {
    const plat::TColor rgb = plat::ColorToRGB(color);
    const auto value = static_cast<uint32_t>((plat::GetRValue(rgb) << 16) |
                                             (plat::GetGValue(rgb) << 8) | plat::GetBValue(rgb));
    return plat::HexUpper(value, 6);
}

const std::array<TColorCodeRow, 32> ColorCodeTable = {{
    Row(0x000000, 0x0B), Row(0xDFDFD7, 0x19),
    Row(0xFFFFFF, 0x0F), Row(0xFFFFFF, 0x15),
    Row(0xFFFFCF, 0x03), Row(0xFFE7A6, 0x1D),
    Row(0x9E9D20, 0x1A), Row(0xCFAD41, 0x11),
    Row(0xDFDF41, 0x12), Row(0xFFFF41, 0x05),
    Row(0xFFFF00, 0x10), Row(0xFFFF00, 0x1C),
    Row(0x00F700, 0x08), Row(0x00F700, 0x0D),
    Row(0x00FF00, 0x00), Row(0x00EF00, 0x1E),
    Row(0x00DF41, 0x13), Row(0x61E78E, 0x07),
    Row(0x61AD61, 0x14), Row(0x00A551, 0x06),
    Row(0x00FFFF, 0x04), Row(0x30D7FF, 0x01),
    Row(0x30D7FF, 0x02), Row(0x9ED7DF, 0x16),
    Row(0x8EB5FF, 0x1B), TColorCodeRow{0x9C9CFF, {u'\x11', 0}, 1},
    Row(0x0000FF, 0x0E), Row(0xFF00FF, 0x1F),
    Row(0xFF009E, 0x09), Row(0xFF0000, 0x0C),
    Row(0xFF0000, 0x17), Row(0xFF0000, 0x18),
}};

QString TColorCodeRow::Hex() const {
    return plat::HexUpper(Rgb, 6);
}

plat::TColor TColorCodeRow::Color() const {
    return plat::RGB(static_cast<int>(Rgb >> 16), static_cast<int>(Rgb >> 8),
                     static_cast<int>(Rgb));
}

QString ColorCode(plat::TColor color) {
    const plat::TColor rgb = plat::ColorToRGB(color);
    for (const TColorCodeRow& r : ColorCodeTable) {
        if (r.Color() == rgb) {
            return r.Code().toString();
        }
    }
    return QString();
}

plat::TColor ColorOfCode(QStringView code) {
    for (const TColorCodeRow& r : ColorCodeTable) {
        if (r.Code() == code) {
            return r.Color();
        }
    }
    return 0;
}

QString StripColorCodes(QStringView text) {
    if (!HasCodeCharacters(text)) {
        return text.toString();
    }
    // Taking a code out joins its neighbours, which may then form a code of a
    // later row, so the rows go one after the other.
    QString result = text.toString();
    for (const TColorCodeRow& r : ColorCodeTable) {
        result = FastReplace(result, r.Code(), QStringView(), true);
    }
    return FastReplace(result, QStringView(&EndCode, 1), QStringView(), true);
}

QString DecodeColorCodes(QStringView text, plat::TColor messageColor, plat::TColor background) {
    if (!HasCodeCharacters(text)) {
        return text.toString();
    }
    // The font switch of each row, as the table writes it.
    static const std::array<QString, ColorCodeTable.size()> kSwitches = [] {
        std::array<QString, ColorCodeTable.size()> switches;
        for (size_t r = 0; r < ColorCodeTable.size(); ++r) {
            switches[r] = FontSwitch(ColorCodeTable[r].Hex());
        }
        return switches;
    }();
    const plat::TColor backgroundRgb = plat::ColorToRGB(background);
    const QString messageSwitch = FontSwitch(ColorToHex(messageColor));
    std::array<TSubstitutionRow, ColorCodeTable.size() + 1> rows;
    for (size_t r = 0; r < ColorCodeTable.size(); ++r) {
        // A colour that would vanish on the console's background is shown in
        // the message colour instead.
        const bool hidden = ColorCodeTable[r].Color() == backgroundRgb;
        rows[r] = {ColorCodeTable[r].Code(), hidden ? messageSwitch : kSwitches[r]};
    }
    rows.back() = {QStringView(&EndCode, 1), messageSwitch};
    QString result;
    result.reserve(text.size() + 64);
    AppendSubstituted(result, text, rows);
    return result;
}

QString EncodeColors(std::span<const TColoredChar> text, plat::TColor defaultColor,
                     bool referenceMode) {
    const plat::TColor defaultRgb = plat::ColorToRGB(defaultColor);
    const QString reference(ReferenceCode);
    plat::TColor current = defaultRgb;
    QString result;
    result.reserve(text.size() + text.size() / 4);
    for (const TColoredChar& item : text) {
        const plat::TColor c = plat::ColorToRGB(item.Color);
        if (c != current) {
            if (!referenceMode) {
                if (c == defaultRgb) {
                    current = c;
                    result += EndCode;
                } else if (const QString code = ColorCode(c); !code.isEmpty()) {
                    current = c;
                    result += code;
                }
            } else if (c == defaultRgb && ColorCode(current) == reference) {
                current = c;
                result += EndCode;
            } else if (ColorCode(c) == reference) {
                current = c;
                result += ReferenceCode;
            }
        }
        result += item.Char;
    }
    if (referenceMode && ColorCode(current) == reference) {
        result += EndCode;
    }
    return result;
}

std::vector<TColoredChar> ColoredCharacters(const QTextDocument& document,
                                            plat::TColor defaultColor) {
    std::vector<TColoredChar> result;
    auto lineBreak = [&] {
        const plat::TColor before = result.empty() ? defaultColor : result.back().Color;
        result.push_back({QChar(u'\r'), before});
        result.push_back({QChar(u'\n'), before});
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            lineBreak();
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QBrush brush = fragment.charFormat().foreground();
            const plat::TColor color =
                brush.style() == Qt::NoBrush ? defaultColor : plat::FromQColor(brush.color());
            for (const QChar ch : fragment.text()) {
                if (ch == QChar::LineSeparator || ch == QChar::ParagraphSeparator) {
                    lineBreak();
                } else {
                    result.push_back({ch, color});
                }
            }
        }
    }
    return result;
}

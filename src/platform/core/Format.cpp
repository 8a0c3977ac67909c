#include "platform/core/Format.h"

#include "platform/core/Cp1252.h"
#include "platform/core/Exception.h"

namespace plat {

FormatArg::FormatArg(const char* text) : text_(QString::fromUtf8(text)) {}
FormatArg::FormatArg(std::string_view text)
    : text_(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))) {}
FormatArg::FormatArg(const std::string& text) : FormatArg(std::string_view(text)) {}
FormatArg::FormatArg(const QString& text) : text_(text) {}
FormatArg::FormatArg(QStringView text) : text_(text.toString()) {}
FormatArg::FormatArg(const QByteArray& text) : text_(FromCp1252(text)) {}

QString HexUpper(uint64_t value, int minDigits) {
    QString digits = QString::number(value, 16).toUpper();
    if (digits.size() < minDigits) {
        digits.prepend(QString(minDigits - digits.size(), QLatin1Char('0')));
    }
    return digits;
}

namespace {

[[noreturn]] void Invalid(QStringView format) {
    throw EConvertError(
        QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format.toString()));
}

QString ZeroPad(QString digits, int precision) {
    if (precision > digits.size()) {
        digits.prepend(QString(precision - digits.size(), QLatin1Char('0')));
    }
    return digits;
}

// One specifier: "%" ["-"] [width] ["." precision] type, the type in lower case.
struct TFormatSpec {
    bool left = false;
    int width = 0;
    int precision = -1;
    char16_t type = 0;
};

// Reads the ASCII digits at i, moving i past them, into value (0 without
// any); a value above 100000 makes the format invalid. Whether there were any.
bool ReadNumber(QStringView format, qsizetype& i, int& value) {
    bool any = false;
    value = 0;
    while (i < format.size() && format[i].isDigit() && format[i].unicode() < 128) {
        value = value * 10 + (format[i].unicode() - '0');
        if (value > 100000) {
            Invalid(format);
        }
        ++i;
        any = true;
    }
    return any;
}

// Reads the specifier whose first character after the "%" is at i, leaving
// i on its type. A format that ends before the type is invalid.
TFormatSpec ReadSpec(QStringView format, qsizetype& i) {
    TFormatSpec spec;
    if (format[i] == QLatin1Char('-')) {
        spec.left = true;
        ++i;
    }
    ReadNumber(format, i, spec.width);
    if (i < format.size() && format[i] == QLatin1Char('.')) {
        ++i;
        if (!ReadNumber(format, i, spec.precision)) {
            spec.precision = 0;
        }
    }
    if (i >= format.size()) {
        Invalid(format);
    }
    spec.type = QChar::toLower(format[i].unicode());
    return spec;
}

// The argument's bits as an unsigned number: a signed value two's complement.
uint64_t Bits(const FormatArg& arg) {
    return arg.ArgKind() == FormatArg::Kind::Signed ? static_cast<uint64_t>(arg.AsSigned())
                                                    : arg.AsUnsigned();
}

QString DecimalField(const FormatArg& arg, int precision) {
    if (arg.ArgKind() == FormatArg::Kind::Signed && arg.AsSigned() < 0) {
        // Magnitude computed in unsigned arithmetic so INT64_MIN is safe.
        const uint64_t magnitude = 0 - static_cast<uint64_t>(arg.AsSigned());
        return QLatin1Char('-') + ZeroPad(QString::number(magnitude), precision);
    }
    return ZeroPad(QString::number(Bits(arg)), precision);
}

// "u" and "x": a value narrower than 64 bits keeps its low 32 bits.
QString UnsignedField(const FormatArg& arg, char16_t type, int precision) {
    uint64_t v = Bits(arg);
    if (!arg.Wide()) {
        v &= 0xFFFFFFFFu;
    }
    return type == u'x' ? HexUpper(v, precision < 0 ? 1 : precision)
                        : ZeroPad(QString::number(v), precision);
}

// The argument as the specifier shows it, before the width applies.
QString Field(const TFormatSpec& spec, const FormatArg& arg, QStringView format) {
    const bool text = arg.ArgKind() == FormatArg::Kind::Text;
    switch (spec.type) {
    case u'd':
        if (text) {
            Invalid(format);
        }
        return DecimalField(arg, spec.precision);
    case u'u':
    case u'x':
        if (text) {
            Invalid(format);
        }
        return UnsignedField(arg, spec.type, spec.precision);
    case u's':
        if (!text) {
            Invalid(format);
        }
        return spec.precision >= 0 ? arg.Text().left(spec.precision) : arg.Text();
    default:
        Invalid(format);
    }
}

void AppendPadded(QString& out, const QString& field, const TFormatSpec& spec) {
    const qsizetype pad = spec.width - field.size();
    if (pad > 0 && !spec.left) {
        out.append(QString(pad, QLatin1Char(' ')));
    }
    out.append(field);
    if (pad > 0 && spec.left) {
        out.append(QString(pad, QLatin1Char(' ')));
    }
}

} // namespace

QString FormatList(QStringView format, std::span<const FormatArg> args) {
    QString out;
    out.reserve(format.size() + 16 * static_cast<qsizetype>(args.size()));
    size_t next = 0;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%')) {
            out.append(c);
            continue;
        }
        if (++i >= n) {
            Invalid(format);
        }
        if (format[i] == QLatin1Char('%')) {
            out.append(QLatin1Char('%'));
            continue;
        }
        const TFormatSpec spec = ReadSpec(format, i);
        if (next >= args.size()) {
            throw EConvertError(
                QStringLiteral("No argument for format '%1'").arg(format.toString()));
        }
        AppendPadded(out, Field(spec, args[next++], format), spec);
    }
    return out;
}

} // namespace plat

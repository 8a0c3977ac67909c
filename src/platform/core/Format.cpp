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

[[noreturn]] void invalid(QStringView format) {
    throw EConvertError(
        QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format.toString()));
}

QString zeroPad(QString digits, int precision) {
    if (precision > digits.size()) {
        digits.prepend(QString(precision - digits.size(), QLatin1Char('0')));
    }
    return digits;
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
            invalid(format);
        }
        if (format[i] == QLatin1Char('%')) {
            out.append(QLatin1Char('%'));
            continue;
        }
        bool left = false;
        if (format[i] == QLatin1Char('-')) {
            left = true;
            ++i;
        }
        auto readNumber = [&](int& value) {
            bool any = false;
            value = 0;
            while (i < n && format[i].isDigit() && format[i].unicode() < 128) {
                value = value * 10 + (format[i].unicode() - '0');
                if (value > 100000) {
                    invalid(format);
                }
                ++i;
                any = true;
            }
            return any;
        };
        int width = 0;
        readNumber(width);
        int precision = -1;
        if (i < n && format[i] == QLatin1Char('.')) {
            ++i;
            if (!readNumber(precision)) {
                precision = 0;
            }
        }
        if (i >= n) {
            invalid(format);
        }
        const char16_t type = QChar::toLower(format[i].unicode());
        if (next >= args.size()) {
            throw EConvertError(
                QStringLiteral("No argument for format '%1'").arg(format.toString()));
        }
        const FormatArg& arg = args[next++];
        QString field;
        switch (type) {
        case u'd':
            if (arg.kind() == FormatArg::Kind::Text) {
                invalid(format);
            } else if (arg.kind() == FormatArg::Kind::Signed && arg.asSigned() < 0) {
                // Magnitude computed in unsigned arithmetic so INT64_MIN is safe.
                const uint64_t magnitude = 0 - static_cast<uint64_t>(arg.asSigned());
                field = QLatin1Char('-') + zeroPad(QString::number(magnitude), precision);
            } else {
                const uint64_t v = arg.kind() == FormatArg::Kind::Signed
                                       ? static_cast<uint64_t>(arg.asSigned())
                                       : arg.asUnsigned();
                field = zeroPad(QString::number(v), precision);
            }
            break;
        case u'u':
        case u'x': {
            if (arg.kind() == FormatArg::Kind::Text) {
                invalid(format);
            }
            uint64_t v = arg.kind() == FormatArg::Kind::Signed
                             ? static_cast<uint64_t>(arg.asSigned())
                             : arg.asUnsigned();
            if (!arg.wide()) {
                v &= 0xFFFFFFFFu;
            }
            field = type == u'x' ? HexUpper(v, precision < 0 ? 1 : precision)
                                 : zeroPad(QString::number(v), precision);
            break;
        }
        case u's':
            if (arg.kind() != FormatArg::Kind::Text) {
                invalid(format);
            }
            field = precision >= 0 ? arg.text().left(precision) : arg.text();
            break;
        default:
            invalid(format);
        }
        if (field.size() < width) {
            const QString pad(width - field.size(), QLatin1Char(' '));
            field = left ? field + pad : pad + field;
        }
        out.append(field);
    }
    return out;
}

} // namespace plat

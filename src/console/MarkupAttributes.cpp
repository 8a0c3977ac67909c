#include "console/MarkupAttributes.h"

namespace {

bool IsSeparator(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// A value that starts and ends with the same quote character loses both.
QStringView Unquote(QStringView value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

TTagAttributes::TTagAttributes(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && IsSeparator(text[i])) {
            ++i;
        }
        if (i >= n) {
            break;
        }
        const qsizetype start = i;
        QChar quote;
        for (; i < n; ++i) {
            const QChar c = text[i];
            if (!quote.isNull()) {
                if (c == quote) {
                    quote = QChar();
                }
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (IsSeparator(c)) {
                break;
            }
        }
        const QStringView token = text.mid(start, i - start);
        const qsizetype eq = token.indexOf(u'=');
        if (eq >= 0) {
            Set(token.left(eq), Unquote(token.mid(eq + 1)));
        } else {
            Set(kDefaultKey, Unquote(token));
        }
    }
}

void TTagAttributes::Set(QStringView key, QStringView value) {
    for (auto it = pairs_.begin(); it != pairs_.end(); ++it) {
        if (SameNoCase(it->first, key)) {
            if (value.isEmpty()) {
                pairs_.erase(it);
            } else {
                it->second = value;
            }
            return;
        }
    }
    if (!value.isEmpty()) {
        pairs_.append({key, value});
    }
}

std::optional<QStringView> TTagAttributes::FindView(std::initializer_list<QStringView> keys) const {
    for (const QStringView key : keys) {
        for (const auto& [k, v] : pairs_) {
            if (SameNoCase(k, key)) {
                return v;
            }
        }
    }
    return std::nullopt;
}

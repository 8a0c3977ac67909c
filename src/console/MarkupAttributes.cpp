#include "console/MarkupAttributes.h"

namespace {

bool IsSeparator(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// A value that starts and ends with the same quote character loses both.
QString Unquote(QStringView value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        return value.mid(1, value.size() - 2).toString();
    }
    return value.toString();
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
            Set(token.left(eq).toString(), Unquote(token.mid(eq + 1)));
        } else {
            Set(kDefaultKey.toString(), Unquote(token));
        }
    }
}

void TTagAttributes::Set(QString key, QString value) {
    for (auto it = pairs_.begin(); it != pairs_.end(); ++it) {
        if (it->first.compare(key, Qt::CaseInsensitive) == 0) {
            if (value.isEmpty()) {
                pairs_.erase(it);
            } else {
                it->second = std::move(value);
            }
            return;
        }
    }
    if (!value.isEmpty()) {
        pairs_.emplace_back(std::move(key), std::move(value));
    }
}

std::optional<QString> TTagAttributes::Find(std::initializer_list<QStringView> keys) const {
    for (const QStringView key : keys) {
        for (const auto& [k, v] : pairs_) {
            if (QStringView(k).compare(key, Qt::CaseInsensitive) == 0) {
                return v;
            }
        }
    }
    return std::nullopt;
}

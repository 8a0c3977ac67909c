#pragma once

#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <optional>
#include <utility>

// Whether two names are the same without regard to case, as QString's
// case-insensitive comparison finds; names of plain ASCII letters, the usual
// case, are compared without folding.
inline bool SameNoCase(QStringView a, QStringView b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if ((x | y) >= 0x80) {
            return a.compare(b, Qt::CaseInsensitive) == 0;
        }
        const auto lower = [](char16_t c) {
            return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
        };
        if (x != y && lower(x) != lower(y)) {
            return false;
        }
    }
    return true;
}

// The attributes of one tag: keys compare without regard to case, a later
// pair replaces an earlier one, and an empty value counts as absent. A token
// without "=" is stored under the key "$$default$$". Keys and values are
// views of the tag's text, which must outlive the attributes.
class TTagAttributes {
public:
    static constexpr QStringView kDefaultKey = u"$$default$$";

    explicit TTagAttributes(QStringView text);

    // The value of the first of the keys that is present.
    std::optional<QStringView> FindView(std::initializer_list<QStringView> keys) const;
    bool Has(QStringView key) const { return FindView({key}).has_value(); }

private:
    void Set(QStringView key, QStringView value);

    QVarLengthArray<std::pair<QStringView, QStringView>, 8> pairs_;
};

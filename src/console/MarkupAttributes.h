#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <utility>
#include <vector>

// The attributes of one tag: keys compare without regard to case, a later
// pair replaces an earlier one, and an empty value counts as absent. A token
// without "=" is stored under the key "$$default$$".
class TTagAttributes {
public:
    static constexpr QStringView kDefaultKey = u"$$default$$";

    explicit TTagAttributes(QStringView text);

    // The value of the first of the keys that is present.
    std::optional<QString> Find(std::initializer_list<QStringView> keys) const;
    bool Has(QStringView key) const { return Find({key}).has_value(); }

private:
    void Set(QString key, QString value);

    std::vector<std::pair<QString, QString>> pairs_;
};

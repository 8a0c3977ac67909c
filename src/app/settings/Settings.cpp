#include "app/settings/Settings.h"

#include "engine/DimensionList.h"
#include "platform/core/Cp1252.h"
#include "platform/gui/StoredValues.h"
#include "strings/TextRoutines.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>
#include <limits>
#include <type_traits>
#include <variant>

namespace {

const QStringList kLoginsKey{QStringLiteral("Logins")};
const QStringList kDimensionsKey{QStringLiteral("Dimensions")};
constexpr int32_t kDefaultDimensionPort = 7012;

// ---------------------------------------------------------------------------
// The table of plain values, in load and save order. Names are the member
// names; defaults are the members' initial values.

struct PasswordField {
    QString TMainSettings::*member;
};
struct FontField {
    TControlSettings TMainSettings::*member;
};
struct ColorField {
    TControlSettings TMainSettings::*member;
};

struct SettingDef {
    const char* name;
    std::variant<bool TMainSettings::*, int32_t TMainSettings::*, QString TMainSettings::*,
                 PasswordField, FontField, ColorField>
        field;
    int32_t min = std::numeric_limits<int32_t>::min();
    int32_t max = std::numeric_limits<int32_t>::max();
};

#define QV_VALUE(f)                                                                                \
    SettingDef {                                                                                   \
#f, &TMainSettings::f                                                                      \
    }
#define QV_RANGE(f, lo, hi)                                                                        \
    SettingDef {                                                                                   \
#f, &TMainSettings::f, lo, hi                                                              \
    }
#define QV_PASSWORD(f)                                                                             \
    SettingDef {                                                                                   \
#f, PasswordField {                                                                        \
            &TMainSettings::f                                                                      \
        }                                                                                          \
    }
#define QV_FONT(f)                                                                                 \
    SettingDef {                                                                                   \
#f, FontField {                                                                            \
            &TMainSettings::f                                                                      \
        }                                                                                          \
    }
#define QV_COLOR(f)                                                                                \
    SettingDef {                                                                                   \
#f, ColorField {                                                                           \
            &TMainSettings::f                                                                      \
        }                                                                                          \
    }

const SettingDef kSettings[] = {
    QV_VALUE(AwayLogging),
    QV_VALUE(AwayAutoCancel),
    QV_VALUE(AutoAway),
    QV_VALUE(AutoAwayIdle),
    QV_VALUE(AutoAwayMessage),
    QV_VALUE(PlaySounds),
    QV_VALUE(VLDirectory),
    QV_VALUE(GroupPanelVisible),
    QV_VALUE(GroupSplitterPosition),
    QV_VALUE(MainSplitterPosition),
    QV_VALUE(StatusBarVisible),
    QV_VALUE(AutoReconnect),
    QV_VALUE(ReconnectTimes),
    QV_VALUE(ReconnectDelay),
    QV_VALUE(AutoLoginDimension),
    QV_VALUE(AutoLoginUser),
    QV_PASSWORD(AutoLoginPassword),
    QV_VALUE(OnStartup),
    QV_VALUE(LastUser),
    QV_VALUE(LastDimension),
    QV_VALUE(ParseEmoticons),
    QV_VALUE(ParseUrls),
    QV_VALUE(LinkNames),
    QV_VALUE(LinkGroups),
    QV_VALUE(TimestampChat),
    QV_VALUE(TimestampFormat),
    QV_VALUE(TimestampColor),
    QV_VALUE(SmoothScrolling),
    QV_VALUE(TimestampIndent),
    QV_RANGE(LineSpacing, 0, 100),
    QV_FONT(FriendsTreeView),
    QV_FONT(GroupsTreeView),
    QV_FONT(OutputMemo),
    QV_FONT(InputEdit),
    QV_COLOR(FriendsTreeView),
    QV_COLOR(GroupsTreeView),
    QV_COLOR(OutputMemo),
    QV_COLOR(InputEdit),
    QV_VALUE(Logging),
    QV_VALUE(TimestampLogging),
    QV_VALUE(LoggingFolder),
    QV_VALUE(LogGroup),
    QV_VALUE(LogPrivate),
    QV_VALUE(LogPrivateGroup),
    QV_VALUE(LogSystem),
    QV_VALUE(LogError),
};

#undef QV_VALUE
#undef QV_RANGE
#undef QV_PASSWORD
#undef QV_FONT
#undef QV_COLOR

template <typename... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

void LoadValue(const plat::Registry::Key& key, const SettingDef& def, TMainSettings& s) {
    const QString name = QString::fromLatin1(def.name);
    std::visit(Overloaded{
                   [&](bool TMainSettings::*m) { s.*m = ReadBool(key, name, s.*m); },
                   [&](int32_t TMainSettings::*m) {
                       s.*m = std::clamp(ReadInteger(key, name, s.*m), def.min, def.max);
                   },
                   [&](QString TMainSettings::*m) { s.*m = ReadString(key, name, s.*m); },
                   [&](PasswordField f) { s.*f.member = ReadPassword(key, name); },
                   [&](FontField f) { LoadFont(key, name, (s.*f.member).Font); },
                   [&](ColorField f) {
                       auto& color = (s.*f.member).Color;
                       color = ReadInteger(key, name + QStringLiteral("_Color"), color);
                   },
               },
               def.field);
}

void SaveValue(plat::Registry::Key& key, const SettingDef& def, const TMainSettings& s) {
    const QString name = QString::fromLatin1(def.name);
    std::visit(Overloaded{
                   [&](bool TMainSettings::*m) { key.WriteBool(name, s.*m); },
                   [&](int32_t TMainSettings::*m) { key.WriteInteger(name, s.*m); },
                   [&](QString TMainSettings::*m) { key.WriteString(name, s.*m); },
                   [&](PasswordField f) { WritePassword(key, name, s.*f.member); },
                   [&](FontField f) { SaveFont(key, name, (s.*f.member).Font); },
                   [&](ColorField f) {
                       key.WriteInteger(name + QStringLiteral("_Color"), (s.*f.member).Color);
                   },
               },
               def.field);
}

// The name of the first row whose field is `Field` and holds `member`.
template <typename Field, typename Member>
QString NameOf(Member member, const char* suffix = "") {
    for (const SettingDef& def : kSettings) {
        const auto* field = std::get_if<Field>(&def.field);
        if (field == nullptr) {
            continue;
        }
        if constexpr (std::is_same_v<Field, Member>) {
            if (*field == member) {
                return QString::fromLatin1(def.name);
            }
        } else if (field->member == member) {
            return QString::fromLatin1(def.name) + QLatin1String(suffix);
        }
    }
    return {};
}

// User names compare without regard to the case of the letters a-z.
bool SameUser(const QString& a, const QString& b) {
    return txt::SameTextAscii(a, b);
}

// Deletes every subkey of the key, when the key exists.
void DeleteSubKeys(plat::Registry& registry, const QStringList& path) {
    if (const auto key = registry.OpenKey(path, false)) {
        for (const QString& name : key->SubKeyNames()) {
            registry.DeleteKey(path + QStringList{name});
        }
    }
}

} // namespace

plat::ColoredFont ToColoredFont(const TFontSettings& stored) {
    plat::ColoredFont result;
    result.font.setFamily(stored.Name);
    plat::SetStoredFontSize(result.font, stored.Size);
    result.font.setBold(stored.Bold);
    result.font.setUnderline(stored.Underline);
    result.font.setItalic(stored.Italic);
    result.font.setStrikeOut(stored.StrikeOut);
    result.color = stored.Color;
    return result;
}

TFontSettings ToFontSettings(const plat::ColoredFont& font, int32_t charSet) {
    TFontSettings result;
    result.CharSet = charSet;
    result.Color = font.color;
    result.Name = font.font.family();
    result.Size = font.font.pointSize() > 0 ? font.font.pointSize() : -font.font.pixelSize();
    result.Bold = font.font.bold();
    result.Underline = font.font.underline();
    result.Italic = font.font.italic();
    result.StrikeOut = font.font.strikeOut();
    return result;
}

QString DefaultVLDirectory() {
    return QDir::homePath() + QStringLiteral("/Vellinor/");
}

QString DefaultLoggingFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/Logs/");
}

// ---------------------------------------------------------------------------
// Typed reads and fonts

QString ReadString(const plat::Registry::Key& key, const QString& name,
                   const QString& defaultValue) {
    return key.ReadString(name).value_or(defaultValue);
}

int32_t ReadInteger(const plat::Registry::Key& key, const QString& name, int32_t defaultValue) {
    return key.ReadInteger(name).value_or(defaultValue);
}

bool ReadBool(const plat::Registry::Key& key, const QString& name, bool defaultValue) {
    return key.ReadBool(name).value_or(defaultValue);
}

void LoadFont(const plat::Registry::Key& key, const QString& control, TFontSettings& font) {
    const QString p = control + QStringLiteral("_Font");
    font.CharSet = ReadInteger(key, p + QStringLiteral("CharSet"), font.CharSet);
    font.Color = ReadInteger(key, p + QStringLiteral("Color"), font.Color);
    font.Name = ReadString(key, p + QStringLiteral("Name"), font.Name);
    // An absurd size (a font thousands of points high) counts as not stored.
    font.Size = plat::StoredFontSize(key.ReadInteger(p + QStringLiteral("Size")), font.Size);
    font.Bold = ReadBool(key, p + QStringLiteral("Bold"), font.Bold);
    font.Underline = ReadBool(key, p + QStringLiteral("Underline"), font.Underline);
    font.Italic = ReadBool(key, p + QStringLiteral("Italic"), font.Italic);
    font.StrikeOut = ReadBool(key, p + QStringLiteral("StrikeOut"), font.StrikeOut);
}

void SaveFont(plat::Registry::Key& key, const QString& control, const TFontSettings& font) {
    const QString p = control + QStringLiteral("_Font");
    key.WriteInteger(p + QStringLiteral("CharSet"), font.CharSet);
    key.WriteInteger(p + QStringLiteral("Color"), font.Color);
    key.WriteString(p + QStringLiteral("Name"), font.Name);
    key.WriteInteger(p + QStringLiteral("Size"), font.Size);
    key.WriteBool(p + QStringLiteral("Bold"), font.Bold);
    key.WriteBool(p + QStringLiteral("Underline"), font.Underline);
    key.WriteBool(p + QStringLiteral("Italic"), font.Italic);
    key.WriteBool(p + QStringLiteral("StrikeOut"), font.StrikeOut);
}

// ---------------------------------------------------------------------------
// Passwords and logins

QByteArray ScramblePassword(QByteArrayView text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out[i] = static_cast<char>(static_cast<uint8_t>(text[i]) + (i + 1));
    }
    return out;
}

QByteArray UnscramblePassword(QByteArrayView text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out[i] = static_cast<char>(static_cast<uint8_t>(text[i]) - (i + 1));
    }
    return out;
}

QString ReadPassword(const plat::Registry::Key& key, const QString& name) {
    QByteArray scrambled;
    if (const auto bytes = key.ReadBinary(name)) {
        scrambled = *bytes;
    } else if (const auto text = key.ReadString(name)) {
        scrambled = plat::ToCp1252(*text);
    }
    return plat::FromCp1252(UnscramblePassword(scrambled));
}

void WritePassword(plat::Registry::Key& key, const QString& name, const QString& password) {
    key.WriteBinary(name, ScramblePassword(plat::ToCp1252(password)));
}

void TLogins::SetLoginPassword(const QString& user, const QString& password) {
    for (TLogin& login : items_) {
        if (SameUser(login.User, user)) {
            login.Password = password;
            return;
        }
    }
    items_.push_back(TLogin{user, password, QString()});
}

QString TLogins::GetLoginPassword(const QString& user) const {
    QString result;
    for (const TLogin& login : items_) {
        if (SameUser(login.User, user)) {
            result = login.Password;
        }
    }
    return result;
}

QString TLogins::GetLastChar(const QString& user) const {
    QString result;
    for (const TLogin& login : items_) {
        if (SameUser(login.User, user)) {
            result = login.LastChar;
        }
    }
    return result;
}

void TLogins::SetLastChar(const QString& user, const QString& name) {
    for (TLogin& login : items_) {
        if (SameUser(login.User, user)) {
            login.LastChar = name;
        }
    }
}

void LoadLogins(plat::Registry& registry, TLogins& logins) {
    logins.ClearLogins();
    const auto parent = registry.OpenKey(kLoginsKey, false);
    if (!parent) {
        return;
    }
    for (const QString& user : parent->SubKeyNames()) {
        if (const auto key = registry.OpenKey(kLoginsKey + QStringList{user}, false)) {
            logins.SetLoginPassword(user, ReadPassword(*key, QStringLiteral("Password")));
            logins.SetLastChar(user, ReadString(*key, QStringLiteral("LastChar"), QString()));
        }
    }
}

void SaveLogins(plat::Registry& registry, const TLogins& logins) {
    DeleteSubKeys(registry, kLoginsKey);
    for (const TLogin& login : logins.Items()) {
        if (auto key = registry.OpenKey(kLoginsKey + QStringList{login.User}, true)) {
            WritePassword(*key, QStringLiteral("Password"), login.Password);
            key->WriteString(QStringLiteral("LastChar"), login.LastChar);
        }
    }
}

// ---------------------------------------------------------------------------
// Dimensions

void LoadDimensions(plat::Registry& registry, TDimensionList& dimensions) {
    for (qsizetype i = dimensions.Count() - 1; i >= 0; --i) {
        if (dimensions.Items(i)->Tag() != 1) {
            dimensions.Delete(i);
        }
    }
    const auto parent = registry.OpenKey(kDimensionsKey, false);
    if (!parent) {
        return;
    }
    for (const QString& name : parent->SubKeyNames()) {
        if (const auto key = registry.OpenKey(kDimensionsKey + QStringList{name}, false)) {
            dimensions.Add(name, ReadString(*key, QStringLiteral("Description"), QString()),
                           ReadInteger(*key, QStringLiteral("Port"), kDefaultDimensionPort),
                           ReadString(*key, QStringLiteral("Host"), QString()));
        }
    }
}

void SaveDimensions(plat::Registry& registry, const TDimensionList& dimensions) {
    DeleteSubKeys(registry, kDimensionsKey);
    for (qsizetype i = 0; i < dimensions.Count(); ++i) {
        const auto info = dimensions.Items(i);
        if (info->Tag() == 1) {
            continue;
        }
        if (auto key = registry.OpenKey(kDimensionsKey + QStringList{info->Name()}, true)) {
            key->WriteString(QStringLiteral("Description"), info->Description());
            key->WriteString(QStringLiteral("Host"), info->Host());
            key->WriteInteger(QStringLiteral("Port"), info->Port());
        }
    }
}

// ---------------------------------------------------------------------------
// Plain values

QString SettingName(bool TMainSettings::*value) {
    return NameOf<bool TMainSettings::*>(value);
}

QString SettingName(int32_t TMainSettings::*value) {
    return NameOf<int32_t TMainSettings::*>(value);
}

QString SettingName(QString TMainSettings::*value) {
    const QString plain = NameOf<QString TMainSettings::*>(value);
    return plain.isEmpty() ? NameOf<PasswordField>(value) : plain;
}

QString FontSettingName(TControlSettings TMainSettings::*control) {
    return NameOf<FontField>(control, "_Font");
}

QString ColorSettingName(TControlSettings TMainSettings::*control) {
    return NameOf<ColorField>(control, "_Color");
}

TMainSettings LoadSettings(plat::Registry& registry) {
    TMainSettings settings;
    if (const auto root = registry.OpenKey({}, false)) {
        for (const SettingDef& def : kSettings) {
            LoadValue(*root, def, settings);
        }
    }
    return settings;
}

void SaveSettings(plat::Registry& registry, const TMainSettings& settings) {
    if (auto root = registry.OpenKey({}, true)) {
        for (const SettingDef& def : kSettings) {
            SaveValue(*root, def, settings);
        }
    }
}

#include "chatd/Directory.h"

#include "platform/core/Cp1252.h"
#include "platform/core/Exception.h"
#include "platform/core/Format.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <utility>

namespace chatd {

namespace {

constexpr qsizetype kMaxNameLength = 64;
constexpr qsizetype kMaxFieldLength = 1000;
const QString kDemoUser = QStringLiteral("demo");

bool SameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// Names travel as 8-bit text: every character must have a Windows-1252 byte.
bool IsWireText(const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x20 || c == 0x7F || plat::Cp1252Byte(c) < 0) {
            return false;
        }
    }
    return true;
}

void CheckName(const QString& what, const QString& name) {
    if (name.isEmpty() || name.size() > kMaxNameLength || !IsWireText(name) ||
        name.trimmed() != name) {
        throw plat::Exception(plat::Format(
            "%s '%s' is not valid: 1 to %d characters of the Windows-1252 code page, without "
            "control characters or blanks at either end",
            what, name, int{kMaxNameLength}));
    }
}

// Reads the JSON document, naming the offending entry in every error.
class JsonReader {
public:
    explicit JsonReader(QString source) : source_(std::move(source)) {}

    [[noreturn]] void Fail(const QString& where, const QString& what) const {
        throw plat::Exception(plat::Format("%s: %s: %s", source_, where, what));
    }

    // Keys starting with "_" are comments and ignored; any other unknown key
    // is an error, so that a misspelt field does not go unnoticed.
    void OnlyKeys(const QJsonObject& object, const QString& where,
                  std::initializer_list<const char*> keys) const {
        for (auto it = object.begin(); it != object.end(); ++it) {
            const QString key = it.key();
            if (key.startsWith(u'_')) {
                continue;
            }
            if (std::none_of(keys.begin(), keys.end(),
                             [&](const char* k) { return key == QLatin1String(k); })) {
                Fail(where, plat::Format("unknown field \"%s\"", key));
            }
        }
    }

    QJsonObject Object(const QJsonValue& value, const QString& where) const {
        if (!value.isObject()) {
            Fail(where, QStringLiteral("must be an object"));
        }
        return value.toObject();
    }

    QJsonArray Array(const QJsonObject& object, const char* key, const QString& where) const {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) {
            return {};
        }
        if (!value.isArray()) {
            Fail(Field(where, key), QStringLiteral("must be a list"));
        }
        return value.toArray();
    }

    QString Text(const QJsonObject& object, const char* key, const QString& where,
                 bool required) const {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() && !required) {
            return {};
        }
        if (!value.isString() || (required && value.toString().isEmpty())) {
            Fail(Field(where, key), required ? QStringLiteral("must be a non-empty text")
                                             : QStringLiteral("must be a text"));
        }
        QString text = value.toString();
        if (text.size() > kMaxFieldLength) {
            Fail(Field(where, key),
                 plat::Format("longer than %d characters", int{kMaxFieldLength}));
        }
        return text;
    }

    int32_t Integer(const QJsonObject& object, const char* key, const QString& where,
                    int32_t minimum, int32_t fallback, bool required) const {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() && !required) {
            return fallback;
        }
        const double number = value.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!value.isDouble() || std::floor(number) != number || number < minimum ||
            number > std::numeric_limits<int32_t>::max()) {
            Fail(Field(where, key),
                 plat::Format("must be a whole number from %d to 2147483647", minimum));
        }
        return static_cast<int32_t>(number);
    }

    static QString Field(const QString& where, const char* key) {
        return where + u'.' + QLatin1String(key);
    }

private:
    QString source_;
};

Biography ReadBio(const JsonReader& in, const QJsonObject& object, const QString& where) {
    in.OnlyKeys(object, where,
                {"firstname", "nick", "lastname", "breed", "gender", "faction", "profession",
                 "profession_title", "pictureurl", "organization_id", "organization_name", "rank"});
    Biography bio;
    bio.FirstName = in.Text(object, "firstname", where, false);
    bio.Nick = in.Text(object, "nick", where, false);
    bio.LastName = in.Text(object, "lastname", where, false);
    bio.Breed = in.Text(object, "breed", where, false);
    bio.Gender = in.Text(object, "gender", where, false);
    bio.Faction = in.Text(object, "faction", where, false);
    bio.Profession = in.Text(object, "profession", where, false);
    bio.ProfessionTitle = in.Text(object, "profession_title", where, false);
    bio.PictureUrl = in.Text(object, "pictureurl", where, false);
    bio.OrganizationId = in.Text(object, "organization_id", where, false);
    bio.OrganizationName = in.Text(object, "organization_name", where, false);
    bio.Rank = in.Text(object, "rank", where, false);
    return bio;
}

// A buddy named in the file, resolved once every character is known.
struct PendingBuddy {
    int32_t Owner;
    QString Name;
    QString Where;
};

} // namespace

// ---- Character -----------------------------------------------------------

QByteArray Character::WireName() const {
    return plat::ToCp1252(Name);
}

int32_t Character::FlagsOf(const TGroupId& group) const {
    const auto it = GroupFlags.find(group);
    return it == GroupFlags.end() ? 0 : it->second;
}

// ---- Directory -----------------------------------------------------------

Directory::Directory() {
    AddBuiltInDemo();
    AddGroup({0x01, 0x00, 0x00, 0x00, 0x01}, QStringLiteral("General"));
    AddGroup({0x01, 0x00, 0x00, 0x00, 0x02}, QStringLiteral("Trade"));
    AddGroup({0x01, 0x00, 0x00, 0x00, 0x03}, QStringLiteral("Newcomers"));
}

void Directory::AddBuiltInDemo() {
    AddAccount(kDemoUser, QStringLiteral("demo"));

    Character demo;
    demo.Id = 1001;
    demo.Name = QStringLiteral("Demochar");
    demo.Level = 60;
    demo.Bio = {
        QStringLiteral("Dana"),     QStringLiteral("Demochar"),        QStringLiteral("Velt"),
        QStringLiteral("miravel"),  QStringLiteral("female"),          QStringLiteral("Neutral"),
        QStringLiteral("Engineer"), QStringLiteral("Tinkerer"),        QString(),
        QStringLiteral("7001"),     QStringLiteral("Quorvel Testers"), QStringLiteral("Member")};
    demo.Buddies = {Buddy{1002, true}};

    Character test;
    test.Id = 1002;
    test.Name = QStringLiteral("Testchar");
    test.Level = 15;
    test.Bio.FirstName = QStringLiteral("Tess");
    test.Bio.Nick = QStringLiteral("Testchar");
    test.Bio.LastName = QStringLiteral("Ardent");
    test.Bio.Breed = QStringLiteral("corlan");
    test.Bio.Gender = QStringLiteral("male");
    test.Bio.Faction = QStringLiteral("Neutral");
    test.Bio.Profession = QStringLiteral("Scout");

    AddCharacter(kDemoUser, std::move(demo));
    AddCharacter(kDemoUser, std::move(test));
}

void Directory::AddAccount(const QString& user, const QString& password) {
    CheckName(QStringLiteral("User name"), user);
    if (password.isEmpty() || !IsWireText(password)) {
        throw plat::Exception(plat::Format(
            "The password of %s must be non-empty text of the Windows-1252 code page", user));
    }
    if (FindAccount(user)) {
        throw plat::Exception(plat::Format("The user name %s is used twice", user));
    }
    accounts_.push_back(Account{user, password, {}});
}

void Directory::CheckNewCharacter(const Character& character) const {
    CheckName(QStringLiteral("Character name"), character.Name);
    if (character.Id <= 0) {
        throw plat::Exception(plat::Format("Character id %d of %s is not valid (1 to 2147483647)",
                                           character.Id, character.Name));
    }
    if (character.Level < 0) {
        throw plat::Exception(
            plat::Format("Level %d of %s is not valid", character.Level, character.Name));
    }
    if (const Character* other = FindCharacter(character.Id)) {
        throw plat::Exception(plat::Format("Character id %d is used twice (%s and %s)",
                                           character.Id, other->Name, character.Name));
    }
    if (FindCharacterByName(character.Name)) {
        throw plat::Exception(plat::Format("The character name %s is used twice", character.Name));
    }
}

Character& Directory::AddCharacter(const QString& user, Character character) {
    auto account = std::find_if(accounts_.begin(), accounts_.end(),
                                [&](const Account& a) { return SameName(a.User, user); });
    if (account == accounts_.end()) {
        throw plat::Exception(plat::Format("There is no account %s", user));
    }
    CheckNewCharacter(character);
    character.Account = account->User;
    account->Characters.append(character.Id);
    const int32_t id = character.Id;
    return characters_.emplace(id, std::move(character)).first->second;
}

void Directory::AddGroup(const TGroupId& id, const QString& name) {
    if (name.isEmpty() || !IsWireText(name)) {
        throw plat::Exception(plat::Format("The group name '%s' is not valid", name));
    }
    if (FindGroup(id)) {
        throw plat::Exception(plat::Format("The group identifier of %s is used twice", name));
    }
    groups_.append(PublicGroup{id, name});
}

const Account* Directory::FindAccount(const QString& user) const {
    const auto it = std::find_if(accounts_.begin(), accounts_.end(),
                                 [&](const Account& a) { return SameName(a.User, user); });
    return it == accounts_.end() ? nullptr : &*it;
}

Character* Directory::FindCharacter(int32_t id) {
    const auto it = characters_.find(id);
    return it == characters_.end() ? nullptr : &it->second;
}

const Character* Directory::FindCharacter(int32_t id) const {
    return const_cast<Directory*>(this)->FindCharacter(id);
}

Character* Directory::FindCharacterByName(const QString& name) {
    for (auto& [id, character] : characters_) {
        if (SameName(character.Name, name)) {
            return &character;
        }
    }
    return nullptr;
}

const Character* Directory::FindCharacterByName(const QString& name) const {
    return const_cast<Directory*>(this)->FindCharacterByName(name);
}

const PublicGroup* Directory::FindGroup(const TGroupId& id) const {
    const auto it = std::find_if(groups_.begin(), groups_.end(),
                                 [&](const PublicGroup& g) { return g.Id == id; });
    return it == groups_.end() ? nullptr : &*it;
}

QStringList Directory::CharacterNames() const {
    QStringList names;
    for (const auto& [id, character] : characters_) {
        names.append(character.Name);
    }
    return names;
}

void Directory::LoadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw plat::Exception(plat::Format("%s: %s", path, file.errorString()));
    }
    constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;
    if (file.size() > kMaxFileSize) {
        throw plat::Exception(plat::Format("%s: the file is larger than 16 MiB", path));
    }
    LoadJson(file.readAll(), path);
}

void Directory::LoadJson(const QByteArray& json, const QString& sourceName) {
    const JsonReader in(sourceName);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        throw plat::Exception(plat::Format("%s: not valid JSON: %s at offset %d", sourceName,
                                           error.errorString(), error.offset));
    }
    if (!document.isObject()) {
        in.Fail(QStringLiteral("top level"), QStringLiteral("must be an object"));
    }
    const QJsonObject top = document.object();
    in.OnlyKeys(top, QStringLiteral("top level"), {"accounts"});

    Directory next;
    next.accounts_.clear();
    next.characters_.clear();
    next.groups_ = groups_;
    std::vector<PendingBuddy> buddies;

    const QJsonArray accounts = in.Array(top, "accounts", QStringLiteral("top level"));
    for (qsizetype a = 0; a < accounts.size(); ++a) {
        const QString where = plat::Format("accounts[%d]", a);
        const QJsonObject account = in.Object(accounts[a], where);
        in.OnlyKeys(account, where, {"user", "password", "characters"});
        const QString user = in.Text(account, "user", where, true);
        try {
            next.AddAccount(user, in.Text(account, "password", where, true));
        } catch (const plat::Exception& e) {
            in.Fail(where, e.Message());
        }
        const QJsonArray characters = in.Array(account, "characters", where);
        for (qsizetype c = 0; c < characters.size(); ++c) {
            const QString at = plat::Format("%s.characters[%d]", where, c);
            const QJsonObject object = in.Object(characters[c], at);
            in.OnlyKeys(object, at, {"id", "name", "level", "buddies", "bio"});
            Character character;
            character.Id = in.Integer(object, "id", at, 1, 0, true);
            character.Name = in.Text(object, "name", at, true);
            character.Level = in.Integer(object, "level", at, 0, 1, false);
            if (object.contains(QLatin1String("bio"))) {
                const QString bioAt = JsonReader::Field(at, "bio");
                character.Bio =
                    ReadBio(in, in.Object(object.value(QLatin1String("bio")), bioAt), bioAt);
            }
            const QJsonArray names = in.Array(object, "buddies", at);
            for (qsizetype b = 0; b < names.size(); ++b) {
                const QString buddyAt = plat::Format("%s.buddies[%d]", at, b);
                if (!names[b].isString()) {
                    in.Fail(buddyAt, QStringLiteral("must be a character name"));
                }
                buddies.push_back(PendingBuddy{character.Id, names[b].toString(), buddyAt});
            }
            try {
                next.AddCharacter(user, std::move(character));
            } catch (const plat::Exception& e) {
                in.Fail(at, e.Message());
            }
        }
    }
    if (!next.FindAccount(kDemoUser)) {
        try {
            next.AddBuiltInDemo();
        } catch (const plat::Exception& e) {
            in.Fail(QStringLiteral("built-in account demo"), e.Message());
        }
    }
    for (const PendingBuddy& pending : buddies) {
        const Character* buddy = next.FindCharacterByName(pending.Name);
        if (!buddy) {
            in.Fail(pending.Where, plat::Format("there is no character named %s", pending.Name));
        }
        QList<Buddy>& list = next.FindCharacter(pending.Owner)->Buddies;
        if (std::none_of(list.begin(), list.end(),
                         [&](const Buddy& b) { return b.Id == buddy->Id; })) {
            list.append(Buddy{buddy->Id, true});
        }
    }
    *this = std::move(next);
}

} // namespace chatd

#pragma once

// What the local chat service knows: accounts, their characters (with their
// buddies, group settings and biography) and the public groups.

#include "engine/VLChatPacket.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <vector>

namespace chatd {

// The biography the game web site publishes for a character. Empty fields
// are left out of the document.
struct Biography {
    QString FirstName;
    QString Nick;
    QString LastName;
    QString Breed;
    QString Gender;
    QString Faction;
    QString Profession;
    QString ProfessionTitle;
    QString PictureUrl;
    QString OrganizationId;
    QString OrganizationName;
    QString Rank;
};

// One entry of a character's buddy list: the buddy's id and the flag the
// client sent with "Friend Add" (a permanent buddy).
struct Buddy {
    int32_t Id = 0;
    bool Permanent = true;

    friend bool operator==(const Buddy&, const Buddy&) = default;
};

struct Character {
    int32_t Id = 0; // 1..2147483647
    QString Name;
    int32_t Level = 1;
    QString Account; // user name of the owning account
    Biography Bio;
    QList<Buddy> Buddies;
    // Flags per public group ("Group Data Set"); absent means 0.
    std::map<TGroupId, int32_t> GroupFlags;

    // The name as it travels on the wire (Windows-1252).
    QByteArray WireName() const;
    int32_t FlagsOf(const TGroupId& group) const;
};

struct Account {
    QString User;
    QString Password;
    QList<int32_t> Characters; // ids, in the order of the character list
};

struct PublicGroup {
    TGroupId Id{};
    QString Name;
};

class Directory {
public:
    // The built-in demo account ("demo"/"demo" with "Demochar" and
    // "Testchar") and the default public groups.
    Directory();

    // Replaces the accounts with those of a JSON document (format in
    // accounts.example.json). The built-in demo account stays unless the
    // document has an account of that user name. Raises plat::Exception with
    // a message naming the source and the offending entry; *this is then
    // unchanged. Runtime changes (buddies, group flags) of the replaced
    // accounts are dropped.
    void LoadJson(const QByteArray& json, const QString& sourceName);
    // Reads a file and loads it as above; raises for a file that cannot be read.
    void LoadFile(const QString& path);

    // Adds an account without characters. Raises for an invalid or taken user name.
    void AddAccount(const QString& user, const QString& password);
    // Adds a character to an account. Raises for an unknown account, an
    // invalid id, level or name, or an id or name already used.
    Character& AddCharacter(const QString& user, Character character);
    // Adds a public group every character joins at login. Raises for an
    // identifier already used or an empty name.
    void AddGroup(const TGroupId& id, const QString& name);

    // Lookups; user and character names compare without regard to case.
    const Account* FindAccount(const QString& user) const;
    Character* FindCharacter(int32_t id);
    const Character* FindCharacter(int32_t id) const;
    Character* FindCharacterByName(const QString& name);
    const Character* FindCharacterByName(const QString& name) const;
    const PublicGroup* FindGroup(const TGroupId& id) const;

    const std::vector<Account>& Accounts() const { return accounts_; }
    const QList<PublicGroup>& Groups() const { return groups_; }
    QStringList CharacterNames() const;

private:
    void AddBuiltInDemo();
    void CheckNewCharacter(const Character& character) const;

    std::vector<Account> accounts_;
    std::map<int32_t, Character> characters_; // node-based: references stay valid
    QList<PublicGroup> groups_;
};

} // namespace chatd

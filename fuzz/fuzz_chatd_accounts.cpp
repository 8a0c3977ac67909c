// Arbitrary bytes as the local chat service's accounts file.
//
// Checked on every input:
// - a file that is refused raises the service's own exception, with a
//   message that names the file, and leaves what was loaded before as it was;
// - a file that is accepted gives a directory the service can work with: the
//   demo account, user and character names unique without regard to case
//   and sendable as 8-bit text, positive character ids, each character in
//   its account's list and each buddy an existing character, once;
// - loading the same file again gives the same directory.
#include "chatd/Directory.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exception.h"

#include <QCoreApplication>
#include <QSet>
#include <QStringList>

#include <cstdint>

#include "FuzzCheck.h" // last: Qt's headers use the name check

namespace {

bool isWireText(const QString& text) {
    return !text.isEmpty() && plat::FromCp1252(plat::ToCp1252(text)) == text;
}

// Everything the directory holds, one line each, and its invariants.
QStringList snapshot(const chatd::Directory& directory) {
    QStringList lines;
    QSet<QString> users;
    QSet<QString> names;
    QSet<int32_t> ids;
    check(directory.FindAccount(QStringLiteral("demo")) != nullptr);
    for (const chatd::Account& account : directory.Accounts()) {
        check(isWireText(account.User) && isWireText(account.Password));
        check(!users.contains(account.User.toCaseFolded()));
        users.insert(account.User.toCaseFolded());
        lines << account.User + u'/' + account.Password;
        for (const int32_t id : account.Characters) {
            const chatd::Character* c = directory.FindCharacter(id);
            check(c != nullptr && c->Id == id && id > 0 && c->Level >= 0);
            check(c->Account == account.User && !ids.contains(id));
            check(isWireText(c->Name) && !names.contains(c->Name.toCaseFolded()));
            check(directory.FindCharacterByName(c->Name.toLower()) == c);
            ids.insert(id);
            names.insert(c->Name.toCaseFolded());
            QString line = QStringLiteral("  %1 %2 %3 [").arg(id).arg(c->Name).arg(c->Level);
            QSet<int32_t> buddies;
            for (const chatd::Buddy& buddy : c->Buddies) {
                check(directory.FindCharacter(buddy.Id) != nullptr && !buddies.contains(buddy.Id));
                buddies.insert(buddy.Id);
                line += QString::number(buddy.Id) + (buddy.Permanent ? u'+' : u'-');
            }
            const chatd::Biography& b = c->Bio;
            lines << line + u']' +
                         QStringList{
                             b.FirstName,  b.Nick,           b.LastName,         b.Breed,
                             b.Gender,     b.Faction,        b.Profession,       b.ProfessionTitle,
                             b.PictureUrl, b.OrganizationId, b.OrganizationName, b.Rank}
                             .join(u'|');
        }
    }
    check(directory.CharacterNames().size() == ids.size());
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString source = QStringLiteral("accounts.json");
    chatd::Directory directory;
    const QStringList before = snapshot(directory);
    try {
        directory.LoadJson(json, source);
    } catch (const plat::Exception& e) {
        check(e.Message().startsWith(source + QStringLiteral(": ")));
        check(snapshot(directory) == before);
        return 0;
    }
    const QStringList loaded = snapshot(directory);
    directory.LoadJson(json, source);
    check(snapshot(directory) == loaded);
    return 0;
}

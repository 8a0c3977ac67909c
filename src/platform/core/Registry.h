#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <optional>

namespace plat {

// The user's part of the system registry below "Software\ZELVO", kept in one
// INI file: $XDG_CONFIG_HOME/ZELVO/Quorvel.ini.
//
// Keys are addressed by their path below that root, one name per segment
// ({"Logins", "Bob"} is "Software\ZELVO\Logins\Bob"); the empty path is the
// root itself. Key and value names compare without regard to case and keep the
// spelling they were created with. A segment may hold any character, "\" and
// "/" included: it always names one key.
//
// Values are text or binary. WriteInteger and WriteBool store decimal text
// (booleans 0 and 1); a typed read returns nothing when the value is missing or
// does not parse as the type asked for: ReadInteger and ReadBool accept a
// 32-bit integer (decimal, signed or unsigned, or "$"/"0x" hexadecimal; a bool
// is any nonzero integer), ReadString accepts any text value, ReadBinary only a
// binary value. Text and binary values never read as each other.
//
// The whole file is read when the object is constructed and written back by
// Save only. Saving replaces the file atomically (a crash while writing leaves
// the old file) and gives it mode 0600; a missing folder is created with mode
// 0700.
//
// A file that exists but cannot be read or parsed is never overwritten: the
// store then starts empty (every value reads as absent, so the program runs
// with its defaults), takes writes in memory as usual, and Save leaves the
// file as it is and reports false. The user's file survives until it is fixed
// or removed by hand.
//
// File format, UTF-8 with LF line ends: root values first, then one
// "[A/B]" section per key in tree order (a key without values still gets its
// header); "name=value" lines; lines starting with ";" or "#" are comments.
// In names "%", "/", "\", "=", ";", "#", "[", "]", control characters and
// leading or trailing blanks are written as %XX; in text values "%", control
// characters, leading or trailing blanks and a leading "@" are. Binary values
// are written as "@hex:" and two hexadecimal digits per byte. Anything else
// (a line that is none of these, a bad escape, an unterminated header, bytes
// that are not UTF-8) makes the file unreadable.
class Registry {
private:
    struct Node;

public:
    enum class LoadState {
        NoFile,    // no file yet: the store starts empty and Save creates it
        Loaded,    // the file was read
        Unreadable // the file exists but could not be read: Save leaves it alone
    };

    // A handle on one key. It names the key by its path: when the key is
    // deleted, reads through the handle find nothing and writes are refused
    // (they return false).
    class Key {
    public:
        const QStringList& Path() const { return path_; }

        bool ValueExists(const QString& name) const;
        std::optional<QString> ReadString(const QString& name) const;
        std::optional<int32_t> ReadInteger(const QString& name) const;
        std::optional<bool> ReadBool(const QString& name) const;
        std::optional<QByteArray> ReadBinary(const QString& name) const;

        bool WriteString(const QString& name, const QString& value);
        bool WriteInteger(const QString& name, int32_t value);
        bool WriteBool(const QString& name, bool value);
        bool WriteBinary(const QString& name, const QByteArray& value);
        bool DeleteValue(const QString& name);

        // Names in the order they were created.
        QStringList ValueNames() const;
        QStringList SubKeyNames() const;

    private:
        friend class Registry;
        Key(Registry* registry, QStringList path) : registry_(registry), path_(std::move(path)) {}
        Node* Find() const;

        Registry* registry_;
        QStringList path_;
    };

    // Where the store lives for this user. Follows XDG_CONFIG_HOME.
    static QString DefaultFilePath();

    // Splits a key path written with "\" ("Software\ZELVO\MainForm\Toolbars\")
    // into segments below the root; a leading "Software\ZELVO" is dropped and
    // empty segments are skipped.
    static QStringList KeyPath(QStringView path);

    // Reads the store from the file (tests pass a path of their own).
    explicit Registry(QString filePath = DefaultFilePath());
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    const QString& FilePath() const { return filePath_; }
    LoadState State() const { return state_; }
    // Why the last load or save failed; empty after success.
    const QString& ErrorText() const { return errorText_; }

    // Opens the key; with canCreate the missing keys along the path are
    // created. Nothing when the key does not exist (and may not be created) or
    // a segment is empty.
    std::optional<Key> OpenKey(const QStringList& path, bool canCreate);
    bool KeyExists(const QStringList& path) const;
    // Deletes the key with all its subkeys and values. The root cannot be
    // deleted. False when there was nothing to delete.
    bool DeleteKey(const QStringList& path);

    // Writes the whole store to the file. False (with ErrorText) when the file
    // was unreadable at load or could not be written; the file is unchanged then.
    bool Save();

private:
    Node* Find(const QStringList& path) const;
    void Load();

    QString filePath_;
    LoadState state_ = LoadState::NoFile;
    QString errorText_;
    std::unique_ptr<Node> root_;
};

} // namespace plat

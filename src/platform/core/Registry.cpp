#include "platform/core/Registry.h"

#include "platform/core/Convert.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <vector>

namespace plat {

struct Registry::Node {
    struct Value {
        QString name;
        bool binary = false;
        QString text;
        QByteArray bytes;
    };

    QString name;
    std::vector<Value> values;
    std::vector<std::unique_ptr<Node>> children;

    static bool SameName(QStringView a, QStringView b) {
        return a.compare(b, Qt::CaseInsensitive) == 0;
    }

    Node* Child(QStringView childName) const {
        for (const auto& child : children) {
            if (SameName(child->name, childName)) {
                return child.get();
            }
        }
        return nullptr;
    }

    Node* ChildOrNew(const QString& childName) {
        if (Node* existing = Child(childName)) {
            return existing;
        }
        children.push_back(std::make_unique<Node>());
        children.back()->name = childName;
        return children.back().get();
    }

    const Value* FindValue(QStringView valueName) const {
        for (const Value& value : values) {
            if (SameName(value.name, valueName)) {
                return &value;
            }
        }
        return nullptr;
    }

    // Replaces the data of an existing value (keeping its spelling) or appends.
    Value& ValueOrNew(const QString& valueName) {
        for (Value& value : values) {
            if (SameName(value.name, valueName)) {
                return value;
            }
        }
        values.push_back(Value{valueName, false, {}, {}});
        return values.back();
    }
};

namespace {

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView TrimBlanks(QStringView s) {
    while (!s.isEmpty() && IsBlank(s.front())) {
        s = s.sliced(1);
    }
    while (!s.isEmpty() && IsBlank(s.back())) {
        s.chop(1);
    }
    return s;
}

bool IsControl(char16_t c) {
    return c < 0x20 || c == 0x7F;
}

bool NameCharNeedsEscape(char16_t c) {
    switch (c) {
    case u'%':
    case u'/':
    case u'\\':
    case u'=':
    case u';':
    case u'#':
    case u'[':
    case u']':
        return true;
    default:
        return IsControl(c);
    }
}

// Percent-escapes the characters `special` selects, and blanks at either end.
template <typename Pred>
QString Escape(const QString& s, Pred special, bool escapeLeadingAt) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        const bool atEdge = i == 0 || i == s.size() - 1;
        if (special(c) || (atEdge && IsBlank(QChar(c))) ||
            (i == 0 && escapeLeadingAt && c == u'@')) {
            out += u'%';
            out += QString::number(c, 16).toUpper().rightJustified(2, u'0');
        } else {
            out += QChar(c);
        }
    }
    return out;
}

QString EscapeName(const QString& s) {
    return Escape(s, NameCharNeedsEscape, false);
}

QString EscapeText(const QString& s) {
    return Escape(
        s, [](char16_t c) { return c == u'%' || IsControl(c); }, true);
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

// Undoes Escape. Only ASCII characters are ever escaped.
std::optional<QString> Unescape(QStringView s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size()) {
            return std::nullopt;
        }
        const int high = HexDigit(s[i + 1]);
        const int low = HexDigit(s[i + 2]);
        if (high < 0 || low < 0 || high > 7) {
            return std::nullopt;
        }
        out += QChar(static_cast<char16_t>(high * 16 + low));
        i += 2;
    }
    return out;
}

std::optional<QByteArray> ParseHex(QStringView s) {
    if (s.size() % 2 != 0) {
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.reserve(s.size() / 2);
    for (qsizetype i = 0; i < s.size(); i += 2) {
        const int high = HexDigit(s[i]);
        const int low = HexDigit(s[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.append(static_cast<char>(high * 16 + low));
    }
    return bytes;
}

constexpr QStringView kHexPrefix = u"@hex:";

// A section header "[a/b]" makes `current` the key it names under `root`,
// made as needed. Returns what is wrong with the line, nullptr when nothing.
const char* ParseSection(QStringView line, auto& root, auto*& current) {
    if (!line.endsWith(u']') || line.size() < 3) {
        return "bad section header";
    }
    current = &root;
    for (QStringView segment : line.sliced(1, line.size() - 2).split(u'/')) {
        const auto name = Unescape(segment);
        if (!name || name->isEmpty()) {
            return "bad key name";
        }
        current = current->ChildOrNew(*name);
    }
    return nullptr;
}

// A value line "name=data" sets the value of `key`: binary data after "@hex:",
// text otherwise. Returns what is wrong with the line, nullptr when nothing.
const char* ParseValue(QStringView line, auto& key) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) {
        return "not a value";
    }
    const auto name = Unescape(TrimBlanks(line.first(eq)));
    if (!name) {
        return "bad value name";
    }
    const QStringView data = TrimBlanks(line.sliced(eq + 1));
    auto& value = key.ValueOrNew(*name);
    if (data.startsWith(u'@')) {
        const auto bytes =
            data.startsWith(kHexPrefix) ? ParseHex(data.sliced(kHexPrefix.size())) : std::nullopt;
        if (!bytes) {
            return "bad binary value";
        }
        value.binary = true;
        value.bytes = *bytes;
        value.text.clear();
        return nullptr;
    }
    const auto decoded = Unescape(data);
    if (!decoded) {
        return "bad text value";
    }
    value.binary = false;
    value.text = *decoded;
    value.bytes.clear();
    return nullptr;
}

// Parses the file text into `root`; returns an error text, empty on success.
QString Parse(const QString& text, auto& root) {
    auto* current = &root;
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QStringView line = lines[n];
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        line = TrimBlanks(line);
        if (line.isEmpty() || line.front() == u';' || line.front() == u'#') {
            continue;
        }
        const char* problem =
            line.front() == u'[' ? ParseSection(line, root, current) : ParseValue(line, *current);
        if (problem != nullptr) {
            return QStringLiteral("line %1: %2").arg(n + 1).arg(QLatin1String(problem));
        }
    }
    return {};
}

void Serialise(const auto& node, const QString& path, QString& out) {
    if (!path.isEmpty()) {
        if (!out.isEmpty()) {
            out += u'\n';
        }
        out += u'[' + path + QStringLiteral("]\n");
    }
    for (const auto& value : node.values) {
        out += EscapeName(value.name) + u'=';
        if (value.binary) {
            out += kHexPrefix;
            out += QString::fromLatin1(value.bytes.toHex().toUpper());
        } else {
            out += EscapeText(value.text);
        }
        out += u'\n';
    }
    for (const auto& child : node.children) {
        const QString name = EscapeName(child->name);
        Serialise(*child, path.isEmpty() ? name : path + u'/' + name, out);
    }
}

} // namespace

QString Registry::DefaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/ZELVO/Quorvel.ini");
}

QStringList Registry::KeyPath(QStringView path) {
    QStringList segments;
    for (QStringView segment : path.split(u'\\', Qt::SkipEmptyParts)) {
        segments.append(segment.toString());
    }
    if (segments.size() >= 2 && Node::SameName(segments[0], u"Software") &&
        Node::SameName(segments[1], u"ZELVO")) {
        segments.remove(0, 2);
    }
    return segments;
}

Registry::Registry(QString filePath)
    : filePath_(std::move(filePath)), root_(std::make_unique<Node>()) {
    Load();
}

Registry::~Registry() = default;

void Registry::Load() {
    QFile file(filePath_);
    if (!file.exists()) {
        state_ = LoadState::NoFile;
        return;
    }
    QString problem;
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
    } else {
        const QByteArray bytes = file.readAll();
        QStringDecoder decoder(QStringConverter::Utf8);
        const QString text = decoder.decode(bytes);
        if (file.error() != QFileDevice::NoError) {
            problem = file.errorString();
        } else if (decoder.hasError()) {
            problem = QStringLiteral("not UTF-8 text");
        } else {
            problem = Parse(text, *root_);
        }
    }
    if (problem.isEmpty()) {
        state_ = LoadState::Loaded;
        return;
    }
    root_ = std::make_unique<Node>();
    state_ = LoadState::Unreadable;
    errorText_ = QStringLiteral("The settings file %1 could not be read (%2); it is left unchanged")
                     .arg(filePath_, problem);
}

bool Registry::Save() {
    if (state_ == LoadState::Unreadable) {
        return false;
    }
    QString text;
    Serialise(*root_, QString(), text);
    // A first value whose name begins with U+FEFF (a hand-edited file) would
    // start the file with it, and the next load would take it for a
    // byte-order mark and drop it: an empty line keeps it a character.
    if (text.startsWith(QChar(0xFEFF))) {
        text.prepend(u'\n');
    }

    const QFileInfo info(filePath_);
    const QString folder = info.absolutePath();
    if (!QFileInfo::exists(folder)) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (!QDir().mkpath(parent) ||
            !QDir().mkdir(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner)) {
            errorText_ = QStringLiteral("Cannot create the folder %1").arg(folder);
            return false;
        }
    }
    QSaveFile file(filePath_);
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(ownerOnly) ||
        file.write(text.toUtf8()) < 0 || !file.commit()) {
        errorText_ = QStringLiteral("Cannot write the settings file %1: %2")
                         .arg(filePath_, file.errorString());
        return false;
    }
    errorText_.clear();
    state_ = LoadState::Loaded;
    return true;
}

// ---------------------------------------------------------------------------
// Keys

Registry::Node* Registry::Find(const QStringList& path) const {
    Node* node = root_.get();
    for (const QString& segment : path) {
        node = segment.isEmpty() ? nullptr : node->Child(segment);
        if (node == nullptr) {
            return nullptr;
        }
    }
    return node;
}

std::optional<Registry::Key> Registry::OpenKey(const QStringList& path, bool canCreate) {
    Node* node = root_.get();
    for (const QString& segment : path) {
        if (segment.isEmpty()) {
            return std::nullopt;
        }
        node = canCreate ? node->ChildOrNew(segment) : node->Child(segment);
        if (node == nullptr) {
            return std::nullopt;
        }
    }
    return Key(this, path);
}

bool Registry::KeyExists(const QStringList& path) const {
    return Find(path) != nullptr;
}

bool Registry::DeleteKey(const QStringList& path) {
    if (path.isEmpty()) {
        return false;
    }
    Node* parent = Find(path.first(path.size() - 1));
    if (parent == nullptr) {
        return false;
    }
    for (auto it = parent->children.begin(); it != parent->children.end(); ++it) {
        if (Node::SameName((*it)->name, path.back())) {
            parent->children.erase(it);
            return true;
        }
    }
    return false;
}

Registry::Node* Registry::Key::Find() const {
    return registry_->Find(path_);
}

bool Registry::Key::ValueExists(const QString& name) const {
    const Node* node = Find();
    return node != nullptr && node->FindValue(name) != nullptr;
}

std::optional<QString> Registry::Key::ReadString(const QString& name) const {
    const Node* node = Find();
    const Node::Value* value = node != nullptr ? node->FindValue(name) : nullptr;
    if (value == nullptr || value->binary) {
        return std::nullopt;
    }
    return value->text;
}

std::optional<int32_t> Registry::Key::ReadInteger(const QString& name) const {
    const auto text = ReadString(name);
    if (!text) {
        return std::nullopt;
    }
    if (const auto value = TryStrToInt(*text)) {
        return value;
    }
    // A DWORD above the signed range, written as unsigned decimal.
    const auto wide = TryStrToInt64(*text);
    if (wide && *wide >= 0 && *wide <= 0xFFFFFFFFLL) {
        return static_cast<int32_t>(static_cast<uint32_t>(*wide));
    }
    return std::nullopt;
}

std::optional<bool> Registry::Key::ReadBool(const QString& name) const {
    const auto value = ReadInteger(name);
    if (!value) {
        return std::nullopt;
    }
    return *value != 0;
}

std::optional<QByteArray> Registry::Key::ReadBinary(const QString& name) const {
    const Node* node = Find();
    const Node::Value* value = node != nullptr ? node->FindValue(name) : nullptr;
    if (value == nullptr || !value->binary) {
        return std::nullopt;
    }
    return value->bytes;
}

bool Registry::Key::WriteString(const QString& name, const QString& value) {
    Node* node = Find();
    if (node == nullptr) {
        return false;
    }
    Node::Value& slot = node->ValueOrNew(name);
    slot.binary = false;
    slot.text = value;
    slot.bytes.clear();
    return true;
}

bool Registry::Key::WriteInteger(const QString& name, int32_t value) {
    return WriteString(name, QString::number(value));
}

bool Registry::Key::WriteBool(const QString& name, bool value) {
    return WriteInteger(name, value ? 1 : 0);
}

bool Registry::Key::WriteBinary(const QString& name, const QByteArray& value) {
    Node* node = Find();
    if (node == nullptr) {
        return false;
    }
    Node::Value& slot = node->ValueOrNew(name);
    slot.binary = true;
    slot.text.clear();
    slot.bytes = value;
    return true;
}

bool Registry::Key::DeleteValue(const QString& name) {
    Node* node = Find();
    if (node == nullptr) {
        return false;
    }
    for (auto it = node->values.begin(); it != node->values.end(); ++it) {
        if (Node::SameName(it->name, name)) {
            node->values.erase(it);
            return true;
        }
    }
    return false;
}

QStringList Registry::Key::ValueNames() const {
    QStringList names;
    if (const Node* node = Find()) {
        for (const Node::Value& value : node->values) {
            names.append(value.name);
        }
    }
    return names;
}

QStringList Registry::Key::SubKeyNames() const {
    QStringList names;
    if (const Node* node = Find()) {
        for (const auto& child : node->children) {
            names.append(child->name);
        }
    }
    return names;
}

} // namespace plat

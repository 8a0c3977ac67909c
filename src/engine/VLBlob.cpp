#include "engine/VLBlob.h"

#include "platform/core/Cp1252.h"
#include "platform/core/Exception.h"
#include "platform/core/Format.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <vector>

namespace {

// Reads fields from received data. A field that the data does not hold in
// full reads as zero or empty and consumes what is left; nothing is ever read
// past the end.
class FieldReader {
public:
    FieldReader(const QByteArray& data, qsizetype offset)
        : data_(data), pos_(std::min(offset, data.size())) {}

    void Skip(qsizetype count) { pos_ = std::min(pos_ + count, data_.size()); }
    uint8_t Byte() {
        if (pos_ >= data_.size()) {
            return 0;
        }
        return static_cast<uint8_t>(data_[pos_++]);
    }
    uint32_t BigEndian32() {
        if (data_.size() - pos_ < 4) {
            pos_ = data_.size();
            return 0;
        }
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value = (value << 8) | static_cast<uint8_t>(data_[pos_++]);
        }
        return value;
    }
    // Up to count bytes: fewer when the data ends sooner.
    QByteArray Bytes(uint32_t count) {
        const qsizetype n = std::min<qsizetype>(count, data_.size() - pos_);
        QByteArray result = data_.mid(pos_, n);
        pos_ += n;
        return result;
    }

private:
    const QByteArray& data_;
    qsizetype pos_;
};

void AppendBigEndian32(QByteArray& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.append(static_cast<char>((value >> shift) & 0xFF));
    }
}

// Received data of a private message starts with one extra zero byte, and so
// does the data written for one.
qsizetype ReadOffset(int kind) {
    return kind == BlobKind::ServerPrivateMessage ? 1 : 0;
}

QByteArray WritePrefix(int kind) {
    return kind == BlobKind::ClientPrivateMessage ? QByteArray(1, '\0') : QByteArray();
}

const char* const kBreeds[] = {"corlan", "thessik", "miravel", "grulk"};
const char* const kGenders[] = {"neuter", "male", "female"};

template <size_t N>
QByteArray NameOfCode(const char* const (&names)[N], uint8_t code) {
    return code >= 1 && code <= N ? QByteArray(names[code - 1]) : QByteArray();
}

template <size_t N>
uint8_t CodeOfName(const char* const (&names)[N], const QByteArray& name) {
    const QByteArray lower = name.toLower();
    for (size_t i = 0; i < N; ++i) {
        if (lower == names[i]) {
            return static_cast<uint8_t>(i + 1);
        }
    }
    return 0;
}

std::vector<TBlobClass>& Registry() {
    static std::vector<TBlobClass> registry = {
        {"TUnknownBlob", &TUnknownBlob::CanHandle,
         [](int kind, const QByteArray& data) -> std::unique_ptr<TBlob> {
             return TUnknownBlob::CreateFromData(kind, data);
         }},
        {"TItemBlob", &TItemBlob::CanHandle,
         [](int kind, const QByteArray& data) -> std::unique_ptr<TBlob> {
             return TItemBlob::CreateFromData(kind, data);
         }},
        {"TTextBlob", &TTextBlob::CanHandle,
         [](int kind, const QByteArray& data) -> std::unique_ptr<TBlob> {
             return TTextBlob::CreateFromData(kind, data);
         }},
        {"TVoiceBlob", &TVoiceBlob::CanHandle,
         [](int kind, const QByteArray& data) -> std::unique_ptr<TBlob> {
             return TVoiceBlob::CreateFromData(kind, data);
         }},
    };
    return registry;
}

} // namespace

// --- TBlob -----------------------------------------------------------------

void RegisterBlobClass(const TBlobClass& blobClass) {
    Registry().push_back(blobClass);
}

std::unique_ptr<TBlob> TBlob::CreateBlob(int kind, const QByteArray& data) {
    if (data.isEmpty() || (data.size() == 1 && data[0] == '\0')) {
        return nullptr;
    }
    const std::vector<TBlobClass>& registry = Registry();
    for (auto it = registry.rbegin(); it != registry.rend(); ++it) {
        if (it->canHandle(kind, data)) {
            return it->createFromData(kind, data);
        }
    }
    return nullptr;
}

void TBlob::Assign(const TBlob& source) {
    ThrowAssignError(source);
}

void TBlob::ThrowAssignError(const TBlob& source) const {
    throw plat::EConvertError(
        plat::Format("Object of class %s cannot be assigned to object of class %s",
                     source.ClassName(), ClassName()));
}

// --- TUnknownBlob ----------------------------------------------------------

bool TUnknownBlob::CanHandle(int, const QByteArray&) {
    return true;
}

std::unique_ptr<TUnknownBlob> TUnknownBlob::CreateFromData(int, const QByteArray& data) {
    auto blob = std::make_unique<TUnknownBlob>();
    blob->data_ = data;
    return blob;
}

QByteArray TUnknownBlob::SaveToVariant(int) const {
    return data_;
}

// --- TItemBlob -------------------------------------------------------------
// 00, Id1 (BE32), Id2 (BE32), 00 00 00, Value, 00 00 00 00: 17 bytes.

bool TItemBlob::CanHandle(int kind, const QByteArray& data) {
    if (kind == BlobKind::ServerPrivateMessage) {
        return data.size() == 18;
    }
    return data.size() == 17 &&
           (kind == BlobKind::ServerPrivateGroupMessage || kind == BlobKind::ServerGroupMessage);
}

std::unique_ptr<TItemBlob> TItemBlob::CreateFromData(int kind, const QByteArray& data) {
    auto blob = std::make_unique<TItemBlob>();
    FieldReader in(data, ReadOffset(kind));
    in.Skip(1);
    blob->id1_ = in.BigEndian32();
    blob->id2_ = in.BigEndian32();
    in.Skip(3);
    blob->value_ = in.Byte();
    return blob;
}

QByteArray TItemBlob::SaveToVariant(int kind) const {
    QByteArray out = WritePrefix(kind);
    out.append('\0');
    AppendBigEndian32(out, id1_);
    AppendBigEndian32(out, id2_);
    out.append(3, '\0');
    out.append(static_cast<char>(value_));
    out.append(4, '\0');
    return out;
}

void TItemBlob::Assign(const TBlob& source) {
    const auto* item = dynamic_cast<const TItemBlob*>(&source);
    if (item == nullptr) {
        ThrowAssignError(source);
    }
    id1_ = item->id1_;
    id2_ = item->id2_;
    value_ = item->value_;
}

// --- TTextBlob -------------------------------------------------------------
// 00, marker 50000 (BE32), Value (BE32), 00 00 00 00, length N (BE32), N bytes.

bool TTextBlob::CanHandle(int kind, const QByteArray& data) {
    const qsizetype offset = ReadOffset(kind);
    if (data.size() < offset + 5) {
        return false;
    }
    FieldReader in(data, offset + 1);
    return in.BigEndian32() == Marker;
}

std::unique_ptr<TTextBlob> TTextBlob::CreateFromData(int kind, const QByteArray& data) {
    auto blob = std::make_unique<TTextBlob>();
    FieldReader in(data, ReadOffset(kind));
    in.Skip(1 + 4);
    blob->value_ = static_cast<int32_t>(in.BigEndian32());
    in.Skip(4);
    // The length is unsigned and only as good as the bytes that follow it.
    const uint32_t length = in.BigEndian32();
    blob->text_ = in.Bytes(length);
    return blob;
}

QByteArray TTextBlob::SaveToVariant(int kind) const {
    QByteArray out = WritePrefix(kind);
    out.append('\0');
    AppendBigEndian32(out, Marker);
    AppendBigEndian32(out, static_cast<uint32_t>(value_));
    out.append(4, '\0');
    AppendBigEndian32(out, static_cast<uint32_t>(text_.size()));
    out.append(text_);
    return out;
}

void TTextBlob::Assign(const TBlob& source) {
    const auto* text = dynamic_cast<const TTextBlob*>(&source);
    if (text == nullptr) {
        ThrowAssignError(source);
    }
    text_ = text->text_;
    value_ = text->value_;
}

// --- TVoiceBlob ------------------------------------------------------------
// 01, breed code, gender code, 00, L1, Text1, 00, L2, Text2.

bool TVoiceBlob::CanHandle(int kind, const QByteArray& data) {
    const qsizetype offset = ReadOffset(kind);
    return data.size() > offset && data[offset] == '\x01';
}

std::unique_ptr<TVoiceBlob> TVoiceBlob::CreateFromData(int kind, const QByteArray& data) {
    auto blob = std::make_unique<TVoiceBlob>();
    FieldReader in(data, ReadOffset(kind));
    in.Skip(1);
    blob->breed_ = NameOfCode(kBreeds, in.Byte());
    blob->gender_ = NameOfCode(kGenders, in.Byte());
    in.Skip(1);
    blob->text1_ = in.Bytes(in.Byte());
    in.Skip(1);
    blob->text2_ = in.Bytes(in.Byte());
    return blob;
}

QByteArray TVoiceBlob::SaveToVariant(int kind) const {
    const QByteArray text1 = text1_.left(255);
    const QByteArray text2 = text2_.left(255);
    QByteArray out = WritePrefix(kind);
    out.append('\x01');
    out.append(static_cast<char>(CodeOfName(kBreeds, breed_)));
    out.append(static_cast<char>(CodeOfName(kGenders, gender_)));
    out.append('\0');
    out.append(static_cast<char>(text1.size()));
    out.append(text1);
    out.append('\0');
    out.append(static_cast<char>(text2.size()));
    out.append(text2);
    return out;
}

void TVoiceBlob::Assign(const TBlob& source) {
    const auto* voice = dynamic_cast<const TVoiceBlob*>(&source);
    if (voice == nullptr) {
        ThrowAssignError(source);
    }
    breed_ = voice->breed_;
    gender_ = voice->gender_;
    text1_ = voice->text1_;
    text2_ = voice->text2_;
}

namespace {

// A part of a file name that keeps the name inside its folder: no separator,
// no "..", no NUL or other control character.
bool IsSafeNamePart(const QString& part) {
    if (part.contains(u'/') || part.contains(u'\\') || part.contains(u"..")) {
        return false;
    }
    return std::none_of(part.begin(), part.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return u < 0x20 || (u >= 0x7F && u <= 0x9F);
    });
}

} // namespace

bool TVoiceBlob::GetSoundFile(const QString& baseFolder, QString& fileName) const {
    const QString breed = plat::FromCp1252(breed_);
    const QString gender = plat::FromCp1252(gender_);
    const QString text1 = plat::FromCp1252(text1_);
    const QString text2 = plat::FromCp1252(text2_);
    const bool breedOk = IsSafeNamePart(breed);
    const bool genderOk = IsSafeNamePart(gender);
    const bool text1Ok = IsSafeNamePart(text1);
    const bool text2Ok = IsSafeNamePart(text2);

    const QString suffix = QStringLiteral("_01.wav");
    QStringList candidates;
    if (breedOk && genderOk && text1Ok && text2Ok) {
        candidates << breed + u'_' + gender + u'_' + text1 + u'_' + text2 + suffix;
    }
    if (breedOk && genderOk && text2Ok) {
        candidates << breed + u'_' + gender + u'_' + text2 + suffix;
    }
    if (genderOk && text2Ok) {
        candidates << gender + u'_' + text2 + suffix;
    }
    if (text2Ok) {
        candidates << text2 + suffix;
    }
    if (candidates.isEmpty()) {
        return false;
    }

    QString folder = baseFolder;
    if (!folder.endsWith(u'/')) {
        folder += u'/';
    }
    folder += QString::fromLatin1(SoundFolder);

    // The game's files may be named in any letter case: list the folder once
    // and match names exactly first, then without regard to case.
    const QStringList present =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    const QSet<QString> exact(present.begin(), present.end());
    QHash<QString, QString> folded;
    for (const QString& name : present) {
        folded.insert(name.toCaseFolded(), name);
    }
    for (const QString& candidate : candidates) {
        if (exact.contains(candidate)) {
            fileName = folder + candidate;
            return true;
        }
        const auto it = folded.constFind(candidate.toCaseFolded());
        if (it != folded.constEnd()) {
            fileName = folder + *it;
            return true;
        }
    }
    return false;
}

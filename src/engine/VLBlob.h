#pragma once

#include "engine/VLChatPacket.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

// Which packet attachment data belongs to: the packet's row in the server
// table when reading, in the client table when writing. The private-message
// rows carry one extra zero byte in front of the attachment.
namespace BlobKind {
inline constexpr int ServerPrivateMessage = spMessagePrivate;           // 8
inline constexpr int ServerPrivateGroupMessage = spPrivategroupMessage; // 19
inline constexpr int ServerGroupMessage = spGroupMessage;               // 22
inline constexpr int ClientPrivateMessage = cpMessagePrivate;           // 3
inline constexpr int ClientPrivateGroupMessage = cpPrivategroupMessage; // 12
inline constexpr int ClientGroupMessage = cpGroupMessage;               // 14
} // namespace BlobKind
static_assert(BlobKind::ServerPrivateMessage == 8 && BlobKind::ServerPrivateGroupMessage == 19 &&
              BlobKind::ServerGroupMessage == 22 && BlobKind::ClientPrivateMessage == 3 &&
              BlobKind::ClientPrivateGroupMessage == 12 && BlobKind::ClientGroupMessage == 14);

// An attachment of a private, private-group or group message.
class TBlob {
public:
    TBlob() = default;
    virtual ~TBlob() = default;
    TBlob(const TBlob&) = delete;
    TBlob& operator=(const TBlob&) = delete;

    // The attachment for received data, or none for empty data and for the
    // single byte 0 that a message without attachment carries. The registered
    // classes are asked from the last registered to the first.
    static std::unique_ptr<TBlob> CreateBlob(int kind, const QByteArray& data);

    // The data for an outgoing packet of the given client-table row.
    virtual QByteArray SaveToVariant(int kind) const = 0;
    // Copies the fields of a source of the same class; any other combination
    // raises EConvertError and leaves this attachment unchanged.
    virtual void Assign(const TBlob& source);
    virtual const char* ClassName() const = 0;

protected:
    [[noreturn]] void ThrowAssignError(const TBlob& source) const;
};

// One attachment class as the factory knows it.
struct TBlobClass {
    const char* name;
    bool (*canHandle)(int kind, const QByteArray& data);
    std::unique_ptr<TBlob> (*createFromData)(int kind, const QByteArray& data);
};

// Appends a class to the factory's registry, which starts with TUnknownBlob,
// TItemBlob, TTextBlob and TVoiceBlob in this order.
void RegisterBlobClass(const TBlobClass& blobClass);

// Anything the other classes do not recognise; the data is kept unchanged.
class TUnknownBlob : public TBlob {
public:
    static bool CanHandle(int kind, const QByteArray& data);
    static std::unique_ptr<TUnknownBlob> CreateFromData(int kind, const QByteArray& data);

    QByteArray SaveToVariant(int kind) const override;
    const char* ClassName() const override { return "TUnknownBlob"; }

    const QByteArray& Data() const { return data_; }
    void SetData(const QByteArray& value) { data_ = value; }

private:
    QByteArray data_;
};

// A reference to a game item.
class TItemBlob : public TBlob {
public:
    static bool CanHandle(int kind, const QByteArray& data);
    static std::unique_ptr<TItemBlob> CreateFromData(int kind, const QByteArray& data);

    QByteArray SaveToVariant(int kind) const override;
    void Assign(const TBlob& source) override;
    const char* ClassName() const override { return "TItemBlob"; }

    uint32_t Id1() const { return id1_; }
    void SetId1(uint32_t value) { id1_ = value; }
    uint32_t Id2() const { return id2_; }
    void SetId2(uint32_t value) { id2_ = value; }
    uint8_t Value() const { return value_; }
    void SetValue(uint8_t value) { value_ = value; }

private:
    uint32_t id1_ = 0;
    uint32_t id2_ = 0;
    uint8_t value_ = 0;
};

// A text reference.
class TTextBlob : public TBlob {
public:
    // The number in front of a text reference that tells it apart.
    static constexpr uint32_t Marker = 50000;

    static bool CanHandle(int kind, const QByteArray& data);
    static std::unique_ptr<TTextBlob> CreateFromData(int kind, const QByteArray& data);

    QByteArray SaveToVariant(int kind) const override;
    void Assign(const TBlob& source) override;
    const char* ClassName() const override { return "TTextBlob"; }

    const QByteArray& Text() const { return text_; }
    void SetText(const QByteArray& value) { text_ = value; }
    int32_t Value() const { return value_; }
    void SetValue(int32_t value) { value_ = value; }

private:
    QByteArray text_;
    int32_t value_ = 0;
};

// An emote sound: breed and gender of the speaker and two texts naming it.
class TVoiceBlob : public TBlob {
public:
    // The sound folder below the game folder.
    static constexpr const char* SoundFolder = "cd_image/sound/sfx/player/";

    static bool CanHandle(int kind, const QByteArray& data);
    static std::unique_ptr<TVoiceBlob> CreateFromData(int kind, const QByteArray& data);

    // Texts longer than 255 bytes are written cut to 255, so that each length
    // byte matches the bytes that follow it.
    QByteArray SaveToVariant(int kind) const override;
    void Assign(const TBlob& source) override;
    const char* ClassName() const override { return "TVoiceBlob"; }

    // Looks for the sound file under baseFolder, the fullest name first,
    // matching file names without regard to case. Found: sets fileName and
    // returns true. Otherwise fileName keeps its value. Texts that could lead
    // out of the sound folder never become part of a name.
    bool GetSoundFile(const QString& baseFolder, QString& fileName) const;

    const QByteArray& Breed() const { return breed_; }
    void SetBreed(const QByteArray& value) { breed_ = value; }
    const QByteArray& Gender() const { return gender_; }
    void SetGender(const QByteArray& value) { gender_ = value; }
    const QByteArray& Text1() const { return text1_; }
    void SetText1(const QByteArray& value) { text1_ = value; }
    const QByteArray& Text2() const { return text2_; }
    void SetText2(const QByteArray& value) { text2_ = value; }

private:
    QByteArray breed_;
    QByteArray gender_;
    QByteArray text1_;
    QByteArray text2_;
};

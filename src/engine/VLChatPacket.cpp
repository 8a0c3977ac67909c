#include "engine/VLChatPacket.h"

#include "platform/core/Format.h"

#include <QString>

#include <cstring>

namespace {

[[noreturn]] void ThrowReadError() {
    throw plat::EReadError(QStringLiteral("Stream read error"));
}

[[noreturn]] void ThrowTooLarge(qsizetype length) {
    throw EPacketTooLarge(plat::Format("Packet too large: %d bytes", int64_t{length}));
}

QString LetterText(char letter) {
    return QString(QChar::fromLatin1(letter));
}

// Reads big-endian values from a body. Every read is checked against the
// bytes that remain; a short body raises the stream read error.
class BodyReader {
public:
    explicit BodyReader(QByteArrayView body)
        : data_(reinterpret_cast<const uint8_t*>(body.data())), size_(body.size()) {}

    qsizetype Remaining() const { return size_ - pos_; }

    uint16_t ReadU16() {
        Need(2);
        const uint16_t v = static_cast<uint16_t>((data_[pos_] << 8) | data_[pos_ + 1]);
        pos_ += 2;
        return v;
    }

    int32_t ReadI32() {
        Need(4);
        const uint32_t v = (uint32_t{data_[pos_]} << 24) | (uint32_t{data_[pos_ + 1]} << 16) |
                           (uint32_t{data_[pos_ + 2]} << 8) | uint32_t{data_[pos_ + 3]};
        pos_ += 4;
        return static_cast<int32_t>(v);
    }

    // n bytes, cut at the first NUL.
    QByteArray ReadText(qsizetype n) {
        Need(n);
        if (n == 0) {
            return {};
        }
        const char* p = reinterpret_cast<const char*>(data_ + pos_);
        const void* nul = std::memchr(p, 0, static_cast<size_t>(n));
        const qsizetype kept = nul ? static_cast<const char*>(nul) - p : n;
        pos_ += n;
        return QByteArray(p, kept);
    }

    QByteArray ReadBytes(qsizetype n) {
        Need(n);
        QByteArray out(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return out;
    }

    void ReadRaw(uint8_t* out, qsizetype n) {
        Need(n);
        std::memcpy(out, data_ + pos_, static_cast<size_t>(n));
        pos_ += n;
    }

    // Checks that count elements of at least minSize bytes each can remain,
    // before anything is allocated for them.
    void NeedElements(qsizetype count, qsizetype minSize) { Need(count * minSize); }

private:
    void Need(qsizetype n) const {
        if (n > Remaining()) {
            ThrowReadError();
        }
    }

    const uint8_t* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
};

TPacketArg ReadArg(BodyReader& in, char letter) {
    switch (letter) {
    case 'I':
        return TPacketArg::Int(in.ReadI32());
    case 'S':
        return TPacketArg::Text(in.ReadText(in.ReadU16()));
    case 'D':
        return TPacketArg::Data(in.ReadBytes(in.ReadU16()));
    case 'G': {
        TGroupId id{};
        in.ReadRaw(id.data(), static_cast<qsizetype>(id.size()));
        return TPacketArg::Group(id);
    }
    case 'i': {
        const qsizetype count = in.ReadU16();
        in.NeedElements(count, 4);
        QList<int32_t> list;
        list.reserve(count);
        for (qsizetype k = 0; k < count; ++k) {
            list.append(in.ReadI32());
        }
        return TPacketArg::IntList(std::move(list));
    }
    case 's': {
        const qsizetype count = in.ReadU16();
        in.NeedElements(count, 2);
        QList<QByteArray> list;
        list.reserve(count);
        for (qsizetype k = 0; k < count; ++k) {
            list.append(in.ReadText(in.ReadU16()));
        }
        return TPacketArg::TextList(std::move(list));
    }
    default:
        throw plat::Exception(plat::Format("Logic error, bad param type %s.", LetterText(letter)));
    }
}

void PutU16(char*& out, qsizetype v) {
    *out++ = static_cast<char>((v >> 8) & 0xFF);
    *out++ = static_cast<char>(v & 0xFF);
}

void PutI32(char*& out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    *out++ = static_cast<char>(u >> 24);
    *out++ = static_cast<char>((u >> 16) & 0xFF);
    *out++ = static_cast<char>((u >> 8) & 0xFF);
    *out++ = static_cast<char>(u & 0xFF);
}

void PutBytes(char*& out, const QByteArray& bytes) {
    PutU16(out, bytes.size());
    if (!bytes.isEmpty()) {
        std::memcpy(out, bytes.constData(), static_cast<size_t>(bytes.size()));
        out += bytes.size();
    }
}

qsizetype CheckedOutgoing(qsizetype length) {
    if (length > kMaxOutgoingLength) {
        ThrowTooLarge(length);
    }
    return length;
}

const TPacketArg& ArgAt(const TPacketArgs& args, qsizetype n) {
    if (n >= args.size()) {
        plat::ThrowListIndexError(n);
    }
    return args[n];
}

// The client's own packets never carry lists; a peer writing the server's
// table needs them for the character list.
enum class ListsAllowed { No, Yes };

// Length pass: checks every argument's kind and size before anything is
// allocated.
qsizetype BodyLength(const char* signature, const TPacketArgs& args, ListsAllowed lists) {
    qsizetype length = 0;
    for (qsizetype n = 0; signature[n] != '\0'; ++n) {
        const char letter = signature[n];
        if (lists == ListsAllowed::No && (letter == 'i' || letter == 's')) {
            throw plat::Exception(plat::Format("Unknown param type %s", LetterText(letter)));
        }
        switch (letter) {
        case 'D':
            length += 2 + CheckedOutgoing(ArgAt(args, n).AsData().size());
            break;
        case 'G':
            ArgAt(args, n).AsGroup();
            length += 5;
            break;
        case 'I':
            ArgAt(args, n).AsInt();
            length += 4;
            break;
        case 'S':
            length += 2 + CheckedOutgoing(ArgAt(args, n).AsText().size());
            break;
        case 'i':
            length += 2 + 4 * CheckedOutgoing(ArgAt(args, n).AsIntList().size());
            break;
        case 's': {
            const QList<QByteArray>& texts = ArgAt(args, n).AsTextList();
            length += 2;
            CheckedOutgoing(texts.size());
            for (const QByteArray& text : texts) {
                length += 2 + CheckedOutgoing(text.size());
            }
            break;
        }
        default:
            throw plat::Exception(plat::Format("Unknown param type %s", LetterText(letter)));
        }
    }
    return CheckedOutgoing(length);
}

// Write pass, after BodyLength accepted the arguments.
void WriteBody(char* out, const char* signature, const TPacketArgs& args) {
    for (qsizetype n = 0; signature[n] != '\0'; ++n) {
        const TPacketArg& arg = args[n];
        switch (signature[n]) {
        case 'I':
            PutI32(out, arg.AsInt());
            break;
        case 'S':
            PutBytes(out, arg.AsText());
            break;
        case 'G':
            for (const uint8_t b : arg.AsGroup()) {
                *out++ = static_cast<char>(b);
            }
            break;
        case 'D':
            PutBytes(out, arg.AsData());
            break;
        case 'i':
            PutU16(out, arg.AsIntList().size());
            for (const int32_t v : arg.AsIntList()) {
                PutI32(out, v);
            }
            break;
        case 's':
            PutU16(out, arg.AsTextList().size());
            for (const QByteArray& text : arg.AsTextList()) {
                PutBytes(out, text);
            }
            break;
        default:
            break; // refused by BodyLength
        }
    }
}

QByteArray FrameOf(int32_t type, const char* signature, const TPacketArgs& args,
                   ListsAllowed lists) {
    const qsizetype length = BodyLength(signature, args, lists);
    QByteArray frame(4 + length, Qt::Uninitialized);
    char* out = frame.data();
    PutU16(out, type & 0xFFFF);
    PutU16(out, length);
    WriteBody(out, signature, args);
    return frame;
}

} // namespace

// ---- TPacketArg ----------------------------------------------------------

void TPacketArg::Expect(TArgKind kind) const {
    if (kind_ != kind) {
        throw plat::EConvertError(plat::Format("Argument of kind %s read as kind %s",
                                               LetterText(static_cast<char>(kind_)),
                                               LetterText(static_cast<char>(kind))));
    }
}

TPacketArg TPacketArg::Int(int32_t value) {
    TPacketArg a(TArgKind::Int);
    a.int_ = value;
    return a;
}

TPacketArg TPacketArg::Text(QByteArray text) {
    TPacketArg a(TArgKind::Text);
    a.bytes_ = std::move(text);
    return a;
}

TPacketArg TPacketArg::Group(const TGroupId& id) {
    TPacketArg a(TArgKind::Group);
    a.group_ = id;
    return a;
}

TPacketArg TPacketArg::Data(QByteArray data) {
    TPacketArg a(TArgKind::Data);
    a.bytes_ = std::move(data);
    return a;
}

TPacketArg TPacketArg::IntList(QList<int32_t> list) {
    TPacketArg a(TArgKind::IntList);
    a.ints_ = std::move(list);
    return a;
}

TPacketArg TPacketArg::TextList(QList<QByteArray> list) {
    TPacketArg a(TArgKind::TextList);
    a.texts_ = std::move(list);
    return a;
}

int32_t TPacketArg::AsInt() const {
    Expect(TArgKind::Int);
    return int_;
}

const QByteArray& TPacketArg::AsText() const {
    Expect(TArgKind::Text);
    return bytes_;
}

const TGroupId& TPacketArg::AsGroup() const {
    Expect(TArgKind::Group);
    return group_;
}

const QByteArray& TPacketArg::AsData() const {
    Expect(TArgKind::Data);
    return bytes_;
}

const QList<int32_t>& TPacketArg::AsIntList() const {
    Expect(TArgKind::IntList);
    return ints_;
}

const QList<QByteArray>& TPacketArg::AsTextList() const {
    Expect(TArgKind::TextList);
    return texts_;
}

// ---- TVLChatIncomingPacket -----------------------------------------------

uint8_t TVLChatIncomingPacket::RowOfType(int32_t type) {
    for (size_t row = 0; row < VLServerPackets.size(); ++row) {
        if (VLServerPackets[row].Type == type) {
            return static_cast<uint8_t>(row);
        }
    }
    return spUnknownPacketType;
}

TVLChatIncomingPacket::TVLChatIncomingPacket(int32_t type, QByteArrayView body)
    : index_(RowOfType(type)) {
    if (body.size() > kMaxIncomingBody) {
        ThrowTooLarge(body.size());
    }
    args_ = ReadPacketArgs(Info().Signature, body);
}

const TPacketArg& TVLChatIncomingPacket::Args(qsizetype n) const {
    if (n < 0 || n >= args_.size()) {
        plat::ThrowListIndexError(n);
    }
    return args_[n];
}

// ---- TVLChatOutgoingPacket -----------------------------------------------

TVLChatOutgoingPacket::TVLChatOutgoingPacket(uint8_t index, TPacketArgs args)
    : index_(index), args_(std::move(args)) {
    if (index >= VLClientPackets.size()) {
        plat::ThrowListIndexError(index);
    }
}

const TPacketArg& TVLChatOutgoingPacket::Args(qsizetype n) const {
    if (n < 0 || n >= args_.size()) {
        plat::ThrowListIndexError(n);
    }
    return args_[n];
}

QByteArray TVLChatOutgoingPacket::Serialize() const {
    const qsizetype length = BodyLength(Info().Signature, args_, ListsAllowed::No);
    QByteArray body(length, Qt::Uninitialized);
    WriteBody(body.data(), Info().Signature, args_);
    return body;
}

QByteArray TVLChatOutgoingPacket::Frame() const {
    return FrameOf(Info().Type, Info().Signature, args_, ListsAllowed::No);
}

// ---- signature-driven encoding -------------------------------------------

TPacketArgs ReadPacketArgs(const char* signature, QByteArrayView body) {
    const auto letters = static_cast<qsizetype>(std::strlen(signature));
    TPacketArgs args;
    args.reserve(letters);
    BodyReader in(body);
    for (qsizetype n = 0; n < letters; ++n) {
        args.append(ReadArg(in, signature[n]));
    }
    return args;
}

QByteArray WritePacketFrame(int32_t type, const char* signature, const TPacketArgs& args) {
    return FrameOf(type, signature, args, ListsAllowed::Yes);
}

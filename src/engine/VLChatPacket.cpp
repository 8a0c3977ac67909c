#include "engine/VLChatPacket.h"

#include "platform/core/Format.h"

#include <QString>

#include <cstring>

namespace {

[[noreturn]] void throwReadError() {
    throw plat::EReadError(QStringLiteral("Stream read error"));
}

[[noreturn]] void throwTooLarge(qsizetype length) {
    throw EPacketTooLarge(plat::Format("Packet too large: %d bytes", int64_t{length}));
}

QString letterText(char letter) {
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
        need(2);
        const uint16_t v = static_cast<uint16_t>((data_[pos_] << 8) | data_[pos_ + 1]);
        pos_ += 2;
        return v;
    }

    int32_t ReadI32() {
        need(4);
        const uint32_t v = (uint32_t{data_[pos_]} << 24) | (uint32_t{data_[pos_ + 1]} << 16) |
                           (uint32_t{data_[pos_ + 2]} << 8) | uint32_t{data_[pos_ + 3]};
        pos_ += 4;
        return static_cast<int32_t>(v);
    }

    // n bytes, cut at the first NUL.
    QByteArray ReadText(qsizetype n) {
        need(n);
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
        need(n);
        QByteArray out(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return out;
    }

    void ReadRaw(uint8_t* out, qsizetype n) {
        need(n);
        std::memcpy(out, data_ + pos_, static_cast<size_t>(n));
        pos_ += n;
    }

    // Checks that count elements of at least minSize bytes each can remain,
    // before anything is allocated for them.
    void NeedElements(qsizetype count, qsizetype minSize) { need(count * minSize); }

private:
    void need(qsizetype n) const {
        if (n > Remaining()) {
            throwReadError();
        }
    }

    const uint8_t* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
};

TPacketArg readArg(BodyReader& in, char letter) {
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
        throw plat::Exception(plat::Format("Logic error, bad param type %s.", letterText(letter)));
    }
}

void putU16(char*& out, qsizetype v) {
    *out++ = static_cast<char>((v >> 8) & 0xFF);
    *out++ = static_cast<char>(v & 0xFF);
}

void putI32(char*& out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    *out++ = static_cast<char>(u >> 24);
    *out++ = static_cast<char>((u >> 16) & 0xFF);
    *out++ = static_cast<char>((u >> 8) & 0xFF);
    *out++ = static_cast<char>(u & 0xFF);
}

void putBytes(char*& out, const QByteArray& bytes) {
    putU16(out, bytes.size());
    if (!bytes.isEmpty()) {
        std::memcpy(out, bytes.constData(), static_cast<size_t>(bytes.size()));
        out += bytes.size();
    }
}

qsizetype checkedOutgoing(qsizetype length) {
    if (length > kMaxOutgoingLength) {
        throwTooLarge(length);
    }
    return length;
}

} // namespace

// ---- TPacketArg ----------------------------------------------------------

void TPacketArg::expect(TArgKind kind) const {
    if (kind_ != kind) {
        throw plat::EConvertError(plat::Format("Argument of kind %s read as kind %s",
                                               letterText(static_cast<char>(kind_)),
                                               letterText(static_cast<char>(kind))));
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
    expect(TArgKind::Int);
    return int_;
}

const QByteArray& TPacketArg::AsText() const {
    expect(TArgKind::Text);
    return bytes_;
}

const TGroupId& TPacketArg::AsGroup() const {
    expect(TArgKind::Group);
    return group_;
}

const QByteArray& TPacketArg::AsData() const {
    expect(TArgKind::Data);
    return bytes_;
}

const QList<int32_t>& TPacketArg::AsIntList() const {
    expect(TArgKind::IntList);
    return ints_;
}

const QList<QByteArray>& TPacketArg::AsTextList() const {
    expect(TArgKind::TextList);
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
        throwTooLarge(body.size());
    }
    const char* signature = Info().Signature;
    const auto letters = static_cast<qsizetype>(std::strlen(signature));
    args_.reserve(letters);
    BodyReader in(body);
    for (qsizetype n = 0; n < letters; ++n) {
        args_.append(readArg(in, signature[n]));
    }
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

qsizetype TVLChatOutgoingPacket::bodyLength() const {
    const char* signature = Info().Signature;
    qsizetype length = 0;
    for (qsizetype n = 0; signature[n] != '\0'; ++n) {
        switch (signature[n]) {
        case 'D':
            length += 2 + checkedOutgoing(Args(n).AsData().size());
            break;
        case 'G':
            Args(n).AsGroup();
            length += 5;
            break;
        case 'I':
            Args(n).AsInt();
            length += 4;
            break;
        case 'S':
            length += 2 + checkedOutgoing(Args(n).AsText().size());
            break;
        default:
            throw plat::Exception(plat::Format("Unknown param type %s", letterText(signature[n])));
        }
    }
    return checkedOutgoing(length);
}

void TVLChatOutgoingPacket::writeBody(char* out) const {
    const char* signature = Info().Signature;
    for (qsizetype n = 0; signature[n] != '\0'; ++n) {
        const TPacketArg& arg = args_[n];
        switch (signature[n]) {
        case 'I':
            putI32(out, arg.AsInt());
            break;
        case 'S':
            putBytes(out, arg.AsText());
            break;
        case 'G':
            for (const uint8_t b : arg.AsGroup()) {
                *out++ = static_cast<char>(b);
            }
            break;
        case 'D':
            putBytes(out, arg.AsData());
            break;
        default:
            break; // refused by bodyLength
        }
    }
}

QByteArray TVLChatOutgoingPacket::Serialize() const {
    const qsizetype length = bodyLength();
    QByteArray body(length, Qt::Uninitialized);
    writeBody(body.data());
    return body;
}

QByteArray TVLChatOutgoingPacket::Frame() const {
    const qsizetype length = bodyLength();
    QByteArray frame(4 + length, Qt::Uninitialized);
    char* out = frame.data();
    putU16(out, Info().Type & 0xFFFF);
    putU16(out, length);
    writeBody(out);
    return frame;
}

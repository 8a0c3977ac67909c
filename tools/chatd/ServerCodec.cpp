#include "chatd/ServerCodec.h"

#include "platform/core/Format.h"

namespace chatd {

namespace {

// Rows 1-4 during the login, and the rows of the logged-in state.
constexpr uint32_t kAcceptedRows = 0x1Eu | 0x00DEF9C0u;

} // namespace

QString ClientPacket::Name() const {
    if (Known()) {
        return QString::fromLatin1(VLClientPackets[Row].Name);
    }
    return plat::Format("unknown type %d", int{Type});
}

uint8_t ClientRowOfType(int32_t type) {
    for (size_t row = 0; row < VLClientPackets.size(); ++row) {
        if (VLClientPackets[row].Type == type) {
            return static_cast<uint8_t>(row);
        }
    }
    return cpCount;
}

ClientPacket ParseClientPacket(uint16_t type, QByteArrayView body) {
    ClientPacket packet;
    packet.Type = type;
    packet.Row = ClientRowOfType(type);
    if (packet.Known()) {
        packet.Args = ReadPacketArgs(VLClientPackets[packet.Row].Signature, body);
    }
    return packet;
}

bool ClientAcceptsRow(uint8_t serverRow) {
    return serverRow < 32 && (kAcceptedRows & (1u << serverRow)) != 0;
}

QByteArray ServerFrame(TVLServerPacket row, const TPacketArgs& args) {
    if (row >= VLServerPackets.size()) {
        plat::ThrowListIndexError(row);
    }
    if (!ClientAcceptsRow(row)) {
        throw plat::Exception(
            plat::Format("The client never accepts \"%s\"", VLServerPackets[row].Name));
    }
    const TPacketInfo& info = VLServerPackets[row];
    QByteArray frame = WritePacketFrame(info.Type, info.Signature, args);
    if (frame.size() - 4 > kMaxIncomingBody) {
        throw EPacketTooLarge(
            plat::Format("Packet too large: %d bytes", int64_t{frame.size() - 4}));
    }
    return frame;
}

} // namespace chatd

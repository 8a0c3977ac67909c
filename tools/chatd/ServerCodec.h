#pragma once

// The service's side of the packet framing: it reads packets of the client
// table and writes packets of the server table, with the same argument
// encoding the client uses.

#include "engine/VLChatPacket.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace chatd {

// A packet received from a client.
struct ClientPacket {
    // The client-table row (a TVLClientPacket value), or cpCount for a type
    // number no row has.
    uint8_t Row = cpCount;
    uint16_t Type = 0;
    TPacketArgs Args;

    bool Known() const { return Row < cpCount; }
    // The row's name, or "unknown type %d" for an unknown type number.
    QString Name() const;
};

// The client-table row of a type number, or cpCount when no row has it.
uint8_t ClientRowOfType(int32_t type);

// Parses a body received from a client. An unknown type number gives a
// packet with no arguments. Raises as ReadPacketArgs for a body that does not
// hold its arguments (and for the list row, whose body is read like any other).
ClientPacket ParseClientPacket(uint16_t type, QByteArrayView body);

// True for the server rows the client accepts in some state. The others
// ("Unknown Packet Type", "Client Unknown", the vicinity messages,
// "Privategroup Part", "Group Part", "Forward", "Adm Mux Info") are errors at
// the client whenever they arrive, so the service never sends them.
bool ClientAcceptsRow(uint8_t serverRow);

// The frame of a server packet. Raises plat::Exception for a row the client
// never accepts, EPacketTooLarge for a body above what the client receives
// (kMaxIncomingBody), and as WritePacketFrame for bad arguments.
QByteArray ServerFrame(TVLServerPacket row, const TPacketArgs& args);

} // namespace chatd

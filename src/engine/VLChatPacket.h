#pragma once

// Chat packets: the two packet-type tables, the argument values and the
// classes that parse server packets and serialise client packets.
//
// A frame on the wire is: type (2 bytes, big-endian), body length (2 bytes,
// big-endian), body. The body holds one argument per letter of the row's
// signature, in order, with nothing between or after them:
//   "I" 32-bit signed integer, 4 bytes big-endian
//   "S" text: 2-byte length N, then N bytes
//   "G" group identifier: exactly 5 bytes
//   "D" byte array: 2-byte length N, then N bytes
//   "i" integer list: 2-byte count K, then K integers of 4 bytes
//   "s" text list: 2-byte count K, then K texts (length-prefixed)

#include "platform/core/Exception.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <array>
#include <cstdint>

// A body, text or data too large for the protocol: "Packet too large: %d bytes".
// Raised by the frame reader for a received frame above the receive limit (the
// frame is skipped and the connection goes on) and by serialisation for an
// outgoing body, text or data above 65535 bytes (nothing is sent).
class EPacketTooLarge : public plat::Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EPacketTooLarge"; }
};

// The receive limit: a server packet body, and so each received text, holds at
// most this many bytes.
inline constexpr qsizetype kMaxIncomingBody = 4096;
// The largest outgoing body, text or data: what a 16-bit length field holds.
inline constexpr qsizetype kMaxOutgoingLength = 65535;

struct TPacketInfo {
    int32_t Type;
    const char* Name;
    const char* Signature;
};

// Rows of the server table. The engine refers to packets by row index.
enum TVLServerPacket : uint8_t {
    spUnknownPacketType = 0,
    spLoginSeed,
    spLoginResultOK,
    spLoginResultError,
    spLoginCharacterList,
    spClientUnknown,
    spClientName,
    spLookupResult,
    spMessagePrivate,
    spMessageVicinity,
    spMessageAnonVicinity,
    spMessageSystem,
    spFriendAdded,
    spFriendRemoved,
    spPrivategroupInvited,
    spPrivategroupKicked,
    spPrivategroupPart,
    spPrivategroupClientJoin,
    spPrivategroupClientPart,
    spPrivategroupMessage,
    spGroupJoin,
    spGroupPart,
    spGroupMessage,
    spPong,
    spForward,
    spAdmMuxInfo,
    spCount
};

// Rows of the client table.
enum TVLClientPacket : uint8_t {
    cpLoginResponseGetCharList = 0,
    cpLoginSelectCharacter,
    cpNameLookup,
    cpMessagePrivate,
    cpFriendAdd,
    cpFriendRemove,
    cpOnlinestatusSet,
    cpPrivategroupInvite,
    cpPrivategroupKick,
    cpPrivategroupJoin,
    cpPrivategroupPart,
    cpPrivategroupKickall,
    cpPrivategroupMessage,
    cpGroupDataSet,
    cpGroupMessage,
    cpGroupClientmodeSet,
    cpClientmodeGet,
    cpClientmodeSet,
    cpPing,
    cpCc,
    cpCount
};

// What the server sends. Row 0 stands for every type number no other row has.
inline constexpr std::array<TPacketInfo, spCount> VLServerPackets{{
    {-1, "Unknown Packet Type", ""},
    {0, "Login Seed", "S"},
    {5, "Login Result OK", ""},
    {6, "Login Result Error", "S"},
    {7, "Login CharacterList", "isii"},
    {10, "Client Unknown", "I"},
    {20, "Client Name", "IS"},
    {21, "Lookup Result", "IS"},
    {30, "Message Private", "ISD"},
    {34, "Message Vicinity", "ISD"},
    {35, "Message Anon Vicinity", "SSD"},
    {36, "Message System", "S"},
    {40, "Friend Added", "IID"},
    {41, "Friend Removed", "I"},
    {50, "Privategroup Invited", "I"},
    {51, "Privategroup Kicked", "I"},
    {53, "Privategroup Part", "I"},
    {55, "Privategroup Client Join", "II"},
    {56, "Privategroup Client Part", "II"},
    {57, "Privategroup Message", "IISD"},
    {60, "Group Join", "GSID"},
    {61, "Group Part", "G"},
    {65, "Group Message", "GISD"},
    {100, "Pong", "D"},
    {110, "Forward", "IM"},
    {1100, "Adm Mux Info", "iii"},
}};

// What the client sends.
inline constexpr std::array<TPacketInfo, cpCount> VLClientPackets{{
    {2, "Login Response GetCharList", "ISS"},
    {3, "Login Select Character", "I"},
    {21, "Name Lookup", "S"},
    {30, "Message Private", "ISD"},
    {40, "Friend Add", "ID"},
    {41, "Friend Remove", "I"},
    {42, "Onlinestatus Set", "I"},
    {50, "Privategroup Invite", "I"},
    {51, "Privategroup Kick", "I"},
    {52, "Privategroup Join", "I"},
    {53, "Privategroup Part", "I"},
    {54, "Privategroup Kickall", ""},
    {57, "Privategroup Message", "ISD"},
    {64, "Group Data Set", "GID"},
    {65, "Group Message", "GSD"},
    {66, "Group Clientmode Set", "GIIII"},
    {70, "Clientmode Get", "IG"},
    {71, "Clientmode Set", "IIII"},
    {100, "Ping", "D"},
    {120, "cc", "s"},
}};

// A group identifier: 5 bytes in wire order.
using TGroupId = std::array<uint8_t, 5>;

// The kind of an argument value; each is its signature letter.
enum class TArgKind : char {
    Int = 'I',
    Text = 'S',
    Group = 'G',
    Data = 'D',
    IntList = 'i',
    TextList = 's',
};

// One argument of a packet: a tagged value of one of the six kinds. Texts and
// byte arrays are 8-bit bytes; lists keep wire order. Reading a value as
// another kind raises EConvertError.
class TPacketArg {
public:
    TPacketArg() = default; // integer 0

    static TPacketArg Int(int32_t value);
    static TPacketArg Text(QByteArray text);
    static TPacketArg Group(const TGroupId& id);
    static TPacketArg Data(QByteArray data);
    static TPacketArg IntList(QList<int32_t> list);
    static TPacketArg TextList(QList<QByteArray> list);

    TArgKind Kind() const { return kind_; }

    int32_t AsInt() const;
    const QByteArray& AsText() const;
    const TGroupId& AsGroup() const;
    const QByteArray& AsData() const;
    const QList<int32_t>& AsIntList() const;
    const QList<QByteArray>& AsTextList() const;

    friend bool operator==(const TPacketArg&, const TPacketArg&) = default;

private:
    explicit TPacketArg(TArgKind kind) : kind_(kind) {}
    void Expect(TArgKind kind) const;

    // Only the member of the value's kind is used; the others stay empty
    // (empty Qt containers allocate nothing).
    TArgKind kind_ = TArgKind::Int;
    int32_t int_ = 0;
    TGroupId group_{};
    QByteArray bytes_; // Text and Data
    QList<int32_t> ints_;
    QList<QByteArray> texts_;
};

using TPacketArgs = QList<TPacketArg>;

// The argument encoding by signature, for either direction. The packet
// classes below use it for their own tables; a peer that speaks the other
// side of the protocol uses it for the mirror-image tables.

// Reads one argument per letter of the signature from the body, with the
// checks of TVLChatIncomingPacket (every length against what remains, texts cut
// at the first NUL); bytes after the last argument are ignored. Raises
// EReadError "Stream read error" for a body shorter than its arguments claim
// and plat::Exception "Logic error, bad param type %s." for any other letter.
TPacketArgs ReadPacketArgs(const char* signature, QByteArrayView body);

// The whole frame (type, body length, body) for any of the six letters, "i"
// and "s" included, in one allocation of exactly its length. Raises
// plat::Exception "Unknown param type %s" for any other letter, EPacketTooLarge
// for a text, data, list or body above 65535 bytes or elements, EConvertError
// for an argument of the wrong kind and EListError for a missing argument.
QByteArray WritePacketFrame(int32_t type, const char* signature, const TPacketArgs& args);

// A parsed server packet.
class TVLChatIncomingPacket {
public:
    // Parses a body received with the given type number. The first server row
    // whose type equals the number wins; no match gives row 0 with no
    // arguments and the body is skipped. Bytes after the last argument are
    // ignored.
    // Raises EReadError "Stream read error" when the body is shorter than its
    // arguments claim (no packet results), plat::Exception "Logic error, bad
    // param type %s." for a signature letter that cannot be read (every
    // "Forward" packet), and EPacketTooLarge for a body above the receive limit.
    TVLChatIncomingPacket(int32_t type, QByteArrayView body);

    // Row index in the server table (a TVLServerPacket value).
    uint8_t Index() const { return index_; }
    const TPacketInfo& Info() const { return VLServerPackets[index_]; }
    qsizetype ArgCount() const { return args_.size(); }
    // Argument n (0-based); raises EListError for an index outside the list.
    const TPacketArg& Args(qsizetype n) const;

    // The server row for a type number (0 when no row has it).
    static uint8_t RowOfType(int32_t type);

private:
    uint8_t index_ = spUnknownPacketType;
    TPacketArgs args_;
};

// A client packet to be sent.
class TVLChatOutgoingPacket {
public:
    // Copies the arguments, one per letter of the row's signature. Raises
    // EListError for a row index outside the client table.
    TVLChatOutgoingPacket(uint8_t index, TPacketArgs args);

    // Row index in the client table (a TVLClientPacket value).
    uint8_t Index() const { return index_; }
    const TPacketInfo& Info() const { return VLClientPackets[index_]; }
    const TPacketArgs& Arguments() const { return args_; }
    // Argument n (0-based); raises EListError for an index outside the list.
    const TPacketArg& Args(qsizetype n) const;

    // The body, built in one allocation of exactly its length.
    // Raises plat::Exception "Unknown param type %s" for a letter that cannot
    // be written ("i" and "s" included), EPacketTooLarge for a text, data or
    // body above 65535 bytes, EConvertError for an argument of the wrong kind
    // and EListError for a missing argument.
    QByteArray Serialize() const;
    // The whole frame (type, body length, body) in one allocation of exactly
    // its length, ready to hand to the socket as one unit. Raises as Serialize.
    QByteArray Frame() const;

private:
    uint8_t index_;
    TPacketArgs args_;
};

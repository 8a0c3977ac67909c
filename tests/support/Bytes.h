#pragma once
// Bytes for protocol tests: hexadecimal text and frames of the chat protocol.

#include <QByteArray>

#include <cstdint>

// Bytes from hexadecimal pairs; blanks are skipped: "00 05 00 00".
inline QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

// A frame as it travels: the type and the body length, both 16-bit
// big-endian, then the body as it stands (any length; the length field keeps
// its low 16 bits).
inline QByteArray Frame(uint16_t type, const QByteArray& body) {
    const auto length = static_cast<uint16_t>(body.size());
    const char head[4] = {char(type >> 8), char(type), char(length >> 8), char(length)};
    return QByteArray(head, 4) + body;
}

#pragma once

#include "GoldenRows.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

// Bytes written as a list of numbers.
inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (const int v : values) {
        out.append(static_cast<char>(v));
    }
    return out;
}

inline QByteArray operator+(const QByteArray& a, std::initializer_list<int> b) {
    return a + Bytes(b);
}

// A 32-bit field, least significant byte first.
inline QByteArray U32Bytes(uint32_t v) {
    return Bytes({int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF), int(v >> 24)});
}

// A memory stream open for reading and writing, positioned at its start.
class MemoryStream : public QBuffer {
public:
    explicit MemoryStream(const QByteArray& bytes = {}) {
        setData(bytes);
        open(QIODevice::ReadWrite);
    }
};

// The smallest wave: 8-bit mono PCM at 8000 samples per second, two samples.
inline const QByteArray kMinimalWave = Bytes(
    {0x52, 0x49, 0x46, 0x46, 0x26, 0x00, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6D, 0x74, 0x20,
     0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x40, 0x1F, 0x00, 0x00,
     0x01, 0x00, 0x08, 0x00, 0x64, 0x61, 0x74, 0x61, 0x02, 0x00, 0x00, 0x00, 0x80, 0x80});

// Pseudo-random bytes, the same for every run.
inline QByteArray RandomBytes(qsizetype n, uint32_t seed = 12345) {
    QByteArray out(n, Qt::Uninitialized);
    for (char& c : out) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return out;
}

// A copy in a heap block of exactly the data's size, so that the address
// sanitizer reports any access one byte past it.
inline std::vector<uint8_t> ExactCopy(const QByteArray& bytes) {
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

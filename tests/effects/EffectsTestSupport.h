#pragma once

#include <QByteArray>

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

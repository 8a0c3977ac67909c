#pragma once
// The fuzz input read as a sequence of choices and typed values, so that the
// values written through the settings store reach the numbers text mutation
// rarely makes: the limits of 32 and 64 bits, 0, -1, the screen's range.
//
// Each value is one type byte and what that type takes:
//   0-3  a number of the edge table below (one byte picks it), as an integer;
//   4    a 32-bit integer (four bytes, little-endian);
//   5    a 64-bit number written as text (eight bytes);
//   6    one of the words the caller offers (one byte picks it), as text;
//   7    a Boolean (one byte);
//   8    text (a length byte, then that many bytes as Latin-1);
//   9    binary data (a length byte, then the bytes).
// An input that ends early reads zeros.
#include "platform/core/Registry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

class StoredValueInput {
public:
    StoredValueInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool AtEnd() const { return pos_ >= size_; }

    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    QByteArray Bytes(size_t count) {
        const size_t n = std::min(count, size_ - std::min(pos_, size_));
        QByteArray bytes(reinterpret_cast<const char*>(data_ + pos_), static_cast<qsizetype>(n));
        pos_ += n;
        return bytes;
    }

    int32_t Int32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= uint32_t{Byte()} << (8 * i);
        }
        int32_t result = 0;
        std::memcpy(&result, &value, sizeof result);
        return result;
    }

    int64_t Int64() {
        uint64_t value = 0;
        for (int i = 0; i < 8; ++i) {
            value |= uint64_t{Byte()} << (8 * i);
        }
        int64_t result = 0;
        std::memcpy(&result, &value, sizeof result);
        return result;
    }

    // One of the edge numbers.
    int64_t EdgeNumber() {
        static const int64_t kEdges[] = {0,
                                         -1,
                                         1,
                                         2,
                                         INT32_MIN,
                                         INT32_MAX,
                                         INT32_MIN + 1,
                                         INT32_MAX - 1,
                                         INT64_MIN,
                                         INT64_MAX,
                                         0xFFFFFFFFLL,
                                         0x100000000LL,
                                         -234,
                                         3,
                                         18,
                                         21,
                                         32,
                                         36,
                                         76,
                                         120,
                                         188,
                                         400,
                                         512,
                                         513,
                                         -512,
                                         -513,
                                         2000,
                                         32767,
                                         32768,
                                         -32767,
                                         -32768,
                                         65535,
                                         100000,
                                         1 << 20,
                                         16777215,
                                         16777216,
                                         800,
                                         796,
                                         1920,
                                         -1920};
        return kEdges[Byte() % std::size(kEdges)];
    }

    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[Byte() % items.size()];
    }

    // Writes a value of the type the input picks under `name`.
    void WriteValue(plat::Registry::Key& key, const QString& name, const QStringList& words) {
        switch (Byte() % 10) {
        case 0:
        case 1:
        case 2:
        case 3: {
            const int64_t number = EdgeNumber();
            if (number >= INT32_MIN && number <= INT32_MAX) {
                key.WriteInteger(name, static_cast<int32_t>(number));
            } else {
                key.WriteString(name, QString::number(number));
            }
            break;
        }
        case 4:
            key.WriteInteger(name, Int32());
            break;
        case 5:
            key.WriteString(name, QString::number(Int64()));
            break;
        case 6:
            key.WriteString(name, words.isEmpty() ? QString() : words[Byte() % words.size()]);
            break;
        case 7:
            key.WriteBool(name, (Byte() & 1) != 0);
            break;
        case 8:
            key.WriteString(name, QString::fromLatin1(Bytes(Byte())));
            break;
        default:
            key.WriteBinary(name, Bytes(Byte()));
            break;
        }
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

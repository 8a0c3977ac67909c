#include "engine/ArrStrm.h"

#include "platform/core/Exception.h"

#include <algorithm>
#include <cstring>

TArrayStream::TArrayStream() : storage_(1, '\0') {}

void TArrayStream::GrowZeroed(qsizetype size) {
    // Bytes between the old end and a write beyond it read as zero.
    storage_.append(size - storage_.size(), '\0');
}

qsizetype TArrayStream::Read(void* buffer, qsizetype count) {
    const qsizetype n = std::clamp<qsizetype>(Remaining(), 0, std::max<qsizetype>(count, 0));
    if (n > 0) {
        std::memcpy(buffer, storage_.constData() + position_, static_cast<size_t>(n));
        position_ += n;
    }
    return n;
}

void TArrayStream::ReadBuffer(void* buffer, qsizetype count) {
    if (count < 0 || Remaining() < count) {
        throw plat::EReadError(QStringLiteral("Stream read error"));
    }
    Read(buffer, count);
}

qsizetype TArrayStream::Write(const void* buffer, qsizetype count) {
    if (count <= 0) {
        return 0;
    }
    const qsizetype end = position_ + count;
    if (end > storage_.size()) {
        GrowZeroed(end);
    }
    std::memcpy(storage_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

qsizetype TArrayStream::Seek(qsizetype offset, Origin origin) {
    qsizetype base = 0;
    switch (origin) {
    case Origin::Beginning:
        base = 0;
        break;
    case Origin::Current:
        base = position_;
        break;
    case Origin::End:
        base = storage_.size();
        break;
    }
    position_ = std::max<qsizetype>(base + offset, 0);
    return position_;
}

void TArrayStream::SetSize(qsizetype size) {
    size = std::max<qsizetype>(size, 0);
    if (size > storage_.size()) {
        GrowZeroed(size);
    } else {
        storage_.truncate(size);
    }
    if (position_ > storage_.size()) {
        position_ = storage_.size();
    }
}

void TArrayStream::SetArray(const QByteArray& array) {
    storage_ = array;
    if (position_ > storage_.size()) {
        position_ = storage_.size();
    }
}

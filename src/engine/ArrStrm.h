#pragma once

#include <QByteArray>

#include <cstdint>

// A seekable in-memory byte stream whose storage is a byte array.
//
// A new stream holds one byte of storage (size 1). A write beyond the end
// grows the storage to exactly the end of the write; SetSize resizes the
// storage and pulls the position back to the end when it lay beyond it.
class TArrayStream {
public:
    enum class Origin { Beginning, Current, End };

    TArrayStream();

    // Reads up to count bytes; returns how many were read.
    qsizetype Read(void* buffer, qsizetype count);
    // Reads exactly count bytes or raises EReadError "Stream read error".
    void ReadBuffer(void* buffer, qsizetype count);
    qsizetype Write(const void* buffer, qsizetype count);
    qsizetype Seek(qsizetype offset, Origin origin);

    qsizetype Position() const { return position_; }
    void SetPosition(qsizetype position) { Seek(position, Origin::Beginning); }
    qsizetype Size() const { return storage_.size(); }
    void SetSize(qsizetype size);
    qsizetype Remaining() const { return storage_.size() - position_; }

    const QByteArray& GetArray() const { return storage_; }
    void SetArray(const QByteArray& array);

private:
    void GrowZeroed(qsizetype size);

    QByteArray storage_;
    qsizetype position_ = 0;
};

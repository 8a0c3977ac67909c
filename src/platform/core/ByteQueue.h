#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>

#include <algorithm>

namespace plat {

// Received bytes as a reader takes them: it looks at what has arrived and
// takes from the front what it has used. The client socket is one; a plain
// ByteQueue is another, for code that reads without a connection.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // The bytes received and not yet taken. Valid until the next Consume or
    // until more bytes arrive.
    virtual QByteArrayView Peek() const = 0;
    // Takes up to count bytes from the front (fewer when fewer are there) and
    // returns how many were taken.
    virtual qsizetype Consume(qsizetype count) = 0;
};

// Received bytes waiting to be taken from the front. Taking only moves a read
// position; the taken bytes are dropped when they are the larger part of the
// storage, so that taking many small pieces costs linear time in total.
class ByteQueue final : public ByteSource {
public:
    void Append(QByteArrayView bytes) {
        if (bytes.isEmpty()) {
            return;
        }
        Compact();
        storage_.append(bytes.data(), bytes.size());
    }

    // Appends what the device has ready to read, read straight into the queue.
    void AppendFrom(QIODevice& device) {
        const qint64 ready = device.bytesAvailable();
        if (ready <= 0) {
            return;
        }
        Compact();
        const qsizetype end = storage_.size();
        storage_.resize(end + static_cast<qsizetype>(ready));
        const qint64 got = device.read(storage_.data() + end, ready);
        storage_.resize(end + static_cast<qsizetype>(std::max<qint64>(got, 0)));
    }

    qsizetype Size() const { return storage_.size() - head_; }
    bool IsEmpty() const { return Size() == 0; }

    // Valid until the next Append or Clear: taking bytes leaves the storage alone.
    QByteArrayView Peek() const override {
        return QByteArrayView(storage_.constData() + head_, Size());
    }

    qsizetype Consume(qsizetype count) override {
        const qsizetype n = std::clamp<qsizetype>(count, 0, Size());
        head_ += n;
        return n;
    }

    void Clear() {
        storage_.clear();
        head_ = 0;
    }

private:
    static constexpr qsizetype kCompactAt = 4096;

    // Drops the taken bytes before more are added, when they are all of the
    // storage or the larger part of a large one.
    void Compact() {
        if (head_ == storage_.size()) {
            storage_.resize(0); // everything taken: start over, keeping the capacity
            head_ = 0;
        } else if (head_ >= kCompactAt && head_ * 2 >= storage_.size()) {
            storage_.remove(0, head_);
            head_ = 0;
        }
    }

    QByteArray storage_;
    qsizetype head_ = 0; // first byte not yet taken
};

} // namespace plat

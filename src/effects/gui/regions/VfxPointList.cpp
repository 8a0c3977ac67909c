#include "effects/gui/regions/VfxPointList.h"

#include "effects/core/VfxStreams.h"

#include <QByteArray>
#include <QtEndian>

namespace fx {

uint32_t TVfxPointList::Pack(QPoint point) {
    return (static_cast<uint32_t>(point.x()) << 16) | (static_cast<uint32_t>(point.y()) & 0xFFFF);
}

QPoint TVfxPointList::Unpack(uint32_t entry) {
    return {static_cast<int16_t>(entry >> 16), static_cast<int16_t>(entry & 0xFFFF)};
}

QPoint TVfxPointList::GetPoint(int index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    return Unpack(entries_[static_cast<size_t>(index)]);
}

void TVfxPointList::SetPoint(int index, QPoint point) {
    if (index < 0 || index >= Count()) {
        return;
    }
    entries_[static_cast<size_t>(index)] = Pack(point);
    Changed();
}

void TVfxPointList::AddPoint(QPoint point) {
    entries_.push_back(Pack(point));
    Changed();
}

void TVfxPointList::Delete(int index) {
    if (index < 0 || index >= Count()) {
        return;
    }
    entries_.erase(entries_.begin() + index);
    Changed();
}

void TVfxPointList::Clear() {
    if (entries_.empty()) {
        return;
    }
    entries_.clear();
    Changed();
}

std::vector<QPoint> TVfxPointList::Points() const {
    std::vector<QPoint> points;
    points.reserve(entries_.size());
    for (uint32_t entry : entries_) {
        points.push_back(Unpack(entry));
    }
    return points;
}

void TVfxPointList::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) {
        Changed();
    }
}

void TVfxPointList::Changed() {
    if (updateCount_ < 1 && OnChange) {
        OnChange(this);
    }
}

void TVfxPointList::WriteData(QIODevice& stream) const {
    QByteArray bytes;
    bytes.reserve(4 + 8 * static_cast<qsizetype>(entries_.size()));
    const auto put = [&bytes](int32_t value) {
        char le[4];
        qToLittleEndian(value, le);
        bytes.append(le, 4);
    };
    put(static_cast<int32_t>(2 * entries_.size()));
    for (uint32_t entry : entries_) {
        const QPoint p = Unpack(entry);
        put(p.x());
        put(p.y());
    }
    VfxWriteBuffer(stream, bytes);
}

void TVfxPointList::ReadData(QIODevice& stream) {
    const int32_t count = VfxReadInteger(stream);
    if (count < 0 || count % 2 != 0) {
        VfxThrowReadError();
    }
    // VfxReadBytes refuses a count beyond what the stream holds before it allocates.
    const QByteArray bytes = VfxReadBytes(stream, 4 * static_cast<qint64>(count));
    if (count == 0) {
        return;
    }
    const char* data = bytes.constData();
    BeginUpdate();
    for (int32_t i = 0; i < count; i += 2) {
        const int32_t x = qFromLittleEndian<int32_t>(data + 4 * i);
        const int32_t y = qFromLittleEndian<int32_t>(data + 4 * i + 4);
        entries_.push_back(Pack(QPoint(x, y)));
    }
    EndUpdate();
}

} // namespace fx

#pragma once

#include <QPoint>

#include <cstdint>
#include <functional>
#include <vector>

class QIODevice;

namespace fx {

// The corners of a polygon, each packed into one 32-bit entry: x as a signed
// 16-bit value in the high half, y in the low half. A coordinate outside
// -32768 .. 32767 keeps only its low 16 bits.
class TVfxPointList {
public:
    // Fired after every change made outside an update.
    std::function<void(TVfxPointList*)> OnChange;

    static uint32_t Pack(QPoint point);
    static QPoint Unpack(uint32_t entry);

    int Count() const { return static_cast<int>(entries_.size()); }
    bool IsEmpty() const { return entries_.empty(); }
    // (0, 0) for an index outside the list.
    QPoint GetPoint(int index) const;
    // Ignored for an index outside the list.
    void SetPoint(int index, QPoint point);
    void AddPoint(QPoint point);
    void Delete(int index);
    void Clear();
    const std::vector<uint32_t>& Entries() const { return entries_; }
    std::vector<QPoint> Points() const;

    // Changes inside an update fire nothing; the outermost EndUpdate fires once.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // The stored form: an integer N, the number of values, then N integers,
    // x then y for each point in order (little-endian, four bytes each).
    void WriteData(QIODevice& stream) const;
    // Appends the points read. A count that is negative, odd or larger than
    // what the stream holds raises the stream read error, as does a stream
    // cut short; nothing is appended then.
    void ReadData(QIODevice& stream);

private:
    void Changed();

    std::vector<uint32_t> entries_;
    int updateCount_ = 0;
};

} // namespace fx

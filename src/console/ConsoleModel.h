#pragma once

#include "console/ConsoleTypes.h"
#include "platform/gui/Colors.h"

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <cstdint>
#include <memory>
#include <vector>

// One piece of a line: text, a space, or a layout command. Text lives in the
// line's text pool; link and font data in the line's side tables.
struct TConsoleChunk {
    TChunkKind Kind = ckText;
    uint8_t Style = 0;        // ckStyleOn / ckStyleOff: TFontStyleBit set
    bool Blink = false;       // made inside BLINK
    bool Selected = false;    // computed by the layout pass while selecting
    bool NoSelect = false;    // made inside NOSELECT: never selected
    bool WrapDropped = false; // a space dropped at a wrap by the last pass
    int32_t Width = 0;        // cached extent (0 = not measured)
    int32_t Height = 0;
    int32_t Start = 0;  // ckText: first character in the pool
    int32_t Length = 0; // ckText: number of characters
    int32_t Value = 0;  // image index, column spot, rule percent, or data index
};

struct TLinkChunkData {
    QString Name;
    QString Params;
    QString Hint;
    bool NotURL = false; // false: a web link the console may open itself
};

struct TFontChunkData {
    QString Face;         // empty: unchanged
    int AbsoluteSize = 0; // points, 0: none
    int RelativeSize = 0; // points added to the current size
    plat::TColor Color = plat::clNone;
    plat::TColor Background = plat::clNone;
};

// The parsed content of one line. It does not change once the line is made.
struct TChunkList {
    std::vector<TConsoleChunk> Chunks;
    QString Pool;
    std::vector<TLinkChunkData> Links;
    std::vector<TFontChunkData> Fonts;
    bool Blinks = false; // some chunk blinks

    QStringView TextOf(const TConsoleChunk& chunk) const {
        return QStringView(Pool).mid(chunk.Start, chunk.Length);
    }
    const TLinkChunkData& LinkOf(const TConsoleChunk& chunk) const {
        return Links[static_cast<size_t>(chunk.Value)];
    }
    const TFontChunkData& FontOf(const TConsoleChunk& chunk) const {
        return Fonts[static_cast<size_t>(chunk.Value)];
    }
    bool IsEmpty() const { return Chunks.empty(); }
    // Releases spare capacity once the line is complete.
    void Squeeze();
};

// One console line. Lines form a doubly linked list, oldest first.
struct TMessageNode {
    QString Text;        // the raw markup, kept only with StoreText
    QDateTime Timestamp; // local time when the line was added
    TChunkList Chunks;
    int LayoutWidth = 0;          // usable width at the last layout
    int RowWidth = 0;             // largest x any row reached
    int Height = 0;               // sum of RowHeights
    TMessageNode* Prev = nullptr; // older
    TMessageNode* Next = nullptr; // newer
    QVarLengthArray<int, 2> RowHeights;
    // Layout bookkeeping: the line is valid for a layout key when Measured is
    // set and both keys match the console's.
    bool Measured = false;
    uint32_t FontGeneration = 0;
    uint32_t LayoutGeneration = 0;

    // Forgets the cached geometry and the measured extents of every chunk.
    void ResetSizes();
};

// The owning list of lines.
class TLineList {
public:
    TLineList() = default;
    TLineList(const TLineList&) = delete;
    TLineList& operator=(const TLineList&) = delete;
    ~TLineList() { Clear(); }

    TMessageNode* First() const { return first_; }
    TMessageNode* Last() const { return last_; }
    int Count() const { return count_; }

    // Links node directly after `after` (on its newer side), or as the newest
    // line when after is null.
    TMessageNode* Insert(std::unique_ptr<TMessageNode> node, TMessageNode* after);
    // Unlinks node and hands it back to the caller.
    std::unique_ptr<TMessageNode> Unlink(TMessageNode* node);
    void Clear();
    bool Contains(const TMessageNode* node) const;

private:
    TMessageNode* first_ = nullptr;
    TMessageNode* last_ = nullptr;
    int count_ = 0;
};

#pragma once

#include "console/ChunkData.h"
#include "console/ConsoleTypes.h"

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

// One piece of a line: text, a space, or a layout command, as a walk over the
// line reads it. Text lives in the line's text pool, link and font data in
// the shared tables (ChunkData.h).
struct TConsoleChunk {
    TChunkKind Kind = ckText;
    uint8_t Style = 0;     // ckStyleOn / ckStyleOff: TFontStyleBit set
    bool Blink = false;    // made inside BLINK
    bool NoSelect = false; // made inside NOSELECT: never selected
    int32_t Start = 0;     // ckText: first character in the pool
    int32_t Length = 0;    // ckText: number of characters
    int32_t Value = 0;     // image index, column spot, rule percent, or link/font number
    int32_t Index = 0;     // position of the chunk in its line
};

// The chunks of one line and their text in one block: the text of the text
// chunks one after the other, then a byte of kind and flags per chunk and its
// number (text length, style, value) when it has one, in a variable number of
// bytes. A walk knows where each text chunk starts. Holds a count on the link
// and font data its chunks name.
class TChunkCodes {
public:
    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = TConsoleChunk;
        using difference_type = std::ptrdiff_t;
        using pointer = const TConsoleChunk*;
        using reference = const TConsoleChunk&;

        const_iterator() = default;
        const TConsoleChunk& operator*() const { return chunk_; }
        const TConsoleChunk* operator->() const { return &chunk_; }
        const_iterator& operator++() {
            Decode();
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator old = *this;
            ++*this;
            return old;
        }
        bool operator==(const const_iterator& other) const { return at_ == other.at_; }

    private:
        friend class TChunkCodes;
        const_iterator(const uint8_t* at, const uint8_t* end) : at_(at), next_(at), end_(end) {
            chunk_.Index = -1;
            Decode();
        }
        // Moves to the chunk at next_.
        void Decode() {
            at_ = next_;
            if (at_ != end_) {
                next_ = Unpack(at_, chunk_, textEnd_);
            }
        }

        const uint8_t* at_ = nullptr;   // the chunk shown, or end_
        const uint8_t* next_ = nullptr; // the chunk after it
        const uint8_t* end_ = nullptr;
        int32_t textEnd_ = 0; // where the next text chunk starts in the pool
        TConsoleChunk chunk_;
    };

    // How a chunk's number is stored, by kind.
    enum : uint8_t { kNone, kUnsigned, kSigned, kByte };
    static constexpr uint8_t kPayload[32] = {kUnsigned, kByte, kByte, kNone,   kNone,   kNone,
                                             kUnsigned, kNone, kNone, kSigned, kSigned, kUnsigned,
                                             kUnsigned, kNone, kNone, kNone,   kNone};
    static constexpr uint8_t kKindMask = 0x1F;
    static constexpr uint8_t kBlinkBit = 0x20;
    static constexpr uint8_t kNoSelectBit = 0x40;

    // Reads the chunk at p into c (advancing its index and, for text, the
    // pool position); returns where the next chunk starts.
    static const uint8_t* Unpack(const uint8_t* p, TConsoleChunk& c, int32_t& textEnd) {
        const uint8_t head = *p++;
        c.Kind = static_cast<TChunkKind>(head & kKindMask);
        c.Blink = (head & kBlinkBit) != 0;
        c.NoSelect = (head & kNoSelectBit) != 0;
        ++c.Index;
        switch (c.Kind) {
        case ckText:
            c.Style = 0;
            c.Start = textEnd;
            c.Length = static_cast<int32_t>(GetVarint(p));
            c.Value = 0;
            textEnd += c.Length;
            return p;
        case ckStyleOn:
        case ckStyleOff:
            c.Style = *p++;
            c.Start = c.Length = c.Value = 0;
            return p;
        case ckLinkOpen:
        case ckFontOpen:
        case ckRule:
            c.Style = 0;
            c.Start = c.Length = 0;
            c.Value = static_cast<int32_t>(GetVarint(p));
            return p;
        case ckImage:
        case ckColumn: {
            c.Style = 0;
            c.Start = c.Length = 0;
            const uint32_t v = GetVarint(p);
            c.Value = static_cast<int32_t>((v >> 1) ^ (0u - (v & 1)));
            return p;
        }
        default:
            c.Style = 0;
            c.Start = c.Length = c.Value = 0;
            return p;
        }
    }
    // Seven bits a byte, low bits first; the top bit says more bytes follow.
    static uint32_t GetVarint(const uint8_t*& p) {
        uint32_t b = *p++;
        if (b < 0x80) {
            return b;
        }
        uint32_t v = b & 0x7F;
        int shift = 7;
        do {
            b = *p++;
            v |= (b & 0x7F) << shift;
            shift += 7;
        } while (b & 0x80);
        return v;
    }

    TChunkCodes() = default;
    // Packs chunks whose Value is a link or font number of the shared tables,
    // with the text of their text chunks one after the other; takes over one
    // count per link and font chunk.
    TChunkCodes(const std::vector<TConsoleChunk>& chunks, QStringView text);
    TChunkCodes(const TChunkCodes& other);
    TChunkCodes(TChunkCodes&& other) noexcept : data_(other.data_) { other.data_ = nullptr; }
    TChunkCodes& operator=(TChunkCodes other) noexcept {
        std::swap(data_, other.data_);
        return *this;
    }
    ~TChunkCodes();

    const_iterator begin() const;
    const_iterator end() const;
    int Size() const { return data_ ? Head().count : 0; }
    bool IsEmpty() const { return Size() == 0; }
    // The chunk at an index (0 <= index < Size()).
    TConsoleChunk At(int index) const;
    // The chunks unpacked, for callers that look ahead or change them.
    std::vector<TConsoleChunk> Unpacked() const;
    QStringView Text() const {
        return data_ ? QStringView(TextData(), Head().textLength) : QStringView();
    }
    // Bytes this sequence holds on the heap.
    size_t HeapBytes() const {
        return data_ ? sizeof(Header) + size_t(Head().textLength) * 2 + Head().bytes : 0;
    }

private:
    struct Header {
        int32_t count;
        int32_t textLength;
        int32_t bytes; // of the codes
    };
    const Header& Head() const { return *reinterpret_cast<const Header*>(data_); }
    const char16_t* TextData() const {
        return reinterpret_cast<const char16_t*>(data_ + sizeof(Header));
    }
    const uint8_t* Codes() const { return data_ + sizeof(Header) + size_t(Head().textLength) * 2; }
    static size_t PayloadBytes(const TConsoleChunk& c);
    void ChangeRefs(bool add) const;

    uint8_t* data_ = nullptr;
};

struct TChunkList;

// The members Pool, Links and Fonts of a TChunkList are views of the list's
// own block, found from where they sit in the list; they cannot be copied out.
class TChunkListView {
public:
    TChunkListView() = default;
    TChunkListView(const TChunkListView&) = delete;
    TChunkListView& operator=(const TChunkListView&) = delete;

protected:
    const TChunkList& List(size_t offset) const {
        return *reinterpret_cast<const TChunkList*>(reinterpret_cast<const char*>(this) - offset);
    }
};

// The text of the text chunks, one after the other.
class TTextPool : TChunkListView {
public:
    qsizetype Size() const { return View().size(); }
    bool IsEmpty() const { return View().isEmpty(); }
    const QChar* ConstData() const { return View().data(); }
    bool Contains(const QString& text) const { return View().contains(text); }
    QStringView View() const;
};

// The n-th link or font of a line, in chunk order.
template <TChunkKind Kind, typename Data>
class TChunkDataList : TChunkListView {
public:
    int Size() const;
    const Data& At(int n) const;
    const Data& operator[](int n) const { return At(n); }

private:
    const TChunkCodes& Codes() const;
};

// The parsed content of one line. It does not change once the line is made.
struct TChunkList {
    TChunkCodes Chunks;
    TTextPool Pool;
    TChunkDataList<ckLinkOpen, TLinkChunkData> Links;
    TChunkDataList<ckFontOpen, TFontChunkData> Fonts;
    bool Blinks = false; // some chunk blinks

    TChunkList() = default;
    TChunkList(const TChunkList& other) : Chunks(other.Chunks), Blinks(other.Blinks) {}
    TChunkList(TChunkList&& other) noexcept
        : Chunks(std::move(other.Chunks)), Blinks(other.Blinks) {}
    TChunkList& operator=(const TChunkList& other) {
        Chunks = other.Chunks;
        Blinks = other.Blinks;
        return *this;
    }
    TChunkList& operator=(TChunkList&& other) noexcept {
        Chunks = std::move(other.Chunks);
        Blinks = other.Blinks;
        return *this;
    }

    // Packs unpacked chunks: text chunks may point anywhere into `text`, and
    // link and font chunks hold positions in `links` and `fonts`.
    static TChunkList Make(std::vector<TConsoleChunk> chunks, QStringView text,
                           const std::vector<TLinkChunkData>& links,
                           const std::vector<TFontChunkData>& fonts);

    QStringView TextOf(const TConsoleChunk& chunk) const {
        return Chunks.Text().mid(chunk.Start, chunk.Length);
    }
    static const TLinkChunkData& LinkOf(const TConsoleChunk& chunk) {
        return chunkdata::Link(static_cast<uint32_t>(chunk.Value));
    }
    static const TFontChunkData& FontOf(const TConsoleChunk& chunk) {
        return chunkdata::Font(static_cast<uint32_t>(chunk.Value));
    }
    bool IsEmpty() const { return Chunks.IsEmpty(); }
};

// The views find the list from their place in it.
static_assert(std::is_standard_layout_v<TChunkList>);

inline QStringView TTextPool::View() const {
    return List(offsetof(TChunkList, Pool)).Chunks.Text();
}

template <TChunkKind Kind, typename Data>
const TChunkCodes& TChunkDataList<Kind, Data>::Codes() const {
    constexpr size_t offset =
        Kind == ckLinkOpen ? offsetof(TChunkList, Links) : offsetof(TChunkList, Fonts);
    return List(offset).Chunks;
}

template <TChunkKind Kind, typename Data>
int TChunkDataList<Kind, Data>::Size() const {
    int n = 0;
    for (const TConsoleChunk& c : Codes()) {
        n += c.Kind == Kind;
    }
    return n;
}

template <TChunkKind Kind, typename Data>
const Data& TChunkDataList<Kind, Data>::At(int n) const {
    for (const TConsoleChunk& c : Codes()) {
        if (c.Kind == Kind && n-- == 0) {
            if constexpr (Kind == ckLinkOpen) {
                return TChunkList::LinkOf(c);
            } else {
                return TChunkList::FontOf(c);
            }
        }
    }
    throw std::out_of_range("TChunkDataList::at");
}

// One console line. Lines form a doubly linked list, oldest first. What a
// paint needs beyond Height (row heights, text widths, selection marks) is
// kept by the console only for lines near the view.
struct TMessageNode {
    QString Text;        // the raw markup, kept only with StoreText
    QDateTime Timestamp; // local time when the line was added
    TChunkList Chunks;
    TMessageNode* Prev = nullptr; // older
    TMessageNode* Next = nullptr; // newer
    int Height = 0;               // sum of the row heights at the last layout
    uint32_t LayoutStamp = 0;     // the console's layout stamp Height belongs to (0: none)
    int32_t GeometrySlot = -1;    // the console's cached geometry of the line, if any
    int32_t IndexSlot = -1;       // the line's place in the console's line index
    // The rows stay as they are at any usable width above this one (kNoFit
    // when a row wrapped): a wider console need not measure the line again.
    uint16_t FitWidth = kNoFit;
    static constexpr uint16_t kNoFit = 0xFFFF;
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

private:
    TMessageNode* first_ = nullptr;
    TMessageNode* last_ = nullptr;
    int count_ = 0;
};

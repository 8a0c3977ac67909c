#include "console/ConsoleModel.h"

#include <QVarLengthArray>

#include <cstring>

namespace {

void PutVarint(uint8_t*& p, uint32_t v) {
    while (v >= 0x80) {
        *p++ = static_cast<uint8_t>(v | 0x80);
        v >>= 7;
    }
    *p++ = static_cast<uint8_t>(v);
}

size_t VarintBytes(uint32_t v) {
    size_t n = 1;
    while (v >= 0x80) {
        v >>= 7;
        ++n;
    }
    return n;
}

// Small negative numbers stay small.
uint32_t Zigzag(int32_t v) {
    return (static_cast<uint32_t>(v) << 1) ^ static_cast<uint32_t>(v >> 31);
}

} // namespace

TChunkCodes::TChunkCodes(const std::vector<TConsoleChunk>& chunks, QStringView text) {
    if (chunks.empty()) {
        return;
    }
    size_t bytes = 0;
    for (const TConsoleChunk& c : chunks) {
        bytes += 1 + PayloadBytes(c);
    }
    const size_t textBytes = size_t(text.size()) * 2;
    data_ = new uint8_t[sizeof(Header) + textBytes + bytes];
    const Header h{static_cast<int32_t>(chunks.size()), static_cast<int32_t>(text.size()),
                   static_cast<int32_t>(bytes)};
    std::memcpy(data_, &h, sizeof h);
    std::memcpy(data_ + sizeof h, text.utf16(), textBytes);
    uint8_t* p = data_ + sizeof h + textBytes;
    for (const TConsoleChunk& c : chunks) {
        *p++ = static_cast<uint8_t>(c.Kind | (c.Blink ? kBlinkBit : 0) |
                                    (c.NoSelect ? kNoSelectBit : 0));
        switch (kPayload[c.Kind]) {
        case kNone:
            break;
        case kByte:
            *p++ = c.Style;
            break;
        case kUnsigned:
            PutVarint(p, static_cast<uint32_t>(c.Kind == ckText ? c.Length : c.Value));
            break;
        case kSigned:
            PutVarint(p, Zigzag(c.Value));
            break;
        }
    }
}

size_t TChunkCodes::PayloadBytes(const TConsoleChunk& c) {
    switch (kPayload[c.Kind]) {
    case kByte:
        return 1;
    case kUnsigned:
        return VarintBytes(static_cast<uint32_t>(c.Kind == ckText ? c.Length : c.Value));
    case kSigned:
        return VarintBytes(Zigzag(c.Value));
    default:
        return 0;
    }
}

TChunkCodes::TChunkCodes(const TChunkCodes& other) {
    if (other.data_) {
        const size_t n = other.HeapBytes();
        data_ = new uint8_t[n];
        std::memcpy(data_, other.data_, n);
        ChangeRefs(true);
    }
}

TChunkCodes::~TChunkCodes() {
    if (data_) {
        ChangeRefs(false);
        delete[] data_;
    }
}

void TChunkCodes::ChangeRefs(bool add) const {
    QVarLengthArray<uint32_t, 16> links;
    QVarLengthArray<uint32_t, 16> fonts;
    for (const TConsoleChunk& c : *this) {
        if (c.Kind == ckLinkOpen) {
            links.append(static_cast<uint32_t>(c.Value));
        } else if (c.Kind == ckFontOpen) {
            fonts.append(static_cast<uint32_t>(c.Value));
        }
    }
    if (links.isEmpty() && fonts.isEmpty()) {
        return;
    }
    if (add) {
        chunkdata::AddRefs(links, fonts);
    } else {
        chunkdata::Release(links, fonts);
    }
}

TChunkCodes::const_iterator TChunkCodes::begin() const {
    if (!data_) {
        return const_iterator();
    }
    return const_iterator(Codes(), Codes() + Head().bytes);
}

TChunkCodes::const_iterator TChunkCodes::end() const {
    if (!data_) {
        return const_iterator();
    }
    const uint8_t* e = Codes() + Head().bytes;
    return const_iterator(e, e);
}

TConsoleChunk TChunkCodes::At(int index) const {
    Q_ASSERT(index >= 0 && index < Size());
    auto it = begin();
    while (it->Index < index) {
        ++it;
    }
    return *it;
}

std::vector<TConsoleChunk> TChunkCodes::Unpacked() const {
    std::vector<TConsoleChunk> out;
    out.reserve(static_cast<size_t>(Size()));
    for (const TConsoleChunk& c : *this) {
        out.push_back(c);
    }
    return out;
}

TChunkList TChunkList::Make(std::vector<TConsoleChunk> chunks, QStringView text,
                            const std::vector<TLinkChunkData>& links,
                            const std::vector<TFontChunkData>& fonts) {
    TChunkList out;
    // The text chunks' characters, one after the other; usually that is the
    // text as it stands.
    bool inOrder = true;
    qsizetype total = 0;
    QVarLengthArray<const TLinkChunkData*, 16> linkData;
    QVarLengthArray<const TFontChunkData*, 16> fontData;
    for (const TConsoleChunk& c : chunks) {
        if (c.Kind == ckText) {
            inOrder = inOrder && c.Start == total;
            total += c.Length;
        } else if (c.Kind == ckLinkOpen) {
            linkData.append(&links.at(static_cast<size_t>(c.Value)));
        } else if (c.Kind == ckFontOpen) {
            fontData.append(&fonts.at(static_cast<size_t>(c.Value)));
        }
        out.Blinks = out.Blinks || c.Blink;
    }
    QString joined;
    if (!inOrder || total != text.size()) {
        joined.reserve(total);
        for (const TConsoleChunk& c : chunks) {
            if (c.Kind == ckText) {
                joined += text.mid(c.Start, c.Length);
            }
        }
        text = joined;
    }

    // Every link and font chunk holds one count on its shared entry.
    QVarLengthArray<uint32_t, 16> linkIds(linkData.size());
    QVarLengthArray<uint32_t, 16> fontIds(fontData.size());
    if (!linkData.isEmpty() || !fontData.isEmpty()) {
        chunkdata::Acquire(linkData, linkIds, fontData, fontIds);
    }
    qsizetype nextLink = 0;
    qsizetype nextFont = 0;
    for (TConsoleChunk& c : chunks) {
        if (c.Kind == ckLinkOpen) {
            c.Value = static_cast<int32_t>(linkIds[nextLink++]);
        } else if (c.Kind == ckFontOpen) {
            c.Value = static_cast<int32_t>(fontIds[nextFont++]);
        }
    }
    out.Chunks = TChunkCodes(chunks, text);
    return out;
}

TMessageNode* TLineList::Insert(std::unique_ptr<TMessageNode> owned, TMessageNode* after) {
    TMessageNode* node = owned.release();
    if (!after) {
        after = last_;
    }
    node->Prev = after;
    node->Next = after ? after->Next : first_;
    if (node->Prev) {
        node->Prev->Next = node;
    } else {
        first_ = node;
    }
    if (node->Next) {
        node->Next->Prev = node;
    } else {
        last_ = node;
    }
    ++count_;
    return node;
}

std::unique_ptr<TMessageNode> TLineList::Unlink(TMessageNode* node) {
    if (node->Prev) {
        node->Prev->Next = node->Next;
    } else {
        first_ = node->Next;
    }
    if (node->Next) {
        node->Next->Prev = node->Prev;
    } else {
        last_ = node->Prev;
    }
    node->Prev = nullptr;
    node->Next = nullptr;
    --count_;
    return std::unique_ptr<TMessageNode>(node);
}

void TLineList::Clear() {
    TMessageNode* node = last_;
    while (node) {
        TMessageNode* older = node->Prev;
        delete node;
        node = older;
    }
    first_ = nullptr;
    last_ = nullptr;
    count_ = 0;
}

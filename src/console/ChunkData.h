#pragma once

#include "platform/gui/Colors.h"

#include <QString>

#include <cstdint>
#include <span>

// What a link chunk carries.
struct TLinkChunkData {
    QString Name;
    QString Params;
    QString Hint;
    bool NotURL = false; // false: a web link the console may open itself

    bool operator==(const TLinkChunkData&) const = default;
};

// What a font chunk changes.
struct TFontChunkData {
    QString Face;         // empty: unchanged
    int AbsoluteSize = 0; // points, 0: none
    int RelativeSize = 0; // points added to the current size
    plat::TColor Color = plat::clNone;
    plat::TColor Background = plat::clNone;

    bool operator==(const TFontChunkData&) const = default;
};

// Link and font data are shared by every line that carries the same values:
// chat lines repeat a handful of colours, names and link targets, so a line
// holds a small number per link or font instead of its own copy. Entries are
// counted and go away with the last line that uses them. Safe to use from any
// thread.
namespace chunkdata {

// Counts are taken and given back a line at a time: one number per entry.
void Acquire(std::span<const TLinkChunkData* const> links, std::span<uint32_t> linkIds,
             std::span<const TFontChunkData* const> fonts, std::span<uint32_t> fontIds);
void AddRefs(std::span<const uint32_t> linkIds, std::span<const uint32_t> fontIds);
void Release(std::span<const uint32_t> linkIds, std::span<const uint32_t> fontIds);
// Entries stay where they are while any line holds them.
const TLinkChunkData& Link(uint32_t id);
const TFontChunkData& Font(uint32_t id);
// Distinct entries alive, for tests and diagnostics.
int LinkCount();
int FontCount();

} // namespace chunkdata

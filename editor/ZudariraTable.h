#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A bitmap font's glyph table file: a 20-byte header holding the record count (unsigned
// 16-bit little-endian at byte 10), then 16-byte glyph records.

// One glyph record, as stored and as the font hands it out.
struct ZudariraGlyph {
    int8_t character;
    uint8_t unused[3];
    uint16_t x; // the glyph's place in the glyph bitmap
    uint16_t y;
    uint16_t width;
    uint16_t height;
    uint16_t leftOffset; // drawn this many pixels left of the pen
    uint16_t advance;    // pen movement after the glyph
};
static_assert(sizeof(ZudariraGlyph) == 16);
static_assert(offsetof(ZudariraGlyph, x) == 4 && offsetof(ZudariraGlyph, y) == 6);
static_assert(offsetof(ZudariraGlyph, width) == 8 && offsetof(ZudariraGlyph, height) == 10);
static_assert(offsetof(ZudariraGlyph, leftOffset) == 12 && offsetof(ZudariraGlyph, advance) == 14);

inline constexpr size_t kZudariraHeaderSize = 20;
// Record indices are signed 8-bit numbers: records past this many are never loaded.
inline constexpr size_t kZudariraMaxGlyphs = 127;
// The most of a table file that can matter.
inline constexpr size_t kZudariraMaxTableSize =
    kZudariraHeaderSize + kZudariraMaxGlyphs * sizeof(ZudariraGlyph);

// The glyphs of a table file, at most the first 127. A file shorter than its header, or
// shorter than the records its count announces, holds none. [any thread]
std::vector<ZudariraGlyph> readZudariraTable(const uint8_t* data, size_t size);

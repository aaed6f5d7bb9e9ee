#include "editor/ZudariraTable.h"

#include <algorithm>

namespace {
uint16_t u16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
} // namespace

std::vector<ZudariraGlyph> readZudariraTable(const uint8_t* data, size_t size) {
    if (!data || size < kZudariraHeaderSize) return {};
    const size_t announced = u16(data + 10);
    const size_t count = std::min(announced, kZudariraMaxGlyphs);
    // A count the file cannot hold means a damaged file, not a short font.
    if ((size - kZudariraHeaderSize) / sizeof(ZudariraGlyph) < count) return {};
    std::vector<ZudariraGlyph> glyphs(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* r = data + kZudariraHeaderSize + i * sizeof(ZudariraGlyph);
        glyphs[i] = {int8_t(r[0]), {r[1], r[2], r[3]}, u16(r + 4),  u16(r + 6),
                     u16(r + 8),   u16(r + 10),        u16(r + 12), u16(r + 14)};
    }
    return glyphs;
}

// The bitmap font's glyph table reader on arbitrary file contents: it must never read past
// the bytes it is given, and what it loads must be what the file holds.

#include "editor/ZudariraTable.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<ZudariraGlyph> glyphs = readZudariraTable(data, size);
    if (glyphs.size() > kZudariraMaxGlyphs) std::abort();
    if (!glyphs.empty() && size < kZudariraHeaderSize + glyphs.size() * sizeof(ZudariraGlyph))
        std::abort();
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const uint8_t* record = data + kZudariraHeaderSize + i * sizeof(ZudariraGlyph);
        uint16_t advance;
        std::memcpy(&advance, record + 14, sizeof advance); // little-endian like the file
        if (glyphs[i].character != int8_t(record[0]) || glyphs[i].advance != advance) std::abort();
    }
    return 0;
}

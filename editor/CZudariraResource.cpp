#include "editor/CZudariraResource.h"

#include "editor/CTQBitmap.h"
#include "gui/PluginBundle.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

using namespace GUI;

namespace {

constexpr size_t kMaxBaseName = 39;

// The resource folder's table, else the module's built-in one.
std::vector<uint8_t> readTable(const std::string& name) {
    const std::string path = CBitmap::resourcePath(name.c_str(), "");
    std::vector<uint8_t> bytes(kZudariraMaxTableSize);
    std::ifstream file(path, std::ios::binary);
    if (path.empty() || !file) {
        const EmbeddedResource* builtIn = findEmbeddedResource(name);
        if (!builtIn) return {};
        return {builtIn->data, builtIn->data + std::min(builtIn->size, bytes.size())};
    }
    file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    bytes.resize(size_t(file.gcount()));
    return bytes;
}

} // namespace

CZudariraResource::CZudariraResource(long fontId, int rows) : rowOffset(rows) {
    characterIndex.fill(-1);
    char key[48];
    std::snprintf(key, sizeof key, "ZudariraInfo_%ld", fontId);
    const std::string name = getInfoString(key).substr(0, kMaxBaseName);
    if (name.empty()) return;
    const std::vector<uint8_t> table = readTable(name + ".tab");
    bitmap = new CTQBitmap((name + ".png").c_str(), 255);
    if (!bitmap->isLoaded()) return;
    glyphs = readZudariraTable(table.data(), table.size());
    for (size_t i = 0; i < glyphs.size(); ++i) {
        characterIndex[uint8_t(glyphs[i].character)] = int16_t(i);
        maxCharacterHeight = std::max<int32_t>(maxCharacterHeight, glyphs[i].height);
    }
}

CZudariraResource::~CZudariraResource() {
    if (bitmap) bitmap->forget();
}

const ZudariraGlyph& CZudariraResource::getCharacterInfo(char c) const {
    static constexpr ZudariraGlyph kNoGlyph{};
    if (glyphs.empty()) return kNoGlyph;
    const int16_t index = characterIndex[uint8_t(c)];
    return glyphs[index < 0 ? 0 : size_t(index)];
}

void CZudariraResource::drawText(CDrawContext* context, const CPoint& where,
                                 const std::string& text, CHoriTxtAlign align) const {
    if (!context || glyphs.empty()) return;
    CCoord pen = where.h;
    if (align == kCenterText)
        pen -= getStringWidth(text) / 2;
    else if (align == kRightText)
        pen -= getStringWidth(text);
    for (char c : text) {
        const ZudariraGlyph& g = getCharacterInfo(c);
        const CCoord left = pen - g.leftOffset;
        bitmap->draw(context, CRect(left, where.v, left + g.width, where.v + g.height),
                     CPoint(g.x, CCoord(g.y) + rowOffset));
        pen += g.advance;
    }
}

void CZudariraResource::setAlpha(unsigned char alpha) {
    if (bitmap) bitmap->setAlpha(alpha);
}

unsigned char CZudariraResource::getAlpha() const {
    return bitmap ? bitmap->getAlpha() : 255;
}

CCoord CZudariraResource::getStringWidth(const std::string& text) const {
    CCoord width = 0;
    for (char c : text) {
        const ZudariraGlyph& g = getCharacterInfo(c);
        width += CCoord(g.advance) - g.leftOffset;
    }
    return width;
}

uint16_t CZudariraResource::characterIndexInString(long x, const std::string& text) const {
    CCoord width = 0;
    for (size_t i = 0; i < text.size() && i < UINT16_MAX; ++i) {
        const ZudariraGlyph& g = getCharacterInfo(text[i]);
        width += CCoord(g.advance) - g.leftOffset;
        if (width > x) return uint16_t(i);
    }
    return uint16_t(std::min<size_t>(text.size(), UINT16_MAX));
}

#pragma once

#include "editor/ZudariraTable.h"
#include "gui/CBaseObject.h"
#include "gui/CRect.h"

#include <array>
#include <string>

namespace GUI {
class CDrawContext;
}
class CTQBitmap;

enum CHoriTxtAlign : int32_t { kLeftText = 0, kCenterText, kRightText };

// A proportional bitmap font: glyphs copied out of one bitmap as a table file places them.
// The bundle's information dictionary names the font under "ZudariraInfo_<id>"; the table is
// the resource <name>.tab, the glyphs <name>.png. A font whose key, table or bitmap is
// missing, or whose table is damaged, has no glyphs: it measures 0 and draws nothing.
// Shared by reference count. [ui thread] for every operation.
class CZudariraResource : public GUI::CBaseObject {
public:
    // `rowOffset` moves every glyph's source down, choosing one of several variants stacked
    // in the glyph bitmap.
    CZudariraResource(long fontId, int rowOffset);
    ~CZudariraResource() override;

    // Characters the table lacks get record 0; with no records at all, an empty glyph.
    virtual const ZudariraGlyph& getCharacterInfo(char c) const;
    virtual CTQBitmap* getCharacterBitmap() const { return bitmap; }
    virtual int32_t getMaxCharacterHeight() const { return maxCharacterHeight; }
    // Glyph tops at the point's v; the pen starts at h, less the width or half of it
    // (truncated toward zero) for centred and right-aligned text.
    virtual void drawText(GUI::CDrawContext* context, const GUI::CPoint& where,
                          const std::string& text, CHoriTxtAlign align) const;
    // Changes the look of every display sharing the font.
    virtual void setAlpha(unsigned char alpha);
    virtual unsigned char getAlpha() const;
    // The sum of (advance - left offset) over the characters.
    virtual GUI::CCoord getStringWidth(const std::string& text) const;
    // The first character whose running width, itself included, exceeds x; the length (at
    // most 65535) when none does.
    virtual uint16_t characterIndexInString(long x, const std::string& text) const;

    bool hasGlyphs() const { return !glyphs.empty(); }

private:
    CTQBitmap* bitmap = nullptr;
    std::vector<ZudariraGlyph> glyphs;
    std::array<int16_t, 256> characterIndex; // by unsigned character; -1 where absent
    int32_t maxCharacterHeight = 0;
    int32_t rowOffset;
};

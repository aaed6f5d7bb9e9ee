#pragma once

#include "gui/CBitmap.h"

namespace GUI {
class CFrame;
}

// A bitmap with an opacity of its own, which every draw applies. [ui thread] for every
// operation.
class CTQBitmap : public GUI::CBitmap {
public:
    CTQBitmap(const GUI::CResourceDescription& desc, uint8_t alpha);
    // An empty (transparent) image to draw into; the frame is not needed on this platform.
    CTQBitmap(GUI::CFrame* frame, GUI::CCoord width, GUI::CCoord height, uint8_t alpha);
    // Shares the other bitmap's image.
    CTQBitmap(const GUI::CBitmap& other, uint8_t alpha);

    virtual void setAlpha(uint8_t value) { alpha = value; }
    virtual uint8_t getAlpha() const { return alpha; }

    void draw(GUI::CDrawContext* context, const GUI::CRect& rect,
              const GUI::CPoint& offset = {}) override;
    // Leaves out the transparent colour only where the image has no alpha channel of its own.
    void drawTransparent(GUI::CDrawContext* context, const GUI::CRect& rect,
                         const GUI::CPoint& offset = {}) override;

private:
    uint8_t alpha;
};

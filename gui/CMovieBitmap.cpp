#include "gui/CMovieBitmap.h"

namespace GUI {

CMovieBitmap::CMovieBitmap(const CRect& size, CControlListener* listener, long tag, int32_t frames,
                           CCoord frameHeight, CBitmap* background, const CPoint& off)
    : CControl(size, listener, tag, background), offset(off) {
    heightOfOneImage = frameHeight;
    subPixmaps = frames;
}

void CMovieBitmap::draw(CDrawContext* context) {
    if (value > 1.f) value = 1.f;
    const CCoord y = value > 0.f ? frameTop(float(subPixmaps - 1) * value + 0.5f) : 0;
    drawBackground(context, {offset.h, offset.v + y});
    setDirty(false);
}

} // namespace GUI

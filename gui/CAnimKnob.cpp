#include "gui/CAnimKnob.h"

#include "gui/CBitmap.h"

namespace GUI {

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, long tag, int32_t frames,
                     CCoord frameHeight, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background, offset) {
    heightOfOneImage = frameHeight;
    subPixmaps = frames;
    if (background && frameHeight != 0) subPixmaps = int32_t(background->getHeight() / frameHeight);
}

CCoord CAnimKnob::frameOffset() const {
    if (!(value >= 0) || heightOfOneImage <= 0 || subPixmaps < 1) return 0;
    const float last = float(subPixmaps) * float(heightOfOneImage); // past the strip
    const float position = value * float(subPixmaps - 1) * float(heightOfOneImage);
    const auto p = CCoord(position < last ? position : last);
    return p / heightOfOneImage * heightOfOneImage;
}

void CAnimKnob::draw(CDrawContext* context) {
    drawBackground(context, {offset.h, offset.v + frameOffset()});
    setDirty(false);
}

} // namespace GUI

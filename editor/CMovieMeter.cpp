#include "editor/CMovieMeter.h"

#include "gui/CBitmap.h"

#include <algorithm>
#include <cmath>

using namespace GUI;

CMovieMeter::CMovieMeter(const CRect& size, CControlListener* listener, long tag, CBitmap* strip,
                         const CPoint& offset, bool first, bool second)
    : CMovieBitmap(size, listener, tag, 0, size.height(), strip, offset),
      reservedFrames(int32_t(first) + int32_t(second)) {
    if (strip && size.height() > 0) subPixmaps = int32_t(strip->getHeight() / size.height());
}

void CMovieMeter::draw(CDrawContext* context) {
    const float scale = float(subPixmaps - 1 - reservedFrames);
    const float position = std::isnan(value) ? 0.f : scale * value + 0.5f;
    const auto frame = CCoord(std::clamp(position, 0.f, float(std::max(subPixmaps - 1, 0))));
    drawBackground(context, {offset.h, offset.v + frame * heightOfOneImage});
    setDirty(false);
}

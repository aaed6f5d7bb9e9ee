#include "gui/CDrawContext.h"

#include "gui/platform/Painter.h"
#include "gui/platform/Surface.h"

namespace GUI {

CDrawContext::CDrawContext(platform::Surface& target)
    : painter(std::make_unique<platform::Painter>(target)) {}

CDrawContext::~CDrawContext() = default;

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
    if (style != kDrawStroked) painter->fillRect(rect, fillColor);
    if (style != kDrawFilled) painter->strokeRect(rect, double(lineWidth), frameColor);
}

void CDrawContext::lineTo(const CPoint& p) {
    painter->line(penLocation, p, double(lineWidth), frameColor);
    penLocation = p;
}

void CDrawContext::pushClip(const CRect& area) {
    painter->save();
    painter->clip(area);
}

void CDrawContext::popClip() {
    painter->restore();
}

// The surface outlives the painter because the drawing layer holds its own reference.
COffscreenContext::COffscreenContext(std::unique_ptr<platform::Surface> s)
    : CDrawContext(*s), surface(std::move(s)) {}

COffscreenContext::COffscreenContext(CCoord width, CCoord height)
    : COffscreenContext(std::make_unique<platform::Surface>(int(width), int(height))) {}

COffscreenContext::~COffscreenContext() = default;

uint32_t COffscreenContext::getPixel(CCoord x, CCoord y) const {
    return surface->pixel(int(x), int(y));
}

} // namespace GUI

#include "editor/CTQBitmap.h"

#include "gui/platform/Surface.h"

#include <algorithm>

using namespace GUI;

namespace {
constexpr CCoord kMaxSide = 32767; // the largest image the drawing layer makes
} // namespace

CTQBitmap::CTQBitmap(const CResourceDescription& desc, uint8_t a) : CBitmap(desc), alpha(a) {}

CTQBitmap::CTQBitmap(CFrame*, CCoord width, CCoord height, uint8_t a)
    : CBitmap(std::make_unique<platform::Surface>(int(std::clamp<CCoord>(width, 0, kMaxSide)),
                                                  int(std::clamp<CCoord>(height, 0, kMaxSide)))),
      alpha(a) {}

CTQBitmap::CTQBitmap(const CBitmap& other, uint8_t a)
    : CBitmap(other.sharedImage(), other.getResourceDescription()), alpha(a) {}

void CTQBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    drawImage(context, rect, offset, false, alpha);
}

void CTQBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    drawImage(context, rect, offset, !hasAlphaChannel(), alpha);
}

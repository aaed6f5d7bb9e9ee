#include "editor/CTQMovieButton.h"

#include "gui/CBitmap.h"

using namespace GUI;

CTQMovieButton::CTQMovieButton(const CRect& size, CControlListener* listener, long tag,
                               CBitmap* strip)
    : CMovieButton(size, listener, tag, size.height(), strip) {}

void CTQMovieButton::draw(CDrawContext* context) {
    bounceValue();
    if (pBackground) pBackground->draw(context, size, {0, value > 0.5f ? heightOfOneImage : 0});
    setDirty(false);
}

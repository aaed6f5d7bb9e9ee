#include "editor/CMovieToggle.h"

#include "gui/CBitmap.h"

using namespace GUI;

CMovieToggle::CMovieToggle(const CRect& size, CControlListener* listener, long tag,
                           CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CMovieButton(size, listener, tag, heightOfOneImage, background, offset) {
    subPixmaps = 4;
}

void CMovieToggle::draw(CDrawContext* context) {
    bounceValue();
    CCoord y = isPressed() ? 2 * heightOfOneImage : 0;
    if (value != 0.f) y += heightOfOneImage;
    if (pBackground) pBackground->draw(context, size, {offset.h, offset.v + y});
    setDirty(false);
}

CMouseEventResult CMovieToggle::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    entryValue = value;
    beginEdit();
    value = entryValue == 0.f ? 1.f : 0.f;
    buttonState = 1.f;
    notifyValueChanged();
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CMovieToggle::onMouseMoved(CPoint&, const CButtonState&) {
    return kMouseEventHandled;
}

CMouseEventResult CMovieToggle::onMouseUp(CPoint&, const CButtonState&) {
    buttonState = 0.f;
    setDirty(true);
    endEdit();
    return kMouseEventHandled;
}

#include "gui/CMovieButton.h"

namespace GUI {

CMovieButton::CMovieButton(const CRect& size, CControlListener* listener, long tag,
                           CCoord frameHeight, CBitmap* background, const CPoint& off)
    : CControl(size, listener, tag, background), offset(off) {
    heightOfOneImage = frameHeight;
    subPixmaps = 2;
}

void CMovieButton::draw(CDrawContext* context) {
    bounceValue();
    const CCoord y = value == 0.f ? 0 : heightOfOneImage;
    drawBackground(context, {offset.h, offset.v + y});
    setDirty(false);
}

CMouseEventResult CMovieButton::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    buttonState = value;
    beginEdit();
    return onMouseMoved(where, buttons);
}

CMouseEventResult CMovieButton::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    const float shown = size.pointInside(where) ? (buttonState == 0.f ? 1.f : 0.f) : buttonState;
    if (shown != value) {
        value = shown;
        notifyValueChanged();
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult CMovieButton::onMouseUp(CPoint&, const CButtonState&) {
    endEdit();
    return kMouseEventHandled;
}

} // namespace GUI

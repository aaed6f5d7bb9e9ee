#include "gui/CHorizontalSwitch.h"

#include "gui/CBitmap.h"

namespace GUI {

CHorizontalSwitch::CHorizontalSwitch(const CRect& size, CControlListener* listener, long tag,
                                     int32_t frames, CCoord frameHeight, int32_t positions,
                                     CBitmap* background, const CPoint& off)
    : CControl(size, listener, tag, background), offset(off), iMaxPositions(positions) {
    heightOfOneImage = frameHeight;
    subPixmaps = frames;
    defaultValue = 0.f;
}

void CHorizontalSwitch::draw(CDrawContext* context) {
    const CCoord y = frameTop(float(iMaxPositions - 1) * value + 0.5f);
    drawBackground(context, {offset.h, offset.v + y});
    setDirty(false);
}

CMouseEventResult CHorizontalSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    return onMouseMoved(where, buttons);
}

CMouseEventResult CHorizontalSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    const float stepWidth =
        pBackground ? float(pBackground->getWidth()) / float(iMaxPositions) : 0.f;
    // Without artwork or with a single position there is nothing to choose.
    if (!(stepWidth > 0.f) || iMaxPositions < 2) return kMouseEventHandled;
    const float last = float(iMaxPositions - 1);
    const float position = float(where.h - size.left) / stepWidth;
    value = position <= 0.f ? 0.f : position >= last ? 1.f : float(int32_t(position)) / last;
    if (isDirty()) {
        notifyValueChanged();
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult CHorizontalSwitch::onMouseUp(CPoint&, const CButtonState&) {
    endEdit();
    return kMouseEventHandled;
}

} // namespace GUI

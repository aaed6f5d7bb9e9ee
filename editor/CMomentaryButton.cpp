#include "editor/CMomentaryButton.h"

using namespace GUI;

CMomentaryButton::CMomentaryButton(const CRect& size, CControlListener* listener, long tag,
                                   CBitmap* strip)
    : COnOffButton(size, listener, tag, strip) {}

void CMomentaryButton::repaintIfDirty() {
    if (isDirty()) invalid();
}

CMouseEventResult CMomentaryButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    value = 1.f;
    notifyValueChanged();
    repaintIfDirty();
    return kMouseEventHandled;
}

CMouseEventResult CMomentaryButton::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    value = size.pointInside(where) ? 1.f : 0.f;
    repaintIfDirty();
    return kMouseEventHandled;
}

CMouseEventResult CMomentaryButton::onMouseUp(CPoint&, const CButtonState&) {
    value = 0.f;
    notifyValueChanged();
    repaintIfDirty();
    endEdit();
    return kMouseEventHandled;
}

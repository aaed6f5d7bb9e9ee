#include "gui/COnOffButton.h"

#include "gui/CBitmap.h"

namespace GUI {

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, long tag,
                           CBitmap* background)
    : CControl(size, listener, tag, background) {}

void COnOffButton::draw(CDrawContext* context) {
    const CCoord frameHeight = pBackground ? pBackground->getHeight() / 2 : 0;
    drawBackground(context, {0, value == 0.f ? 0 : frameHeight});
    setDirty(false);
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    value = value == 0.f ? 1.f : 0.f;
    notifyValueChanged();
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult COnOffButton::onMouseUp(CPoint&, const CButtonState&) {
    endEdit();
    return kMouseEventHandled;
}

} // namespace GUI

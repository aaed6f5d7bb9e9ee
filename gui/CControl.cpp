#include "gui/CControl.h"

#include "gui/CControlListener.h"
#include "gui/CFrame.h"

namespace GUI {

CButtonState CControl::kZoomModifier = kShift;
CButtonState CControl::kDefaultValueModifier = kControl;

CControl::CControl(const CRect& size, CControlListener* l, long t, CBitmap* background)
    : CView(size), listener(l), tag(t) {
    setBackground(background);
}

bool CControl::isDirty() const {
    return value != oldValue || CView::isDirty();
}

void CControl::setDirty(bool state) {
    CView::setDirty(state);
    if (state)
        oldValue = value == -1.f ? 0.f : -1.f;
    else
        oldValue = value;
}

void CControl::doIdleStuff() {
    if (pParentFrame) pParentFrame->doIdleStuff();
}

void CControl::bounceValue() {
    if (value > vmax)
        value = vmax;
    else if (value < vmin)
        value = vmin;
}

bool CControl::checkDefaultValue(CButtonState buttons) {
    if (buttons != (kLButton | kDefaultValueModifier)) return false;
    beginEdit();
    value = defaultValue;
    if (isDirty()) notifyValueChanged();
    endEdit();
    return true;
}

void CControl::beginEdit() {
    if (listener) listener->controlBeginEdit(this);
    if (pParentFrame) {
        pParentFrame->setFocusView(this);
        pParentFrame->beginEdit(tag);
    }
}

void CControl::endEdit() {
    if (pParentFrame) pParentFrame->endEdit(tag);
    if (listener) listener->controlEndEdit(this);
}

void CControl::notifyValueChanged() {
    if (listener) listener->valueChanged(this);
}

} // namespace GUI

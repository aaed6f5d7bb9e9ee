#include "editor/CMultiButton.h"

#include "gui/CBitmap.h"

#include <algorithm>
#include <cmath>

using namespace GUI;

namespace {
constexpr int32_t kMaxStates = 1 << 16;
} // namespace

CMultiButton::CMultiButton(const CRect& size, CControlListener* listener, long tag, int32_t n,
                           CBitmap* strip, const CPoint& off)
    : CControl(size, listener, tag, strip), states(std::clamp(n, 1, kMaxStates)),
      step(1.f / float(states)), offset(off) {
    if (strip) frameHeight = strip->getHeight() / states;
}

void CMultiButton::setValue(float v) {
    value = v;
    const float position = std::isnan(v) ? 0.f : std::round(v / step);
    state = int32_t(std::clamp(position, 0.f, float(states - 1)));
}

void CMultiButton::draw(CDrawContext* context) {
    if (pBackground) pBackground->draw(context, size, {offset.h, offset.v + state * frameHeight});
    setDirty(false);
}

void CMultiButton::mouse(CDrawContext*, CPoint&) {
    if (!bMouseEnabled) return;
    state = (state + 1) % states;
    value = float(state) * step;
    notifyValueChanged();
}

CMouseEventResult CMultiButton::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    mouse(nullptr, where);
    endEdit();
    if (isDirty()) invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

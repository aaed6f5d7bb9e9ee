#include "gui/CKnob.h"

#include "gui/CFrame.h"
#include "gui/GUIEditorInterface.h"
#include "plugin/VstInterface.h"

#include <cmath>
#include <numbers>

namespace GUI {

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kLinearRange = 200.f; // pixels for the whole value range
} // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
             const CPoint& off)
    : CControl(size, listener, tag, background), offset(off), startAngle(kPi * 5 / 4),
      rangeAngle(-kPi * 3 / 2) {}

float CKnob::dragRange(CButtonState buttons) const {
    return buttons & kZoomModifier ? kLinearRange * kZoomFactor : kLinearRange;
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled; // the host's: see CControl
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    firstPoint = where;
    lastPoint = where;
    entryValue = value;
    startValue = getOldValue();
    oldButton = buttons;
    const int32_t mode = pParentFrame ? pParentFrame->getKnobMode() : kCircularMode;
    linearDrag = mode == kLinearMode ? !(buttons & kAlt) : (buttons & kAlt) != 0;
    coef = (vmax - vmin) / (linearDrag ? dragRange(buttons) : kLinearRange);
    if (!linearDrag) startValue = valueFromPoint(where);
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const CButtonState&) {
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (where == lastPoint) return kMouseEventHandled;
    lastPoint = where;
    if (linearDrag) {
        const auto d = float((where.h - firstPoint.h) + (firstPoint.v - where.v));
        if (buttons != oldButton) {
            // Re-anchor so that the value stays where it is when the scale changes.
            const float newCoef = (vmax - vmin) / dragRange(buttons);
            entryValue += d * (coef - newCoef);
            coef = newCoef;
            oldButton = buttons;
        }
        value = entryValue + d * coef;
        bounceValue();
    } else {
        const float v = valueFromPoint(where);
        const float jump = v - startValue;
        if (std::fabs(jump) > (vmax - vmin) / 2)
            value = jump > 0 ? vmin : vmax; // crossed the gap at the bottom: stay at the end
        else
            value = startValue = v;
    }
    if (value != getOldValue()) notifyValueChanged();
    if (isDirty()) invalid();
    return kMouseEventHandled;
}

float CKnob::valueFromPoint(const CPoint& where) const {
    const float r = float(size.width()) / 2;
    const float x = float(where.h - size.left);
    const float y = float(where.v - size.top);
    float alpha = std::atan2(r - y, x - r);
    if (alpha < 0) alpha += 2 * kPi;
    const float range = rangeAngle;
    const float half = (2 * kPi - std::fabs(range)) / 2;
    const float coefficient = (vmax - vmin) / range;
    float a2 = alpha - startAngle - range;
    float a3 = a2;
    if (a3 < 0)
        a3 += 2 * kPi;
    else if (a3 > 2 * kPi)
        a3 -= 2 * kPi;
    if (a3 > half - range) return vmax;
    if (a3 > -range) return vmin;
    if (a2 > half - range)
        a2 -= 2 * kPi;
    else if (a2 < -half)
        a2 += 2 * kPi;
    return a2 * coefficient + vmax;
}

void CKnob::step(float amount) {
    value += amount;
    bounceValue();
    if (isDirty() && listener) {
        beginEdit();
        notifyValueChanged();
        endEdit();
    }
}

bool CKnob::onWheel(const CPoint&, float distance, const CButtonState& buttons) {
    if (!bMouseEnabled) return false;
    if (buttons & kShift) distance *= 0.1f;
    step(distance * wheelInc);
    return true;
}

int32_t CKnob::onKeyDown(VstKeyCode& key) {
    float direction = 0;
    switch (key.virt) {
    case VKEY_LEFT:
    case VKEY_DOWN:
        direction = -1;
        break;
    case VKEY_RIGHT:
    case VKEY_UP:
        direction = 1;
        break;
    default:
        return -1;
    }
    if (key.modifier & MODIFIER_SHIFT) direction *= 0.1f;
    step(direction * wheelInc);
    return 1;
}

} // namespace GUI

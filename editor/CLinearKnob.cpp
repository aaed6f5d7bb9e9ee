#include "editor/CLinearKnob.h"

using namespace GUI;

namespace {
constexpr float kRange = 200.f; // pixels for the whole value range
} // namespace

CLinearKnob::CLinearKnob(const CRect& size, CControlListener* listener, long tag, int32_t frames,
                         CCoord frameHeight, int32_t, CBitmap* strip, const CPoint& offset)
    : CAnimKnob(size, listener, tag, frames, frameHeight, strip, offset) {}

CMouseEventResult CLinearKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled; // the host's: see CControl
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    firstPoint = where;
    lastPoint = where;
    entryValue = value;
    return kMouseEventHandled;
}

CMouseEventResult CLinearKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (where == lastPoint) return kMouseEventHandled;
    lastPoint = where;
    const auto d = float((where.h - firstPoint.h) + (firstPoint.v - where.v));
    value = entryValue + d * (vmax - vmin) / kRange;
    bounceValue();
    if (value != getOldValue()) notifyValueChanged();
    if (isDirty()) invalid();
    return kMouseEventHandled;
}

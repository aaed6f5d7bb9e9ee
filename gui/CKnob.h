#pragma once

#include "gui/CControl.h"

namespace GUI {

// A rotary control. Dragging is linear (right and up increase, 200 pixels for the whole
// range, 300 with the zoom modifier) or circular (the pointer's angle around the centre,
// from the minimum at 7 o'clock clockwise to the maximum at 5 o'clock), as the frame's knob
// mode and Alt decide. The wheel and the arrow keys step it. [ui thread] for every operation.
class CKnob : public CControl {
public:
    CKnob(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
          const CPoint& offset = {});

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    using CControl::onWheel;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
    int32_t onKeyDown(VstKeyCode& key) override;

    // The value the pointer's angle stands for in circular mode.
    virtual float valueFromPoint(const CPoint& where) const;

    static constexpr float kZoomFactor = 1.5f;

protected:
    // Adds a step to the value and reports it as one gesture.
    void step(float amount);

    CPoint offset;
    float startAngle;
    float rangeAngle;

private:
    float dragRange(CButtonState buttons) const;

    CPoint firstPoint;
    CPoint lastPoint;
    float entryValue = 0.f;
    float startValue = 0.f;
    float coef = 0.f;
    CButtonState oldButton = 0;
    bool linearDrag = false;
};

} // namespace GUI

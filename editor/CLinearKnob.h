#pragma once

#include "gui/CAnimKnob.h"

// An animated knob that always drags linearly, 200 pixels for the whole range, whatever the
// knob mode and modifiers. [ui thread] for every operation.
class CLinearKnob : public GUI::CAnimKnob {
public:
    // The integer before the strip is accepted for callers that pass it, and not used.
    CLinearKnob(const GUI::CRect& size, GUI::CControlListener* listener, long tag,
                int32_t subPixmaps, GUI::CCoord heightOfOneImage, int32_t, GUI::CBitmap* strip,
                const GUI::CPoint& offset = {});

    GUI::CMouseEventResult onMouseDown(GUI::CPoint& where,
                                       const GUI::CButtonState& buttons) override;
    GUI::CMouseEventResult onMouseMoved(GUI::CPoint& where,
                                        const GUI::CButtonState& buttons) override;

private:
    GUI::CPoint firstPoint;
    GUI::CPoint lastPoint;
    float entryValue = 0.f;
};

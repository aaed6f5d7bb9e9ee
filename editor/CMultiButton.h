#pragma once

#include "gui/CControl.h"

// A button stepping through N states, one strip frame each; the value is state / N. A left
// click, or a call of `mouse`, advances it, wrapping after the last. [ui thread] for every
// operation.
class CMultiButton : public GUI::CControl {
public:
    // Fewer than one state counts as one.
    CMultiButton(const GUI::CRect& size, GUI::CControlListener* listener, long tag, int32_t states,
                 GUI::CBitmap* strip, const GUI::CPoint& offset = {});

    // Also moves to the state the value stands for.
    void setValue(float value) override;
    int32_t getState() const { return state; }
    void draw(GUI::CDrawContext* context) override;
    // Advances the state while the button is mouse-enabled, and reports it.
    virtual void mouse(GUI::CDrawContext* context, GUI::CPoint& where);
    GUI::CMouseEventResult onMouseDown(GUI::CPoint& where,
                                       const GUI::CButtonState& buttons) override;

private:
    int32_t states;
    GUI::CCoord frameHeight = 0;
    int32_t state = 0;
    float step;
    GUI::CPoint offset;
};

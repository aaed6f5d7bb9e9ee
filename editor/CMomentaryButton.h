#pragma once

#include "gui/COnOffButton.h"

// A button that is on only while pressed, and while the pointer stays over it.
// [ui thread] for every operation.
class CMomentaryButton : public GUI::COnOffButton {
public:
    CMomentaryButton(const GUI::CRect& size, GUI::CControlListener* listener, long tag,
                     GUI::CBitmap* strip);

    GUI::CMouseEventResult onMouseDown(GUI::CPoint& where,
                                       const GUI::CButtonState& buttons) override;
    GUI::CMouseEventResult onMouseMoved(GUI::CPoint& where,
                                        const GUI::CButtonState& buttons) override;
    GUI::CMouseEventResult onMouseUp(GUI::CPoint& where, const GUI::CButtonState& buttons) override;

private:
    void repaintIfDirty();
};

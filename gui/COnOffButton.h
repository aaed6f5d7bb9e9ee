#pragma once

#include "gui/CControl.h"

namespace GUI {

// A two-state button whose strip holds two frames of half its height: frame 1 whenever the
// value is not 0.0. A left click flips it. [ui thread] for every operation.
class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, long tag, CBitmap* background);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
};

} // namespace GUI

#pragma once

#include "gui/CMovieButton.h"

// A stomp toggle: it flips when pressed, not when released, and shows the press. Its strip
// has four frames: off, on, off pressed, on pressed. [ui thread] for every operation.
class CMovieToggle : public GUI::CMovieButton {
public:
    CMovieToggle(const GUI::CRect& size, GUI::CControlListener* listener, long tag,
                 GUI::CCoord heightOfOneImage, GUI::CBitmap* background,
                 const GUI::CPoint& offset = {});

    void draw(GUI::CDrawContext* context) override;
    GUI::CMouseEventResult onMouseDown(GUI::CPoint& where,
                                       const GUI::CButtonState& buttons) override;
    GUI::CMouseEventResult onMouseMoved(GUI::CPoint& where,
                                        const GUI::CButtonState& buttons) override;
    GUI::CMouseEventResult onMouseUp(GUI::CPoint& where, const GUI::CButtonState& buttons) override;

    bool isPressed() const { return buttonState != 0.f; }

private:
    float entryValue = 0.f;
};

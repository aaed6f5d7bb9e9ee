#pragma once

#include "gui/CMovieButton.h"

// A movie button whose two frames are as high as the button: frame 1 above 0.5, drawn
// opaque. [ui thread] for every operation.
class CTQMovieButton : public GUI::CMovieButton {
public:
    CTQMovieButton(const GUI::CRect& size, GUI::CControlListener* listener, long tag,
                   GUI::CBitmap* strip);

    void draw(GUI::CDrawContext* context) override;
};

#pragma once

#include "gui/CMovieBitmap.h"

// A level meter from a strip of frames as high as the view. Up to two frames at the strip's
// end are reserved (for example for overload lamps) and never chosen by the value.
// [ui thread] for every operation.
class CMovieMeter : public GUI::CMovieBitmap {
public:
    CMovieMeter(const GUI::CRect& size, GUI::CControlListener* listener, long tag,
                GUI::CBitmap* strip, const GUI::CPoint& offset, bool firstReserved,
                bool secondReserved);

    // The nearest frame for the value, held within the strip.
    void draw(GUI::CDrawContext* context) override;

private:
    int32_t reservedFrames;
};

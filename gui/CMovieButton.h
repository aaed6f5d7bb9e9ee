#pragma once

#include "gui/CControl.h"
#include "gui/IMultiBitmapControl.h"

namespace GUI {

// A two-state button from a two-frame strip: frame 0 for value 0.0, frame 1 otherwise. A
// press shows the other state while the pointer stays over the button and keeps it at the
// release. [ui thread] for every operation.
class CMovieButton : public CControl, public IMultiBitmapControl {
public:
    CMovieButton(const CRect& size, CControlListener* listener, long tag, CCoord heightOfOneImage,
                 CBitmap* background, const CPoint& offset = {});

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

protected:
    CPoint offset;
    float buttonState = 0.f; // the value when the press began
};

} // namespace GUI

#pragma once

#include "gui/CControl.h"
#include "gui/IMultiBitmapControl.h"

namespace GUI {

// A switch of m positions chosen by the pointer's x: the bitmap's width is cut into m equal
// steps; position k has the value k / (m - 1) and shows frame k. [ui thread]
class CHorizontalSwitch : public CControl, public IMultiBitmapControl {
public:
    CHorizontalSwitch(const CRect& size, CControlListener* listener, long tag, int32_t subPixmaps,
                      CCoord heightOfOneImage, int32_t positions, CBitmap* background,
                      const CPoint& offset = {});

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

protected:
    CPoint offset;
    int32_t iMaxPositions;
};

} // namespace GUI

#pragma once

#include "gui/CControl.h"
#include "gui/IMultiBitmapControl.h"

namespace GUI {

// A display-only strip: the value picks the nearest of its frames. [ui thread]
class CMovieBitmap : public CControl, public IMultiBitmapControl {
public:
    CMovieBitmap(const CRect& size, CControlListener* listener, long tag, int32_t subPixmaps,
                 CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = {});

    // A value above 1 is stored as 1 first.
    void draw(CDrawContext* context) override;

protected:
    CPoint offset;
};

} // namespace GUI

#pragma once

#include "gui/CKnob.h"
#include "gui/IMultiBitmapControl.h"

namespace GUI {

// A knob drawn from a strip of frames: value 0 shows the first, 1.0 the last.
// [ui thread] for every operation.
class CAnimKnob : public CKnob, public IMultiBitmapControl {
public:
    // With a bitmap and a frame height, the frame count comes from the bitmap's height.
    CAnimKnob(const CRect& size, CControlListener* listener, long tag, int32_t subPixmaps,
              CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = {});

    void draw(CDrawContext* context) override;
    // The strip's y offset for the current value.
    CCoord frameOffset() const;
};

} // namespace GUI

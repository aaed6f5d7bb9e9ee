#pragma once

#include "gui/CPoint.h"

#include <cstdint>

namespace GUI {

// A control drawn from a vertical strip of equal frames: frame k starts at k x frame height.
class IMultiBitmapControl {
public:
    virtual ~IMultiBitmapControl() = default;
    virtual void setHeightOfOneImage(const CCoord& height) { heightOfOneImage = height; }
    virtual CCoord getHeightOfOneImage() const { return heightOfOneImage; }
    int32_t getNumSubPixmaps() const { return subPixmaps; }

protected:
    // The strip's y offset of frame `index` (its integer part). Out-of-range values are held
    // to 0 .. the frame count, where nothing is left to draw.
    CCoord frameTop(float index) const {
        if (!(index > 0.f)) return 0;
        const float last = float(subPixmaps > 0 ? subPixmaps : 0);
        return CCoord(index < last ? index : last) * heightOfOneImage;
    }

    CCoord heightOfOneImage = 0;
    int32_t subPixmaps = 0;
};

} // namespace GUI

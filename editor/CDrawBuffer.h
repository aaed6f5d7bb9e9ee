#pragma once

#include "gui/CColor.h"
#include "gui/CControl.h"

#include <vector>

// A waveform: one point per pixel column, a sample of +1 at the top, -1 at the bottom. Once
// data has been set it repaints on every idle pass. [ui thread] for every operation.
class CDrawBuffer : public GUI::CControl {
public:
    CDrawBuffer(const GUI::CRect& size, GUI::CControlListener* listener, long tag,
                GUI::CBitmap* background);

    // Only intervals above 0 are taken.
    void setSampleInterval(int32_t interval);
    void setWaveColor(const GUI::CColor& color);
    // Takes every interval-th sample (held to -1..1, NaN as 0) from column 0 on, wrapping
    // after the last column.
    void setData(const float* samples, int32_t count);
    // The row drawn at column i (the view's top + mid height before any data).
    GUI::CCoord getPoint(size_t i) const { return i < points.size() ? points[i] : 0; }

    void draw(GUI::CDrawContext* context) override;

private:
    GUI::CColor waveColor{0, 0, 0, 255};
    int32_t sampleInterval = 1;
    GUI::CCoord midHeight;
    size_t writePosition = 0;
    std::vector<GUI::CCoord> points;
    bool hasData = false;
};

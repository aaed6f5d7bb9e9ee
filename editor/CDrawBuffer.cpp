#include "editor/CDrawBuffer.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

#include <algorithm>
#include <cmath>

using namespace GUI;

CDrawBuffer::CDrawBuffer(const CRect& size, CControlListener* listener, long tag,
                         CBitmap* background)
    : CControl(size, listener, tag, background), midHeight(size.height() / 2 - 1),
      points(size_t(std::max<CCoord>(size.width(), 0)), size.top + midHeight) {}

void CDrawBuffer::setSampleInterval(int32_t interval) {
    if (interval > 0) sampleInterval = interval;
}

void CDrawBuffer::setWaveColor(const CColor& color) {
    waveColor = color;
    setDirty(true);
}

void CDrawBuffer::setData(const float* samples, int32_t count) {
    writePosition = 0;
    for (int32_t i = 0; samples && !points.empty() && count > 0; i += sampleInterval) {
        const float s = std::isnan(samples[i]) ? 0.f : std::clamp(samples[i], -1.f, 1.f);
        points[writePosition] = size.top + CCoord((1.f - s) * float(midHeight));
        writePosition = (writePosition + 1) % points.size();
        count -= sampleInterval;
    }
    hasData = true;
    setDirty(true);
}

void CDrawBuffer::draw(CDrawContext* context) {
    if (pBackground) pBackground->draw(context, size, {});
    if (context && !points.empty()) {
        const CColor saved = context->getFrameColor();
        context->setFrameColor(waveColor);
        context->moveTo({size.left, points[0]});
        for (size_t i = 1; i < points.size(); ++i)
            context->lineTo({size.left + CCoord(i) - 1, points[i]});
        context->setFrameColor(saved);
    }
    // Left dirty once there is data, so every idle pass draws the latest.
    setDirty(hasData);
}

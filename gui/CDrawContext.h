#pragma once

#include "gui/CColor.h"
#include "gui/CRect.h"

#include <memory>

namespace GUI {

namespace platform {
class Painter;
class Surface;
} // namespace platform

enum CDrawStyle : int32_t { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };

// The drawing state a view paints with, over one target surface. The frame makes one per
// paint. [ui thread] for every operation.
class CDrawContext {
public:
    explicit CDrawContext(platform::Surface& target);
    virtual ~CDrawContext();
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    void setLineWidth(CCoord width) { lineWidth = width; }
    CCoord getLineWidth() const { return lineWidth; }
    void setFrameColor(const CColor& c) { frameColor = c; }
    CColor getFrameColor() const { return frameColor; }
    void setFillColor(const CColor& c) { fillColor = c; }
    CColor getFillColor() const { return fillColor; }

    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    void moveTo(const CPoint& p) { penLocation = p; }
    void lineTo(const CPoint& p);

    // Clipping nests: each pushClip narrows until the matching popClip.
    void pushClip(const CRect& area);
    void popClip();

    platform::Painter& getPainter() { return *painter; }

private:
    std::unique_ptr<platform::Painter> painter;
    CCoord lineWidth = 1;
    CColor frameColor = kBlackCColor;
    CColor fillColor = kWhiteCColor;
    CPoint penLocation;
};

// A draw context on an image of its own: draws without any display and lets the result be
// read back pixel by pixel.
class COffscreenContext final : public CDrawContext {
public:
    COffscreenContext(CCoord width, CCoord height);
    ~COffscreenContext() override;

    // 0xAARRGGBB with premultiplied alpha; 0 outside the image.
    uint32_t getPixel(CCoord x, CCoord y) const;
    platform::Surface& getSurface() { return *surface; }

private:
    explicit COffscreenContext(std::unique_ptr<platform::Surface> s);
    std::unique_ptr<platform::Surface> surface;
};

} // namespace GUI

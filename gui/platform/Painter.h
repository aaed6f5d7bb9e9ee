#pragma once

#include "gui/CColor.h"
#include "gui/CRect.h"

namespace GUI::platform {

class Surface;

// Draws into a Surface. Coordinates are integer pixels; rectangles cover whole pixels.
// [ui thread]
class Painter final {
public:
    explicit Painter(Surface& target);
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    void save();
    void restore();
    // Narrows the clip to the given area (intersected with the current clip).
    void clip(const CRect& r);

    // A closed line of the given width over the outermost pixels of r.
    void strokeRect(const CRect& r, double lineWidth, const CColor& c);
    void fillRect(const CRect& r, const CColor& c);
    // A line between the centres of two pixels.
    void line(const CPoint& from, const CPoint& to, double lineWidth, const CColor& c);
    // Copies the part of `image` starting at `source` into `dest` without scaling, scaled in
    // opacity by alpha (0..1). Nothing is drawn where `dest` reaches past the image.
    void drawImage(const Surface& image, const CRect& dest, const CPoint& source, double alpha);

private:
    void* cr;
};

} // namespace GUI::platform

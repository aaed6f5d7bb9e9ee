#pragma once

// The colours and the one drawing step both artwork programs share, so the editor and the
// control library print in the same inks.

#include <cairo.h>

namespace ArtworkPalette {

inline constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

inline constexpr Rgb kInk{0.937, 0.890, 0.784};   // cream print
inline constexpr Rgb kAmber{1.000, 0.560, 0.180}; // the accent

inline void setColor(cairo_t* cr, const Rgb& c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

} // namespace ArtworkPalette

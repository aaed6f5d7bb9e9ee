#pragma once

#include <cstdint>

namespace GUI {

using CCoord = int64_t;

// A pixel position; y grows downward.
struct CPoint {
    CCoord h = 0;
    CCoord v = 0;

    constexpr CPoint() = default;
    constexpr CPoint(CCoord h_, CCoord v_) : h(h_), v(v_) {}

    constexpr CPoint& offset(CCoord dh, CCoord dv) {
        h += dh;
        v += dv;
        return *this;
    }
    constexpr bool operator==(const CPoint&) const = default;
};

} // namespace GUI

#pragma once

#include <cstdint>

namespace GUI {

struct CColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255; // 255 = opaque

    constexpr bool operator==(const CColor&) const = default;
};

inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kBlackCColor{0, 0, 0, 255};

} // namespace GUI

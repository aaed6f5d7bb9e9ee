#pragma once

// The control library's artwork in the bundle's resources, as the artwork program paints it
// and the gallery shows it.
namespace ControlArtwork {

// The label font: key "ZudariraInfo_1" in the information dictionary names "OrvellaSans".
inline constexpr long kFontId = 1;
inline constexpr const char* kFontName = "OrvellaSans";

enum BitmapId : int {
    kCharacters = 10101, // 95 cells of 8 x 13, ' ' .. '~'
    kDigits,             // 13 cells of 10 x 16: 0 .. 9, point, plus, minus
    kButton,             // 2 frames of 60 x 22: off, on
    kMeter,              // 17 frames of 14 x 80: 16 levels, then overload
    kSelector,           // 6 frames of 90 x 40: a 2 x 3 grid, one cell lit per frame
    kMatrixCell,         // 2 cells of 16 x 16: off, on
    kMultiState,         // 4 frames of 40 x 20
    kKnob,               // 33 frames of 40 x 40
    kSliderHandle,       // 14 x 8
    kSliderTrack,        // 120 x 70, for 8 sliders
    kScope,              // 160 x 60
};

} // namespace ControlArtwork

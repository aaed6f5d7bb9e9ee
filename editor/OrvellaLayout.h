// The editor's face as data: every control's place, artwork and kind. The editor builds its
// window from this table and the artwork generator paints each bitmap to fit its place, so
// the two can never disagree. Plain data: no toolkit needed to read it.
#pragma once

#include <array>
#include <cstdint>

namespace OrvellaLayout {

enum class Kind : uint8_t { Knob, Switch, Button, Lamp, Toggle, LearnButton, AboutScreen };

struct Rect {
    int left, top, right, bottom;
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
};

struct Control {
    Kind kind;
    long tag;
    int parameter; // whose host value the control shows; -1 for none
    Rect rect;
    int bitmapId;
    int frames; // frames in the bitmap's strip
    int frameHeight;
};

inline constexpr int kWindowWidth = 675;
inline constexpr int kWindowHeight = 386;
inline constexpr int kBackgroundBitmap = 10001;
inline constexpr int kFirstControlBitmap = 10002;
inline constexpr int kLastBitmap = 10020;
inline constexpr long kAboutTag = 17;
inline constexpr long kLearnTag = 20;
// The learn button arms the sweep controller, which has no control of its own.
inline constexpr int kLearnParameter = 15;
// Parameters 0 .. 14 have a control each.
inline constexpr int kControlledParameters = 15;
// The switches' thresholds are these single-precision numbers, not 1/3 and 2/3.
inline constexpr float kSwitchLow = 0.33333f;
inline constexpr float kSwitchHigh = 0.66667f;

inline constexpr Rect kWindow{0, 0, kWindowWidth, kWindowHeight};

// In the order the controls are added: a later control lies above an earlier one.
inline constexpr std::array<Control, 19> kControls{{
    {Kind::Knob, 0, 0, {62, 59, 120, 117}, 10002, 33, 58},
    {Kind::Knob, 3, 3, {403, 59, 461, 117}, 10005, 33, 58},
    {Kind::Knob, 5, 5, {52, 146, 110, 204}, 10003, 33, 58},
    {Kind::Knob, 9, 9, {405, 145, 463, 203}, 10006, 33, 58},
    {Kind::Knob, 6, 6, {43, 222, 101, 280}, 10004, 33, 58},
    {Kind::Knob, 10, 10, {409, 221, 467, 279}, 10007, 33, 58},
    {Kind::Switch, 8, 8, {222, 226, 272, 287}, 10013, 3, 61},
    {Kind::Switch, 11, 11, {312, 226, 362, 287}, 10014, 3, 61},
    {Kind::Button, 1, 1, {139, 72, 166, 116}, 10008, 2, 44},
    {Kind::Button, 2, 2, {191, 72, 218, 116}, 10009, 2, 44},
    {Kind::Button, 4, 4, {301, 72, 328, 116}, 10010, 2, 44},
    {Kind::Button, 7, 7, {126, 228, 153, 272}, 10011, 2, 44},
    {Kind::Button, 12, 12, {326, 153, 353, 197}, 10012, 2, 44},
    {Kind::Lamp, 18, 13, {148, 135, 160, 147}, 10015, 2, 12},
    {Kind::Lamp, 19, 14, {365, 135, 377, 147}, 10016, 2, 12},
    {Kind::Toggle, 13, 13, {529, 251, 562, 325}, 10017, 4, 74},
    {Kind::Toggle, 14, 14, {597, 284, 630, 358}, 10018, 4, 74},
    {Kind::LearnButton, kLearnTag, -1, {535, 364, 588, 381}, 10019, 2, 17},
    {Kind::AboutScreen, kAboutTag, -1, {595, 358, 675, 386}, 10020, 1, kWindowHeight},
}};

// Whether a control of this kind stands for a parameter of its own (tags 0 .. 14).
constexpr bool isParameterControl(Kind kind) {
    return kind == Kind::Knob || kind == Kind::Switch || kind == Kind::Button ||
           kind == Kind::Toggle;
}

// The kind of control that shows a parameter; the about screen for parameters without one.
constexpr Kind kindOfParameter(long index) {
    for (const Control& c : kControls)
        if (isParameterControl(c.kind) && c.tag == index) return c.kind;
    return Kind::AboutScreen;
}

// The value a control of this kind shows for a host value: knobs any value, two-state
// controls and lamps on above one half, switches one of their three positions.
constexpr float quantised(Kind kind, float value) {
    switch (kind) {
    case Kind::Knob:
        return value;
    case Kind::Switch:
        return value > kSwitchHigh ? 1.0f : value > kSwitchLow ? 0.5f : 0.0f;
    default:
        return value > 0.5f ? 1.0f : 0.0f;
    }
}

} // namespace OrvellaLayout

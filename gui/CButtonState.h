#pragma once

#include <cstdint>

namespace GUI {

// Mouse buttons and modifier keys travel together in one bit set.
using CButtonState = int64_t;

enum : CButtonState {
    kLButton = 2,
    kMButton = 4,
    kRButton = 8,
    kShift = 16,
    kControl = 32,
    kAlt = 64,
    kApple = 128,
    kButton4 = 256,
    kButton5 = 512,
    kDoubleClick = 1024,
};

inline constexpr CButtonState kButtonMask = kLButton | kMButton | kRButton | kButton4 | kButton5;

// Right button or any modifier: the clicks a listener may claim before the control.
inline constexpr CButtonState kModifierClickMask = kRButton | kShift | kControl | kAlt | kApple;

// The host's key modifiers (Shift 1, Alternate 2, Command 4, Control 8) as button bits.
constexpr CButtonState buttonsFromKeyModifiers(unsigned char modifier) {
    CButtonState b = 0;
    if (modifier & 1) b |= kShift;
    if (modifier & 2) b |= kAlt;
    if (modifier & 4) b |= kApple;
    if (modifier & 8) b |= kControl;
    return b;
}

enum CMouseEventResult : int32_t {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled = 1,
    kMouseEventNotHandled = 2,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents = 3,
};

enum CMouseWheelAxis : int32_t { kMouseWheelAxisX, kMouseWheelAxisY };

} // namespace GUI

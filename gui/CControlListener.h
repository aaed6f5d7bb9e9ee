#pragma once

#include "gui/CButtonState.h"

#include <cstdint>

namespace GUI {

class CControl;

// Receives a control's value changes and gestures. [ui thread] for every operation.
class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    // A non-zero answer claims the click: the control never sees it.
    virtual int32_t controlModifierClicked(CControl*, CButtonState) { return 0; }
    virtual void controlBeginEdit(CControl*) {}
    virtual void controlEndEdit(CControl*) {}
};

} // namespace GUI

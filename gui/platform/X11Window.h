#pragma once

#include "gui/CButtonState.h"
#include "gui/CRect.h"

#include <memory>

struct VstKeyCode;

namespace GUI {
class CFrame;
}

namespace GUI::platform {

class Surface;

// The frame's child window inside the host's window, on a display connection of its own.
// Events are read only when the frame idles, so no thread is involved. [ui thread]
class X11Window final {
public:
    // Null when no display can be opened or `parent` (an X window id) does not exist.
    static std::unique_ptr<X11Window> create(void* parent, CFrame& frame);
    ~X11Window();
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    // Dispatches every pending event to the frame and adds exposed areas to `exposed`.
    void pumpEvents(CRect& exposed);
    // Copies `area` of the frame's image to the window.
    void present(const Surface& image, const CRect& area);
    // False once the window was destroyed from outside (with its parent, say).
    bool isAlive() const;
    unsigned long getWindowId() const;

    // Pointer buttons held and modifier keys, from an X event state mask.
    static CButtonState buttonsFromState(unsigned int state);
    // The button bit of an X button number; 0 for wheel and unknown buttons.
    static CButtonState buttonBit(unsigned int button);
    // A key press as the host's key record: virtual key for named keys, else the character.
    static VstKeyCode keyCodeFromKeySym(unsigned long keysym, unsigned int state);

private:
    struct Impl;
    explicit X11Window(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl;
};

} // namespace GUI::platform

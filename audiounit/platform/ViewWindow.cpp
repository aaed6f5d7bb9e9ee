#include "audiounit/platform/ViewWindow.h"

#include <X11/Xlib.h>

OSStatus ResizeViewWindow(unsigned long window, UInt32 width, UInt32 height) {
    if (!window || !width || !height) return paramErr;
    // A connection of its own: the host's is not ours to share across threads or modules.
    Display* display = XOpenDisplay(nullptr);
    if (!display) return ioErr;
    XResizeWindow(display, window, width, height);
    XSync(display, False);
    XCloseDisplay(display);
    return noErr;
}

#include "host/WindowEvents.h"

bool windowClosed(Display* display, Window window, Atom deleteWindow, bool* destroyed) {
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == DestroyNotify && event.xdestroywindow.window == window) {
            *destroyed = true;
            return true;
        }
        if (event.type == ClientMessage &&
            static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
            return true;
    }
    return false;
}

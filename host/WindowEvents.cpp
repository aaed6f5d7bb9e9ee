#include "host/WindowEvents.h"

#include <poll.h>

bool windowClosed(Display* display, Window window, Atom deleteWindow, bool* destroyed) {
    // One read, then what it brought: reading again would only find nothing.
    for (int n = XPending(display); n > 0; n = XEventsQueued(display, QueuedAlready)) {
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

bool waitForEvents(Display* display, int timeoutMs) {
    if (XEventsQueued(display, QueuedAlready) > 0) return true;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    return poll(&fd, 1, timeoutMs < 0 ? 0 : timeoutMs) > 0;
}

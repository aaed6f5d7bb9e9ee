// The X events a host's top-level window of its own cares about.
#pragma once

#include <X11/Xlib.h>

// [main thread] Reads every pending event; true once the window is closed by the user
// (the window manager's delete request) or destroyed by someone else, which sets
// *destroyed: then nothing is left to destroy.
bool windowClosed(Display* display, Window window, Atom deleteWindow, bool* destroyed);

// [main thread] Blocks until the server has sent something or `timeoutMs` have passed; true
// when there is something to read. Requests must have been flushed: Xlib's flush also
// reads, which an idle loop cannot afford on every pass.
bool waitForEvents(Display* display, int timeoutMs);

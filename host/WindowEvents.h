// The X events a host's top-level window of its own cares about.
#pragma once

#include <X11/Xlib.h>

// [main thread] Reads every pending event; true once the window is closed by the user
// (the window manager's delete request) or destroyed by someone else, which sets
// *destroyed: then nothing is left to destroy.
bool windowClosed(Display* display, Window window, Atom deleteWindow, bool* destroyed);

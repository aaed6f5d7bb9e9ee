#pragma once

#include "audiounit/platform/MacTypes.h"

// The stand-in view's window: an X11 window of the host's, named by its id, that the
// component's editor view fills. The only part of the adapter that talks to an X server.

// Resizes the window; paramErr for a null window or size, ioErr without a display.
// [main thread] blocks on the X server's round trip.
OSStatus ResizeViewWindow(unsigned long window, UInt32 width, UInt32 height);

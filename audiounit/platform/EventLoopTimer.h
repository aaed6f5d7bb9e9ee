#pragma once

#include "audiounit/platform/MacTypes.h"

// Repeating timers of the main event loop. No thread runs them: the host's own loop calls
// RunMainEventLoopTimers from its idle pass, which fires every timer that is due.

struct EventLoopTimer;
using EventLoopTimerRef = EventLoopTimer*;
using EventLoopTimerProc = void (*)(EventLoopTimerRef timer, void* userData);

// Delays and interval in seconds; an interval of 0 fires once. [main thread]
OSStatus InstallEventLoopTimer(double firstDelay, double interval, EventLoopTimerProc proc,
                               void* userData, EventLoopTimerRef* timer);
// paramErr for an unknown timer. [main thread]
OSStatus RemoveEventLoopTimer(EventLoopTimerRef timer);
// Fires every due timer once, in the order they were installed; a timer removed by an
// earlier callback of the same pass is not fired. Answers how many fired. [main thread]
int RunMainEventLoopTimers();

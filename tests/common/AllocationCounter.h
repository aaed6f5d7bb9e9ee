// Counts every allocation of the test program it is linked into, on every thread.
#pragma once

// [any thread] Allocations since the program started.
long allocationCount();

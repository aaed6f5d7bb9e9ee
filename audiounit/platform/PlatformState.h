#pragma once

#include "audiounit/platform/HostIdentity.h"

#include <mutex>
#include <optional>
#include <vector>

struct AUListenerBase;
struct EventLoopTimer;

// The stand-in services' process-wide state. A component bundle carries its own copy of
// these services, so every copy in a process uses the one state of the host program (which
// exports it), and only a program that does not falls back to its own.
struct PlatformState {
    std::mutex listenerLock;
    std::vector<AUListenerBase*> listeners;
    std::vector<EventLoopTimer*> timers;      // [main thread]
    std::optional<HostIdentity> hostIdentity; // [main thread]
};

// [any thread] The first call of a module looks the state up; it never blocks afterwards.
PlatformState& platformState();

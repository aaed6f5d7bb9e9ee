#include "audiounit/platform/PlatformState.h"

#include <dlfcn.h>

namespace {

PlatformState& ownState() {
    static PlatformState state;
    return state;
}

} // namespace

// Exported from programs that link these services (see CMakeLists.txt): the rendezvous of
// every copy in the process.
extern "C" __attribute__((visibility("default"))) PlatformState* OrvellaAUPlatformState() {
    return &ownState();
}

PlatformState& platformState() {
    static PlatformState* const state = [] {
        using Getter = PlatformState* (*)();
        auto shared = reinterpret_cast<Getter>(dlsym(RTLD_DEFAULT, "OrvellaAUPlatformState"));
        return shared ? shared() : &ownState();
    }();
    return *state;
}

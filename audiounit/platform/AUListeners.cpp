#include "audiounit/platform/AUListeners.h"

#include "audiounit/platform/PlatformState.h"

#include <algorithm>
#include <vector>

struct AUListenerBase {
    AUParameterListenerProc parameterProc;
    AUEventListenerProc eventProc;
    void* refCon;
};

namespace {

OSStatus add(AUListenerBase entry, AUListenerBase** listener) {
    if (!listener || (!entry.parameterProc && !entry.eventProc)) return paramErr;
    auto* handle = new AUListenerBase(entry);
    PlatformState& r = platformState();
    std::lock_guard guard(r.listenerLock);
    r.listeners.push_back(handle);
    *listener = handle;
    return noErr;
}

// The subscribers at the time of the call, except the sender.
std::vector<AUListenerBase> subscribers(const AUListenerBase* sender) {
    PlatformState& r = platformState();
    std::lock_guard guard(r.listenerLock);
    std::vector<AUListenerBase> result;
    for (const AUListenerBase* handle : r.listeners) {
        if (handle != sender) result.push_back(*handle);
    }
    return result;
}

} // namespace

OSStatus AUListenerCreate(AUParameterListenerProc proc, void* refCon,
                          AUParameterListenerRef* listener) {
    return add({proc, nullptr, refCon}, listener);
}

OSStatus AUEventListenerCreate(AUEventListenerProc proc, void* refCon,
                               AUEventListenerRef* listener) {
    return add({nullptr, proc, refCon}, listener);
}

OSStatus AUListenerDispose(AUListenerBase* listener) {
    PlatformState& r = platformState();
    std::lock_guard guard(r.listenerLock);
    const auto found = std::find(r.listeners.begin(), r.listeners.end(), listener);
    if (found == r.listeners.end()) return paramErr;
    r.listeners.erase(found);
    delete listener;
    return noErr;
}

OSStatus AUParameterListenerNotify(AUParameterListenerRef sendingListener, void* sendingObject,
                                   const AudioUnitParameter* parameter) {
    if (!parameter) return paramErr;
    for (const AUListenerBase& l : subscribers(sendingListener)) {
        if (l.parameterProc) l.parameterProc(l.refCon, sendingObject, parameter);
    }
    return noErr;
}

OSStatus AUEventListenerNotify(AUEventListenerRef sendingListener, void* sendingObject,
                               const AudioUnitEvent* event) {
    if (!event) return paramErr;
    for (const AUListenerBase& l : subscribers(sendingListener)) {
        if (l.eventProc) l.eventProc(l.refCon, sendingObject, event);
    }
    return noErr;
}

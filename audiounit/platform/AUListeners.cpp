#include "audiounit/platform/AUListeners.h"

#include <algorithm>
#include <mutex>
#include <vector>

struct AUListenerBase {
    AUParameterListenerProc parameterProc;
    AUEventListenerProc eventProc;
    void* refCon;
};

namespace {

struct Registry {
    std::mutex lock;
    std::vector<AUListenerBase*> handles;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

OSStatus add(AUListenerBase entry, AUListenerBase** listener) {
    if (!listener || (!entry.parameterProc && !entry.eventProc)) return paramErr;
    auto* handle = new AUListenerBase(entry);
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    r.handles.push_back(handle);
    *listener = handle;
    return noErr;
}

// The subscribers at the time of the call, except the sender.
std::vector<AUListenerBase> subscribers(const AUListenerBase* sender) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    std::vector<AUListenerBase> result;
    for (const AUListenerBase* handle : r.handles) {
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
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    const auto found = std::find(r.handles.begin(), r.handles.end(), listener);
    if (found == r.handles.end()) return paramErr;
    r.handles.erase(found);
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

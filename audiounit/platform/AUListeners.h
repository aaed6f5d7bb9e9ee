#pragma once

#include "audiounit/platform/AudioUnitTypes.h"

// The process-wide listener registry that hosts subscribe to: every notification reaches
// every subscriber of its kind, in the order they subscribed. Subscribers are called
// without the registry's lock held, so they may subscribe or unsubscribe from a callback.

using AUParameterListenerProc = void (*)(void* refCon, void* object,
                                         const AudioUnitParameter* parameter);
using AUEventListenerProc = void (*)(void* refCon, void* object, const AudioUnitEvent* event);

struct AUListenerBase;
using AUParameterListenerRef = AUListenerBase*;
using AUEventListenerRef = AUListenerBase*;

// [any thread] may block briefly on the registry's lock; allocates.
OSStatus AUListenerCreate(AUParameterListenerProc proc, void* refCon,
                          AUParameterListenerRef* listener);
OSStatus AUEventListenerCreate(AUEventListenerProc proc, void* refCon,
                               AUEventListenerRef* listener);
// Unsubscribes and frees either kind; paramErr for an unknown listener.
// [any thread] may block briefly on the registry's lock.
OSStatus AUListenerDispose(AUListenerBase* listener);

// The sending listener, when given, is not called back. [any thread] may block briefly on
// the registry's lock; allocates.
OSStatus AUParameterListenerNotify(AUParameterListenerRef sendingListener, void* sendingObject,
                                   const AudioUnitParameter* parameter);
OSStatus AUEventListenerNotify(AUEventListenerRef sendingListener, void* sendingObject,
                               const AudioUnitEvent* event);

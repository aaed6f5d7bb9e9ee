#pragma once

#include "audiounit/platform/AudioUnitRenderTypes.h"
#include "audiounit/platform/Components.h"

// The Audio Unit calls a host makes on an open instance, each one selector of the
// component's entry. How their arguments travel (ComponentParameters::params, in order):
//   initialise 1, uninitialise 2: none
//   get property info 3: id, scope, element, UInt32* size (may be null), Boolean* writable
//   get property 4: id, scope, element, void* data (null: only the size), UInt32* size
//   set property 5: id, scope, element, const void* data, UInt32 size
//   get parameter 6: id, scope, element, Float32* value
//   set parameter 7: id, scope, element, Float32 value (its bits), UInt32 offset
//   reset 9: scope, element
//   add property listener 10: id, procedure, reference
//   render 14: UInt32* flags, const AudioTimeStamp*, UInt32 bus, UInt32 frames,
//              AudioBufferList*
//   add / remove render notification 15 / 16: procedure, reference
//   schedule parameters 17: const AudioUnitParameterEvent*, UInt32 count
//   remove property listener with user data 18: id, procedure, reference
//   MIDI event 257: status, data 1, data 2, UInt32 offset
enum : SInt16 {
    kAudioUnitInitializeSelect = 1,
    kAudioUnitUninitializeSelect = 2,
    kAudioUnitGetPropertyInfoSelect = 3,
    kAudioUnitGetPropertySelect = 4,
    kAudioUnitSetPropertySelect = 5,
    kAudioUnitGetParameterSelect = 6,
    kAudioUnitSetParameterSelect = 7,
    kAudioUnitResetSelect = 9,
    kAudioUnitAddPropertyListenerSelect = 10,
    kAudioUnitRenderSelect = 14,
    kAudioUnitAddRenderNotifySelect = 15,
    kAudioUnitRemoveRenderNotifySelect = 16,
    kAudioUnitScheduleParametersSelect = 17,
    kAudioUnitRemovePropertyListenerWithUserDataSelect = 18,
    kMusicDeviceMIDIEventSelect = 257,
};

enum : OSStatus {
    kAudioUnitErr_InvalidProperty = -10879,
    kAudioUnitErr_InvalidParameter = -10878,
    kAudioUnitErr_InvalidElement = -10877,
    kAudioUnitErr_FormatNotSupported = -10868,
    kAudioUnitErr_Uninitialized = -10867,
    kAudioUnitErr_InvalidScope = -10866,
    kAudioUnitErr_InvalidPropertyValue = -10851,
};

// [main thread]
OSStatus AudioUnitInitialize(AudioUnit unit);
OSStatus AudioUnitUninitialize(AudioUnit unit);
OSStatus AudioUnitReset(AudioUnit unit, UInt32 scope, UInt32 element);
OSStatus AudioUnitGetPropertyInfo(AudioUnit unit, UInt32 id, UInt32 scope, UInt32 element,
                                  UInt32* size, Boolean* writable);
OSStatus AudioUnitGetProperty(AudioUnit unit, UInt32 id, UInt32 scope, UInt32 element, void* data,
                              UInt32* size);
OSStatus AudioUnitSetProperty(AudioUnit unit, UInt32 id, UInt32 scope, UInt32 element,
                              const void* data, UInt32 size);
OSStatus AudioUnitAddPropertyListener(AudioUnit unit, UInt32 id, AudioUnitPropertyListenerProc proc,
                                      void* refCon);
OSStatus AudioUnitRemovePropertyListenerWithUserData(AudioUnit unit, UInt32 id,
                                                     AudioUnitPropertyListenerProc proc,
                                                     void* refCon);
OSStatus AudioUnitAddRenderNotify(AudioUnit unit, AURenderCallback proc, void* refCon);
OSStatus AudioUnitRemoveRenderNotify(AudioUnit unit, AURenderCallback proc, void* refCon);
// [any thread, as the component allows]
OSStatus AudioUnitGetParameter(AudioUnit unit, UInt32 id, UInt32 scope, UInt32 element,
                               Float32* value);
OSStatus AudioUnitSetParameter(AudioUnit unit, UInt32 id, UInt32 scope, UInt32 element,
                               Float32 value, UInt32 offset);
// [audio thread]
OSStatus AudioUnitScheduleParameters(AudioUnit unit, const AudioUnitParameterEvent* events,
                                     UInt32 count);
OSStatus AudioUnitRender(AudioUnit unit, UInt32* flags, const AudioTimeStamp* timeStamp, UInt32 bus,
                         UInt32 frames, AudioBufferList* data);
OSStatus MusicDeviceMIDIEvent(AudioUnit unit, UInt32 status, UInt32 data1, UInt32 data2,
                              UInt32 offset);

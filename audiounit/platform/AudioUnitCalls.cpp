#include "audiounit/platform/AudioUnitCalls.h"

#include <bit>

namespace {

std::intptr_t arg(const void* pointer) {
    return reinterpret_cast<std::intptr_t>(pointer);
}

template <class Proc> std::intptr_t procArg(Proc proc) {
    return reinterpret_cast<std::intptr_t>(proc);
}

} // namespace

OSStatus AudioUnitInitialize(AudioUnit unit) {
    return CallComponent(unit, kAudioUnitInitializeSelect);
}

OSStatus AudioUnitUninitialize(AudioUnit unit) {
    return CallComponent(unit, kAudioUnitUninitializeSelect);
}

OSStatus AudioUnitReset(AudioUnit unit, UInt32 scope, UInt32 element) {
    return CallComponent(unit, kAudioUnitResetSelect, {scope, element});
}

OSStatus AudioUnitGetPropertyInfo(AudioUnit unit, UInt32 id, UInt32 scope, UInt32 element,
                                  UInt32* size, Boolean* writable) {
    return CallComponent(unit, kAudioUnitGetPropertyInfoSelect,
                         {id, scope, element, arg(size), arg(writable)});
}

OSStatus AudioUnitGetProperty(AudioUnit unit, UInt32 id, UInt32 scope, UInt32 element, void* data,
                              UInt32* size) {
    return CallComponent(unit, kAudioUnitGetPropertySelect,
                         {id, scope, element, arg(data), arg(size)});
}

OSStatus AudioUnitSetProperty(AudioUnit unit, UInt32 id, UInt32 scope, UInt32 element,
                              const void* data, UInt32 size) {
    return CallComponent(unit, kAudioUnitSetPropertySelect, {id, scope, element, arg(data), size});
}

OSStatus AudioUnitAddPropertyListener(AudioUnit unit, UInt32 id, AudioUnitPropertyListenerProc proc,
                                      void* refCon) {
    return CallComponent(unit, kAudioUnitAddPropertyListenerSelect,
                         {id, procArg(proc), arg(refCon)});
}

OSStatus AudioUnitRemovePropertyListenerWithUserData(AudioUnit unit, UInt32 id,
                                                     AudioUnitPropertyListenerProc proc,
                                                     void* refCon) {
    return CallComponent(unit, kAudioUnitRemovePropertyListenerWithUserDataSelect,
                         {id, procArg(proc), arg(refCon)});
}

OSStatus AudioUnitAddRenderNotify(AudioUnit unit, AURenderCallback proc, void* refCon) {
    return CallComponent(unit, kAudioUnitAddRenderNotifySelect, {procArg(proc), arg(refCon)});
}

OSStatus AudioUnitRemoveRenderNotify(AudioUnit unit, AURenderCallback proc, void* refCon) {
    return CallComponent(unit, kAudioUnitRemoveRenderNotifySelect, {procArg(proc), arg(refCon)});
}

OSStatus AudioUnitGetParameter(AudioUnit unit, UInt32 id, UInt32 scope, UInt32 element,
                               Float32* value) {
    return CallComponent(unit, kAudioUnitGetParameterSelect, {id, scope, element, arg(value)});
}

OSStatus AudioUnitSetParameter(AudioUnit unit, UInt32 id, UInt32 scope, UInt32 element,
                               Float32 value, UInt32 offset) {
    return CallComponent(unit, kAudioUnitSetParameterSelect,
                         {id, scope, element, std::bit_cast<UInt32>(value), offset});
}

OSStatus AudioUnitScheduleParameters(AudioUnit unit, const AudioUnitParameterEvent* events,
                                     UInt32 count) {
    return CallComponent(unit, kAudioUnitScheduleParametersSelect, {arg(events), count});
}

OSStatus AudioUnitRender(AudioUnit unit, UInt32* flags, const AudioTimeStamp* timeStamp, UInt32 bus,
                         UInt32 frames, AudioBufferList* data) {
    return CallComponent(unit, kAudioUnitRenderSelect,
                         {arg(flags), arg(timeStamp), bus, frames, arg(data)});
}

OSStatus MusicDeviceMIDIEvent(AudioUnit unit, UInt32 status, UInt32 data1, UInt32 data2,
                              UInt32 offset) {
    return CallComponent(unit, kMusicDeviceMIDIEventSelect, {status, data1, data2, offset});
}

#pragma once

#include "audiounit/platform/CFString.h"
#include "audiounit/platform/MacTypes.h"

#include <cstddef>

// The Audio Unit interface's records in their published 64-bit shapes.

struct ComponentInstanceRecord;
using ComponentInstance = ComponentInstanceRecord*;
using AudioUnit = ComponentInstance;

enum : UInt32 {
    kAudioUnitScope_Global = 0,
    kAudioUnitScope_Input = 1,
    kAudioUnitScope_Output = 2,
};

enum : UInt32 {
    kAudioUnitParameterUnit_Generic = 0,
    kAudioUnitParameterUnit_Indexed = 1,
    kAudioUnitParameterUnit_Boolean = 2,
    kAudioUnitParameterUnit_CustomUnit = 26,
};

enum : UInt32 {
    kAudioUnitParameterFlag_ValuesHaveStrings = 1u << 21,
    kAudioUnitParameterFlag_HasCFNameString = 1u << 27,
    kAudioUnitParameterFlag_IsGlobalMeta = 1u << 28,
    kAudioUnitParameterFlag_IsReadable = 1u << 30,
    kAudioUnitParameterFlag_IsWritable = 1u << 31,
};

struct AudioUnitParameterInfo {
    char name[52];
    CFStringRef unitName;
    UInt32 clumpID;
    CFStringRef cfNameString;
    UInt32 unit;
    Float32 minValue;
    Float32 maxValue;
    Float32 defaultValue;
    UInt32 flags;
};
static_assert(sizeof(AudioUnitParameterInfo) == 104);
static_assert(offsetof(AudioUnitParameterInfo, unitName) == 56);
static_assert(offsetof(AudioUnitParameterInfo, clumpID) == 64);
static_assert(offsetof(AudioUnitParameterInfo, cfNameString) == 72);
static_assert(offsetof(AudioUnitParameterInfo, unit) == 80);
static_assert(offsetof(AudioUnitParameterInfo, flags) == 96);

struct AUPreset {
    SInt32 presetNumber;
    CFStringRef presetName;
};
static_assert(sizeof(AUPreset) == 16);
static_assert(offsetof(AUPreset, presetName) == 8);

struct AUChannelInfo {
    SInt16 inChannels;
    SInt16 outChannels;
};
static_assert(sizeof(AUChannelInfo) == 4);

struct AudioStreamBasicDescription {
    Float64 mSampleRate;
    UInt32 mFormatID;
    UInt32 mFormatFlags;
    UInt32 mBytesPerPacket;
    UInt32 mFramesPerPacket;
    UInt32 mBytesPerFrame;
    UInt32 mChannelsPerFrame;
    UInt32 mBitsPerChannel;
    UInt32 mReserved;
};
static_assert(sizeof(AudioStreamBasicDescription) == 40);
static_assert(offsetof(AudioStreamBasicDescription, mChannelsPerFrame) == 28);

struct AudioUnitParameter {
    AudioUnit mAudioUnit;
    UInt32 mParameterID;
    UInt32 mScope;
    UInt32 mElement;
};
static_assert(sizeof(AudioUnitParameter) == 24);
static_assert(offsetof(AudioUnitParameter, mElement) == 16);

struct AudioUnitProperty {
    AudioUnit mAudioUnit;
    UInt32 mPropertyID;
    UInt32 mScope;
    UInt32 mElement;
};
static_assert(sizeof(AudioUnitProperty) == 24);

enum : UInt32 {
    kAudioUnitEvent_ParameterValueChange = 0,
    kAudioUnitEvent_BeginParameterChangeGesture = 1,
    kAudioUnitEvent_EndParameterChangeGesture = 2,
    kAudioUnitEvent_PropertyChange = 3,
};

struct AudioUnitEvent {
    UInt32 mEventType;
    union {
        AudioUnitParameter mParameter;
        AudioUnitProperty mProperty;
    } mArgument;
};
static_assert(sizeof(AudioUnitEvent) == 32);
static_assert(offsetof(AudioUnitEvent, mArgument) == 8);

#pragma once

#include "audiounit/platform/AudioUnitProperties.h"
#include "audiounit/platform/AudioUnitTypes.h"

#include <cstddef>

// The Audio Unit interface's records for rendering, connections, host callbacks and value
// texts, in their published 64-bit shapes.

enum : UInt32 {
    kAudioFormatLinearPCM = fourCharCode("lpcm"),
    kAudioFormatFlagIsFloat = 1,
    kAudioFormatFlagIsPacked = 8,
    kAudioFormatFlagIsNonInterleaved = 32,
};

enum : UInt32 {
    kAudioUnitRenderAction_PreRender = 4,
    kAudioUnitRenderAction_PostRender = 8,
    kAudioUnitRenderAction_OutputIsSilence = 16,
};

enum : UInt32 {
    kAudioTimeStampSampleTimeValid = 1,
};

enum : UInt32 {
    kParameterEvent_Immediate = 1,
    kParameterEvent_Ramped = 2,
};

struct AudioBuffer {
    UInt32 mNumberChannels;
    UInt32 mDataByteSize;
    void* mData;
};
static_assert(sizeof(AudioBuffer) == 16);
static_assert(offsetof(AudioBuffer, mData) == 8);

// Declared with one buffer; callers allocate room for mNumberBuffers of them.
struct AudioBufferList {
    UInt32 mNumberBuffers;
    AudioBuffer mBuffers[1];
};
static_assert(sizeof(AudioBufferList) == 24);
static_assert(offsetof(AudioBufferList, mBuffers) == 8);

struct SMPTETime {
    SInt16 mSubframes;
    SInt16 mSubframeDivisor;
    UInt32 mCounter;
    UInt32 mType;
    UInt32 mFlags;
    SInt16 mHours;
    SInt16 mMinutes;
    SInt16 mSeconds;
    SInt16 mFrames;
};
static_assert(sizeof(SMPTETime) == 24);

struct AudioTimeStamp {
    Float64 mSampleTime;
    UInt64 mHostTime;
    Float64 mRateScalar;
    UInt64 mWordClockTime;
    SMPTETime mSMPTETime;
    UInt32 mFlags;
    UInt32 mReserved;
};
static_assert(sizeof(AudioTimeStamp) == 64);
static_assert(offsetof(AudioTimeStamp, mFlags) == 56);

using AURenderCallback = OSStatus (*)(void* refCon, UInt32* actionFlags,
                                      const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 frames,
                                      AudioBufferList* data);
using AudioUnitPropertyListenerProc = void (*)(void* refCon, AudioUnit unit, UInt32 property,
                                               UInt32 scope, UInt32 element);

struct AURenderCallbackStruct {
    AURenderCallback inputProc;
    void* inputProcRefCon;
};
static_assert(sizeof(AURenderCallbackStruct) == 16);

struct AudioUnitConnection {
    AudioUnit sourceAudioUnit;
    UInt32 sourceOutputNumber;
    UInt32 destInputNumber;
};
static_assert(sizeof(AudioUnitConnection) == 16);

using HostCallback_GetBeatAndTempo = OSStatus (*)(void* userData, Float64* beat, Float64* tempo);
using HostCallback_GetMusicalTimeLocation = OSStatus (*)(void* userData, UInt32* deltaToNextBeat,
                                                         Float32* numerator, UInt32* denominator,
                                                         Float64* downBeat);
using HostCallback_GetTransportState = OSStatus (*)(void* userData, Boolean* playing,
                                                    Boolean* changed, Float64* sampleInTimeLine,
                                                    Boolean* cycling, Float64* cycleStart,
                                                    Float64* cycleEnd);

struct HostCallbackInfo {
    void* hostUserData;
    HostCallback_GetBeatAndTempo beatAndTempoProc;
    HostCallback_GetMusicalTimeLocation musicalTimeLocationProc;
    HostCallback_GetTransportState transportStateProc;
};
static_assert(sizeof(HostCallbackInfo) == 32);

struct AudioUnitParameterStringFromValue {
    UInt32 inParamID;
    const Float32* inValue; // null: the current value
    CFStringRef outString;  // new, for the caller to release
};
static_assert(sizeof(AudioUnitParameterStringFromValue) == 24);
static_assert(offsetof(AudioUnitParameterStringFromValue, outString) == 16);

struct AudioUnitParameterValueFromString {
    UInt32 inParamID;
    CFStringRef inString;
    Float32 outValue;
};
static_assert(sizeof(AudioUnitParameterValueFromString) == 24);
static_assert(offsetof(AudioUnitParameterValueFromString, outValue) == 16);

struct AudioUnitParameterEvent {
    UInt32 scope;
    UInt32 element;
    UInt32 parameter;
    UInt32 eventType;
    union {
        struct {
            SInt32 startBufferOffset;
            UInt32 durationInFrames;
            Float32 startValue;
            Float32 endValue;
        } ramp;
        struct {
            UInt32 bufferOffset;
            Float32 value;
        } immediate;
    } eventValues;
};
static_assert(sizeof(AudioUnitParameterEvent) == 32);
static_assert(offsetof(AudioUnitParameterEvent, eventValues) == 16);

// The view factory's stand-in (property 31): the bundle holding the factory, and the name
// of the function in it that opens a view (see DoruvezovViewEntry).
struct AudioUnitCocoaViewInfo {
    CFStringRef mCocoaAUViewBundleLocation; // the bundle's folder
    CFStringRef mCocoaAUViewClass[1];
};
static_assert(sizeof(AudioUnitCocoaViewInfo) == 16);

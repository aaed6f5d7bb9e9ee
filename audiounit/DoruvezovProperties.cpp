// The component's selectors: properties with their scope, element, size and access rules,
// parameters through the effect's own value conversions, listeners and the lifecycle.
#include "audiounit/DoruvezovComponent.h"
#include "audiounit/platform/AudioUnitCalls.h"
#include "vstbridge/DoruvezovException.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr int kVendorNaturalToHost = 12345;
constexpr int kVendorHostToNatural = 23456;
constexpr VstInt32 kValueToString = CCONST('s', 'V', '2', 'S');
constexpr VstInt32 kStringToValue = CCONST('s', 'S', '2', 'V');
constexpr UInt32 kAudioFormatFlagsNeeded =
    kAudioFormatFlagIsFloat | kAudioFormatFlagIsNonInterleaved;
constexpr std::size_t kValueTextLength = 256;

[[noreturn]] void fail(OSStatus status) {
    throw MacOSException(status);
}

template <class T> T argument(const ComponentParameters* p, int i) {
    if (i >= p->paramCount) fail(paramErr);
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<T>(p->params[i]);
    } else {
        return static_cast<T>(p->params[i]);
    }
}

template <class T> void put(void* data, const T& value) {
    std::memcpy(data, &value, sizeof value);
}

template <class T> T take(const void* data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

CFStringRef retained(CFStringRef string) {
    return static_cast<CFStringRef>(CFRetain(string));
}

} // namespace

ComponentResult DoruvezovComponent::dispatch(ComponentParameters* p) {
    switch (p->what) {
    case kAudioUnitInitializeSelect:
        initialize();
        return noErr;
    case kAudioUnitUninitializeSelect:
        if (vst->isResumed()) vst->suspend();
        return noErr;
    case kAudioUnitGetPropertyInfoSelect:
        getPropertyInfo(argument<UInt32>(p, 0), argument<UInt32>(p, 1), argument<UInt32>(p, 2),
                        argument<UInt32*>(p, 3), argument<Boolean*>(p, 4));
        return noErr;
    case kAudioUnitGetPropertySelect:
        getProperty(argument<UInt32>(p, 0), argument<UInt32>(p, 1), argument<UInt32>(p, 2),
                    argument<void*>(p, 3), argument<UInt32*>(p, 4));
        return noErr;
    case kAudioUnitSetPropertySelect:
        setProperty(argument<UInt32>(p, 0), argument<UInt32>(p, 1), argument<UInt32>(p, 2),
                    argument<const void*>(p, 3), argument<UInt32>(p, 4));
        return noErr;
    case kAudioUnitGetParameterSelect: {
        auto* value = argument<Float32*>(p, 3);
        if (!value) fail(paramErr);
        *value = getParameter(argument<UInt32>(p, 0), argument<UInt32>(p, 1));
        return noErr;
    }
    case kAudioUnitSetParameterSelect:
        setParameter(argument<UInt32>(p, 0), argument<UInt32>(p, 1),
                     std::bit_cast<Float32>(argument<UInt32>(p, 3)));
        return noErr;
    case kAudioUnitResetSelect:
        reset(argument<UInt32>(p, 0));
        return noErr;
    case kAudioUnitAddPropertyListenerSelect:
        addPropertyListener(argument<UInt32>(p, 0), argument<AudioUnitPropertyListenerProc>(p, 1),
                            argument<void*>(p, 2));
        return noErr;
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
        removePropertyListener(argument<UInt32>(p, 0),
                               argument<AudioUnitPropertyListenerProc>(p, 1),
                               argument<void*>(p, 2));
        return noErr;
    case kAudioUnitRenderSelect:
        render(argument<UInt32*>(p, 0), argument<const AudioTimeStamp*>(p, 1),
               argument<UInt32>(p, 2), argument<UInt32>(p, 3), argument<AudioBufferList*>(p, 4));
        return noErr;
    case kAudioUnitAddRenderNotifySelect:
        addRenderNotify(argument<AURenderCallback>(p, 0), argument<void*>(p, 1));
        return noErr;
    case kAudioUnitRemoveRenderNotifySelect:
        removeRenderNotify(argument<AURenderCallback>(p, 0), argument<void*>(p, 1));
        return noErr;
    case kAudioUnitScheduleParametersSelect:
        scheduleParameters(argument<const AudioUnitParameterEvent*>(p, 0), argument<UInt32>(p, 1));
        return noErr;
    case kMusicDeviceMIDIEventSelect:
        addMidiEvent(argument<UInt32>(p, 0), argument<UInt32>(p, 1), argument<UInt32>(p, 2),
                     argument<UInt32>(p, 3));
        return noErr;
    default:
        return badComponentSelector;
    }
}

void DoruvezovComponent::initialize() {
    if (vst->isResumed()) return;
    vst->resume();
    updateLatencyAndTail();
    takesMidi = vst->wantsMidi();
}

void DoruvezovComponent::restartEffect() {
    vst->suspend();
    vst->resume();
    updateLatencyAndTail();
    takesMidi = vst->wantsMidi();
}

void DoruvezovComponent::reset(UInt32 scope) {
    if (scope != kAudioUnitScope_Global) fail(kAudioUnitErr_InvalidScope);
    if (vst->isResumed()) restartEffect();
    lastSampleTime = kNoSampleTime;
}

const Bus& DoruvezovComponent::busOf(UInt32 scope, UInt32 element) const {
    const std::vector<Bus>& buses = scope == kAudioUnitScope_Input ? inputs : outputs;
    if (element >= buses.size()) fail(kAudioUnitErr_InvalidElement);
    return buses[element];
}

// The global scope stands for the first output bus.
UInt32& DoruvezovComponent::channelsOf(UInt32 scope, UInt32 element) {
    if (scope == kAudioUnitScope_Global) element = 0;
    busOf(scope, element);
    return (scope == kAudioUnitScope_Input ? inputChannels : outputChannels)[element];
}

bool DoruvezovComponent::busIsFed(UInt32 scope, UInt32 element) const {
    if (scope != kAudioUnitScope_Input || element >= feeds.size()) return false;
    return feeds[element].connection.sourceAudioUnit || feeds[element].callback.inputProc;
}

DoruvezovComponent::PropertyRule DoruvezovComponent::propertyRule(UInt32 id, UInt32 scope,
                                                                  UInt32 element) const {
    const bool global = scope == kAudioUnitScope_Global;
    const bool bus = scope == kAudioUnitScope_Input || scope == kAudioUnitScope_Output;
    auto needScope = [](bool ok) {
        if (!ok) fail(kAudioUnitErr_InvalidScope);
    };
    auto needProperty = [](bool ok) {
        if (!ok) fail(kAudioUnitErr_InvalidProperty);
    };
    auto needElement = [](bool ok) {
        if (!ok) fail(kAudioUnitErr_InvalidElement);
    };
    auto fixed = [](UInt32 size, bool readable, bool writable) {
        return PropertyRule{size, size, readable, writable};
    };
    switch (id) {
    case kAudioUnitProperty_ClassInfo:
        needScope(global);
        return fixed(sizeof(CFTypeRef), true, true);
    case kAudioUnitProperty_MakeConnection:
    case kAudioUnitProperty_SetRenderCallback:
        needScope(scope == kAudioUnitScope_Input);
        needElement(element < inputs.size());
        return fixed(16, false, true);
    case kAudioUnitProperty_SampleRate:
    case kAudioUnitProperty_StreamFormat:
        needScope(global || bus);
        if (bus) busOf(scope, element);
        return fixed(id == kAudioUnitProperty_SampleRate ? sizeof(Float64)
                                                         : sizeof(AudioStreamBasicDescription),
                     true, !busIsFed(scope, element));
    case kAudioUnitProperty_ParameterList:
        return fixed(global ? UInt32(4 * parameters->mappedIds().size()) : 0, true, false);
    case kAudioUnitProperty_ParameterInfo:
        needScope(global);
        needElement(int(element) < parameters->parameterCount());
        return fixed(sizeof(AudioUnitParameterInfo), true, false);
    case kAudioUnitProperty_ElementCount:
    case kAudioUnitProperty_LastRenderError:
        if (id == kAudioUnitProperty_LastRenderError) needScope(global);
        return fixed(sizeof(UInt32), true, false);
    case kAudioUnitProperty_Latency:
        needScope(global);
        return fixed(sizeof(Float64), true, false);
    case kAudioUnitProperty_SupportedNumChannels:
        needScope(global);
        needProperty(!channelInfos.empty());
        return fixed(UInt32(sizeof(AUChannelInfo) * channelInfos.size()), true, false);
    case kAudioUnitProperty_MaximumFramesPerSlice:
        needScope(global);
        return fixed(sizeof(UInt32), true, true);
    case kAudioUnitProperty_ParameterValueStrings:
        needScope(global);
        if (!parameters->valueStrings(int(element))) fail(kAudioUnitErr_InvalidParameter);
        return fixed(sizeof(CFTypeRef), true, false);
    case kAudioUnitProperty_TailTime:
        needScope(global);
        needProperty(tail);
        return fixed(sizeof(Float64), true, false);
    case kAudioUnitProperty_BypassEffect:
        needScope(global);
        needProperty(bypass);
        return fixed(sizeof(UInt32), true, true);
    case kAudioUnitProperty_FactoryPresets:
        needScope(global);
        needProperty(presets->count() > 0);
        return fixed(sizeof(CFTypeRef), true, false);
    case kAudioUnitProperty_HostCallbacks:
        needScope(global);
        return {sizeof(HostCallbackInfo), 0, true, true};
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
        needScope(global);
        return {sizeof(AUPreset), sizeof(SInt32), true, true};
    case kAudioUnitProperty_ElementName: {
        needScope(bus);
        const auto named = [](const Bus& b) { return !b.name.empty(); };
        needProperty(std::any_of(inputs.begin(), inputs.end(), named) ||
                     std::any_of(outputs.begin(), outputs.end(), named));
        busOf(scope, element);
        return fixed(sizeof(CFTypeRef), true, false);
    }
    case kAudioUnitProperty_CocoaUI:
        needScope(global);
        needProperty(vst->hasEditor());
        return fixed(sizeof(AudioUnitCocoaViewInfo), true, false);
    case kAudioUnitProperty_ParameterStringFromValue:
    case kAudioUnitProperty_ParameterValueFromString:
        needScope(global);
        needProperty(aware);
        return fixed(24, true, false);
    case kMusicDeviceProperty_InstrumentCount:
        needScope(global);
        return fixed(sizeof(UInt32), true, false);
    default:
        fail(kAudioUnitErr_InvalidProperty);
    }
}

void DoruvezovComponent::getPropertyInfo(UInt32 id, UInt32 scope, UInt32 element, UInt32* size,
                                         Boolean* writable) {
    const PropertyRule rule = propertyRule(id, scope, element);
    if (size) *size = rule.size;
    if (writable) *writable = rule.writable;
}

void DoruvezovComponent::getProperty(UInt32 id, UInt32 scope, UInt32 element, void* data,
                                     UInt32* size) {
    if (!size) fail(paramErr);
    const PropertyRule rule = propertyRule(id, scope, element);
    if (!rule.readable) fail(kAudioUnitErr_InvalidProperty);
    if (!data) {
        *size = rule.size;
        return;
    }
    if (*size < rule.minSize) fail(kAudioUnitErr_InvalidPropertyValue);
    UInt32 written = rule.size;
    switch (id) {
    case kAudioUnitProperty_ClassInfo:
        put<CFTypeRef>(data, createClassInfo());
        break;
    case kAudioUnitProperty_SampleRate:
        put<Float64>(data, format.mSampleRate);
        break;
    case kAudioUnitProperty_ParameterList:
        if (written) std::memcpy(data, parameters->mappedIds().data(), written);
        break;
    case kAudioUnitProperty_ParameterInfo:
        put(data, *parameters->info(int(element)));
        break;
    case kAudioUnitProperty_StreamFormat: {
        AudioStreamBasicDescription answer = format;
        answer.mChannelsPerFrame = channelsOf(scope, element);
        put(data, answer);
        break;
    }
    case kAudioUnitProperty_ElementCount:
        put<UInt32>(data, scope == kAudioUnitScope_Input    ? UInt32(inputs.size())
                          : scope == kAudioUnitScope_Output ? UInt32(outputs.size())
                                                            : 0);
        break;
    case kAudioUnitProperty_Latency:
        updateLatencyAndTail();
        put<Float64>(data, latency);
        break;
    case kAudioUnitProperty_SupportedNumChannels:
        std::memcpy(data, channelInfos.data(), written);
        break;
    case kAudioUnitProperty_MaximumFramesPerSlice:
        put<UInt32>(data, maxFrames);
        break;
    case kAudioUnitProperty_ParameterValueStrings:
        put<CFTypeRef>(data, CFRetain(parameters->valueStrings(int(element))));
        break;
    case kAudioUnitProperty_TailTime:
        updateLatencyAndTail();
        put<Float64>(data, tailTime);
        break;
    case kAudioUnitProperty_BypassEffect:
        put<UInt32>(data, bypassState);
        break;
    case kAudioUnitProperty_LastRenderError:
    case kMusicDeviceProperty_InstrumentCount:
        put<UInt32>(data, 0);
        break;
    case kAudioUnitProperty_FactoryPresets: {
        // The stand-in's arrays hold counted values only: entry n is preset n's name.
        auto* list = new CFArray;
        for (int i = 0; i < presets->count(); ++i) list->append(presets->preset(i).presetName);
        put<CFTypeRef>(data, list);
        break;
    }
    case kAudioUnitProperty_HostCallbacks:
        written = std::min<UInt32>(*size, sizeof hostCallbacks);
        std::memcpy(data, &hostCallbacks, written);
        break;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
        put<SInt32>(data, current.number);
        written = sizeof(SInt32);
        if (*size >= sizeof(AUPreset)) {
            CFStringRef name = current.name.get();
            if (id == kAudioUnitProperty_PresentPreset) retained(name);
            put(data, AUPreset{current.number, name});
            written = sizeof(AUPreset);
        }
        break;
    case kAudioUnitProperty_ElementName:
        put<CFTypeRef>(data, CFStringCreateWithCString(busOf(scope, element).name.c_str()));
        break;
    case kAudioUnitProperty_CocoaUI:
        put(data, AudioUnitCocoaViewInfo{CFStringCreateWithCString(bundle->bundlePath().c_str()),
                                         {CFStringCreateWithCString("DoruvezovViewEntry")}});
        break;
    case kAudioUnitProperty_ParameterStringFromValue: {
        auto request = take<AudioUnitParameterStringFromValue>(data);
        checkParameter(request.inParamID, kAudioUnitScope_Global);
        const int id = int(request.inParamID);
        const float value = request.inValue ? *request.inValue : getParameter(id, 0);
        char text[kValueTextLength] = {};
        if (!vst->vendorSpecific(kValueToString, id, text, value)) {
            vst->getParameterDisplay(id, text);
        }
        text[kValueTextLength - 1] = 0;
        const char* start = text + std::strspn(text, " ");
        request.outString = CFStringCreateWithCString(start);
        put(data, request);
        break;
    }
    case kAudioUnitProperty_ParameterValueFromString: {
        auto request = take<AudioUnitParameterValueFromString>(data);
        checkParameter(request.inParamID, kAudioUnitScope_Global);
        if (!request.inString) fail(paramErr);
        const int id = int(request.inParamID);
        // The effect answers the normalised value's bits.
        const auto bits = vst->vendorSpecific(kStringToValue, id,
                                              const_cast<char*>(request.inString->text.c_str()), 0);
        const float normalised = std::bit_cast<float>(UInt32(bits));
        float natural = 0;
        vst->vendorSpecific(kVendorHostToNatural, id, &natural, normalised);
        request.outValue = natural;
        put(data, request);
        break;
    }
    default:
        fail(kAudioUnitErr_InvalidProperty);
    }
    *size = written;
}

void DoruvezovComponent::setProperty(UInt32 id, UInt32 scope, UInt32 element, const void* data,
                                     UInt32 size) {
    const PropertyRule rule = propertyRule(id, scope, element);
    if (!rule.writable) fail(kAudioUnitErr_InvalidProperty);
    if (!data || size < rule.minSize) fail(kAudioUnitErr_InvalidPropertyValue);
    switch (id) {
    case kAudioUnitProperty_ClassInfo:
        loadAUPreset(take<CFTypeRef>(data));
        break;
    case kAudioUnitProperty_MakeConnection:
        // A unit fed by itself would render itself without end.
        if (take<AudioUnitConnection>(data).sourceAudioUnit == instance)
            fail(kAudioUnitErr_InvalidPropertyValue);
        feeds[element].connection = take<AudioUnitConnection>(data);
        feeds[element].callback = {};
        announcePropertyChange(kAudioUnitProperty_MakeConnection, scope, element);
        announcePropertyChange(kAudioUnitProperty_SetRenderCallback, scope, element);
        break;
    case kAudioUnitProperty_SetRenderCallback:
        feeds[element].callback = take<AURenderCallbackStruct>(data);
        feeds[element].connection = {};
        announcePropertyChange(kAudioUnitProperty_SetRenderCallback, scope, element);
        announcePropertyChange(kAudioUnitProperty_MakeConnection, scope, element);
        break;
    case kAudioUnitProperty_SampleRate:
        updateSampleRate(take<Float64>(data));
        break;
    case kAudioUnitProperty_StreamFormat:
        updateFormat(scope, element, take<AudioStreamBasicDescription>(data));
        break;
    case kAudioUnitProperty_MaximumFramesPerSlice:
        updateMaxFramesPerSlice(take<UInt32>(data));
        break;
    case kAudioUnitProperty_BypassEffect:
        bypassState = take<UInt32>(data) != 0;
        vst->setBypass(bypassState);
        break;
    case kAudioUnitProperty_HostCallbacks: {
        HostCallbackInfo stored{};
        std::memcpy(&stored, data, std::min<UInt32>(size, sizeof stored));
        if (std::memcmp(&stored, &hostCallbacks, sizeof stored) == 0) break;
        hostCallbacks = stored;
        announcePropertyChange(kAudioUnitProperty_HostCallbacks, scope, element);
        break;
    }
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
        setCurrentPreset(data, size);
        break;
    default:
        fail(kAudioUnitErr_InvalidProperty);
    }
}

void DoruvezovComponent::setCurrentPreset(const void* data, UInt32 size) {
    const SInt32 number = take<SInt32>(data);
    if (number >= 0) {
        if (number >= presets->count()) fail(kAudioUnitErr_InvalidPropertyValue);
        const std::vector<unsigned char>& fx = presets->data(number);
        vst->loadFXPOrFXB(fx.size(), fx.data());
        current.number = number;
        current.name.reset(retained(presets->preset(number).presetName));
        announceCurrentPreset();
        return;
    }
    if (size >= sizeof(AUPreset)) {
        if (CFStringRef name = take<AUPreset>(data).presetName) updateCurrentVSTProgramName(name);
    }
    if (updateCurrentAUPreset() || current.number != -1) {
        current.number = -1;
        announceCurrentPreset();
    }
}

void DoruvezovComponent::announceCurrentPreset() {
    announcePropertyChange(kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0);
    announcePropertyChange(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0);
}

void DoruvezovComponent::updateSampleRate(Float64 rate) {
    if (!(rate > 0)) fail(kAudioUnitErr_InvalidPropertyValue);
    if (rate == format.mSampleRate) return;
    format.mSampleRate = rate;
    vst->setSampleRate(float(rate));
    for (UInt32 scope : {kAudioUnitScope_Input, kAudioUnitScope_Output}) {
        const std::size_t count = (scope == kAudioUnitScope_Input ? inputs : outputs).size();
        for (UInt32 element = 0; element < count; ++element) {
            announcePropertyChange(kAudioUnitProperty_StreamFormat, scope, element);
            announcePropertyChange(kAudioUnitProperty_SampleRate, scope, element);
        }
    }
}

void DoruvezovComponent::updateMaxFramesPerSlice(UInt32 frames) {
    // No slice could be rendered into buffers of no frames.
    if (frames == 0) fail(kAudioUnitErr_InvalidPropertyValue);
    if (frames == maxFrames) return;
    maxFrames = frames;
    allocateChannelBuffers();
    announcePropertyChange(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0);
    vst->setBlockSize(int(frames));
}

void DoruvezovComponent::updateFormat(UInt32 scope, UInt32 element,
                                      const AudioStreamBasicDescription& f) {
    if (f.mFormatID != kAudioFormatLinearPCM || f.mFramesPerPacket != 1 || f.mBytesPerPacket != 4 ||
        f.mBytesPerFrame != 4 ||
        (f.mFormatFlags & kAudioFormatFlagsNeeded) != kAudioFormatFlagsNeeded ||
        f.mBitsPerChannel != 32 || f.mChannelsPerFrame < 1) {
        fail(kAudioUnitErr_FormatNotSupported);
    }
    UInt32& channels = channelsOf(scope, element);
    const int width = busOf(scope == kAudioUnitScope_Global ? kAudioUnitScope_Output : scope,
                            scope == kAudioUnitScope_Global ? 0 : element)
                          .width;
    const UInt32 asked = f.mChannelsPerFrame;
    const bool ok =
        asked == UInt32(width) || (asked == 1 && width == 2 && config.canDoMonoIO) ||
        (asked == 2 && width == 1 && (host == kHostGarageBandBefore42 || host == kHostLogic800));
    if (!ok) fail(kAudioUnitErr_FormatNotSupported);
    channels = asked;
    updateSampleRate(f.mSampleRate);
}

void DoruvezovComponent::checkParameter(UInt32 id, UInt32 scope) const {
    if (scope != kAudioUnitScope_Global) fail(kAudioUnitErr_InvalidScope);
    if (id >= UInt32(vst->getParameterCount())) fail(kAudioUnitErr_InvalidParameter);
}

Float32 DoruvezovComponent::getParameter(UInt32 id, UInt32 scope) {
    checkParameter(id, scope);
    float natural = 0;
    vst->vendorSpecific(kVendorHostToNatural, id, &natural, vst->getParameter(int(id)));
    return natural;
}

void DoruvezovComponent::setParameter(UInt32 id, UInt32 scope, Float32 value) {
    checkParameter(id, scope);
    float normalised = 0;
    vst->vendorSpecific(kVendorNaturalToHost, id, &normalised, value);
    vst->setParameter(int(id), normalised);
}

void DoruvezovComponent::scheduleParameters(const AudioUnitParameterEvent* events, UInt32 count) {
    if (!events && count) fail(paramErr);
    // All are checked before any is applied.
    for (UInt32 i = 0; i < count; ++i) checkParameter(events[i].parameter, events[i].scope);
    for (UInt32 i = 0; i < count; ++i) {
        if (events[i].eventType != kParameterEvent_Immediate) continue;
        setParameter(events[i].parameter, events[i].scope, events[i].eventValues.immediate.value);
    }
}

void DoruvezovComponent::addPropertyListener(UInt32 id, AudioUnitPropertyListenerProc proc,
                                             void* refCon) {
    if (!proc) fail(paramErr);
    if (listenerCount == kMaxListeners) fail(memFullErr);
    listeners[listenerCount++] = {id, proc, refCon};
}

void DoruvezovComponent::removePropertyListener(UInt32 id, AudioUnitPropertyListenerProc proc,
                                                void* refCon) {
    auto end = std::remove_if(listeners.begin(), listeners.begin() + listenerCount,
                              [&](const PropertyListener& l) {
                                  return l.id == id && l.proc == proc && l.refCon == refCon;
                              });
    listenerCount = std::size_t(end - listeners.begin());
}

void DoruvezovComponent::addRenderNotify(AURenderCallback proc, void* refCon) {
    if (!proc) fail(paramErr);
    if (notificationCount == kMaxListeners) fail(memFullErr);
    notifications[notificationCount++] = {proc, refCon};
}

void DoruvezovComponent::removeRenderNotify(AURenderCallback proc, void* refCon) {
    auto end = std::remove_if(
        notifications.begin(), notifications.begin() + notificationCount,
        [&](const RenderNotification& n) { return n.proc == proc && n.refCon == refCon; });
    notificationCount = std::size_t(end - notifications.begin());
}

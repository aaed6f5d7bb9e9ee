#include "host/AudioUnitHost.h"

#include "audiounit/platform/AudioUnitCalls.h"
#include "audiounit/platform/CFArray.h"
#include "audiounit/platform/CFData.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFPropertyList.h"
#include "host/HostError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace {

constexpr UInt32 kGlobal = kAudioUnitScope_Global;

void check(OSStatus status, const std::string& what) {
    if (status != noErr)
        throw HostError(what + " failed (Audio Unit error " + std::to_string(status) + ")");
}

std::string property(UInt32 id) {
    return "property " + std::to_string(id);
}

std::optional<long> wholeNumber(const std::string& text) {
    long value = 0;
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::string stringOf(CFStringRef string) {
    return string ? string->text : std::string();
}

} // namespace

std::string fourCharText(OSType code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += char((code >> shift) & 0xff);
    return text;
}

AudioUnitHost::AudioUnitHost(const fs::path& bundle) {
    if (!fs::is_directory(bundle)) throw HostError("no bundle folder at " + bundle.string());
    if (RegisterComponentBundle(bundle, &component_) != noErr)
        throw HostError(bundle.string() + " describes no Audio Unit component");
    CFStringRef name = nullptr;
    GetComponentInfo(component_, &description_, &name);
    const CFHolder<CFString> held(name);
    name_ = stringOf(name);
    if (const OSStatus status = OpenAComponent(component_, &unit_)) {
        UnregisterComponent(component_);
        throw HostError("the Audio Unit in " + bundle.string() + " did not open (error " +
                        std::to_string(status) + ")");
    }
}

AudioUnitHost::~AudioUnitHost() {
    CloseComponent(unit_);
    UnregisterComponent(component_);
}

bool AudioUnitHost::has(UInt32 id, UInt32 scope, UInt32 element) const {
    return AudioUnitGetPropertyInfo(unit_, id, scope, element, nullptr, nullptr) == noErr;
}

UInt32 AudioUnitHost::sizeOf(UInt32 id, UInt32 scope, UInt32 element) const {
    UInt32 size = 0;
    check(AudioUnitGetPropertyInfo(unit_, id, scope, element, &size, nullptr), property(id));
    return size;
}

void AudioUnitHost::get(UInt32 id, void* data, UInt32 size, UInt32 scope, UInt32 element) const {
    check(AudioUnitGetProperty(unit_, id, scope, element, data, &size), "reading " + property(id));
}

void AudioUnitHost::set(UInt32 id, const void* data, UInt32 size, UInt32 scope, UInt32 element) {
    check(AudioUnitSetProperty(unit_, id, scope, element, data, size), "setting " + property(id));
}

std::vector<UInt32> AudioUnitHost::parameterIds() const {
    std::vector<UInt32> ids(sizeOf(kAudioUnitProperty_ParameterList) / sizeof(UInt32));
    if (!ids.empty())
        get(kAudioUnitProperty_ParameterList, ids.data(), UInt32(ids.size() * sizeof(UInt32)));
    return ids;
}

AudioUnitParameterInfo AudioUnitHost::parameterInfo(UInt32 id) const {
    return get<AudioUnitParameterInfo>(kAudioUnitProperty_ParameterInfo, kGlobal, id);
}

std::string AudioUnitHost::parameterName(UInt32 id) const {
    const AudioUnitParameterInfo info = parameterInfo(id);
    if (info.flags & kAudioUnitParameterFlag_HasCFNameString) return stringOf(info.cfNameString);
    return std::string(info.name, strnlen(info.name, sizeof info.name));
}

std::vector<std::string> AudioUnitHost::valueStrings(UInt32 id) const {
    if (!has(kAudioUnitProperty_ParameterValueStrings, kGlobal, id)) return {};
    const CFHolder<CFArray> list(static_cast<CFArrayRef>(
        get<CFTypeRef>(kAudioUnitProperty_ParameterValueStrings, kGlobal, id)));
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < list->count(); ++i)
        texts.push_back(stringOf(CFStringCast(list->at(i))));
    return texts;
}

Float32 AudioUnitHost::parameter(UInt32 id) const {
    Float32 value = 0;
    check(AudioUnitGetParameter(unit_, id, kGlobal, 0, &value),
          "reading parameter " + std::to_string(id));
    return value;
}

void AudioUnitHost::setParameter(const std::string& assignment) {
    const auto equals = assignment.find('=');
    const auto id = wholeNumber(assignment.substr(0, equals));
    const std::vector<UInt32> ids = parameterIds();
    if (equals == std::string::npos || !id || std::find(ids.begin(), ids.end(), *id) == ids.end())
        throw HostError("--set wants ID=VALUE with a parameter id the Audio Unit publishes, not '" +
                        assignment + "'");
    const std::string text = assignment.substr(equals + 1);
    double value = 0;
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    const AudioUnitParameterInfo info = parameterInfo(UInt32(*id));
    if (ec != std::errc() || stop != end || !(value >= info.minValue && value <= info.maxValue)) {
        char range[64];
        std::snprintf(range, sizeof range, "%g..%g", double(info.minValue), double(info.maxValue));
        throw HostError("value '" + text + "' for parameter " + std::to_string(*id) + " '" +
                        parameterName(UInt32(*id)) + "' is not a number in " + range);
    }
    check(AudioUnitSetParameter(unit_, UInt32(*id), kGlobal, 0, Float32(value), 0),
          "setting parameter " + std::to_string(*id));
}

std::vector<std::string> AudioUnitHost::factoryPresets() const {
    if (!has(kAudioUnitProperty_FactoryPresets)) return {};
    const CFHolder<CFArray> list(
        static_cast<CFArrayRef>(get<CFTypeRef>(kAudioUnitProperty_FactoryPresets)));
    std::vector<std::string> names;
    for (std::size_t i = 0; i < list->count(); ++i)
        names.push_back(stringOf(CFStringCast(list->at(i))));
    return names;
}

void AudioUnitHost::selectFactoryPreset(const std::string& numberOrName) {
    const std::vector<std::string> names = factoryPresets();
    auto number = wholeNumber(numberOrName);
    if (!number) {
        const auto found = std::find(names.begin(), names.end(), numberOrName);
        if (found != names.end()) number = found - names.begin();
    }
    if (!number || *number < 0 || std::size_t(*number) >= names.size())
        throw HostError("no factory preset '" + numberOrName + "' (there are " +
                        std::to_string(names.size()) + ")");
    const AUPreset preset{SInt32(*number), nullptr};
    set(kAudioUnitProperty_CurrentPreset, &preset, sizeof preset);
}

std::pair<SInt32, std::string> AudioUnitHost::currentPreset() const {
    const auto preset = get<AUPreset>(kAudioUnitProperty_PresentPreset);
    const CFHolder<CFString> name(preset.presetName);
    return {preset.presetNumber, stringOf(preset.presetName)};
}

void AudioUnitHost::loadPreset(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw HostError("cannot read " + file.string());
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::string why;
    const CFHolder<CFObject> list(
        CFPropertyListCreateFromXMLData(bytes.data(), bytes.size(), &why));
    if (!list)
        throw HostError(file.string() + " is not a property list" +
                        (why.empty() ? "" : ": " + why));
    const CFTypeRef value = list.get();
    if (AudioUnitSetProperty(unit_, kAudioUnitProperty_ClassInfo, kGlobal, 0, &value, sizeof value))
        throw HostError(file.string() + " is not a preset of " + name_);
}

std::vector<unsigned char> AudioUnitHost::presetData(const std::string& name) {
    const CFHolder<CFString> presetName(CFStringCreateWithCString(name.c_str()));
    const AUPreset renamed{-1, presetName.get()};
    set(kAudioUnitProperty_CurrentPreset, &renamed, sizeof renamed);
    const CFHolder<CFObject> info(get<CFTypeRef>(kAudioUnitProperty_ClassInfo));
    const CFHolder<CFData> xml(CFPropertyListCreateXMLData(info.get()));
    if (!xml) throw HostError("the Audio Unit's state is no property list");
    return xml->bytes;
}

// The render callback: the sound from the time stamp on, silence past its end.
struct AudioUnitHost::Feed {
    static OSStatus call(void* source, UInt32*, const AudioTimeStamp* timeStamp, UInt32,
                         UInt32 frames, AudioBufferList* data) {
        const Channels& sound = *static_cast<const Channels*>(source);
        const std::size_t length = sound.front().size();
        const auto start = std::min(std::size_t(timeStamp->mSampleTime), length);
        const std::size_t have = std::min<std::size_t>(frames, length - start);
        for (UInt32 c = 0; c < data->mNumberBuffers; ++c) {
            auto* to = static_cast<float*>(data->mBuffers[c].mData);
            const std::vector<float>& from = sound[std::min<std::size_t>(c, sound.size() - 1)];
            std::copy_n(from.begin() + std::ptrdiff_t(start), have, to);
            std::fill(to + have, to + frames, 0.0f);
        }
        return noErr;
    }
};

AudioUnitHost::Channels
AudioUnitHost::render(const Channels& input, double sampleRate, UInt32 slice,
                      const std::function<void(std::size_t, std::size_t)>& progress) {
    const auto channels = UInt32(input.size());
    if (channels < 1 || channels > 2)
        throw HostError("the Audio Unit renders mono or stereo sound, not " +
                        std::to_string(channels) + " channels");
    if (slice < 1) throw HostError("the slice must hold at least one frame");
    set(kAudioUnitProperty_MaximumFramesPerSlice, &slice, sizeof slice);
    for (UInt32 scope : {kAudioUnitScope_Input, kAudioUnitScope_Output}) {
        auto format = get<AudioStreamBasicDescription>(kAudioUnitProperty_StreamFormat, scope);
        format.mSampleRate = sampleRate;
        format.mChannelsPerFrame = channels;
        if (AudioUnitSetProperty(unit_, kAudioUnitProperty_StreamFormat, scope, 0, &format,
                                 sizeof format))
            throw HostError(name_ + " does not take " + std::to_string(channels) +
                            "-channel sound at " + std::to_string(int(sampleRate)) + " Hz");
    }
    const AURenderCallbackStruct callback{&Feed::call, const_cast<Channels*>(&input)};
    set(kAudioUnitProperty_SetRenderCallback, &callback, sizeof callback, kAudioUnitScope_Input);
    check(AudioUnitInitialize(unit_), "initialising the Audio Unit");

    const std::size_t length = input.front().size();
    const auto delay =
        std::size_t(std::llround(get<Float64>(kAudioUnitProperty_Latency) * sampleRate));
    const std::size_t total = length + delay;
    Channels output(channels, std::vector<float>(length));
    struct {
        UInt32 count;
        AudioBuffer buffers[2];
    } list{};
    for (std::size_t start = 0; start < total; start += slice) {
        const auto frames = UInt32(std::min<std::size_t>(slice, total - start));
        list.count = channels;
        for (auto& b : list.buffers) b = {1, frames * 4, nullptr};
        AudioTimeStamp timeStamp{};
        timeStamp.mSampleTime = Float64(start);
        timeStamp.mFlags = kAudioTimeStampSampleTimeValid;
        UInt32 flags = 0;
        check(AudioUnitRender(unit_, &flags, &timeStamp, 0, frames,
                              reinterpret_cast<AudioBufferList*>(&list)),
              "rendering");
        for (UInt32 c = 0; c < channels; ++c) {
            const auto* from = static_cast<const float*>(list.buffers[c].mData);
            for (std::size_t i = 0; i < frames; ++i) {
                if (start + i >= delay && start + i - delay < length)
                    output[c][start + i - delay] = from[i];
            }
        }
        progress(std::min(start + frames, total), total);
    }
    AudioUnitUninitialize(unit_);
    return output;
}

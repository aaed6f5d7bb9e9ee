#include "host/AudioUnitHost.h"

#include "audiounit/AUPresetDictionary.h"
#include "audiounit/AUPresetFiles.h"
#include "audiounit/FactoryPresetList.h"
#include "audiounit/PropertyListReading.h"
#include "audiounit/platform/AudioUnitCalls.h"
#include "audiounit/platform/CFArray.h"
#include "audiounit/platform/CFBundleInfoDictionary.h"
#include "audiounit/platform/CFData.h"
#include "audiounit/platform/CFNumber.h"
#include "audiounit/platform/Files.h"
#include "host/HostError.h"
#include "host/PluginHost.h"
#include "vstbridge/DoruvezovException.h"
#include "vstbridge/FxRecord.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
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

// The platform codes a reader of the bundle's files meets, in words.
std::string statusText(OSStatus status) {
    switch (status) {
    case fnfErr:
        return "file not found";
    case eofErr:
        return "End of file error";
    case permErr:
        return "permission denied";
    case bdNamErr:
        return "a name no file can have";
    case memFullErr:
        return "too large";
    default:
        return "error " + std::to_string(status);
    }
}

std::string quotedPath(const fs::path& path) {
    return "'" + path.string() + "'";
}

// What the component reads as it opens, read again in the same order with its own readers:
// the first fault, in words, or "" when every file reads.
std::string whyNotOpened(const fs::path& bundle) {
    const fs::path infoFile = bundle / "Contents" / "Info.plist";
    const CFHolder<CFDictionary> info(CFBundleCopyInfoDictionaryInDirectory(bundle));
    if (!info)
        return "its information dictionary " + quotedPath(infoFile) + " is missing or damaged";
    try {
        const CFDictionaryRef config = requireDictionary(info.get(), "SYConfig");
        for (const char* key :
             {"AutoConvertPresets", "PresetIsFXB", "UpdateNameOnLoad", "CanDoMonoIO"})
            try {
                requireBoolean(config, key);
            } catch (const DoruvezovException& e) {
                return quotedPath(infoFile) + ", SYConfig, " + key + ": " + e.what();
            }
    } catch (const DoruvezovException& e) {
        return quotedPath(infoFile) + ", SYConfig: " + e.what();
    }
    const FSRef resources{bundle / "Contents" / "Resources"};
    if (!FSIsFolder(resources))
        return "its resources folder " + quotedPath(resources.path) + " is missing";
    std::string reading;
    const auto load = [&resources, &reading](const std::string& name) {
        FSRef file;
        if (OSStatus status = FSMakeFSRef(resources, name, &file)) throw MacOSException(status);
        reading = file.path.string();
        return loadFromFile(file);
    };
    try {
        load("SYParameters.txt");
        const std::vector<unsigned char> list = load("SYFactoryPresets.txt");
        FactoryPresetList presets;
        presets.read(list.data(), list.data() + list.size(), load);
    } catch (const MacOSException& e) {
        return "its resource file " + quotedPath(reading) + " cannot be read (" +
               statusText(e.code()) + ")";
    } catch (const DoruvezovException& e) {
        return "its resource file " + quotedPath(reading) + " is no preset: " + e.what();
    }
    return "";
}

std::string fourCharNumber(CFDictionaryRef dictionary, const char* key) {
    const CFNumberRef number = CFNumberCast(dictionary->get(key));
    return number ? fourCharText(OSType(number->value)) : "?";
}

} // namespace

std::string fourCharText(OSType code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += char((code >> shift) & 0xff);
    return text;
}

AudioUnitHost::AudioUnitHost(const fs::path& given) {
    // A bare name is looked for where VST hosts look: the one bundle serves both.
    std::error_code ec;
    const fs::path bundle =
        fs::exists(given, ec) || given.has_parent_path() ? given : PluginHost::locate(given);
    if (!fs::is_directory(bundle)) throw HostError("no bundle folder at " + bundle.string());
    if (RegisterComponentBundle(bundle, &component_) != noErr)
        throw HostError(bundle.string() + " describes no Audio Unit component");
    CFStringRef name = nullptr;
    GetComponentInfo(component_, &description_, &name);
    const CFHolder<CFString> held(name);
    name_ = stringOf(name);
    if (const OSStatus status = OpenAComponent(component_, &unit_)) {
        UnregisterComponent(component_);
        const std::string why = whyNotOpened(bundle);
        throw HostError("the Audio Unit in " + bundle.string() + " did not open" +
                        (why.empty() ? "" : ": " + why) + " (error " + std::to_string(status) +
                        ")");
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
    if (number && (*number < 0 || std::size_t(*number) >= names.size()))
        throw HostError("no factory preset '" + numberOrName + "' (there are " +
                        std::to_string(names.size()) + ")");
    if (!number)
        number =
            long(findName("factory preset", numberOrName, names, " (see: orvella-host au info)"));
    const AUPreset preset{SInt32(*number), nullptr};
    set(kAudioUnitProperty_CurrentPreset, &preset, sizeof preset);
}

std::pair<SInt32, std::string> AudioUnitHost::currentPreset() const {
    const auto preset = get<AUPreset>(kAudioUnitProperty_PresentPreset);
    const CFHolder<CFString> name(preset.presetName);
    return {preset.presetNumber, stringOf(preset.presetName)};
}

CFHolder<CFObject> AudioUnitHost::readPropertyList(const fs::path& file,
                                                   CFPropertyListFormat& form) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw HostError("cannot read " + file.string());
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::string why;
    CFHolder<CFObject> list(CFPropertyListCreateWithData(bytes.data(), bytes.size(), &form, &why));
    if (list) return list;
    // A file that starts as one of the two forms but does not read as one is damaged.
    const std::string start(
        bytes.begin(), bytes.begin() + std::ptrdiff_t(std::min<std::size_t>(bytes.size(), 64)));
    const bool looksLikeOne = start.starts_with("bplist") ||
                              start.find("<?xml") != std::string::npos ||
                              start.find("<plist") != std::string::npos;
    throw HostError(file.string() +
                    (looksLikeOne ? " is a damaged property list" : " is not a property list") +
                    (why.empty() ? "" : ": " + why));
}

void AudioUnitHost::loadPreset(const fs::path& file) {
    CFPropertyListFormat form{};
    const CFHolder<CFObject> list = readPropertyList(file, form);
    const CFTypeRef value = list.get();
    if (const OSStatus status = AudioUnitSetProperty(unit_, kAudioUnitProperty_ClassInfo, kGlobal,
                                                     0, &value, sizeof value))
        throw HostError(file.string() + presetRefusal(value, status));
}

// Why the component refused a preset, read again with its own reader.
std::string AudioUnitHost::presetRefusal(CFTypeRef preset, OSStatus status) const {
    const std::string ours = " of " + name_ + " (" + fourCharText(description_.componentType) +
                             " " + fourCharText(description_.componentSubType) + " " +
                             fourCharText(description_.componentManufacturer) + ")";
    AUPresetContents contents;
    try {
        contents = readAUPreset(preset, description_);
    } catch (const DoruvezovException& e) {
        const CFDictionaryRef dictionary = CFDictionaryCast(preset);
        if (dictionary && std::string(e.what()) == "Data in dictionary is not of expected value")
            return " is a preset of another component (" + fourCharNumber(dictionary, "type") +
                   " " + fourCharNumber(dictionary, "subtype") + " " +
                   fourCharNumber(dictionary, "manufacturer") + "), not" + ours;
        return " is not a preset" + ours + ": " + e.what();
    }
    // The effect refuses a record shorter than its header says as a whole, not as cut short.
    const std::vector<unsigned char>& data = contents.vstdata;
    if (status == eofErr ||
        (contents.version == 1 &&
         (data.size() < kFxHeaderSize ||
          std::uint32_t(fxRead(data.data() + kFxByteSizeAt)) + 8ul > data.size())))
        return " is cut short: its preset data ends early (End of file error)";
    return " holds preset data that " + name_ + " does not take (error " + std::to_string(status) +
           ")";
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

// The render callback: the next frames of the input, silence past its end. The component
// pulls once per time stamp, in order, so the input is read straight through.
// A failing read is kept to be thrown past the unit, which would turn it into a code.
struct AudioUnitHost::Feed {
    const RenderInput& input;
    std::size_t read = 0;
    std::exception_ptr failure;

    static OSStatus call(void* source, UInt32*, const AudioTimeStamp*, UInt32, UInt32 frames,
                         AudioBufferList* data) {
        auto& feed = *static_cast<Feed*>(source);
        float* to[2] = {};
        for (UInt32 c = 0; c < data->mNumberBuffers && c < 2; ++c)
            to[c] = static_cast<float*>(data->mBuffers[c].mData);
        const std::size_t want = std::min<std::size_t>(frames, feed.input.frames - feed.read);
        std::size_t have = 0;
        try {
            have = want ? feed.input.read(to, want) : 0;
        } catch (...) {
            feed.failure = std::current_exception();
            return ioErr;
        }
        feed.read += want;
        for (UInt32 c = 0; c < data->mNumberBuffers; ++c) {
            auto* channel = static_cast<float*>(data->mBuffers[c].mData);
            std::fill(channel + have, channel + frames, 0.0f);
        }
        return noErr;
    }
};

void AudioUnitHost::render(const RenderInput& input, UInt32 slice, double tailSeconds,
                           const std::vector<ControlChange>& changes, const RenderOutput& output,
                           const RenderProgress& progress) {
    const auto channels = UInt32(input.channels);
    if (channels < 1 || channels > 2)
        throw HostError("the Audio Unit renders mono or stereo sound, not " +
                        std::to_string(channels) + " channels");
    if (slice < 1) throw HostError("the slice must hold at least one frame");
    const double sampleRate = input.sampleRate;
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
    Feed feed{input, 0, nullptr};
    const AURenderCallbackStruct callback{&Feed::call, &feed};
    set(kAudioUnitProperty_SetRenderCallback, &callback, sizeof callback, kAudioUnitScope_Input);
    check(AudioUnitInitialize(unit_), "initialising the Audio Unit");

    const std::size_t length = input.frames + std::size_t(std::llround(tailSeconds * sampleRate));
    const auto delay =
        std::size_t(std::llround(get<Float64>(kAudioUnitProperty_Latency) * sampleRate));
    const std::size_t total = length + delay;
    struct {
        UInt32 count;
        AudioBuffer buffers[2];
    } list{};
    auto change = changes.begin();
    for (std::size_t start = 0; start < total; start += slice) {
        const auto frames = UInt32(std::min<std::size_t>(slice, total - start));
        for (; change != changes.end() &&
               std::size_t(std::llround(change->seconds * sampleRate)) < start + frames;
             ++change) {
            const auto at = std::size_t(std::llround(change->seconds * sampleRate));
            check(MusicDeviceMIDIEvent(unit_, 0xb0, UInt32(change->controller),
                                       UInt32(change->value), UInt32(std::max(at, start) - start)),
                  "sending a control change");
        }
        // Null buffers: the unit lends its own.
        list.count = channels;
        for (auto& b : list.buffers) b = {1, frames * 4, nullptr};
        AudioTimeStamp timeStamp{};
        timeStamp.mSampleTime = Float64(start);
        timeStamp.mFlags = kAudioTimeStampSampleTimeValid;
        UInt32 flags = 0;
        const OSStatus status = AudioUnitRender(unit_, &flags, &timeStamp, 0, frames,
                                                reinterpret_cast<AudioBufferList*>(&list));
        if (feed.failure) std::rethrow_exception(feed.failure);
        check(status, "rendering");
        // What lies past the latency and within the length goes out.
        const std::size_t from = std::max(start, delay), to = start + frames;
        if (from < to) {
            const float* out[2] = {};
            for (UInt32 c = 0; c < channels; ++c)
                out[c] = static_cast<const float*>(list.buffers[c].mData) + (from - start);
            output(out, to - from);
        }
        progress(to, total);
    }
    AudioUnitUninitialize(unit_);
}

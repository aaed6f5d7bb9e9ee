// An Audio Unit opened through the stand-in component registry and driven only through its
// selectors, as an Audio Unit host drives one: properties, parameters, presets and render
// calls fed from a sound in memory. Everything runs on the tool's one thread.
#pragma once

#include "audiounit/platform/AudioUnitProperties.h"
#include "audiounit/platform/AudioUnitTypes.h"
#include "audiounit/platform/Components.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class AudioUnitHost final {
public:
    // [main thread] Registers the bundle's component and opens an instance; throws
    // HostError when the bundle describes no component or the component does not open.
    explicit AudioUnitHost(const std::filesystem::path& bundle);
    // [main thread] Closes the instance and forgets the component.
    ~AudioUnitHost();
    AudioUnitHost(const AudioUnitHost&) = delete;
    AudioUnitHost& operator=(const AudioUnitHost&) = delete;

    AudioUnit unit() const { return unit_; }
    const ComponentDescription& description() const { return description_; }
    const std::string& name() const { return name_; }

    // [main thread] Whether the property exists there, and its size.
    bool has(UInt32 id, UInt32 scope = kAudioUnitScope_Global, UInt32 element = 0) const;
    UInt32 sizeOf(UInt32 id, UInt32 scope = kAudioUnitScope_Global, UInt32 element = 0) const;
    // [main thread] Reads size bytes of a property into data; throws HostError naming it.
    void get(UInt32 id, void* data, UInt32 size, UInt32 scope = kAudioUnitScope_Global,
             UInt32 element = 0) const;
    template <class T>
    T get(UInt32 id, UInt32 scope = kAudioUnitScope_Global, UInt32 element = 0) const {
        T value{};
        get(id, &value, sizeof value, scope, element);
        return value;
    }
    // [main thread] Throws HostError naming the property.
    void set(UInt32 id, const void* data, UInt32 size, UInt32 scope = kAudioUnitScope_Global,
             UInt32 element = 0);

    // [main thread] The published parameter ids and their records.
    std::vector<UInt32> parameterIds() const;
    AudioUnitParameterInfo parameterInfo(UInt32 id) const;
    std::string parameterName(UInt32 id) const;
    // Empty for a parameter without value strings.
    std::vector<std::string> valueStrings(UInt32 id) const;
    Float32 parameter(UInt32 id) const;
    // "ID=VALUE" with the value in the parameter's own range; throws HostError.
    void setParameter(const std::string& assignment);

    // [main thread] Factory presets by number or name; throws HostError for an unknown one.
    std::vector<std::string> factoryPresets() const;
    void selectFactoryPreset(const std::string& numberOrName);
    // [main thread] The current preset's number (-1: none) and name.
    std::pair<SInt32, std::string> currentPreset() const;
    // [main thread] .aupreset files: the component's class information as an XML property
    // list, and back. Throws HostError for unreadable or foreign files.
    void loadPreset(const std::filesystem::path& file);
    std::vector<unsigned char> presetData(const std::string& name);

    // [main thread] Renders the sound through render calls of `slice` frames at the sound's
    // own rate and channel count (mono or stereo), the input fed from a render callback and
    // the time stamps advancing. The reported latency is compensated, as the VST path does.
    // (The interface's buffer records share a name with the tool's sound type, so sounds
    // cross here as planar channels.)
    using Channels = std::vector<std::vector<float>>;
    Channels render(const Channels& input, double sampleRate, UInt32 slice,
                    const std::function<void(std::size_t, std::size_t)>& progress);

private:
    struct Feed;

    Component component_ = nullptr;
    AudioUnit unit_ = nullptr;
    ComponentDescription description_{};
    std::string name_;
};

// A four-character code as its text.
std::string fourCharText(OSType code);

// An Audio Unit opened through the stand-in component registry and driven only through its
// selectors, as an Audio Unit host drives one: properties, parameters, presets and render
// calls fed block by block from a sound. Everything runs on the tool's one thread. Where
// the component answers only a code, the files it read are read again with its own readers
// to tell the user what is wrong and where.
#pragma once

#include "audiounit/platform/AudioUnitProperties.h"
#include "audiounit/platform/AudioUnitTypes.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFPropertyList.h"
#include "audiounit/platform/Components.h"
#include "host/Renderer.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class AudioUnitHost final {
public:
    // [main thread] Registers the bundle's component and opens an instance; throws
    // HostError when the bundle describes no component or the component does not open,
    // naming the file at fault when one is. A bare name (Orvella.vst) is looked for in
    // the plug-in search path.
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

    // [main thread] Factory presets by number or name (any case); throws HostError for an
    // unknown one, with a did-you-mean for a near miss.
    std::vector<std::string> factoryPresets() const;
    void selectFactoryPreset(const std::string& numberOrName);
    // [main thread] The current preset's number (-1: none) and name.
    std::pair<SInt32, std::string> currentPreset() const;
    // [main thread] .aupreset files: the component's class information as an XML property
    // list, and back. Throws HostError saying why a file is refused.
    void loadPreset(const std::filesystem::path& file);
    std::vector<unsigned char> presetData(const std::string& name);
    // [main thread] A property list file in either form, and the form it had; throws
    // HostError for one that cannot be read or is damaged.
    static CFHolder<CFObject> readPropertyList(const std::filesystem::path& file,
                                               CFPropertyListFormat& form);

    // [main thread] Renders the input at its own rate and channel count (mono or stereo,
    // which the Audio Unit is given on both sides), then `tailSeconds` more, in render calls
    // of `slice` frames: the input is pulled by the render callback, each control change
    // sent before the call that holds its frame, and the output passed on as it comes. The
    // reported latency is compensated, as the VST path does.
    void render(const RenderInput& input, UInt32 slice, double tailSeconds,
                const std::vector<ControlChange>& changes, const RenderOutput& output,
                const RenderProgress& progress);

private:
    struct Feed;
    std::string presetRefusal(CFTypeRef preset, OSStatus status) const;

    Component component_ = nullptr;
    AudioUnit unit_ = nullptr;
    ComponentDescription description_{};
    std::string name_;
};

// A four-character code as its text.
std::string fourCharText(OSType code);

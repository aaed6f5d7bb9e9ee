#pragma once

#include "audiounit/Buses.h"
#include "audiounit/FactoryPresetList.h"
#include "audiounit/HostKind.h"
#include "audiounit/ParameterMap.h"
#include "audiounit/VSTHost.h"
#include "audiounit/VSTPlugIn.h"
#include "audiounit/platform/CFBundle.h"
#include "audiounit/platform/CFDictionary.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/Components.h"
#include "audiounit/platform/EventLoopTimer.h"
#include "audiounit/platform/Files.h"

#include <memory>
#include <string>
#include <vector>

// The Audio Unit a host opens through DoruvezovEntry: it finds its own bundle, reads its
// configuration, loads the VST effect the bundle holds and plays its host, publishes the
// effect's parameters and factory presets, stores and converts presets, and idles the
// effect from the main event loop. Every failure is an exception; DoruvezovEntry turns it
// into the selector's result.
class DoruvezovComponent final : public VSTHost {
public:
    // The "SYConfig" dictionary of the bundle's information dictionary.
    struct Configuration {
        bool autoConvertPresets; // convert VST preset files at construction
        bool presetIsFXB;        // presets hold the whole bank
        bool updateNameOnLoad;   // a loaded preset names the current program
        bool canDoMonoIO;        // mono configurations for stereo buses
    };

    // The Audio Unit preset the effect's state is: a factory preset's number, or -1.
    struct CurrentPreset {
        SInt32 number;
        CFHolder<CFString> name;
    };

    static constexpr float kDefaultSampleRate = 44100.0f;
    static constexpr int kDefaultMaxFramesPerSlice = 4096;
    static constexpr double kIdleSeconds = 0.025;

    // Throws DoruvezovException (with the failing step's message), FormatException or
    // MacOSException; whatever was set up is released then. [main thread] blocks on the
    // file system.
    explicit DoruvezovComponent(ComponentInstance instance);
    // Removes the idle timer, then closes and unloads the effect. [main thread]
    ~DoruvezovComponent() override;
    DoruvezovComponent(const DoruvezovComponent&) = delete;
    DoruvezovComponent& operator=(const DoruvezovComponent&) = delete;

    // The Audio Unit selectors other than those of the Component Manager; answers
    // badComponentSelector for every selector this build does not handle. [any thread]
    ComponentResult dispatch(ComponentParameters* params);

    // What construction found. [any thread]
    const Configuration& configuration() const { return config; }
    HostKind hostKind() const { return host; }
    const std::vector<Bus>& inputBuses() const { return inputs; }
    const std::vector<Bus>& outputBuses() const { return outputs; }
    const std::vector<AUChannelInfo>& channelConfigurations() const { return channelInfos; }
    const ParameterMap& parameterMap() const { return *parameters; }
    const FactoryPresetList& factoryPresets() const { return *presets; }
    const CurrentPreset& currentPreset() const { return current; }
    bool isAware() const { return aware; }
    bool hasTail() const { return tail; }
    bool supportsBypass() const { return bypass; }
    double latencySeconds() const { return latency; }
    double tailSeconds() const { return tailTime; }
    // [main thread]
    VSTPlugIn& plugIn() { return *vst; }

    // Preset dictionaries of the effect's state, new for the caller to release: with the
    // given FXP or FXB data, of the whole bank, of the current program. [main thread]
    CFMutableDictionaryRef createAUPresetWithVSTData(unsigned long size, const unsigned char* data,
                                                     CFStringRef name);
    CFMutableDictionaryRef createAUPresetOfCurrentBank(CFStringRef name);
    CFMutableDictionaryRef createAUPresetOfCurrentProgram(CFStringRef name);
    // The class information: the bank (with "PresetIsFXB") or the current program, named
    // after the current preset, with the current program's number. [main thread]
    CFMutableDictionaryRef createClassInfo();
    // Applies a preset dictionary of this component (version 0 parameter blocks or version
    // 1 FXP/FXB data). Throws FormatException / DoruvezovException / EOFException for a
    // foreign or malformed one, which then changes nothing. [main thread]
    void loadAUPreset(CFTypeRef preset);
    // Takes the current program's name as the current preset's when it differs (number
    // -1); true when it did. [main thread]
    bool updateCurrentAUPreset();
    // The first 24 characters of name become the current program's name. [main thread]
    void updateCurrentVSTProgramName(CFStringRef name);
    // Converts the VST preset files of the user's and the local audio preset folders into
    // Audio Unit presets beside them; never overwrites a file, never throws. [main thread]
    void convertVSTPresets();

    // What the effect sees of its host.
    void getVendor(VSTPlugIn& plugIn, char* text) override;
    void getProduct(VSTPlugIn& plugIn, char* text) override;
    int getVersion(VSTPlugIn& plugIn) override;
    bool canDo(VSTPlugIn& plugIn, const char* what) override;
    VstTimeInfo* getTimeInfo(VSTPlugIn& plugIn, int flags) override;
    void beginEdit(VSTPlugIn& plugIn, int parameter) override;
    void automate(VSTPlugIn& plugIn, int parameter, float value) override;
    void endEdit(VSTPlugIn& plugIn, int parameter) override;
    bool isIOPinConnected(VSTPlugIn& plugIn, bool output, int pin) override;
    void idle(VSTPlugIn& plugIn) override;
    void updateDisplay(VSTPlugIn& plugIn) override;
    void resizeWindow(VSTPlugIn& plugIn, int width, int height) override;

private:
    void findOwnBundle();
    void loadConfiguration();
    void findResources();
    CFBundleRef createEffectBundle();
    void openEffect();
    void measureBuses();
    void readParameterMapping(const FSRef& file);
    void loadFactoryPresets(const FSRef& file);
    FSRef resource(const char* name) const;
    void updateLatencyAndTail();
    void notifyParameterEvent(UInt32 type, int parameter);
    void announcePropertyChange(UInt32 property, UInt32 scope, UInt32 element);
    void convertVSTPresetsInDomain(short domain, const std::string& componentName);
    void convertVSTPreset(const FSRef& file, bool bank);
    void convertLoadedPrograms(const FSRef& folder);
    static void idleTimer(EventLoopTimerRef timer, void* component);

    // Declared in the order they are set up; released in reverse, the bundles last.
    ComponentInstance instance;
    ComponentDescription description{};
    CFHolder<CFBundle> bundle;
    Configuration config{};
    FSRef resources;
    HostKind host = kHostOther;
    std::unique_ptr<VSTPlugIn> vst;
    bool aware = false;
    bool tail = false;
    bool bypass = false;
    std::vector<Bus> inputs;
    std::vector<Bus> outputs;
    std::vector<AUChannelInfo> channelInfos;
    std::unique_ptr<ParameterMap> parameters;
    std::unique_ptr<FactoryPresetList> presets;
    double latency = 0;
    double tailTime = 0;
    CurrentPreset current;
    VstTimeInfo timeInfo{};
    EventLoopTimerRef timer = nullptr;
};

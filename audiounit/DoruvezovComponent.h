#pragma once

#include "audiounit/Buses.h"
#include "audiounit/FactoryPresetList.h"
#include "audiounit/HostKind.h"
#include "audiounit/ParameterMap.h"
#include "audiounit/platform/AudioUnitRenderTypes.h"
#include "audiounit/platform/CFBundle.h"
#include "audiounit/platform/CFDictionary.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/Components.h"
#include "audiounit/platform/EventLoopTimer.h"
#include "audiounit/platform/Files.h"
#include "vstbridge/VSTHost.h"
#include "vstbridge/VSTPlugIn.h"

#include <array>
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

    // The Audio Unit selectors other than those of the Component Manager (their arguments
    // as AudioUnitCalls.h lays them out); errors are thrown as MacOSException. Render,
    // MIDI events and scheduled parameters [audio thread], never allocating on success;
    // everything else [main thread].
    ComponentResult dispatch(ComponentParameters* params);

    // The editor opened as a child of the X11 window `parent`; any previous view is
    // dropped first. Answers the editor's size. Throws DoruvezovException when the effect
    // refuses. [main thread]
    void createView(unsigned long parent, UInt32& width, UInt32& height);
    // Closes the editor of the current view, if there is one. [main thread]
    void dropView();

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

    // Properties and parameters (DoruvezovProperties.cpp).
    struct PropertyRule {
        UInt32 size;    // what a get writes at most
        UInt32 minSize; // what a set or get needs at least
        bool readable;
        bool writable;
    };
    PropertyRule propertyRule(UInt32 id, UInt32 scope, UInt32 element) const;
    void getPropertyInfo(UInt32 id, UInt32 scope, UInt32 element, UInt32* size, Boolean* writable);
    void getProperty(UInt32 id, UInt32 scope, UInt32 element, void* data, UInt32* size);
    void setProperty(UInt32 id, UInt32 scope, UInt32 element, const void* data, UInt32 size);
    void checkParameter(UInt32 id, UInt32 scope) const;
    Float32 getParameter(UInt32 id, UInt32 scope);
    void setParameter(UInt32 id, UInt32 scope, Float32 value);
    void scheduleParameters(const AudioUnitParameterEvent* events, UInt32 count);
    void initialize();
    void reset(UInt32 scope);
    void restartEffect();
    const Bus& busOf(UInt32 scope, UInt32 element) const;
    UInt32& channelsOf(UInt32 scope, UInt32 element);
    bool busIsFed(UInt32 scope, UInt32 element) const;
    void updateSampleRate(Float64 rate);
    void updateMaxFramesPerSlice(UInt32 frames);
    void updateFormat(UInt32 scope, UInt32 element, const AudioStreamBasicDescription& format);
    void setCurrentPreset(const void* data, UInt32 size);
    void announceCurrentPreset();
    void addPropertyListener(UInt32 id, AudioUnitPropertyListenerProc proc, void* refCon);
    void removePropertyListener(UInt32 id, AudioUnitPropertyListenerProc proc, void* refCon);
    void addRenderNotify(AURenderCallback proc, void* refCon);
    void removeRenderNotify(AURenderCallback proc, void* refCon);

    // Rendering (DoruvezovRender.cpp).
    void render(UInt32* flags, const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 frames,
                AudioBufferList* data);
    void notifyRender(UInt32* flags, const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 frames,
                      AudioBufferList* data);
    void updateTimeInfo(Float64 sampleTime);
    bool pullInput(const AudioTimeStamp* timeStamp, UInt32 frames);
    void runEffect(UInt32 frames, bool inputSilent);
    void addMidiEvent(UInt32 status, UInt32 data1, UInt32 data2, UInt32 offset);
    void setUpRendering();
    void allocateChannelBuffers();
    float* channel(const Bus& bus, UInt32 k);

    static constexpr std::size_t kMaxListeners = 128;
    static constexpr std::size_t kMaxMidiEvents = 1024;
    static constexpr Float64 kNoSampleTime = -12345678;

    struct PropertyListener {
        UInt32 id;
        AudioUnitPropertyListenerProc proc;
        void* refCon;
    };
    struct RenderNotification {
        AURenderCallback proc;
        void* refCon;
    };
    struct Input {
        AudioUnitConnection connection;  // sourceAudioUnit null: none
        AURenderCallbackStruct callback; // inputProc null: none
    };
    // One input bus's buffer list, room for two channels.
    struct InputList {
        AudioBufferList list;
        AudioBuffer second;
    };
    // The effect's events block with room for every pending event.
    struct MidiEvents {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[kMaxMidiEvents];
    };

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

    AudioStreamBasicDescription format{};
    UInt32 maxFrames = kDefaultMaxFramesPerSlice;
    std::vector<UInt32> inputChannels;              // per input bus: its current channel count
    std::vector<UInt32> outputChannels;             // per output bus
    std::vector<Input> feeds;                       // per input bus
    std::vector<std::vector<float>> channelBuffers; // the effect's output, lent to hosts
    std::vector<std::vector<float>> inputBuffers;   // apart: effects may not process in place
    std::vector<float*> effectInputs;
    std::vector<float*> effectOutputs;
    std::vector<InputList> inputLists; // per input bus
    Float64 lastSampleTime = kNoSampleTime;
    std::array<PropertyListener, kMaxListeners> listeners{};
    std::size_t listenerCount = 0;
    std::array<RenderNotification, kMaxListeners> notifications{};
    std::size_t notificationCount = 0;
    HostCallbackInfo hostCallbacks{};
    std::unique_ptr<VstMidiEvent[]> midiPool;
    std::unique_ptr<MidiEvents> midiEvents;
    bool takesMidi = false;
    bool bypassState = false;
    bool outputSilent = false;
    unsigned long viewParent = 0;
};

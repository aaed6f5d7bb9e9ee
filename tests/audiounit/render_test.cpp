// The built bundle driven as an Audio Unit host drives it: properties, parameters,
// listeners and render calls through the selectors only, checked against the same effect
// loaded as a plain VST plug-in.
#include "audiounit/platform/AudioUnitCalls.h"
#include "audiounit/platform/CFBundle.h"
#include "audiounit/platform/CFDictionary.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFString.h"
#include "audiounit/platform/EventLoopTimer.h"
#include "audiounit/platform/Files.h"
#include "audiounit/platform/HostIdentity.h"
#include "tests/common/AllocationCounter.h"
#include "tests/common/TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <thread>
#include <unistd.h>
#include <vector>

// Last: its macros would rewrite the test framework's headers.
#include <X11/Xlib.h>

namespace fs = std::filesystem;

namespace {

constexpr UInt32 kSlice = 512;
constexpr UInt32 G = kAudioUnitScope_Global, I = kAudioUnitScope_Input, O = kAudioUnitScope_Output;

float sample(Float64 t, int channel) {
    return 0.5f * float(std::sin(0.031 * t * (channel + 1)));
}

struct AU {
    explicit AU(const fs::path& bundle = builtModule("Orvella.vst")) {
        setenv(kUserAudioFolderVariable, "/nonexistent", 1);
        setenv(kLocalAudioFolderVariable, "/nonexistent", 1);
        EXPECT_EQ(RegisterComponentBundle(bundle, &component), noErr);
        EXPECT_EQ(OpenAComponent(component, &unit), noErr);
    }
    ~AU() {
        CloseComponent(unit);
        UnregisterComponent(component);
    }
    // Feeds the test signal through a render callback.
    void feed() {
        ASSERT_EQ(
            set(kAudioUnitProperty_SetRenderCallback, AURenderCallbackStruct{&input, this}, I),
            noErr);
    }
    // A format of n channels in the scope; answers the unit's answer.
    OSStatus channels(UInt32 scope, UInt32 n,
                      UInt32 flags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsNonInterleaved) {
        auto f = get<AudioStreamBasicDescription>(kAudioUnitProperty_StreamFormat, scope);
        f.mChannelsPerFrame = n;
        f.mFormatFlags = flags;
        return set(kAudioUnitProperty_StreamFormat, f, scope);
    }
    Float32 parameter(UInt32 id) {
        Float32 value = 0;
        EXPECT_EQ(AudioUnitGetParameter(unit, id, G, 0, &value), noErr) << id;
        return value;
    }
    static OSStatus input(void* self, UInt32*, const AudioTimeStamp* ts, UInt32, UInt32 frames,
                          AudioBufferList* list) {
        auto& au = *static_cast<AU*>(self);
        ++au.pulls;
        if (au.failInput) return -1;
        for (UInt32 c = 0; c < list->mNumberBuffers; ++c) {
            auto* data = static_cast<float*>(list->mBuffers[c].mData);
            for (UInt32 i = 0; i < frames; ++i) data[i] = sample(ts->mSampleTime + i, int(c));
        }
        return noErr;
    }
    OSStatus render(Float64 time, std::vector<float>& left, std::vector<float>& right,
                    bool nullData = false, UInt32 frames = kSlice) {
        left.resize(frames);
        right.resize(frames);
        struct {
            UInt32 n;
            AudioBuffer b[2];
        } list{2,
               {{1, frames * 4, nullData ? nullptr : left.data()},
                {1, frames * 4, nullData ? nullptr : right.data()}}};
        AudioTimeStamp ts{};
        ts.mSampleTime = time;
        ts.mFlags = kAudioTimeStampSampleTimeValid;
        UInt32 flags = 0;
        const OSStatus status = AudioUnitRender(unit, &flags, &ts, 0, frames,
                                                reinterpret_cast<AudioBufferList*>(&list));
        if (nullData && status == noErr) {
            for (int c = 0; c < 2; ++c) {
                const auto* data = static_cast<const float*>(list.b[c].mData);
                (c ? right : left).assign(data, data + frames);
            }
        }
        lastList = {list.b[0].mData, list.b[1].mData};
        return status;
    }
    template <class T> T get(UInt32 id, UInt32 scope = G, UInt32 element = 0) {
        T value{};
        UInt32 size = sizeof value;
        EXPECT_EQ(AudioUnitGetProperty(unit, id, scope, element, &value, &size), noErr) << id;
        return value;
    }
    template <class T> OSStatus set(UInt32 id, const T& value, UInt32 scope = G) {
        return AudioUnitSetProperty(unit, id, scope, 0, &value, sizeof value);
    }
    Component component = nullptr;
    AudioUnit unit = nullptr;
    int pulls = 0;
    bool failInput = false;
    std::pair<void*, void*> lastList;
};

// The same effect as a plain VST plug-in, fed the same signal in the same slices.
std::vector<std::vector<float>> vstRender(int program, int slices, bool mono) {
    TestHost host(builtModule("Orvella.vst/Contents/x86_64-linux/Orvella.so"));
    AEffect* e = host.instantiate();
    TestHost::dispatch(e, effSetProgram, 0, program);
    TestHost::dispatch(e, effSetBlockSize, 0, 4096);
    TestHost::dispatch(e, effMainsChanged, 0, 1);
    std::vector<std::vector<float>> out(2);
    std::vector<float> in[2] = {std::vector<float>(kSlice), std::vector<float>(kSlice)};
    std::vector<float> o[2] = {std::vector<float>(kSlice), std::vector<float>(kSlice)};
    for (int s = 0; s < slices; ++s) {
        for (int c = 0; c < 2; ++c)
            for (UInt32 i = 0; i < kSlice; ++i) in[c][i] = sample(s * kSlice + i, mono ? 0 : c);
        float* ins[] = {in[0].data(), in[1].data()};
        float* outs[] = {o[0].data(), o[1].data()};
        e->processReplacing(e, ins, outs, kSlice);
        for (int c = 0; c < 2; ++c) out[c].insert(out[c].end(), o[c].begin(), o[c].end());
    }
    host.close(e);
    return out;
}

std::vector<std::vector<float>> auRender(AU& au, int slices, UInt32 slice = kSlice) {
    std::vector<std::vector<float>> out(2);
    std::vector<float> l, r;
    for (int s = 0; s < slices; ++s) {
        EXPECT_EQ(au.render(s * slice, l, r, false, slice), noErr);
        out[0].insert(out[0].end(), l.begin(), l.end());
        out[1].insert(out[1].end(), r.begin(), r.end());
    }
    return out;
}

std::vector<std::string> heard;

void listener(void* tag, AudioUnit, UInt32 id, UInt32 scope, UInt32 element) {
    heard.push_back(std::string(static_cast<const char*>(tag)) + " " + std::to_string(id) + "/" +
                    std::to_string(scope) + "/" + std::to_string(element));
}

OSStatus notification(void* tag, UInt32* flags, const AudioTimeStamp*, UInt32, UInt32,
                      AudioBufferList*) {
    heard.push_back(std::string(static_cast<const char*>(tag)) + " " + std::to_string(*flags));
    return noErr;
}

void selectFactoryPreset(AU& au, SInt32 n) {
    AUPreset preset{n, nullptr};
    ASSERT_EQ(au.set(kAudioUnitProperty_CurrentPreset, preset, G), noErr);
}

// Whatever the slices, the sound of the plain effect in 512-frame calls.
TEST(AURender, FactoryPresetRendersSampleForSampleAsTheVSTEffect) {
    for (bool mono : {false, true}) {
        const auto expected = vstRender(3, 20, mono);
        for (UInt32 slice : {kSlice, 1u, 33u, 441u}) {
            AU au;
            selectFactoryPreset(au, 3);
            ASSERT_EQ(au.channels(I, mono ? 1 : 2), noErr);
            au.feed();
            ASSERT_EQ(AudioUnitInitialize(au.unit), noErr);
            auto out = auRender(au, int((20 * kSlice + slice - 1) / slice), slice);
            for (auto& channel : out) channel.resize(20 * kSlice);
            EXPECT_EQ(out, expected) << "mono input " << mono << " slice " << slice;
        }
    }
}

TEST(AURender, OneEffectRunPerTimeStampUntilReset) {
    AU au;
    au.feed();
    std::vector<float> l, r, l2, r2;
    EXPECT_EQ(au.render(0, l, r), kAudioUnitErr_Uninitialized);
    ASSERT_EQ(AudioUnitInitialize(au.unit), noErr);
    EXPECT_EQ(au.render(0, l, r), noErr);
    EXPECT_EQ(au.render(0, l2, r2, true), noErr); // null pointers receive the same buffers
    EXPECT_EQ(au.pulls, 1);
    EXPECT_EQ(l2, l);
    EXPECT_NE(au.lastList.first, nullptr);
    EXPECT_NE(au.lastList.first, au.lastList.second);
    EXPECT_EQ(AudioUnitReset(au.unit, I, 0), kAudioUnitErr_InvalidScope);
    EXPECT_EQ(AudioUnitReset(au.unit, G, 0), noErr);
    EXPECT_EQ(au.render(0, l, r), noErr);
    EXPECT_EQ(au.pulls, 2);
    au.failInput = true;
    EXPECT_EQ(au.render(kSlice, l, r), -1);
    au.failInput = false;
    EXPECT_EQ(au.render(kSlice, l, r), noErr) << "a failed slice is rendered when asked again";
    EXPECT_EQ(au.pulls, 4);
}

TEST(AURender, RefusesWhatWouldOverrunTheHostsOrItsOwnBuffers) {
    AU au;
    au.feed();
    EXPECT_EQ(au.channels(O, 2, kAudioFormatFlagIsFloat), kAudioUnitErr_FormatNotSupported)
        << "interleaved";
    ASSERT_EQ(AudioUnitInitialize(au.unit), noErr);
    std::vector<float> l(kSlice), r(kSlice);
    AudioTimeStamp ts{};
    UInt32 flags = 0;
    struct {
        UInt32 n;
        AudioBuffer b[2];
    } list{2, {{1, kSlice * 4, l.data()}, {1, kSlice * 4 - 4, r.data()}}};
    auto* abl = reinterpret_cast<AudioBufferList*>(&list);
    EXPECT_EQ(AudioUnitRender(au.unit, &flags, &ts, 0, kSlice, abl), paramErr) << "short buffer";
    list.n = 1;
    EXPECT_EQ(AudioUnitRender(au.unit, &flags, &ts, 0, kSlice - 1, abl), paramErr) << "one buffer";
    list.n = 2;
    EXPECT_EQ(AudioUnitRender(au.unit, &flags, &ts, 1, 16, abl), paramErr) << "no bus 1";
    EXPECT_EQ(AudioUnitRender(au.unit, &flags, nullptr, 0, 16, abl), paramErr);
    EXPECT_EQ(AudioUnitRender(au.unit, &flags, &ts, 0, 4097, abl), paramErr);
    EXPECT_EQ(au.pulls, 0);
    for (int i = 0; i < 1024; ++i) ASSERT_EQ(MusicDeviceMIDIEvent(au.unit, 0xb0, 1, 2, 0), noErr);
    EXPECT_EQ(MusicDeviceMIDIEvent(au.unit, 0xb0, 1, 2, 0), memFullErr);
    list.b[1].mDataByteSize = kSlice * 4;
    EXPECT_EQ(AudioUnitRender(au.unit, &flags, &ts, 0, kSlice, abl), noErr);
    EXPECT_EQ(MusicDeviceMIDIEvent(au.unit, 0xb0, 1, 2, 0), noErr) << "render took the events";
}

TEST(AURender, RenderingAllocatesNothing) {
    AU au;
    au.feed();
    ASSERT_EQ(AudioUnitInitialize(au.unit), noErr);
    std::vector<float> l(kSlice), r(kSlice);
    ASSERT_EQ(au.render(0, l, r), noErr);
    const long before = allocationCount();
    for (int s = 1; s < 50; ++s) {
        MusicDeviceMIDIEvent(au.unit, 0xb0, 7, 64, 3);
        au.render(s * kSlice, l, r, s % 2);
    }
    EXPECT_EQ(allocationCount(), before);
}

// A copy of the built bundle whose effect is another module in place of its own: by
// default the host tests' tracing effect (gain 0.5, 7 frames of latency, each process call
// logged with whether the time information's position is the frames processed so far).
struct Tracer {
    explicit Tracer(const char* module = "tests/host/trace_plugin.so")
        : folder(fs::temp_directory_path() / ("au_render_" + std::to_string(getpid()))),
          log(folder / "trace.txt") {
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy(builtModule("Orvella.vst"), bundle(), fs::copy_options::recursive);
        fs::create_symlink(fs::absolute(builtModule(module)),
                           bundle() / "Contents/Resources/Trace.vst");
        setenv("ORVELLA_TRACE_FILE", log.c_str(), 1);
    }
    ~Tracer() { fs::remove_all(folder); }
    fs::path bundle() const { return folder / "Orvella.vst"; }
    std::string trace() const {
        std::ifstream in(log);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path folder, log;
};

OSStatus transport(void*, Boolean* playing, Boolean* changed, Float64* sample, Boolean*, Float64*,
                   Float64*) {
    *playing = *changed = 1;
    *sample += 1000;
    return noErr;
}

TEST(AURender, LatencyFollowsTheRateAndTimeInformationComesFromTheHostsCallbacks) {
    Tracer tracer;
    AU au(tracer.bundle());
    heard.clear();
    char tag[] = "l";
    ASSERT_EQ(AudioUnitAddPropertyListener(au.unit, kAudioUnitProperty_Latency, listener, tag),
              noErr);
    EXPECT_EQ(au.get<Float64>(kAudioUnitProperty_Latency), 7 / 44100.0);
    const Float64 rate = 48000;
    ASSERT_EQ(au.set(kAudioUnitProperty_SampleRate, rate, O), noErr);
    EXPECT_EQ(au.get<Float64>(kAudioUnitProperty_Latency), 7 / 48000.0);
    EXPECT_EQ(heard, (std::vector<std::string>{"l 12/0/0"}));

    au.feed();
    ASSERT_EQ(AudioUnitInitialize(au.unit), noErr);
    std::vector<float> l, r;
    ASSERT_EQ(au.render(0, l, r), noErr);
    ASSERT_EQ(au.render(kSlice, l, r), noErr);
    HostCallbackInfo callbacks{nullptr, nullptr, nullptr, transport};
    ASSERT_EQ(au.set(kAudioUnitProperty_HostCallbacks, callbacks, G), noErr);
    ASSERT_EQ(au.render(2 * kSlice, l, r), noErr);
    EXPECT_TRUE(tracer.trace().ends_with("process 512 1\nprocess 512 1\nprocess 512 0\n"))
        << tracer.trace();
    for (UInt32 i = 7; i < kSlice; ++i) ASSERT_EQ(l[i], 0.5f * sample(2 * kSlice + i - 7, 0)) << i;
    ASSERT_EQ(AudioUnitReset(au.unit, G, 0), noErr);
    EXPECT_NE(tracer.trace().find("process 512 0\nmains 0\nmains 1\n"), std::string::npos);
}

TEST(AURender, AConnectionPullsTheSourceUnitOncePerTimeStamp) {
    Tracer tracer;
    AU source(tracer.bundle()), chained(tracer.bundle());
    source.feed();
    const AudioUnitConnection itself{chained.unit, 0, 0};
    EXPECT_EQ(chained.set(kAudioUnitProperty_MakeConnection, itself, I),
              kAudioUnitErr_InvalidPropertyValue);
    const AudioUnitConnection connection{source.unit, 0, 0};
    ASSERT_EQ(chained.set(kAudioUnitProperty_MakeConnection, connection, I), noErr);
    UInt32 size = 0;
    Boolean writable = 1;
    ASSERT_EQ(AudioUnitGetPropertyInfo(chained.unit, kAudioUnitProperty_SampleRate, I, 0, &size,
                                       &writable),
              noErr);
    EXPECT_FALSE(writable) << "a fed input bus takes its rate from its source";
    ASSERT_EQ(AudioUnitInitialize(source.unit), noErr);
    ASSERT_EQ(AudioUnitInitialize(chained.unit), noErr);
    std::vector<float> l, r;
    for (int s = 0; s < 3; ++s) ASSERT_EQ(chained.render(s * kSlice, l, r), noErr);
    ASSERT_EQ(chained.render(2 * kSlice, l, r, true), noErr);
    EXPECT_EQ(source.pulls, 3);
    for (UInt32 i = 0; i < kSlice; ++i) {
        ASSERT_EQ(r[i], 0.25f * sample(2 * kSlice + i - 14, 1)) << i;
    }
}

TEST(AURender, StereoOnAMonoBusOnlyForTheHostsThatNeedIt) {
    Tracer tracer("tests/host/trace_plugin_mono.so");
    const std::pair<HostIdentity, OSStatus> hosts[] = {
        {{"com.apple.garageband", "4.1.2"}, noErr},
        {{"com.apple.logic.pro", "8.0.0"}, noErr},
        {{"com.apple.garageband", "4.2"}, kAudioUnitErr_FormatNotSupported}};
    for (const auto& [identity, answer] : hosts) {
        SetHostIdentity(identity);
        AU au(tracer.bundle());
        EXPECT_EQ(au.get<AudioStreamBasicDescription>(kAudioUnitProperty_StreamFormat, O)
                      .mChannelsPerFrame,
                  1u);
        EXPECT_EQ(au.channels(O, 2), answer) << identity.identifier << " " << identity.shortVersion;
        if (answer != noErr) continue;
        // Both channels the host asked for carry the bus's one channel.
        au.feed();
        ASSERT_EQ(AudioUnitInitialize(au.unit), noErr);
        std::vector<float> l, r;
        ASSERT_EQ(au.render(0, l, r), noErr);
        EXPECT_EQ(l, r);
        EXPECT_EQ(l[20], 0.5f * sample(13, 0));
    }
    ClearHostIdentity();
}

TEST(AURender, AnAwareEffectExchangesSilenceFlagsAndTexts) {
    Tracer aware("tests/host/trace_plugin_aware.so");
    AU au(aware.bundle());
    EXPECT_EQ(au.get<Float64>(kAudioUnitProperty_TailTime), 0.1);
    ASSERT_EQ(au.set(kAudioUnitProperty_BypassEffect, UInt32(7)), noErr);
    EXPECT_EQ(au.get<UInt32>(kAudioUnitProperty_BypassEffect), 1u);
    const Float32 value = 2.5f;
    AudioUnitParameterStringFromValue text{0, &value, nullptr};
    UInt32 size = sizeof text;
    ASSERT_EQ(AudioUnitGetProperty(au.unit, kAudioUnitProperty_ParameterStringFromValue, G, 0,
                                   &text, &size),
              noErr);
    EXPECT_EQ(text.outString->text, "2.5 tenths");
    CFRelease(text.outString);
    const CFHolder<CFString> typed(CFStringCreateWithCString("anything"));
    AudioUnitParameterValueFromString parsed{0, typed.get(), 0};
    ASSERT_EQ(AudioUnitGetProperty(au.unit, kAudioUnitProperty_ParameterValueFromString, G, 0,
                                   &parsed, &size),
              noErr);
    EXPECT_EQ(parsed.outValue, 2.5f) << "the effect's 0.25 in the natural scale";

    ASSERT_EQ(AudioUnitInitialize(au.unit), noErr);
    std::vector<float> l, r;
    char tag[] = "n";
    ASSERT_EQ(AudioUnitAddRenderNotify(au.unit, notification, tag), noErr);
    heard.clear();
    ASSERT_EQ(au.render(0, l, r), noErr); // nothing feeds the input: silence
    au.feed();
    ASSERT_EQ(au.render(kSlice, l, r), noErr);
    EXPECT_EQ(heard, (std::vector<std::string>{"n 4", "n 24", "n 4", "n 8"}));
}

TEST(AUView, OpensInTheHostsWindowAndFollowsTheEditorsSizeOnIdle) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) GTEST_SKIP() << "no X display";
    Tracer aware("tests/host/trace_plugin_aware.so");
    AU au(aware.bundle());
    const auto view = au.get<AudioUnitCocoaViewInfo>(kAudioUnitProperty_CocoaUI);
    const CFHolder<CFString> where(view.mCocoaAUViewBundleLocation),
        name(view.mCocoaAUViewClass[0]);
    const CFHolder<CFBundle> bundle(CFBundleCreateWithPath(where->text));
    const auto entry = reinterpret_cast<OSStatus (*)(AudioUnit, unsigned long, UInt32*, UInt32*)>(
        CFBundleGetFunctionPointerForName(const_cast<CFBundleRef>(bundle.get()),
                                          name->text.c_str()));
    ASSERT_NE(entry, nullptr);
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
    XSync(display, False);
    UInt32 width = 0, height = 0;
    ASSERT_EQ(entry(au.unit, window, &width, &height), noErr);
    EXPECT_EQ(std::pair(width, height), std::pair(200u, 100u));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(RunMainEventLoopTimers(), 1);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    EXPECT_EQ(std::pair(attributes.width, attributes.height), std::pair(300, 150));
    EXPECT_EQ(entry(au.unit, 0, nullptr, nullptr), noErr);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}

TEST(AUProperties, ScopeElementSizeAndAccessRules) {
    AU au;
    struct Case {
        UInt32 id, scope, element;
        OSStatus info;
        UInt32 size;
        Boolean writable;
    };
    const Case cases[] = {
        {kAudioUnitProperty_ClassInfo, G, 0, noErr, 8, 1},
        {kAudioUnitProperty_ClassInfo, I, 0, kAudioUnitErr_InvalidScope, 0, 0},
        {kAudioUnitProperty_MakeConnection, I, 0, noErr, 16, 1},
        {kAudioUnitProperty_MakeConnection, I, 1, kAudioUnitErr_InvalidElement, 0, 0},
        {kAudioUnitProperty_MakeConnection, O, 0, kAudioUnitErr_InvalidScope, 0, 0},
        {kAudioUnitProperty_SampleRate, O, 0, noErr, 8, 1},
        {kAudioUnitProperty_SampleRate, O, 1, kAudioUnitErr_InvalidElement, 0, 0},
        {kAudioUnitProperty_ParameterList, G, 0, noErr, 64, 0},
        {kAudioUnitProperty_ParameterList, I, 0, noErr, 0, 0},
        {kAudioUnitProperty_ParameterInfo, G, 15, noErr, 104, 0},
        {kAudioUnitProperty_ParameterInfo, G, 16, kAudioUnitErr_InvalidElement, 0, 0},
        {kAudioUnitProperty_StreamFormat, I, 0, noErr, 40, 1},
        {kAudioUnitProperty_ElementCount, 7, 0, noErr, 4, 0},
        {kAudioUnitProperty_SupportedNumChannels, G, 0, noErr, 16, 0},
        {kAudioUnitProperty_MaximumFramesPerSlice, G, 0, noErr, 4, 1},
        {kAudioUnitProperty_ParameterValueStrings, G, 0, kAudioUnitErr_InvalidParameter, 0, 0},
        {kAudioUnitProperty_TailTime, G, 0, kAudioUnitErr_InvalidProperty, 0, 0},
        {kAudioUnitProperty_LastRenderError, G, 0, noErr, 4, 0},
        {kAudioUnitProperty_FactoryPresets, G, 0, noErr, 8, 0},
        {kAudioUnitProperty_HostCallbacks, G, 0, noErr, 32, 1},
        {kAudioUnitProperty_CurrentPreset, G, 0, noErr, 16, 1},
        {kAudioUnitProperty_CocoaUI, G, 0, noErr, 16, 0},
        {kAudioUnitProperty_ParameterStringFromValue, G, 0, kAudioUnitErr_InvalidProperty, 0, 0},
        {kMusicDeviceProperty_InstrumentCount, G, 0, noErr, 4, 0},
        {19, G, 0, kAudioUnitErr_InvalidProperty, 0, 0},
    };
    for (const Case& c : cases) {
        UInt32 size = 0;
        Boolean writable = 0;
        EXPECT_EQ(AudioUnitGetPropertyInfo(au.unit, c.id, c.scope, c.element, &size, &writable),
                  c.info)
            << c.id << " scope " << c.scope;
        if (c.info != noErr) continue;
        EXPECT_EQ(size, c.size) << c.id;
        EXPECT_EQ(writable, c.writable) << c.id;
        std::vector<unsigned char> buffer(std::max<UInt32>(size, 1));
        UInt32 small = size - 1;
        if (c.id != kAudioUnitProperty_HostCallbacks && c.id != kAudioUnitProperty_CurrentPreset &&
            size > 0 && c.id != kAudioUnitProperty_MakeConnection) {
            EXPECT_EQ(
                AudioUnitGetProperty(au.unit, c.id, c.scope, c.element, buffer.data(), &small),
                kAudioUnitErr_InvalidPropertyValue)
                << c.id;
        }
        if (!c.writable) {
            EXPECT_EQ(AudioUnitSetProperty(au.unit, c.id, c.scope, c.element, buffer.data(), size),
                      kAudioUnitErr_InvalidProperty)
                << c.id;
        } else if (size > 4) {
            EXPECT_EQ(AudioUnitSetProperty(au.unit, c.id, c.scope, c.element, buffer.data(), 3),
                      c.id == kAudioUnitProperty_HostCallbacks
                          ? OSStatus(noErr)
                          : OSStatus(kAudioUnitErr_InvalidPropertyValue))
                << c.id;
        }
    }
    UInt32 size = 0;
    EXPECT_EQ(
        AudioUnitGetProperty(au.unit, kAudioUnitProperty_SetRenderCallback, I, 0, nullptr, &size),
        kAudioUnitErr_InvalidProperty)
        << "write only";
    AUPreset preset{};
    size = 4;
    EXPECT_EQ(AudioUnitGetProperty(au.unit, kAudioUnitProperty_PresentPreset, G, 0, &preset, &size),
              noErr);
    EXPECT_EQ(size, 4u) << "only the number fits";
}

TEST(AUProperties, ParametersInTheNaturalScaleThroughTheEffectsConversions) {
    AU au;
    Float32 value = 0;
    EXPECT_EQ(AudioUnitGetParameter(au.unit, 16, G, 0, &value), kAudioUnitErr_InvalidParameter);
    EXPECT_EQ(AudioUnitGetParameter(au.unit, 6, I, 0, &value), kAudioUnitErr_InvalidScope);
    EXPECT_EQ(AudioUnitSetParameter(au.unit, 16, G, 0, 1, 0), kAudioUnitErr_InvalidParameter);
    const auto info = au.get<AudioUnitParameterInfo>(kAudioUnitProperty_ParameterInfo, G, 6);
    for (Float32 v : {info.minValue, info.maxValue, 7.5f}) {
        ASSERT_EQ(AudioUnitSetParameter(au.unit, 6, G, 0, v, 0), noErr);
        EXPECT_NEAR(au.parameter(6), v, 1e-4 * info.maxValue);
    }
    const AudioUnitParameterEvent events[] = {
        {G, 0, 6, kParameterEvent_Immediate, {.immediate = {0, 2.5f}}},
        {G, 0, 16, kParameterEvent_Immediate, {.immediate = {0, 1}}}};
    EXPECT_EQ(AudioUnitScheduleParameters(au.unit, events, 2), kAudioUnitErr_InvalidParameter);
    EXPECT_NEAR(au.parameter(6), 7.5f, 1e-3) << "nothing half-applied";
    EXPECT_EQ(AudioUnitScheduleParameters(au.unit, events, 1), noErr);
    EXPECT_NEAR(au.parameter(6), 2.5f, 1e-3);
}

TEST(AUProperties, ListenersAndRenderNotificationsInOrder) {
    AU au;
    heard.clear();
    char a[] = "a", b[] = "b";
    for (UInt32 id : {kAudioUnitProperty_SampleRate, kAudioUnitProperty_StreamFormat,
                      kAudioUnitProperty_CurrentPreset}) {
        ASSERT_EQ(AudioUnitAddPropertyListener(au.unit, id, listener, a), noErr);
    }
    ASSERT_EQ(AudioUnitAddPropertyListener(au.unit, kAudioUnitProperty_SampleRate, listener, b),
              noErr);
    const Float64 rate = 48000;
    ASSERT_EQ(au.set(kAudioUnitProperty_SampleRate, rate, G), noErr);
    ASSERT_EQ(au.set(kAudioUnitProperty_SampleRate, rate, G), noErr);
    EXPECT_EQ(heard, (std::vector<std::string>{"a 8/1/0", "a 2/1/0", "b 2/1/0", "a 8/2/0",
                                               "a 2/2/0", "b 2/2/0"}));
    heard.clear();
    ASSERT_EQ(AudioUnitRemovePropertyListenerWithUserData(au.unit, kAudioUnitProperty_SampleRate,
                                                          listener, a),
              noErr);
    selectFactoryPreset(au, 2);
    EXPECT_EQ(heard, (std::vector<std::string>{"a 28/0/0"}));
    EXPECT_EQ(au.get<SInt32>(kAudioUnitProperty_PresentPreset), 2);
    EXPECT_EQ(au.set(kAudioUnitProperty_CurrentPreset, AUPreset{10, nullptr}),
              kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(AudioUnitAddPropertyListener(au.unit, 0, listener, nullptr), noErr);

    heard.clear();
    ASSERT_EQ(AudioUnitAddRenderNotify(au.unit, notification, a), noErr);
    ASSERT_EQ(AudioUnitAddRenderNotify(au.unit, notification, b), noErr);
    ASSERT_EQ(AudioUnitInitialize(au.unit), noErr);
    std::vector<float> l, r;
    ASSERT_EQ(au.render(0, l, r), noErr);
    ASSERT_EQ(AudioUnitRemoveRenderNotify(au.unit, notification, b), noErr);
    ASSERT_EQ(au.render(kSlice, l, r), noErr);
    // No input is connected: the effect hears silence, and its output is not declared silent.
    EXPECT_EQ(heard, (std::vector<std::string>{"b 4", "a 4", "b 8", "a 8", "a 4", "a 8"}));
    for (int i = 0; i < 127; ++i) AudioUnitAddRenderNotify(au.unit, notification, a);
    EXPECT_EQ(AudioUnitAddRenderNotify(au.unit, notification, a), memFullErr);
}

} // namespace

// Cost per stereo frame at 512-frame slices: the effect through Audio Unit render calls
// (input from a render callback, output into the host's buffers) against the same effect
// called directly through its VST entry point. Both are loaded from the built bundle.
#include "audiounit/platform/AudioUnitCalls.h"
#include "audiounit/platform/CFBundle.h"
#include "plugin/VstInterface.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr UInt32 kSlice = 512;

struct Signal {
    Signal() : left(kSlice), right(kSlice), outLeft(kSlice), outRight(kSlice) {
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> d(-0.5f, 0.5f);
        for (UInt32 i = 0; i < kSlice; ++i) left[i] = d(rng), right[i] = d(rng);
    }
    std::vector<float> left, right, outLeft, outRight;
};

void perFrame(benchmark::State& state) {
    state.counters["ns_per_frame"] =
        benchmark::Counter(double(state.iterations()) * kSlice,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

void pluginAlone(benchmark::State& state) {
    CFBundleRef bundle = CFBundleCreateWithPath(ORVELLA_BUNDLE);
    auto* entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(
        CFBundleGetFunctionPointerForName(bundle, "VSTPluginMain"));
    AEffect* e = entry(host);
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0);
    e->dispatcher(e, effSetBlockSize, 0, kSlice, nullptr, 0);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0);
    Signal s;
    float* ins[] = {s.left.data(), s.right.data()};
    float* outs[] = {s.outLeft.data(), s.outRight.data()};
    for (auto _ : state) {
        e->processReplacing(e, ins, outs, kSlice);
        benchmark::DoNotOptimize(s.outLeft.data());
        benchmark::ClobberMemory();
    }
    perFrame(state);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0);
    CFRelease(bundle);
}

OSStatus feed(void* signal, UInt32*, const AudioTimeStamp*, UInt32, UInt32 frames,
              AudioBufferList* data) {
    auto& s = *static_cast<Signal*>(signal);
    std::copy_n(s.left.data(), frames, static_cast<float*>(data->mBuffers[0].mData));
    std::copy_n(s.right.data(), frames, static_cast<float*>(data->mBuffers[1].mData));
    return noErr;
}

void audioUnit(benchmark::State& state) {
    Component component = nullptr;
    AudioUnit unit = nullptr;
    if (RegisterComponentBundle(ORVELLA_BUNDLE, &component) || OpenAComponent(component, &unit)) {
        state.SkipWithError("the bundle's Audio Unit does not open");
        return;
    }
    Signal s;
    const AURenderCallbackStruct callback{feed, &s};
    AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                         &callback, sizeof callback);
    AudioUnitSetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0,
                         &kSlice, sizeof kSlice);
    AudioUnitInitialize(unit);
    struct {
        UInt32 count;
        AudioBuffer buffers[2];
    } list{2, {{1, kSlice * 4, s.outLeft.data()}, {1, kSlice * 4, s.outRight.data()}}};
    AudioTimeStamp timeStamp{};
    timeStamp.mFlags = kAudioTimeStampSampleTimeValid;
    for (auto _ : state) {
        UInt32 flags = 0;
        AudioUnitRender(unit, &flags, &timeStamp, 0, kSlice,
                        reinterpret_cast<AudioBufferList*>(&list));
        timeStamp.mSampleTime += kSlice;
        benchmark::DoNotOptimize(s.outLeft.data());
        benchmark::ClobberMemory();
    }
    perFrame(state);
    CloseComponent(unit);
    UnregisterComponent(component);
}

BENCHMARK(pluginAlone);
BENCHMARK(audioUnit);

} // namespace

BENCHMARK_MAIN();

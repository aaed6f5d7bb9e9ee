// Cost per stereo frame at 512-frame blocks: the effect through the LV2 plug-in's run (ports
// read and reported, events looked at) against the same effect called directly through its
// VST entry point, both at the parameters' defaults.
#include "lv2/OrvellaPorts.h"
#include "plugin/VstInterface.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <lv2/core/lv2.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kBlock = 512;

struct Signal {
    Signal() : in(2, std::vector<float>(kBlock)), out(2, std::vector<float>(kBlock)) {
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> d(-0.5f, 0.5f);
        for (auto& channel : in)
            for (float& x : channel) x = d(rng);
    }
    std::vector<std::vector<float>> in, out;
};

void perFrame(benchmark::State& state) {
    state.counters["ns_per_frame"] =
        benchmark::Counter(double(state.iterations()) * kBlock,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

void vst(benchmark::State& state) {
    void* module = dlopen(ORVELLA_VST_MODULE, RTLD_NOW | RTLD_LOCAL);
    auto* entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(
        module ? dlsym(module, "VSTPluginMain") : nullptr);
    if (!entry) return state.SkipWithError("no VST build");
    AEffect* e = entry(host);
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100);
    for (int p = 0; p < kNumParams; ++p)
        e->setParameter(e, p, OrvellaPorts::hostValue(p, OrvellaPorts::defaultValue(p)));
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0);
    Signal s;
    float* ins[] = {s.in[0].data(), s.in[1].data()};
    float* outs[] = {s.out[0].data(), s.out[1].data()};
    for (auto _ : state) {
        e->processReplacing(e, ins, outs, kBlock);
        benchmark::DoNotOptimize(s.out[0].data());
        benchmark::ClobberMemory();
    }
    perFrame(state);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0);
}

LV2_URID map(LV2_URID_Map_Handle handle, const char* uri) {
    auto& uris = *static_cast<std::map<std::string, LV2_URID>*>(handle);
    return uris.emplace(uri, LV2_URID(uris.size() + 1)).first->second;
}

void lv2(benchmark::State& state) {
    void* module = dlopen(ORVELLA_LV2_MODULE, RTLD_NOW | RTLD_LOCAL);
    auto* entry = reinterpret_cast<LV2_Descriptor_Function>(module ? dlsym(module, "lv2_descriptor")
                                                                   : nullptr);
    if (!entry) return state.SkipWithError("no LV2 build");
    const LV2_Descriptor* d = entry(0);
    std::map<std::string, LV2_URID> uris;
    LV2_URID_Map mapping{&uris, map};
    const LV2_Feature mapFeature{LV2_URID__map, &mapping};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    LV2_Handle h = d->instantiate(d, 44100, "", features);
    Signal s;
    float ports[kNumParams], reports[kNumParams];
    LV2_Atom_Sequence events{{sizeof(LV2_Atom_Sequence_Body), map(&uris, LV2_ATOM__Sequence)},
                             {0, 0}};
    for (uint32_t c = 0; c < 2; ++c) {
        d->connect_port(h, OrvellaPorts::kInputLeft + c, s.in[c].data());
        d->connect_port(h, OrvellaPorts::kOutputLeft + c, s.out[c].data());
    }
    d->connect_port(h, OrvellaPorts::kEvents, &events);
    for (int p = 0; p < kNumParams; ++p) {
        ports[p] = OrvellaPorts::defaultValue(p);
        d->connect_port(h, OrvellaPorts::controlInput(p), &ports[p]);
        d->connect_port(h, OrvellaPorts::controlOutput(p), &reports[p]);
    }
    d->activate(h);
    for (auto _ : state) {
        d->run(h, kBlock);
        benchmark::DoNotOptimize(s.out[0].data());
        benchmark::ClobberMemory();
    }
    perFrame(state);
    d->deactivate(h);
    d->cleanup(h);
}

BENCHMARK(vst);
BENCHMARK(lv2);

} // namespace

BENCHMARK_MAIN();

// processReplacing cost per stereo frame, by block size, routing and signal.
// Real-time factor at 44.1 kHz = 1e9 / (44100 * ns per frame).
#include "effect/Orvella.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// args: block size, "Ph B Input" host value x 2 (0 In A, 1 Out A, 2 In B), silence after noise
void processReplacing(benchmark::State& state) {
    const int block = int(state.range(0));
    const float routing = float(state.range(1)) / 2.0f;
    const bool silence = state.range(2) != 0;
    Orvella effect(host);
    effect.setParameter(8, routing);

    std::mt19937 rng(7);
    std::uniform_real_distribution<float> d(-0.5f, 0.5f);
    const auto frames = static_cast<std::size_t>(block);
    std::vector<float> l(frames), r(frames), outL(frames), outR(frames);
    for (std::size_t i = 0; i < l.size(); ++i) l[i] = d(rng), r[i] = d(rng);
    float* ins[] = {l.data(), r.data()};
    float* outs[] = {outL.data(), outR.data()};
    // Warm up on noise; for the silence case let the tail decay into the subnormal range.
    for (int i = 0; i < 44100 / block + 1; ++i) effect.processReplacing(ins, outs, block);
    if (silence) {
        std::fill(l.begin(), l.end(), 0.0f);
        std::fill(r.begin(), r.end(), 0.0f);
        for (int i = 0; i < 10 * 44100 / block; ++i) effect.processReplacing(ins, outs, block);
    }
    for (auto _ : state) {
        effect.processReplacing(ins, outs, block);
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * block);
    state.counters["ns_per_frame"] =
        benchmark::Counter(double(state.iterations()) * block,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime_44k1"] = benchmark::Counter(
        double(state.iterations()) * block / 44100.0, benchmark::Counter::kIsRate);
}

BENCHMARK(processReplacing)
    ->ArgNames({"block", "routing", "silence"})
    ->ArgsProduct({{1, 8, 32, 512, 4096}, {0, 1, 2}, {0, 1}});

} // namespace

BENCHMARK_MAIN();

// Cost per sample of the phaser section and of one biquad, on a signal and on
// the silence that follows it (where subnormal numbers would show up).
#include "dsp/tqsp_filter_rbj.h"
#include "dsp/tqsp_filter_swept_phasor.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kBlock = 512;
constexpr int kSubBlock = 8; // the effect moves the sweep every eight samples

std::vector<float> testSignal(bool silent) {
    std::vector<float> v(kBlock, 0.0f);
    if (!silent)
        for (int i = 0; i < kBlock; ++i)
            v[i] = 0.5f * std::sin(0.031f * i) + 0.2f * std::sin(0.7f * i);
    return v;
}

void setCounters(benchmark::State& state) {
    const double samples = static_cast<double>(state.iterations()) * kBlock;
    state.SetItemsProcessed(static_cast<int64_t>(samples));
    // CPU seconds per sample, printed with an SI prefix (28n = 28 ns).
    state.counters["per_sample"] =
        benchmark::Counter(samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Phaser(benchmark::State& state) {
    const bool silent = state.range(0) != 0;
    tqsp_filter_swept_phasor phaser;
    phaser.setFeedback(0.9f);
    const std::vector<float> loud = testSignal(false);
    for (float x : loud) phaser.process(x); // a tail to decay during the silent run
    const std::vector<float> in = testSignal(silent);
    std::vector<float> out(kBlock);
    float sweep = 0.0f;
    for (auto _ : state) {
        for (int i = 0; i < kBlock; i += kSubBlock) {
            sweep = sweep > 0.99f ? -1.0f : sweep + 0.001f;
            phaser.setModulation(sweep);
            for (int k = i; k < i + kSubBlock; ++k) out[k] = phaser.process(in[k]);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    setCounters(state);
}
BENCHMARK(BM_Phaser)->ArgName("silent")->Arg(0)->Arg(1)->MinTime(0.5);

void BM_Biquad(benchmark::State& state) {
    const bool silent = state.range(0) != 0;
    tqsp_filter_rbj_high_pass hp;
    hp.setFrequency(20.0f);
    for (float x : testSignal(false)) hp.process(x);
    const std::vector<float> in = testSignal(silent);
    std::vector<float> out(kBlock);
    for (auto _ : state) {
        for (int i = 0; i < kBlock; ++i) out[i] = hp.process(in[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    setCounters(state);
}
BENCHMARK(BM_Biquad)->ArgName("silent")->Arg(0)->Arg(1)->MinTime(0.5);

} // namespace

BENCHMARK_MAIN();

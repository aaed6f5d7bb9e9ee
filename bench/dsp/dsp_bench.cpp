// Cost per sample of the phaser section and of one biquad, on a signal and on
// the silence that follows it (where subnormal numbers would show up); and of every
// further library block, on a signal.
#include "dsp/gen_buffer_play.h"
#include "dsp/gen_noise.h"
#include "dsp/gen_tri_LFO.h"
#include "dsp/gen_wavetable.h"
#include "dsp/mod_adsr.h"
#include "dsp/mod_ramp.h"
#include "dsp/tqsp_filter_all_pass_two_pole.h"
#include "dsp/tqsp_filter_butterworth_cascade.h"
#include "dsp/tqsp_filter_butterworth_high_pass.h"
#include "dsp/tqsp_filter_chamberlin.h"
#include "dsp/tqsp_filter_chamberlin_allpass.h"
#include "dsp/tqsp_filter_cmoore.h"
#include "dsp/tqsp_filter_moog_bandpass.h"
#include "dsp/tqsp_filter_ms20_lp.h"
#include "dsp/tqsp_filter_rbj.h"
#include "dsp/tqsp_filter_stilson_moog.h"
#include "dsp/tqsp_filter_swept_phasor.h"
#include "dsp/tqsp_filter_tq_moog.h"

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

// A library filter at 1 kHz with its resonance at the middle of its range.
template <class Filter> void BM_LibraryFilter(benchmark::State& state) {
    Filter filter;
    filter.setFrequency(1000.0f);
    filter.setResonanceNormalized(0.5f);
    const std::vector<float> in = testSignal(false);
    std::vector<float> out(kBlock);
    for (auto _ : state) {
        for (int i = 0; i < kBlock; ++i) out[i] = filter.process(in[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    setCounters(state);
}
BENCHMARK(BM_LibraryFilter<tqsp_filter_chamberlin>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_chamberlin_allpass>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_all_pass_two_pole>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_cmoore_low_pass>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_cmoore_low_shelf>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_cmoore_high_shelf>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_butterworth_first_order_high_pass>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_butterworth_fourth_order_low_pass>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_butterworth_fourth_order_high_pass>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_butterworth_fifth_order_low_pass>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_moog_bandpass>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_stilson_moog>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_tq_moog>)->MinTime(0.2);
BENCHMARK(BM_LibraryFilter<tqsp_filter_ms20_lp>)->MinTime(0.2);

// A record-style block: set up once, then one call of step per sample.
template <class Setup, class Step> void runModule(benchmark::State& state, Setup setup, Step step) {
    setup();
    std::vector<float> out(kBlock);
    for (auto _ : state) {
        for (int i = 0; i < kBlock; ++i) out[i] = step(i);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    setCounters(state);
}

void BM_Adsr(benchmark::State& state) {
    mod_adsr_record r;
    runModule(
        state, [&] { mod_adsr_init(&r); },
        [&](int i) {
            if (i == 0) mod_adsr_note_on(&r); // attack, decay and release in every block
            if (i == 400) mod_adsr_note_off(&r);
            return mod_adsr_dsp(&r);
        });
}
BENCHMARK(BM_Adsr)->MinTime(0.2);

void BM_Ramp(benchmark::State& state) {
    mod_ramp_record r;
    runModule(
        state,
        [&] {
            mod_ramp_init(&r);
            mod_ramp_set_attr(&r, MOD_RAMP_TIME, 100.0f);
        },
        [&](int i) {
            if (i % 128 == 0) mod_ramp_set_attr(&r, MOD_RAMP_TARGET, i % 256 ? 1.0f : -1.0f);
            return mod_ramp_dsp(&r);
        });
}
BENCHMARK(BM_Ramp)->MinTime(0.2);

void BM_Noise(benchmark::State& state) {
    gen_noise_record r;
    runModule(
        state, [&] { gen_noise_init(&r); }, [&](int) { return gen_noise_dsp(&r); });
}
BENCHMARK(BM_Noise)->MinTime(0.2);

void BM_TriLfo(benchmark::State& state) {
    gen_tri_LFO_record r;
    runModule(
        state,
        [&] {
            gen_tri_LFO_init(&r);
            gen_tri_LFO_set_attr(&r, GEN_TRI_LFO_FREQUENCY, 3.0f);
        },
        [&](int) { return gen_tri_LFO_dsp(&r); });
}
BENCHMARK(BM_TriLfo)->MinTime(0.2);

void BM_Wavetable(benchmark::State& state) {
    gen_wavetable_record r;
    runModule(
        state,
        [&] {
            gen_wavetable_init(&r);
            gen_wavetable_set_attr(&r, GEN_WAVETABLE_WAVEFORM, GEN_WAVETABLE_SOFT_RAMP);
            gen_wavetable_set_attr(&r, GEN_WAVETABLE_FREQUENCY, 220.0f);
            gen_wavetable_set_attr(&r, GEN_WAVETABLE_MODULATION_DEPTH, 10.0f);
        },
        [&](int i) { return gen_wavetable_dsp(&r, i & 1 ? 0.5f : -0.5f); });
}
BENCHMARK(BM_Wavetable)->MinTime(0.2);

void BM_BufferPlay(benchmark::State& state) {
    const std::vector<float> buffer = testSignal(false);
    gen_buffer_play_record r;
    runModule(
        state,
        [&] {
            gen_buffer_play_init(&r);
            gen_buffer_play_set_buffer(&r, buffer.data(), 300); // loops inside every block
            gen_buffer_play_set_attr(&r, GEN_BUFFER_PLAY_LOOP, 1.0f);
            gen_buffer_play_set_attr(&r, GEN_BUFFER_PLAY_MODE, 1.0f);
        },
        [&](int) { return gen_buffer_play_dsp(&r); });
}
BENCHMARK(BM_BufferPlay)->MinTime(0.2);

} // namespace

BENCHMARK_MAIN();

#include "dsp/csd.h"
#include "dsp/gen_LFO.h"
#include "dsp/gen_buffer_play.h"
#include "dsp/gen_noise.h"
#include "dsp/gen_tri_LFO.h"
#include "dsp/gen_wavetable.h"
#include "dsp/mod_adsr.h"
#include "dsp/mod_ramp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

namespace {

struct Generators : ::testing::Test {
    void TearDown() override { csd_set_attr(CSD_ATTR_SAMPLING_RATE, 44100.0f); }
};

TEST_F(Generators, NoiseIsTheLfoRandomSequence) {
    gen_LFO_record lfo;
    gen_LFO_init(&lfo);
    gen_LFO_set_attr(&lfo, GEN_LFO_WAVEFORM, GEN_LFO_RANDOM);
    gen_LFO_set_attr(&lfo, GEN_LFO_FREQUENCY, 11025.0f); // a new target every fourth call
    gen_noise_record noise;
    gen_noise_init(&noise);
    double sum = 0.0;
    for (int i = 0; i < 5000; ++i) {
        for (int k = 0; k < 4; ++k) gen_LFO_dsp(&lfo);
        const float v = gen_noise_dsp(&noise);
        ASSERT_EQ(v, lfo.randomTarget) << i;
        ASSERT_TRUE(v >= -1.0f && v <= 1.0f);
        sum += v;
    }
    EXPECT_NEAR(sum / 5000, 0.0, 0.03);
}

// Calls until the output equals the target exactly.
int callsUntil(mod_adsr_record* r, float target) {
    for (int n = 1; n < 10000000; ++n)
        if (mod_adsr_dsp(r) == target) return n;
    return -1;
}

TEST_F(Generators, EnvelopeSegmentsLastTheirTimes) {
    const struct {
        int curve;
        float rate, attack, decay, sustain, release;
    } rows[] = {
        {MOD_ADSR_LINEAR, 44100, 0.01f, 0.1f, 0.5f, 0.2f},
        {MOD_ADSR_EXPONENTIAL, 44100, 0.01f, 0.1f, 0.5f, 0.2f},
        {MOD_ADSR_LINEAR, 22050, 0.0f, 0.003f, 0.25f, 1.5f},
        {MOD_ADSR_EXPONENTIAL, 192000, 0.5f, 0.0f, 0.8f, 0.0f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.curve << " at " << row.rate);
        csd_set_attr(CSD_ATTR_SAMPLING_RATE, row.rate);
        mod_adsr_record r;
        mod_adsr_init(&r);
        mod_adsr_set_attr(&r, MOD_ADSR_CURVE, row.curve);
        mod_adsr_set_attr(&r, MOD_ADSR_ATTACK_TIME, row.attack);
        mod_adsr_set_attr(&r, MOD_ADSR_DECAY_TIME, row.decay);
        mod_adsr_set_attr(&r, MOD_ADSR_SUSTAIN_LEVEL, row.sustain);
        mod_adsr_set_attr(&r, MOD_ADSR_RELEASE_TIME, row.release);
        const auto samples = [&](float t) { return std::max(1.0f, t * row.rate); };
        mod_adsr_note_on(&r);
        EXPECT_NEAR(callsUntil(&r, 1.0f), samples(row.attack), 1.0);
        EXPECT_NEAR(callsUntil(&r, row.sustain), samples(row.decay), 1.0);
        for (int i = 0; i < 100; ++i) ASSERT_EQ(mod_adsr_dsp(&r), row.sustain);
        mod_adsr_note_off(&r);
        const int half = static_cast<int>(samples(row.release) / 2);
        for (int i = 0; i < half; ++i) mod_adsr_dsp(&r);
        // Halfway: linear at half the level, exponential with 10^-2.5 of it left.
        const double left = row.curve == MOD_ADSR_LINEAR ? 0.5 : std::pow(10.0, -2.5);
        if (half > 10) {
            EXPECT_NEAR(mod_adsr_get_output(&r), row.sustain * left, 1e-3);
        }
        EXPECT_NEAR(callsUntil(&r, 0.0f) + half, samples(row.release), 1.0);
        EXPECT_EQ(r.stage, MOD_ADSR_IDLE);
    }
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 44100.0f);
    mod_adsr_record r;
    mod_adsr_init(&r);
    mod_adsr_set_attr(&r, MOD_ADSR_ATTACK_TIME, NAN); // ignored
    mod_adsr_set_attr(&r, MOD_ADSR_DECAY_TIME, -3.0f);
    mod_adsr_set_attr(&r, MOD_ADSR_SUSTAIN_LEVEL, 7.0f);
    mod_adsr_set_attr(&r, MOD_ADSR_CURVE, 5.0f);
    EXPECT_EQ(mod_adsr_get_attr(&r, MOD_ADSR_ATTACK_TIME), 0.01f);
    EXPECT_EQ(mod_adsr_get_attr(&r, MOD_ADSR_DECAY_TIME), 0.0f);
    EXPECT_EQ(mod_adsr_get_attr(&r, MOD_ADSR_SUSTAIN_LEVEL), 1.0f);
    EXPECT_EQ(mod_adsr_get_attr(&r, MOD_ADSR_CURVE), MOD_ADSR_LINEAR);
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 88200.0f);
    mod_adsr_update_sampling_rate(&r);
    mod_adsr_note_on(&r);
    EXPECT_EQ(callsUntil(&r, 1.0f), 882);
}

TEST_F(Generators, RampRisesAndFallsInItsTimes) {
    mod_ramp_record r;
    mod_ramp_init(&r);
    mod_ramp_set_attr(&r, MOD_RAMP_RISE_TIME, 10.0f);
    mod_ramp_set_attr(&r, MOD_RAMP_FALL_TIME, 20.4f);
    const struct {
        float target;
        bool symmetric;
        int calls;
    } rows[] = {{1.0f, false, 10}, {-1.0f, false, 20}, {3.0f, true, 10}, {-2.0f, true, 10}};
    for (const auto& row : rows) {
        const float from = mod_ramp_get_output(&r);
        mod_ramp_set_attr(&r, MOD_RAMP_TARGET, row.target);
        for (int n = 1; n <= row.calls; ++n) {
            const float y = row.symmetric ? mod_ramp_dsp_symmetric(&r) : mod_ramp_dsp(&r);
            EXPECT_NEAR(y, from + (row.target - from) * n / row.calls, 1e-5) << row.target;
        }
        EXPECT_EQ(mod_ramp_get_output(&r), row.target);
        EXPECT_EQ(mod_ramp_dsp(&r), row.target); // stays
    }
    mod_ramp_set_attr(&r, MOD_RAMP_START, 0.0f); // restarts toward the target -2
    EXPECT_FLOAT_EQ(mod_ramp_dsp(&r), -0.1f);
    mod_ramp_set_attr(&r, MOD_RAMP_JUMP, 0.5f);
    EXPECT_EQ(mod_ramp_dsp(&r), 0.5f);
    mod_ramp_set_attr(&r, MOD_RAMP_TIME, -4.0f); // at least one sample
    mod_ramp_set_attr(&r, MOD_RAMP_TARGET, NAN); // ignored
    EXPECT_EQ(mod_ramp_get_attr(&r, MOD_RAMP_FALL_TIME), 1.0f);
    mod_ramp_set_attr(&r, MOD_RAMP_TARGET, INFINITY);
    mod_ramp_set_attr(&r, MOD_RAMP_TARGET, 1e30f);
    EXPECT_EQ(mod_ramp_dsp(&r), 1e9f);
}

TEST_F(Generators, WavetableShapesAtGivenPhases) {
    gen_wavetable_record r;
    gen_wavetable_init(&r);
    const struct {
        int waveform;
        double phase;
        float value;
    } rows[] = {
        // clang-format off
        {GEN_WAVETABLE_SINE, 0.25, 1.0f}, {GEN_WAVETABLE_SINE, 0.75, -1.0f},
        {GEN_WAVETABLE_TRIANGLE, 0.25, 1.0f}, {GEN_WAVETABLE_TRIANGLE, 0.125, 0.5f},
        {GEN_WAVETABLE_RAMP_UP, 0.25, -0.5f}, {GEN_WAVETABLE_RAMP_DOWN, 0.75, -0.5f},
        {GEN_WAVETABLE_SQUARE, 0.25, 1.0f}, {GEN_WAVETABLE_SQUARE, 0.75, -1.0f},
        {GEN_WAVETABLE_PULSE_QUARTER, 0.5, -1.0f}, {GEN_WAVETABLE_PULSE_EIGHTH, 0.06, 1.0f},
        {GEN_WAVETABLE_TRAPEZOID, 0.3, 1.0f}, {GEN_WAVETABLE_HALF_RECTIFIED, 0.75, -1.0f},
        {GEN_WAVETABLE_FULL_RECTIFIED, 0.75, 1.0f}, {GEN_WAVETABLE_SINE_OCTAVE, 0.125, 1.0f},
        {GEN_WAVETABLE_SINE_TWELFTH, 0.25, -1.0f}, {GEN_WAVETABLE_SOFT_SQUARE, 0.5, 0.0f},
        {GEN_WAVETABLE_STAIRS_4, 0.375, -1 / 3.0f}, {GEN_WAVETABLE_STAIRS_8, 0.94, 1.0f},
        {GEN_WAVETABLE_RISE_HOLD, 0.75, 1.0f}, {GEN_WAVETABLE_FALL_HOLD, 0.25, 0.0f},
        {GEN_WAVETABLE_TRIANGLE_OCTAVE, 0.125, 1.0f}, {GEN_WAVETABLE_RAMP_OCTAVE, 0.75, 0.0f},
        {GEN_WAVETABLE_DOUBLE_PULSE, 0.56, 1.0f}, {GEN_WAVETABLE_SINE_BURST, 0.75, 0.0f},
        {GEN_WAVETABLE_SPIKE, 0.5, 0.93f}, {GEN_WAVETABLE_SPIKE, 0.25, -1.0f},
        {GEN_WAVETABLE_FADING_SINE, 0.0625, 0.94f}, {GEN_WAVETABLE_STEPPED_TRIANGLE, 0.25, 1.0f},
        // clang-format on
    };
    for (const auto& row : rows) {
        gen_wavetable_set_attr(&r, GEN_WAVETABLE_WAVEFORM, row.waveform);
        EXPECT_NEAR(gen_wavetable_dsp_phasor(&r, row.phase), row.value, 0.02)
            << row.waveform << " at " << row.phase;
    }
    // Every shape within ±1 and band-limited: nothing left from the 192nd harmonic on.
    for (int w = 0; w < GEN_WAVETABLE_SHAPES; ++w) {
        gen_wavetable_set_attr(&r, GEN_WAVETABLE_WAVEFORM, w);
        double high = 0.0;
        for (int h = 192; h <= 256; ++h) {
            std::complex<double> c = 0.0;
            for (int i = 0; i < 512; ++i) {
                ASSERT_LE(std::fabs(r.table[i]), 1.0f) << w;
                c += double(r.table[i]) * std::polar(1.0, -2 * M_PI * h * i / 512);
            }
            high = std::max(high, std::abs(c) / 256);
        }
        EXPECT_LT(high, w == GEN_WAVETABLE_SINE ? 1e-4 : 1e-3) << w;
    }
    for (float bad : {27.0f, -1.0f, NAN, INFINITY}) {
        gen_wavetable_set_attr(&r, GEN_WAVETABLE_WAVEFORM, bad); // ignored
        EXPECT_EQ(gen_wavetable_get_attr(&r, GEN_WAVETABLE_WAVEFORM), 26.0f);
    }
    gen_wavetable_set_attr(&r, GEN_WAVETABLE_WAVEFORM, GEN_WAVETABLE_SINE);
    gen_wavetable_set_attr(&r, GEN_WAVETABLE_PHASE_OFFSET, 90.0f);
    EXPECT_NEAR(gen_wavetable_dsp_phasor(&r, 0.0), 1.0f, 1e-4);
    gen_wavetable_set_attr(&r, GEN_WAVETABLE_PHASE_OFFSET, 0.0f);
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 48000.0f);
    gen_wavetable_set_attr(&r, GEN_WAVETABLE_FREQUENCY, 6000.0f); // eight steps a cycle
    gen_wavetable_set_attr(&r, GEN_WAVETABLE_MODULATION_DEPTH, 6000.0f);
    EXPECT_NEAR(gen_wavetable_dsp_no_modulation(&r), std::sqrt(0.5), 1e-4);
    EXPECT_NEAR(gen_wavetable_dsp(&r, 1.0f), std::sqrt(0.5), 1e-4); // a quarter on, at 3/8
    EXPECT_NEAR(gen_wavetable_dsp(&r, NAN), 0.0f, 1e-4);            // NaN: back to phase 0
    EXPECT_NEAR(gen_wavetable_dsp(&r, -1.0f), 0.0f, 1e-4);          // standing still
}

TEST_F(Generators, TriLfoSpreadsThreePhases) {
    gen_tri_LFO_record r;
    gen_tri_LFO_init(&r);
    gen_tri_LFO_set_attr(&r, GEN_TRI_LFO_FREQUENCY, 441.0f); // 100 calls a cycle
    for (int n = 1; n <= 250; ++n) {
        const float a = gen_tri_LFO_dsp(&r);
        const float b = gen_tri_LFO_get_attr(&r, GEN_TRI_LFO_SECOND);
        const float c = gen_tri_LFO_get_attr(&r, GEN_TRI_LFO_THIRD);
        ASSERT_NEAR(a, std::sin(2 * M_PI * n / 100), 1e-3) << n;
        ASSERT_NEAR(b, std::sin(2 * M_PI * (n / 100.0 + 1 / 3.0)), 1e-3) << n;
        ASSERT_NEAR(a + b + c, 0.0f, 2e-3) << n; // evenly spread
    }
    gen_tri_LFO_set_attr(&r, GEN_TRI_LFO_PHASE_OFFSET, 90.0f);
    gen_tri_LFO_set_attr(&r, GEN_TRI_LFO_FREQUENCY, NAN); // ignored
    const float a = gen_tri_LFO_dsp(&r);
    EXPECT_NEAR(a * a + std::pow(gen_tri_LFO_get_attr(&r, GEN_TRI_LFO_SECOND), 2), 1.0, 2e-3);
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 88200.0f);
    gen_tri_LFO_update_sampling_rate(&r);
    EXPECT_FLOAT_EQ(r.phaseIncrement, 0.005f);
}

TEST_F(Generators, BufferPlaysOnceOrLoopsAndRestarts) {
    const float buffer[] = {0.1f, 0.2f, 0.3f};
    gen_buffer_play_record r;
    gen_buffer_play_init(&r);
    gen_buffer_play_set_attr(&r, GEN_BUFFER_PLAY_MODE, 1.0f);
    EXPECT_EQ(gen_buffer_play_dsp(&r), 0.0f); // no buffer yet
    gen_buffer_play_set_buffer(&r, buffer, 3);
    const struct {
        float loop;
        float out[5];
    } rows[] = {{0.0f, {0.1f, 0.2f, 0.3f, 0.0f, 0.0f}}, {1.0f, {0.1f, 0.2f, 0.3f, 0.1f, 0.2f}}};
    for (const auto& row : rows) {
        gen_buffer_play_set_attr(&r, GEN_BUFFER_PLAY_LOOP, row.loop);
        gen_buffer_play_set_attr(&r, GEN_BUFFER_PLAY_MODE, 0.0f);
        gen_buffer_play_set_attr(&r, GEN_BUFFER_PLAY_MODE, 1.0f); // from the beginning
        for (float expected : row.out) EXPECT_EQ(gen_buffer_play_dsp(&r), expected) << row.loop;
    }
    EXPECT_EQ(gen_buffer_play_get_attr(&r, GEN_BUFFER_PLAY_MODE), 1.0f);
    gen_buffer_play_set_attr(&r, GEN_BUFFER_PLAY_MODE, 1.0f); // already playing: no restart
    EXPECT_EQ(gen_buffer_play_dsp(&r), 0.3f);
    gen_buffer_play_set_attr(&r, GEN_BUFFER_PLAY_MODE, 7.0f); // ignored
    EXPECT_EQ(gen_buffer_play_dsp(&r), 0.1f);
    gen_buffer_play_set_buffer(&r, nullptr, 3);
    EXPECT_EQ(gen_buffer_play_dsp(&r), 0.0f);
    gen_buffer_play_set_buffer(&r, buffer, 0);
    EXPECT_EQ(gen_buffer_play_dsp(&r), 0.0f);
}

} // namespace

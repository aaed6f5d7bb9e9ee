#include "dsp/csd.h"
#include "dsp/gen_LFO.h"
#include "dsp/mod_lag.h"
#include "dsp/table.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Lfo : ::testing::Test {
    Lfo() { gen_LFO_init(&r); }
    void shape(int waveform, float width) {
        gen_LFO_set_attr(&r, GEN_LFO_WAVEFORM, static_cast<float>(waveform));
        gen_LFO_set_attr(&r, GEN_LFO_WIDTH, width);
    }
    void TearDown() override { csd_set_attr(CSD_ATTR_SAMPLING_RATE, 44100.0f); }
    gen_LFO_record r;
};

TEST_F(Lfo, ShapesAtGivenPhases) {
    for (int i = 0; i < 100; ++i) ASSERT_EQ(gen_LFO_dsp(&r), 0.0f); // stands still after init
    EXPECT_EQ(r.waveTable[128], quarterSine[127]);                  // the sine cycle lacks its peak
    EXPECT_EQ(r.waveTable[255], 0.0f);
    for (int j = 0; j < 256; ++j) ASSERT_EQ(r.waveTable[256 + j], -r.waveTable[j]);

    const float phases[] = {0.0f, 0.25f, 0.5f, 0.75f};
    const struct {
        int waveform;
        float width, out[4];
    } rows[] = {
        {GEN_LFO_TRIANGLE, 0.5f, {-1, 0, 1, 0}},
        {GEN_LFO_PULSE, 0.5f, {1, 1, -1, -1}},
        {GEN_LFO_SQUARE, 0.1f, {1, 1, -1, -1}},
        {GEN_LFO_FOLDED_RAMP, 0.9f, {-1, -0.5f, 0, -0.5f}},
        {GEN_LFO_SINE, 0.5f, {0, 0.999981f, 0, -0.999981f}},
        {5, 0.5f, {-0.999981f, -0.999981f, -0.999981f, -0.999981f}}, // holds its output
    };
    for (const auto& row : rows) {
        shape(row.waveform, row.width);
        for (int k = 0; k < 4; ++k)
            EXPECT_FLOAT_EQ(gen_LFO_dsp_phasor(&r, phases[k]), row.out[k])
                << row.waveform << " at " << phases[k];
    }
    EXPECT_EQ(r.phase, 0.0f); // the phasor leaves the record's phase alone

    const float designed = r.coefficientA;
    r.coefficientA = 0.0f;
    gen_LFO_set_attr(&r, 999, 0.0f); // any other code designs the shape again
    EXPECT_EQ(r.coefficientA, designed);
}

TEST_F(Lfo, WidthBendsTheSine) {
    shape(GEN_LFO_SINE, 0.0f); // w = 0.001
    EXPECT_FLOAT_EQ(r.coefficientA, (0.5f - 0.001f) * 0.4f);
    // Phase 0.125 bends to 0.125 + A·T[64], quantised to 1/65536. From entry 128
    // on the table runs one entry ahead of sin(2πi/512).
    const float bent =
        static_cast<int>((0.125f + r.coefficientA * 0.707107f) * 65536.0f) / 65536.0f;
    EXPECT_NEAR(gen_LFO_dsp_phasor(&r, 0.125), std::sin((512 * bent + 1) * M_PI / 256), 3e-5);

    gen_LFO_set_attr(&r, GEN_LFO_WIDTH_PERCENT, 100.0f);
    EXPECT_FLOAT_EQ(r.width, 0.999f);
    EXPECT_FLOAT_EQ(r.coefficientA, (0.999f - 0.5f) * -0.4f);
    // Phase 0.01 bends to -146/65536, which wraps to 65390/65536.
    const float wrapped = gen_LFO_dsp_phasor(&r, 0.01);
    gen_LFO_set_attr(&r, GEN_LFO_WIDTH, 0.5f); // no bend
    EXPECT_EQ(gen_LFO_dsp_phasor(&r, 65390.0 / 65536.0), wrapped);
}

TEST_F(Lfo, RandomSequenceAndPhaseSteps) {
    shape(GEN_LFO_RANDOM, 0.5f);
    gen_LFO_set_attr(&r, GEN_LFO_FREQUENCY, 11025.0f); // four calls per cycle
    const int states[] = {28034, 102223, 98736};
    float previous = 0.0f;
    for (int state : states) {
        const float target = static_cast<float>(state) * -2.0f / 139968.0f + 1.0f;
        // Phase 0.25: halfway through the glide; 0.5, 0.75 and 1.0 (not wrapped) hold.
        EXPECT_FLOAT_EQ(gen_LFO_dsp(&r), previous + (target - previous) * 0.5f);
        EXPECT_EQ(r.randomState, state);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(gen_LFO_dsp(&r), target);
        previous = target;
    }
    EXPECT_EQ(r.phase, 1.0f);
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 88200.0f);
    gen_LFO_update_sampling_rate(&r);
    EXPECT_EQ(r.phaseIncrement, 0.125f);
    r.phaseIncrement = 0.0f;
    gen_LFO_set_attr(&r, GEN_LFO_FREQUENCY, 11025.0f); // unchanged: not recomputed
    EXPECT_EQ(r.phaseIncrement, 0.0f);
    gen_LFO_set_attr(&r, GEN_LFO_FREQUENCY, INFINITY); // never hangs, never sticks at NaN
    gen_LFO_dsp(&r);
    EXPECT_EQ(r.phase, 0.0f);
}

struct Lag : ::testing::Test {
    Lag() { mod_lag_init(&r); }
    void TearDown() override { csd_set_attr(CSD_ATTR_SAMPLING_RATE, 44100.0f); }
    mod_lag_record r;
};

TEST_F(Lag, CoefficientsStepsAndTargets) {
    mod_lag_set_attr(&r, MOD_LAG_RISE_TIME, 0.0f);
    mod_lag_set_attr(&r, MOD_LAG_FALL_TIME, 1.0f);
    EXPECT_EQ(mod_lag_get_attr(&r, MOD_LAG_FALL_TIME), 1.0f);
    EXPECT_EQ(mod_lag_dsp(&r, 1.0f), 1.0f);
    EXPECT_EQ(mod_lag_dsp(&r, 1.0f), 1.0f); // equal input: unchanged
    for (int i = 0; i < 44100; ++i) mod_lag_dsp(&r, 0.0f);
    EXPECT_NEAR(mod_lag_get_output(&r), std::pow(double(r.fallCoefficient), 44100), 1e-6);
    EXPECT_NEAR(mod_lag_get_output(&r), std::exp(-1.0), 1e-3);

    mod_lag_set_attr(&r, MOD_LAG_RISE_TIME, 0.01f);
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 96000.0f);
    mod_lag_update_sampling_rate(&r); // both times keep their length in seconds
    EXPECT_EQ(r.riseCoefficient, static_cast<float>(std::exp(-1.0 / 960.0)));
    EXPECT_EQ(r.fallCoefficient, static_cast<float>(std::exp(-1.0 / 96000.0)));

    mod_lag_clear(&r);
    mod_lag_set_attr(&r, MOD_LAG_INPUT, 2.0f);
    EXPECT_EQ(mod_lag_get_attr(&r, MOD_LAG_INPUT), 0.0f);
    const float first = mod_lag_dsp_no_input(&r);
    EXPECT_EQ(first, (0.0f - 2.0f) * r.riseCoefficient + 2.0f);
    mod_lag_clear(&r);
    EXPECT_EQ(mod_lag_dsp_symmetric_no_input(&r), first);

    r.output = 1e-38f; // subnormal: only the symmetric step flushes it
    EXPECT_EQ(mod_lag_dsp_symmetric(&r, 0.0f), 0.0f);
    r.output = 1e-38f;
    EXPECT_EQ(std::fpclassify(mod_lag_dsp(&r, 0.0f)), FP_SUBNORMAL);
}

} // namespace

#include "dsp/csd.h"
#include "dsp/mod_lag.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Lag : ::testing::Test {
    Lag() { mod_lag_init(&r); }
    void TearDown() override { csd_set_attr(CSD_ATTR_SAMPLING_RATE, 44100.0f); }
    mod_lag_record r;
};

TEST_F(Lag, Coefficients) {
    mod_lag_set_attr(&r, MOD_LAG_RISE_TIME, 0.01f);
    EXPECT_NEAR(r.riseCoefficient, 0.997735f, 1e-6); // exp(-1/441)
    mod_lag_set_attr(&r, MOD_LAG_FALL_TIME, 0.0f);
    EXPECT_EQ(r.fallCoefficient, 0.0f);
    EXPECT_EQ(mod_lag_get_attr(&r, MOD_LAG_RISE_TIME), 0.01f);
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 96000.0f);
    mod_lag_update_sampling_rate(&r);
    EXPECT_EQ(r.riseCoefficient, static_cast<float>(std::exp(-1.0 / 960.0)));
}

TEST_F(Lag, RiseAndFallSteps) {
    mod_lag_set_attr(&r, MOD_LAG_RISE_TIME, 0.0f);
    mod_lag_set_attr(&r, MOD_LAG_FALL_TIME, 1.0f);
    EXPECT_EQ(mod_lag_dsp(&r, 1.0f), 1.0f);
    EXPECT_EQ(mod_lag_dsp(&r, 1.0f), 1.0f); // equal input takes the fall path, unchanged
    for (int i = 0; i < 44100; ++i) mod_lag_dsp(&r, 0.0f);
    EXPECT_NEAR(mod_lag_get_output(&r), std::pow(double(r.fallCoefficient), 44100), 1e-6);
    EXPECT_NEAR(mod_lag_get_output(&r), std::exp(-1.0), 1e-3);
}

TEST_F(Lag, NoInputVariantsUseTheStoredTarget) {
    mod_lag_set_attr(&r, MOD_LAG_INPUT, 2.0f);
    EXPECT_EQ(mod_lag_get_attr(&r, MOD_LAG_INPUT), 0.0f);
    const float first = mod_lag_dsp_no_input(&r);
    EXPECT_EQ(first, (0.0f - 2.0f) * r.riseCoefficient + 2.0f);
    mod_lag_clear(&r);
    EXPECT_EQ(mod_lag_dsp_no_input(&r), first);
    mod_lag_clear(&r);
    EXPECT_EQ(mod_lag_dsp_symmetric_no_input(&r), first);
}

TEST_F(Lag, OnlyTheSymmetricStepsFlushSubnormals) {
    r.output = 1e-38f;
    int steps = 0;
    for (; r.output != 0.0f && steps < 1000; ++steps) {
        mod_lag_dsp_symmetric(&r, 0.0f);
        ASSERT_NE(std::fpclassify(r.output), FP_SUBNORMAL);
    }
    EXPECT_LT(steps, 1000);
    r.output = 1e-38f;
    mod_lag_dsp(&r, 0.0f);
    EXPECT_EQ(std::fpclassify(r.output), FP_SUBNORMAL);
}

} // namespace

#include "dsp/csd.h"
#include "dsp/tqsp_filter.h"
#include "dsp/utilities.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Globals, RateCodeSetsTheRateAndItsDerivedValues) {
    csd_set_attr(5, 48000.0f); // other codes are ignored
    EXPECT_EQ(csd_get_attr(CSD_ATTR_SAMPLING_RATE), 44100.0f);
    EXPECT_EQ(csd_get_attr(5), 0.0f);
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 48000.0f); // the modulator tests check the others
    EXPECT_EQ(gMillisecondsPerSample, 1000.0f / 48000.0f);
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 44100.0f);
    EXPECT_EQ(gSamplesPerMillisecond, 44.1f); // the start value again, exactly
}

struct CountingFilter final : tqsp_filter {
    void recalculate() override { ++recalculations; }
    float process(float x) override { return sum += x; }
    int recalculations = 0;
    float sum = 0.0f;
};

TEST(Filter, SettersSkipUnchangedValuesAndVectorsRunInPlace) {
    CountingFilter f;
    for (float hz : {0.0f, 2000.0f, 2000.0f, NAN, NAN}) f.setFrequency(hz); // NaN: never equal
    f.setResonanceNormalized(0.3f);
    f.setResonance(0.3f);
    EXPECT_EQ(f.recalculations, 4);
    f.setAudioSamplingRate(96000.0f);
    EXPECT_EQ(f.recalculations, 5);
    EXPECT_EQ(f.getSamplesPerMillisecond(), 96.0f);
    float buf[4] = {1, 2, 3, 4};
    f.processVector(buf, buf, 4); // each sample through process, in order
    EXPECT_EQ(buf[1], 3.0f);
    EXPECT_EQ(buf[3], 10.0f);
}

TEST(Utilities, DecibelsAbsAllocationAndTexts) {
    EXPECT_FLOAT_EQ(csd_utilities_amplitude2decibels(0.1f), -20.0f);
    EXPECT_EQ(csd_utilities_amplitude2decibels(0.0f), -INFINITY);
    for (float bad : {-1.0f, NAN}) EXPECT_EQ(csd_utilities_amplitude2decibels(bad), 0.0f);
    EXPECT_NEAR(csd_utilities_decibels2amplitude(-6.0f), 0.501187f, 1e-6);
    EXPECT_EQ(csd_fast_abs(-2.5f), 2.5f);
    EXPECT_FALSE(std::signbit(csd_fast_abs(-0.0f)));

    auto* p = static_cast<char*>(csd_mem_alloc(4)); // zero-filled: see the table tests
    csd_memcpy(p, "abc", 4);
    p = static_cast<char*>(csd_mem_realloc(p, 128));
    EXPECT_STREQ(p, "abc");
    csd_mem_free(p, 128);

    const struct {
        float v;
        const char *percent, *onOff;
    } rows[] = {{0.999f, "99", "On"}, {-0.5f, "-50", "On"},        {-0.0f, "0", "Off"},
                {NAN, "0", "On"},     {1e30f, "2147483647", "On"}, {-1e30f, "-2147483648", "On"}};
    for (const auto& r : rows) {
        char text[16];
        float2percent(text, r.v);
        EXPECT_STREQ(text, r.percent) << r.v;
        float2OnOff(text, r.v);
        EXPECT_STREQ(text, r.onOff) << r.v;
    }
}

} // namespace

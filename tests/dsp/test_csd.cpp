#include "dsp/csd.h"
#include "dsp/tqsp_filter.h"
#include "dsp/utilities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(Globals, SamplingRateCodeUpdatesAllFour) {
    csd_set_attr(5, 48000.0f);
    EXPECT_EQ(csd_get_attr(-100), 44100.0f);
    EXPECT_EQ(csd_get_attr(5), 0.0f);
    csd_set_attr(-100, 48000.0f);
    EXPECT_EQ(csd_get_attr(-100), 48000.0f);
    EXPECT_EQ(gAudioSamplingRateReciprocal, 1.0f / 48000.0f);
    EXPECT_EQ(gSamplesPerMillisecond, 48.0f);
    EXPECT_EQ(gMillisecondsPerSample, 1000.0f / 48000.0f);
    csd_set_attr(-100, 44100.0f); // the start values again, exactly
    EXPECT_EQ(gSamplesPerMillisecond, 44.1f);
    EXPECT_EQ(gMillisecondsPerSample, 1000.0f / 44100.0f);
}

struct CountingFilter final : tqsp_filter {
    CountingFilter() { frequency = 1000.0f; }
    void recalculate() override { ++recalculations; }
    void clear() override { ++clears; }
    float process(float x) override { return sum += x; }
    int recalculations = 0, clears = 0;
    float sum = 0.0f;
};

TEST(Filter, StartRateAndSettersThatSkipUnchangedValues) {
    CountingFilter f;
    EXPECT_EQ(f.getAudioSamplingRate(), 44100.0f);
    EXPECT_EQ(f.getAudioSamplingRateReciprocal(), 1.0f / 44100.0f);
    EXPECT_EQ(f.getSamplesPerMillisecond(), 44.1f);
    f.setFrequency(1000.0f);
    EXPECT_EQ(f.recalculations, 0);
    f.setFrequency(2000.0f);
    f.setResonanceNormalized(0.3f);
    f.setFrequency(NAN);
    f.setFrequency(NAN); // NaN never equals the stored value
    EXPECT_EQ(f.recalculations, 4);
    f.setAudioSamplingRate(96000.0f);
    EXPECT_EQ(f.clears, 1);
    EXPECT_EQ(f.recalculations, 5);
    EXPECT_EQ(f.getSamplesPerMillisecond(), 96.0f);

    float buf[4] = {1, 2, 3, 4};
    f.processVector(buf, buf, 4); // in place, each sample through process
    EXPECT_EQ(buf[3], 10.0f);
    EXPECT_EQ(buf[1], 3.0f);
}

TEST(Utilities, DecibelsAndAbs) {
    EXPECT_EQ(csd_utilities_amplitude2decibels(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(csd_utilities_amplitude2decibels(0.1f), -20.0f);
    EXPECT_EQ(csd_utilities_amplitude2decibels(-1.0f), 0.0f);
    EXPECT_EQ(csd_utilities_amplitude2decibels(NAN), 0.0f);
    EXPECT_EQ(csd_utilities_amplitude2decibels(0.0f), -std::numeric_limits<float>::infinity());
    EXPECT_NEAR(csd_utilities_decibels2amplitude(-6.0f), 0.501187f, 1e-6);
    EXPECT_EQ(csd_fast_abs(-2.5f), 2.5f);
    EXPECT_FALSE(std::signbit(csd_fast_abs(-0.0f)));
}

TEST(Utilities, Texts) {
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

TEST(Utilities, AllocationIsZeroed) {
    auto* p = static_cast<unsigned char*>(csd_mem_alloc(64));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(p[i], 0);
    csd_memcpy(p, "abc", 4);
    p = static_cast<unsigned char*>(csd_mem_realloc(p, 128));
    EXPECT_STREQ(reinterpret_cast<char*>(p), "abc");
    csd_mem_free(p, 128);
    csd_mem_free(csd_mem_alloc(0), 0);
}

} // namespace

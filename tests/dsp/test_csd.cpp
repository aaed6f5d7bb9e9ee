#include "dsp/csd.h"
#include "dsp/tqsp_filter.h"
#include "dsp/utilities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

struct GlobalRate : ::testing::Test {
    void TearDown() override { csd_set_attr(CSD_ATTR_SAMPLING_RATE, 44100.0f); }
};

TEST_F(GlobalRate, SamplingRateCodeUpdatesAllFourGlobals) {
    EXPECT_EQ(csd_get_attr(-100), 44100.0f);
    EXPECT_EQ(gSamplesPerMillisecond, 44.1f);
    csd_set_attr(5, 48000.0f);
    EXPECT_EQ(csd_get_attr(-100), 44100.0f);
    EXPECT_EQ(csd_get_attr(5), 0.0f);

    csd_set_attr(-100, 48000.0f);
    EXPECT_EQ(csd_get_attr(-100), 48000.0f);
    EXPECT_EQ(gAudioSamplingRateReciprocal, 1.0f / 48000.0f);
    EXPECT_EQ(gSamplesPerMillisecond, 48.0f);
    EXPECT_EQ(gMillisecondsPerSample, 1000.0f / 48000.0f);
    // Setting the start rate again reproduces the start values exactly.
    csd_set_attr(-100, 44100.0f);
    EXPECT_EQ(gSamplesPerMillisecond, 44.1f);
    EXPECT_EQ(gMillisecondsPerSample, 1000.0f / 44100.0f);
}

struct CountingFilter final : tqsp_filter {
    CountingFilter() { frequency = 1000.0f; }
    void recalculate() override { ++recalculations; }
    void clear() override { ++clears; }
    float process(float x) override { return state += x; } // running sum
    int recalculations = 0;
    int clears = 0;
    float state = 0.0f;
};

TEST(Block, DefaultsToTheStartRate) {
    tqsp_block b;
    EXPECT_EQ(b.getAudioSamplingRate(), 44100.0f);
    EXPECT_EQ(b.getAudioSamplingRateReciprocal(), 1.0f / 44100.0f);
    EXPECT_EQ(b.getSamplesPerMillisecond(), 44.1f);
    EXPECT_EQ(b.process(0.25f), 0.25f);
}

TEST(Filter, SettersRecalculateOnlyOnChange) {
    CountingFilter f;
    f.setFrequency(1000.0f);
    EXPECT_EQ(f.recalculations, 0);
    f.setFrequency(2000.0f);
    f.setResonance(0.0f);
    EXPECT_EQ(f.recalculations, 1);
    f.setResonanceNormalized(0.3f);
    EXPECT_EQ(f.getResonance(), 0.3f);
    f.setFrequency(NAN);
    f.setFrequency(NAN); // NaN never equals the stored value
    EXPECT_EQ(f.recalculations, 4);

    f.setAudioSamplingRate(96000.0f);
    EXPECT_EQ(f.clears, 1);
    EXPECT_EQ(f.recalculations, 5);
    EXPECT_EQ(f.getSamplesPerMillisecond(), 96.0f);
}

TEST(Filter, ProcessVectorMatchesSingleCallsInPlace) {
    CountingFilter a, b;
    float buf[5] = {1, 2, 3, 4, 5};
    float expected[5];
    for (int i = 0; i < 5; ++i) expected[i] = a.process(buf[i]);
    b.processVector(buf, buf, 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(buf[i], expected[i]);
    b.processVector(buf, buf, 0);
    EXPECT_EQ(buf[4], expected[4]);
}

TEST(Utilities, Decibels) {
    EXPECT_EQ(csd_utilities_amplitude2decibels(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(csd_utilities_amplitude2decibels(0.1f), -20.0f);
    EXPECT_EQ(csd_utilities_amplitude2decibels(-1.0f), 0.0f);
    EXPECT_EQ(csd_utilities_amplitude2decibels(NAN), 0.0f);
    EXPECT_EQ(csd_utilities_amplitude2decibels(0.0f), -std::numeric_limits<float>::infinity());
    EXPECT_NEAR(csd_utilities_decibels2amplitude(-6.0f), 0.501187f, 1e-6);
    for (float d : {-40.0f, -3.0f, 0.0f, 12.0f})
        EXPECT_NEAR(csd_utilities_amplitude2decibels(csd_utilities_decibels2amplitude(d)), d, 1e-4);
}

TEST(Utilities, FastAbsClearsOnlyTheSign) {
    EXPECT_EQ(csd_fast_abs(-2.5f), 2.5f);
    EXPECT_TRUE(std::signbit(-0.0f) && !std::signbit(csd_fast_abs(-0.0f)));
    EXPECT_EQ(csd_fast_abs(-std::numeric_limits<float>::infinity()),
              std::numeric_limits<float>::infinity());
}

TEST(Utilities, Texts) {
    struct {
        float v;
        const char* percent;
        const char* onOff;
    } rows[] = {{0.999f, "99", "On"},         {-0.5f, "-50", "On"},        {-0.0f, "0", "Off"},
                {0.0f, "0", "Off"},           {1e30f, "2147483647", "On"}, {NAN, "0", "On"},
                {-1e30f, "-2147483648", "On"}};
    for (const auto& r : rows) {
        char text[16];
        float2percent(text, r.v);
        EXPECT_STREQ(text, r.percent) << r.v;
        float2OnOff(text, r.v);
        EXPECT_STREQ(text, r.onOff) << r.v;
    }
}

TEST(Utilities, MemoryWrappers) {
    auto* p = static_cast<unsigned char*>(csd_mem_alloc(64));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(p[i], 0);
    const char src[] = "abcdef";
    csd_memcpy(p, src, sizeof src);
    p = static_cast<unsigned char*>(csd_mem_realloc(p, 128));
    EXPECT_STREQ(reinterpret_cast<char*>(p), "abcdef");
    csd_mem_free(p, 128);
    csd_mem_free(csd_mem_alloc(0), 0);
}

} // namespace

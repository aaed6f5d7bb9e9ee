#include "dsp/csd.h"
#include "dsp/tqsp_filter_all_pass_one_pole.h"
#include "dsp/tqsp_filter_butterworth.h"
#include "dsp/tqsp_filter_swept_phasor.h"
#include "response.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

float coefficientFor(double f, double rate) {
    const double t = std::tan(M_PI * f / rate);
    return static_cast<float>((t - 1) / (t + 1));
}

TEST(AllPassStage, UnitGainAndQuarterTurnAtItsFrequency) {
    for (float f : {200.0f, 3350.0f, 9000.0f}) {
        tqsp_filter_all_pass_one_pole stage;
        stage.setFrequency(f);
        const auto h = measureResponse(stage, f, 44100);
        EXPECT_NEAR(std::abs(h), 1.0, 1e-4) << f;
        EXPECT_NEAR(std::arg(h), -M_PI / 2, 1e-3) << f;
        EXPECT_NEAR(std::abs(measureResponse(stage, f / 3, 44100)), 1.0, 1e-4) << f;
    }
}

TEST(ButterworthLowPass, UnityAtDcHalfPowerAtCornerFlushedTail) {
    tqsp_filter_butterworth_first_order_low_pass lp(1000.0f);
    EXPECT_NEAR(lp.getB0() + lp.getB1(), 1 + lp.getA1(), 1e-12);
    lp.bypass(true);
    for (float x : {0.5f, -2.0f}) EXPECT_EQ(lp.process(x), x);
    lp.bypass(false);
    EXPECT_NEAR(std::abs(measureResponse(lp, 1000, 44100)), std::sqrt(0.5), 1e-4);
    // The fed-back tail is flushed: at most one subnormal value leaves the filter.
    lp.process(1.0f);
    int n = 0, subnormals = 0;
    for (float y = 1.0f; y != 0.0f && n < 100000; ++n) {
        y = lp.process(0.0f);
        subnormals += std::fpclassify(y) == FP_SUBNORMAL;
    }
    EXPECT_LT(n, 100000);
    EXPECT_LE(subnormals, 1);
}

struct Phaser : ::testing::Test {
    void TearDown() override { csd_set_attr(CSD_ATTR_SAMPLING_RATE, 44100.0f); }
    tqsp_filter_swept_phasor p;
};

TEST_F(Phaser, SweepTableAndModulation) {
    const struct {
        int i;
        float hz;
    } rows[] = {{0, 216.50643f},
                {1000, 1122.1287f},
                {2000, 3350.834f},
                {3000, 7344.0908f},
                {4000, 11390.773f}};
    for (const auto& r : rows) EXPECT_FLOAT_EQ(p.getSweepTableEntry(r.i), r.hz) << r.i;
    for (int i = 1; i < tqsp_filter_swept_phasor::kSweepPoints; ++i)
        ASSERT_GT(p.getSweepTableEntry(i), p.getSweepTableEntry(i - 1));

    const struct {
        float m, hz, a;
    } sweeps[] = {{0.0f, 3350.834f, -0.60856f},   {-1.0f, 216.50643f, -0.96962f},
                  {1.0f, 11390.773f, 0.026063f},  {7.0f, 11390.773f, 0.026063f},
                  {-7.0f, 216.50643f, -0.96962f}, {0.5f, 7344.0908f, -0.26840f}};
    for (const auto& s : sweeps) {
        p.setModulation(s.m);
        EXPECT_EQ(p.getSweepFrequency(), s.hz) << s.m;
        EXPECT_NEAR(p.getStage(0).getCoefficient(), s.a, 2e-5) << s.m;
        for (int k = 1; k < 6; ++k)
            ASSERT_EQ(p.getStage(k).getCoefficient(), p.getStage(0).getCoefficient());
    }
}

TEST_F(Phaser, RateChangeDesignsEveryFilterAgain) {
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 96000.0f);
    p.setAudioSamplingRate(96000.0f);
    EXPECT_FLOAT_EQ(p.getStage(0).getCoefficient(), coefficientFor(3350.834, 96000));
    EXPECT_FLOAT_EQ(p.getStage(1).getCoefficient(), coefficientFor(500, 96000));
    p.setModulation(0.0f); // same sweep: no new design, but the copy happens
    EXPECT_EQ(p.getStage(1).getCoefficient(), p.getStage(0).getCoefficient());

    tqsp_filter_butterworth_first_order_low_pass out(18000.0f);
    tqsp_filter_rbj_low_pass fb;
    out.setAudioSamplingRate(96000.0f);
    fb.setAudioSamplingRate(96000.0f);
    fb.setFrequency(11000.0f);
    EXPECT_EQ(p.getOutputLowPass().getB0(), out.getB0());
    EXPECT_EQ(p.getFeedbackLowPass().getA1(), fb.getA1());

    p.setAudioSamplingRate(22050.0f); // the top of the sweep lies above 0.45 × rate
    p.setModulation(1.0f);
    EXPECT_FLOAT_EQ(p.getStage(0).getCoefficient(), coefficientFor(0.45 * 22050, 22050));
}

TEST_F(Phaser, TellingTheStartRateMidStreamChangesNothing) {
    tqsp_filter_swept_phasor told;
    std::minstd_rand rng(7);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    p.setFeedback(0.5f);
    told.setFeedback(0.5f);
    for (int n = 0; n < 20000; ++n) {
        if (n == 5000) told.setAudioSamplingRate(44100.0f);
        if (n % 8 == 0) {
            p.setModulation(std::sin(n * 0.001f));
            told.setModulation(std::sin(n * 0.001f));
        }
        const float x = noise(rng);
        ASSERT_EQ(p.process(x), told.process(x)) << n;
    }
}

TEST_F(Phaser, ConstantInputAndMixGlide) {
    float y = 0.0f;
    for (int i = 0; i < 20000; ++i) y = p.process(0.8f);
    EXPECT_NEAR(y, 0.8f, 1e-5); // every stage and both low passes pass DC with gain 1
    EXPECT_NEAR(p.getMix(), 0.5f, 1e-5);
    p.setFeedback(0.5f); // subtracted: the chain settles at x / 1.5
    for (int i = 0; i < 20000; ++i) y = p.process(0.8f);
    EXPECT_NEAR(y, 0.5f * 0.8f / 1.5f + 0.5f * 0.8f, 1e-5);

    p.setActive(false);
    for (int i = 0; i < 441; ++i) p.process(0.0f); // one time constant
    EXPECT_NEAR(p.getMix(), 0.5 * std::exp(-1.0), 1e-3);
    for (int i = 0; i < 20000; ++i) p.process(0.0f);
    for (float x : {0.3f, -0.9f, 0.7f}) EXPECT_NEAR(p.process(x), x, 1e-6f); // dry
    p.setActive(true);
    for (int i = 0; i < 441; ++i) p.process(0.0f);
    EXPECT_NEAR(p.getMix(), 0.5 * (1 - std::exp(-1.0)), 1e-3);
}

TEST_F(Phaser, StableAtEveryRateSweepEndAndFullFeedback) {
    for (float rate : {22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000}) {
        csd_set_attr(CSD_ATTR_SAMPLING_RATE, rate);
        for (float m : {-1.0f, 1.0f}) {
            tqsp_filter_swept_phasor s;
            s.setAudioSamplingRate(rate);
            s.setFeedback(0.9f);
            s.setModulation(m);
            std::minstd_rand rng(11);
            std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
            double early = 0.0, late = 0.0;
            const int n = static_cast<int>(rate); // one second
            for (int i = 0; i < n; ++i) {
                const float y = s.process(noise(rng));
                ASSERT_TRUE(std::isfinite(y)) << rate << " " << m;
                (i < n / 2 ? early : late) += static_cast<double>(y) * y;
            }
            EXPECT_LT(late, early * 1.2) << rate << " " << m;
            int subnormals = 0; // silence must not keep the section in subnormal numbers
            for (int i = 0; i < n; ++i)
                subnormals += std::fpclassify(s.process(0.0f)) == FP_SUBNORMAL;
            EXPECT_LE(subnormals, 8) << rate << " " << m;
            EXPECT_LT(std::fabs(s.process(0.0f)), 1e-6f) << rate << " " << m;
        }
    }
}

TEST_F(Phaser, ProcessVectorInPlaceMatchesSingleCalls) {
    tqsp_filter_swept_phasor single;
    p.setFeedback(0.7f);
    single.setFeedback(0.7f);
    float buffer[256], expected[256];
    for (int i = 0; i < 256; ++i) expected[i] = single.process(buffer[i] = std::sin(i * 0.05f));
    p.processVector(buffer, buffer, 256);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(buffer[i], expected[i]);
}

} // namespace

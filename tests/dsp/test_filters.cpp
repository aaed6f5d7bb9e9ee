#include "dsp/csd.h"
#include "dsp/tqsp_filter_all_pass_one_pole.h"
#include "dsp/tqsp_filter_butterworth.h"
#include "dsp/tqsp_filter_rbj.h"
#include "dsp/tqsp_filter_rbj_shelf.h"
#include "dsp/tqsp_filter_swept_phasor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

namespace {

const float kRates[] = {22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000};
const double kCorner = 2 * M_PI * 1000 / 44100; // 1 kHz, in radians per sample

// Response at w (radians per sample) of a cleared block, from its impulse response: every
// filter measured here has decayed to nothing within the window.
std::complex<double> responseAt(tqsp_block& b, double w) {
    std::complex<double> h = 0.0;
    for (int n = 0; n < 8192; ++n) h += double(b.process(n == 0)) * std::polar(1.0, -w * n);
    return h;
}

TEST(Rbj, Responses) {
    tqsp_filter_rbj_low_pass lp;
    tqsp_filter_rbj_high_pass hp;
    tqsp_filter_rbj_band_pass bp;
    tqsp_filter_rbj_notch notch;
    tqsp_filter_rbj_low_shelf low;
    tqsp_filter_rbj_high_shelf high;
    low.setGain(6.0f);
    low.bypass(true);
    low.setGain(6.0f); // the same value still designs again
    high.setGain(6.0f);
    // alpha uses sinh(1/(2Q)): the gain at the corner is 1/(2·sinh(1/(2Q))), not Q.
    const double q = 1 / (2 * std::sinh(1 / (2 * 0.707))), six = std::pow(10.0, 0.3);
    const struct {
        tqsp_filter_rbj* filter;
        double w, gain;
    } rows[] = {
        // clang-format off
        {&lp, 0, 1}, {&lp, kCorner, q}, {&lp, M_PI, 0}, {&hp, 0, 0}, {&hp, kCorner, q},
        {&hp, M_PI, 1}, {&bp, kCorner, 1}, {&bp, 0, 0}, {&notch, kCorner, 0}, {&notch, 0, 1},
        {&low, 0, six}, {&low, kCorner, std::sqrt(six)}, {&low, M_PI, 1}, {&high, 0, 1},
        {&high, M_PI, six}
        // clang-format on
    };
    for (const auto& r : rows) {
        r.filter->clear();
        EXPECT_NEAR(std::abs(responseAt(*r.filter, r.w)), r.gain, 1e-4) << &r - rows;
    }
    const std::pair<tqsp_filter_rbj*, float> resonances[] = {{&lp, 6}, {&bp, 4.5f}, {&notch, 2.2f}};
    for (const auto& [filter, resonance] : resonances) {
        filter->setResonanceNormalized(0.5f);
        EXPECT_FLOAT_EQ(filter->getResonance(), resonance);
    }
}

TEST(Rbj, DesignedForEveryRateAndStable) {
    for (float rate : kRates) {
        for (float f : {20.0f, 11000.0f, 18000.0f, 40000.0f}) {
            tqsp_filter_rbj_low_pass lp;
            tqsp_filter_rbj_high_pass hp;
            tqsp_filter_rbj* filters[] = {&lp, &hp};
            SCOPED_TRACE(testing::Message() << rate << " Hz, " << f << " Hz");
            for (int k = 0; k < 2; ++k) {
                filters[k]->setAudioSamplingRate(rate);
                filters[k]->setFrequency(f);
                // Poles inside the unit circle.
                EXPECT_LT(std::fabs(filters[k]->getA2()), 1.0f);
                EXPECT_LT(std::fabs(filters[k]->getA1()), 1.0f + filters[k]->getA2());
                if (f < 11000.0f) continue; // too low for a DC check in single precision
                EXPECT_NEAR(std::abs(responseAt(*filters[k], 0)), k == 0, 1e-5);
                EXPECT_NEAR(std::abs(responseAt(*filters[k], M_PI)), k == 1, 1e-4);
            }
            // Above 0.45 × rate the design is the one at that limit.
            tqsp_filter_rbj_low_pass limit;
            limit.setAudioSamplingRate(rate);
            limit.setFrequency(std::min(f, 0.45f * rate));
            EXPECT_EQ(lp.getFrequency(), f);
            EXPECT_EQ(lp.getA1(), limit.getA1());
        }
    }
}

TEST(Rbj, BypassRateAndModeChangesClearAndSilenceStaysNormal) {
    tqsp_filter_rbj_low_pass lp;
    for (float x : {0.3f, -0.7f, 0.9f}) lp.process(x);
    lp.bypass(true);
    for (float x : {0.25f, -1.5f, 3.0f}) EXPECT_EQ(lp.process(x), x);
    lp.bypass(false); // cleared: the first output is b0·x
    EXPECT_EQ(lp.process(0.5f), lp.getB0() * 0.5f);
    lp.setAudioSamplingRate(48000.0f);
    EXPECT_EQ(lp.process(0.5f), lp.getB0() * 0.5f);

    tqsp_filter_rbj_multimode mm;
    tqsp_filter_rbj_band_pass bp;
    mm.process(0.9f);
    mm.setResponseMode(tqsp_filter_rbj_multimode::bandPass); // clears and designs again
    EXPECT_EQ(mm.process(0.5f), bp.process(0.5f));
    mm.setResponseMode(tqsp_filter_rbj_multimode::bandPass); // same mode: history kept
    EXPECT_EQ(mm.process(0.1f), bp.process(0.1f));
    mm.setResponseMode(static_cast<tqsp_filter_rbj_multimode::responseModes>(7));
    EXPECT_EQ(mm.getB0(), bp.getB0()); // unknown mode keeps the design

    tqsp_filter_rbj_low_pass a, b; // the offset keeps silence out of subnormal numbers
    a.process(0.0f);
    b.processIgnoreDenormals(0.0f);
    EXPECT_EQ(a.process(0.0f), -(a.getA2() * 1e-12f));
    EXPECT_EQ(b.processIgnoreDenormals(0.0f), 0.0f);
}

TEST(FirstOrder, AllPassQuarterTurnAndLowPassHalfPowerAtTheirFrequency) {
    for (float f : {200.0f, 3350.0f, 9000.0f}) {
        tqsp_filter_all_pass_one_pole stage;
        stage.setFrequency(f);
        const auto h = responseAt(stage, 2 * M_PI * f / 44100);
        EXPECT_NEAR(std::abs(h), 1.0, 1e-4) << f;
        EXPECT_NEAR(std::arg(h), -M_PI / 2, 1e-3) << f;
        stage.clear();
        EXPECT_NEAR(std::abs(responseAt(stage, 2 * M_PI * f / 3 / 44100)), 1.0, 1e-4) << f;
    }
    tqsp_filter_butterworth_first_order_low_pass lp(1000.0f);
    lp.bypass(true);
    EXPECT_EQ(lp.process(-2.0f), -2.0f);
    lp.bypass(false); // designs again
    for (int i = 0; i < 1000; ++i) lp.process(0.0f);
    EXPECT_NEAR(std::abs(responseAt(lp, kCorner)), std::sqrt(0.5), 1e-4);
}

struct Phaser : ::testing::Test {
    void TearDown() override { csd_set_attr(CSD_ATTR_SAMPLING_RATE, 44100.0f); }
    tqsp_filter_swept_phasor p;
};

TEST_F(Phaser, EveryStageFollowsTheSweepAtEveryRate) {
    for (int i = 1; i < tqsp_filter_swept_phasor::kSweepPoints; ++i)
        ASSERT_GT(p.getSweepTableEntry(i), p.getSweepTableEntry(i - 1));
    // The ends are pinned; every stage follows the sweep, a quarter turn at its frequency
    // or, above 0.45 × rate, at that limit. A new rate designs every filter again.
    for (float rate : {44100.0f, 96000.0f, 22050.0f}) {
        csd_set_attr(CSD_ATTR_SAMPLING_RATE, rate);
        p.setAudioSamplingRate(rate);
        for (int k = 1; k < 6; ++k)
            ASSERT_EQ(p.getStage(k).getCoefficient(), p.getStage(0).getCoefficient()) << rate;
        tqsp_filter_butterworth_first_order_low_pass out(18000.0f);
        tqsp_filter_rbj_low_pass fb;
        out.setAudioSamplingRate(rate);
        fb.setAudioSamplingRate(rate);
        fb.setFrequency(11000.0f);
        EXPECT_EQ(p.getOutputLowPass().getB0(), out.getB0()) << rate;
        EXPECT_EQ(p.getFeedbackLowPass().getA1(), fb.getA1()) << rate;
        for (float m : {-7.0f, -1.0f, -0.5f, 0.0f, 0.5f, 1.0f, 7.0f}) {
            SCOPED_TRACE(testing::Message() << rate << " Hz, modulation " << m);
            p.setModulation(m);
            const float end =
                p.getSweepTableEntry(m < 0 ? 0 : tqsp_filter_swept_phasor::kSweepPoints - 1);
            if (std::fabs(m) >= 1) {
                EXPECT_EQ(p.getSweepFrequency(), end);
            }
            auto stage = p.getStage(0);
            stage.clear();
            const double f = std::min(p.getSweepFrequency(), 0.45f * rate);
            EXPECT_NEAR(std::arg(responseAt(stage, 2 * M_PI * f / rate)), -M_PI / 2, 1e-3);
            for (int k = 1; k < 6; ++k)
                ASSERT_EQ(p.getStage(k).getCoefficient(), p.getStage(0).getCoefficient());
        }
    }
}

// The sweep table's telling rows, and the frequency and stage coefficient the sweep's ends
// and centre give at 44.1 kHz.
TEST_F(Phaser, SweepTableAndStageDesignsHoldTheirValues) {
    const std::pair<int, float> table[] = {{0, 216.50643f},
                                           {1000, 1122.1287f},
                                           {2000, 3350.834f},
                                           {3000, 7344.0908f},
                                           {4000, 11390.773f}};
    for (const auto& [i, hz] : table) EXPECT_NEAR(p.getSweepTableEntry(i), hz, 1e-6f * hz) << i;
    const struct {
        float modulation, hz, coefficient;
    } sweeps[] = {{0.0f, 3350.834f, -0.60856f},
                  {-1.0f, 216.50643f, -0.96962f},
                  {1.0f, 11390.773f, 0.026063f}};
    for (const auto& r : sweeps) {
        p.setModulation(r.modulation);
        EXPECT_NEAR(p.getSweepFrequency(), r.hz, 1e-6f * r.hz) << r.modulation;
        for (int k = 0; k < tqsp_filter_swept_phasor::kStages; ++k)
            EXPECT_NEAR(p.getStage(k).getCoefficient(), r.coefficient, 5e-6f) << r.modulation;
    }
}

TEST_F(Phaser, TheSameRateAgainKeepsTheHistory) {
    p.setFeedback(0.5f);
    for (int n = 0; n < 1000; ++n) p.process(std::sin(n * 0.1f));
    tqsp_filter_swept_phasor told = p;
    told.setAudioSamplingRate(44100.0f);
    told.setModulation(0.0f);
    for (float x = -1.0f; x < 1.0f; x += 0.01f) ASSERT_EQ(p.process(x), told.process(x)) << x;
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
    for (float rate : kRates) {
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

} // namespace

#include "dsp/tqsp_filter_rbj.h"
#include "dsp/tqsp_filter_rbj_shelf.h"
#include "response.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Gain of a filter's coefficients at z = e^{iw}.
double gainAt(const tqsp_filter_rbj& f, double w) {
    const std::complex<double> z = std::polar(1.0, -w);
    const double b0 = f.getB0(), b1 = f.getB1(), b2 = f.getB2(), a1 = f.getA1(), a2 = f.getA2();
    return std::abs((b0 + b1 * z + b2 * z * z) / (1.0 + a1 * z + a2 * z * z));
}

TEST(Rbj, LowPassCoefficients) {
    tqsp_filter_rbj_low_pass lp;
    lp.setFrequency(18000.0f);
    const double w0 = 2 * M_PI * 18000 / 44100, c = std::cos(w0);
    const double alpha = std::sin(w0) * std::sinh(1 / (2 * 0.707)), a0 = 1 + alpha;
    EXPECT_NEAR(lp.getB0(), (1 - c) / 2 / a0, 1e-6);
    EXPECT_NEAR(lp.getB1(), (1 - c) / a0, 1e-6);
    EXPECT_NEAR(lp.getA1(), -2 * c / a0, 1e-6);
    EXPECT_NEAR(lp.getA2(), (1 - alpha) / a0, 1e-6);
}

TEST(Rbj, ResponsesMeasuredWithSines) {
    tqsp_filter_rbj_low_pass lp;
    tqsp_filter_rbj_high_pass hp;
    tqsp_filter_rbj_band_pass bp;
    tqsp_filter_rbj_notch notch;
    // alpha uses sinh(1/(2Q)): the gain at the corner is 1/(2·sinh(1/(2Q))), not Q.
    const double cornerGain = 1 / (2 * std::sinh(1 / (2 * 0.707)));
    EXPECT_NEAR(std::abs(measureResponse(lp, 1000, 44100)), cornerGain, 1e-3);
    EXPECT_NEAR(std::abs(measureResponse(hp, 1000, 44100)), cornerGain, 1e-3);
    EXPECT_NEAR(std::abs(measureResponse(bp, 1000, 44100)), 1.0, 1e-3);
    EXPECT_LT(std::abs(measureResponse(notch, 1000, 44100)), 1e-3);

    tqsp_filter_rbj_low_pass dc;
    float y = 0.0f;
    for (int i = 0; i < 2000; ++i) y = dc.process(1.0f);
    EXPECT_NEAR(y, 1.0f, 1e-6);
    tqsp_filter_rbj_high_pass dcBlock;
    dcBlock.setFrequency(20.0f);
    for (int i = 0; i < 5 * 44100; ++i) y = dcBlock.process(1.0f);
    EXPECT_LT(std::fabs(y), 1e-6f);
}

TEST(Rbj, StableAndLimitedAtEveryRate) {
    for (float rate : {22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000}) {
        for (float f : {20.0f, 11000.0f, 18000.0f, 40000.0f}) {
            tqsp_filter_rbj_low_pass lp;
            tqsp_filter_rbj_high_pass hp;
            for (tqsp_filter_rbj* filter : {(tqsp_filter_rbj*)&lp, (tqsp_filter_rbj*)&hp}) {
                filter->setAudioSamplingRate(rate);
                filter->setFrequency(f);
                // Poles inside the unit circle.
                EXPECT_LT(std::fabs(filter->getA2()), 1.0f) << rate << " " << f;
                EXPECT_LT(std::fabs(filter->getA1()), 1.0f + filter->getA2()) << rate << " " << f;
            }
            if (f < 11000.0f) continue; // too low for a DC check in single precision
            EXPECT_NEAR(gainAt(lp, 0.0), 1.0, 1e-5) << rate << " " << f;
            EXPECT_NEAR(gainAt(lp, M_PI), 0.0, 1e-4) << rate << " " << f;
        }
    }
    tqsp_filter_rbj_low_pass above, atLimit; // above 0.45 × rate: designed at the limit
    above.setAudioSamplingRate(22050.0f);
    atLimit.setAudioSamplingRate(22050.0f);
    above.setFrequency(18000.0f);
    atLimit.setFrequency(0.45f * 22050.0f);
    EXPECT_EQ(above.getFrequency(), 18000.0f);
    EXPECT_EQ(above.getA1(), atLimit.getA1());
    EXPECT_EQ(above.getB0(), atLimit.getB0());
}

TEST(Rbj, Shelves) {
    tqsp_filter_rbj_low_shelf low;
    tqsp_filter_rbj_high_shelf high;
    for (tqsp_filter_rbj* s : {(tqsp_filter_rbj*)&low, (tqsp_filter_rbj*)&high}) {
        EXPECT_FLOAT_EQ(s->getB0(), 1.0f); // 0 dB passes through
        EXPECT_FLOAT_EQ(s->getB1(), s->getA1());
        EXPECT_FLOAT_EQ(s->getB2(), s->getA2());
    }
    const double six = std::pow(10.0, 6.0 / 20);
    low.setGain(6.0f);
    high.setGain(6.0f);
    EXPECT_NEAR(gainAt(low, 0.0), six, 1e-4);
    EXPECT_NEAR(gainAt(low, M_PI), 1.0, 1e-4);
    EXPECT_NEAR(gainAt(high, M_PI), six, 1e-4);
    EXPECT_NEAR(gainAt(high, 0.0), 1.0, 1e-4);
    EXPECT_NEAR(20 * std::log10(gainAt(low, 2 * M_PI * 1000 / 44100)), 3.0, 0.05);
    low.bypass(true);
    low.setGain(6.0f); // the same value still designs again
    EXPECT_NEAR(gainAt(low, 0.0), six, 1e-4);
}

TEST(Rbj, NormalisedResonance) {
    tqsp_filter_rbj_low_pass lp;
    tqsp_filter_rbj_band_pass bp;
    tqsp_filter_rbj_notch notch;
    lp.setResonanceNormalized(0.5f);
    bp.setResonanceNormalized(0.5f);
    notch.setResonanceNormalized(0.5f);
    EXPECT_EQ(lp.getResonance(), 6.0f);
    EXPECT_EQ(bp.getResonance(), 4.5f);
    EXPECT_FLOAT_EQ(notch.getResonance(), 2.2f);
}

TEST(Rbj, BypassAndModeChanges) {
    tqsp_filter_rbj_low_pass lp;
    for (float x : {0.3f, -0.7f, 0.9f}) lp.process(x);
    lp.bypass(true);
    for (float x : {0.25f, -1.5f, 3.0f}) EXPECT_EQ(lp.process(x), x);
    lp.bypass(false); // cleared: the first output is b0·x
    EXPECT_EQ(lp.process(0.5f), lp.getB0() * 0.5f);

    tqsp_filter_rbj_multimode mm;
    tqsp_filter_rbj_band_pass reference;
    for (float x : {0.3f, -0.7f, 0.9f}) mm.process(x);
    mm.setResponseMode(tqsp_filter_rbj_multimode::bandPass); // clears
    const float signal[] = {0.5f, 0.1f, -0.4f, 0.8f};
    for (float x : signal) EXPECT_EQ(mm.process(x), reference.process(x));
    mm.setResponseMode(tqsp_filter_rbj_multimode::bandPass); // same mode: history kept
    for (float x : signal) EXPECT_EQ(mm.process(x), reference.process(x));
    mm.setResponseMode(static_cast<tqsp_filter_rbj_multimode::responseModes>(7));
    EXPECT_EQ(mm.getB0(), reference.getB0()); // unknown mode keeps the design
}

TEST(Rbj, AlternatingOffsetKeepsSilenceNormal) {
    tqsp_filter_rbj_low_pass a, b;
    EXPECT_EQ(a.process(0.0f), 0.0f);
    EXPECT_EQ(a.process(0.0f), -(a.getA2() * 1e-12f));
    EXPECT_EQ(b.processIgnoreDenormals(0.0f), 0.0f);
    EXPECT_EQ(b.processIgnoreDenormals(0.0f), 0.0f);

    tqsp_filter_rbj_high_pass hp;
    hp.setFrequency(20.0f);
    hp.process(1.0f);
    for (int i = 0; i < 44100 * 20; ++i)
        ASSERT_NE(std::fpclassify(hp.process(0.0f)), FP_SUBNORMAL) << i;

    float buffer[64], expected[64]; // processVector in place equals single calls
    tqsp_filter_rbj_high_pass c, d;
    for (int i = 0; i < 64; ++i) expected[i] = c.process(buffer[i] = std::sin(i * 0.3f));
    d.processVector(buffer, buffer, 64);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(buffer[i], expected[i]);
}

} // namespace

#include "dsp/csd.h"
#include "dsp/tqsp_filter_all_pass_two_pole.h"
#include "dsp/tqsp_filter_butterworth_cascade.h"
#include "dsp/tqsp_filter_butterworth_high_pass.h"
#include "dsp/tqsp_filter_chamberlin.h"
#include "dsp/tqsp_filter_chamberlin_allpass.h"
#include "dsp/tqsp_filter_cmoore.h"
#include "dsp/tqsp_filter_moog_bandpass.h"
#include "dsp/tqsp_filter_ms20_lp.h"
#include "dsp/tqsp_filter_stilson_moog.h"
#include "dsp/tqsp_filter_tq_moog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <random>

namespace {

const float kRates[] = {22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000};

// Response at f Hz of a cleared filter, from its impulse response (every filter measured
// here has decayed to nothing within the window).
std::complex<double> responseAt(tqsp_filter& b, double f) {
    b.clear();
    const double w = 2 * M_PI * f / b.getAudioSamplingRate();
    std::complex<double> h = 0.0;
    for (int n = 0; n < 16384; ++n) h += double(b.process(n == 0)) * std::polar(1.0, -w * n);
    return h;
}

double dB(double gain) {
    return 20 * std::log10(gain);
}

template <class F> std::unique_ptr<tqsp_filter> make() {
    return std::make_unique<F>();
}

// Every library filter; low and high passes with their Butterworth order (0: not one), and
// the ladders that can sing.
enum Kind { kOther, kLow, kHigh, kLadder };
const struct {
    const char* name;
    std::unique_ptr<tqsp_filter> (*make)();
    Kind kind;
    int order;
} kFilters[] = {
    {"chamberlin ap", make<tqsp_filter_chamberlin_allpass>, kOther, 0},
    {"two-pole ap", make<tqsp_filter_all_pass_two_pole>, kOther, 0},
    {"low shelf", make<tqsp_filter_cmoore_low_shelf>, kOther, 0},
    {"high shelf", make<tqsp_filter_cmoore_high_shelf>, kOther, 0},
    {"moog bp", make<tqsp_filter_moog_bandpass>, kOther, 0},
    {"cmoore", make<tqsp_filter_cmoore_low_pass>, kLow, 0},
    {"1st hp", make<tqsp_filter_butterworth_first_order_high_pass>, kHigh, 1},
    {"4th lp", make<tqsp_filter_butterworth_fourth_order_low_pass>, kLow, 4},
    {"4th hp", make<tqsp_filter_butterworth_fourth_order_high_pass>, kHigh, 4},
    {"5th lp", make<tqsp_filter_butterworth_fifth_order_low_pass>, kLow, 5},
    {"stilson", make<tqsp_filter_stilson_moog>, kLadder, 0},
    {"tq moog", make<tqsp_filter_tq_moog>, kLadder, 0},
    {"ms20", make<tqsp_filter_ms20_lp>, kLadder, 0},
};

std::unique_ptr<tqsp_filter> at(float rate, float f, std::unique_ptr<tqsp_filter> (*setUp)()) {
    auto filter = setUp();
    filter->setAudioSamplingRate(rate);
    filter->setFrequency(f);
    return filter;
}

TEST(LibraryFilters, AllPassesKeepUnitMagnitudeAndTurnHalfACycleAtTheirFrequency) {
    for (float rate : kRates) {
        for (float f : {300.0f, 3000.0f, 9000.0f}) {
            tqsp_filter_chamberlin_allpass chamberlin(f, 2.0f);
            tqsp_filter_all_pass_two_pole twoPole(f, 300.0f);
            for (tqsp_filter* filter : {(tqsp_filter*)&chamberlin, (tqsp_filter*)&twoPole}) {
                filter->setAudioSamplingRate(rate);
                SCOPED_TRACE(testing::Message() << rate << " Hz, " << f << " Hz");
                for (double probe : {0.3 * f, 0.9 * f, 1.1 * f, 3.0 * f})
                    EXPECT_NEAR(std::abs(responseAt(*filter, probe)), 1.0, 1e-3) << probe;
                // The Chamberlin poles sit at 2θ; its half cycle falls a little above,
                // where cos ω = c1 / (1 + c2).
                const double half = filter == &twoPole
                                        ? f
                                        : std::acos(chamberlin.getC1() / (1 + chamberlin.getC2())) *
                                              rate / (2 * M_PI);
                EXPECT_NEAR(std::fabs(std::arg(responseAt(*filter, half))), M_PI, 3e-3);
            }
        }
    }
    // The generic section runs the all-pass from its coefficients.
    tqsp_filter_chamberlin generic;
    tqsp_filter_chamberlin_allpass allpass(700.0f, 3.0f);
    generic.setCoefficientA1(allpass.getC1());
    generic.setCoefficientA2(-allpass.getC2());
    generic.setCoefficientA3(allpass.getC2());
    generic.setCoefficientA4(-allpass.getC1());
    generic.setCoefficientA5(1.0f);
    for (int n = 0; n < 100; ++n)
        ASSERT_EQ(generic.process(n % 7 == 0), allpass.process(n % 7 == 0));
}

TEST(LibraryFilters, PassesPassDcOrNyquistAndButterworthsKeepHalfPowerAndSlope) {
    for (const auto& row : kFilters) {
        if (row.kind == kOther) continue;
        const bool low = row.kind != kHigh;
        for (float rate : kRates) {
            auto filter = at(rate, 0.1f * rate, row.make);
            SCOPED_TRACE(testing::Message() << row.name << " at " << rate);
            EXPECT_NEAR(std::abs(responseAt(*filter, 0)), low ? 1 : 0, 1e-4);
            EXPECT_NEAR(std::abs(responseAt(*filter, rate / 2)), low ? 0 : 1, 1e-3);
            if (row.order == 0) continue;
            filter = at(rate, 0.05f * rate, row.make);
            EXPECT_NEAR(dB(std::abs(responseAt(*filter, 0.05 * rate))), -3.0103, 0.01);
        }
        if (row.order == 0) continue;
        // One octave, far enough into the stop band, where the warping is negligible.
        auto filter = at(44100.0f, low ? 250 : 4000, row.make);
        const double slope = dB(std::abs(responseAt(*filter, 1000))) -
                             dB(std::abs(responseAt(*filter, low ? 2000 : 500)));
        EXPECT_NEAR(slope, 6.0 * row.order, 0.5) << row.name;
    }
}

TEST(LibraryFilters, ShelvesReachTheirGainAndLeaveTheOtherEnd) {
    for (float gain : {-12.0f, 6.0f, 12.0f}) {
        tqsp_filter_cmoore_low_shelf low;
        tqsp_filter_cmoore_high_shelf high;
        low.setFrequency(200.0f);
        high.setFrequency(1000.0f);
        low.setGain(gain);
        high.setGain(gain);
        EXPECT_NEAR(dB(std::abs(responseAt(low, 0))), gain, 0.1);
        EXPECT_NEAR(std::abs(responseAt(low, 22050)), 1.0, 1e-4);
        EXPECT_NEAR(dB(std::abs(responseAt(high, 22050))), gain, 0.1);
        EXPECT_NEAR(std::abs(responseAt(high, 0)), 1.0, 1e-3);
    }
    tqsp_filter_cmoore_low_shelf flat; // 0 dB passes everything
    for (float x : {0.3f, -0.7f, 0.11f}) EXPECT_NEAR(flat.process(x), x, 1e-6f);
    flat.setGain(NAN);
    EXPECT_EQ(flat.getGain(), 0.0f);
    flat.setGain(1000.0f);
    EXPECT_EQ(flat.getGain(), 60.0f);
}

TEST(LibraryFilters, BandPassesPeakAtUnityAndLadderTaps) {
    tqsp_filter_moog_bandpass bp;
    EXPECT_NEAR(std::abs(responseAt(bp, 1000)), 1.0, 1e-3);
    EXPECT_LT(std::abs(responseAt(bp, 500)), 0.1); // Q 10.5 by default
    bp.setResonanceNormalized(0.0f);               // Q 0.5
    EXPECT_GT(std::abs(responseAt(bp, 500)), 0.7);

    tqsp_filter_stilson_moog ladder;
    ladder.setMode(tqsp_filter_stilson_moog::twoPoleLowPass);
    EXPECT_NEAR(std::abs(responseAt(ladder, 0)), 1.0, 1e-4);
    ladder.setMode(tqsp_filter_stilson_moog::bandPass);
    EXPECT_NEAR(std::abs(responseAt(ladder, 0)), 0.0, 1e-4);
    ladder.setMode(3);
    EXPECT_EQ(ladder.getMode(), tqsp_filter_stilson_moog::bandPass);
    // The table's gain tips the loop into oscillation: about 4 at low frequencies.
    EXPECT_NEAR(ladder.oscillationGain(0.01f), 4.0f, 0.2f);
    EXPECT_LT(ladder.oscillationGain(0.9f), 3.5f);

    tqsp_filter_tq_moog tq;
    tq.setResonanceNormalized(0.7f);
    for (int n = 0; n < 500; ++n) tq.process(std::sin(n * 0.3f));
    tqsp_filter_tq_moog copy(tq);
    for (int n = 0; n < 500; ++n) ASSERT_EQ(copy.process(n & 1), tq.process(n & 1));
}

// The constants of each design, from its own formulas: a wrong one keeps the gains at 0 Hz
// and Nyquist and the stability the other tests check.
TEST(LibraryFilters, DesignsHoldTheirConstants) {
    for (const auto& [rate, f] :
         {std::pair{44100.0, 1000.0}, {96000.0, 5000.0}, {44100.0, 15000.0}}) {
        SCOPED_TRACE(testing::Message() << f << " Hz at " << rate);
        const double c = std::exp(-M_PI * f / rate), bandwidth = 200, resonance = 5;
        const double t = std::tan(M_PI * bandwidth / rate), p = (t - 1) / (t + 1);
        const double fc = 2 * f / rate, g = 1.16 * fc;
        const double k = ((-0.69346 * fc - 0.59515) * fc + 3.2937) * fc - 1.0072;
        tqsp_filter_cmoore_low_pass onePole;
        tqsp_filter_all_pass_two_pole twoPole{float(f), float(bandwidth)};
        tqsp_filter_stilson_moog warped;
        tqsp_filter_tq_moog ladder;
        for (tqsp_filter* filter :
             std::initializer_list<tqsp_filter*>{&onePole, &twoPole, &warped, &ladder}) {
            filter->setAudioSamplingRate(float(rate));
            filter->setFrequency(float(f));
        }
        ladder.setResonance(float(resonance));
        // Every ladder stage passes an impulse's first sample with its input gain.
        auto first = [](tqsp_filter& filter) {
            filter.clear();
            return double(filter.process(1.0f));
        };
        const struct {
            const char* what;
            double got, expected;
        } rows[] = {
            {"one-pole pole", onePole.getA1(), c},
            {"one-pole input gains", onePole.getB0() + onePole.getB1(), 1 - c},
            {"two-pole bandwidth term", twoPole.getA2(), -p},
            {"two-pole centre term", twoPole.getA1(), (1 - p) * -std::cos(2 * M_PI * f / rate)},
            {"warped ladder stage", first(warped), std::pow((k + 1) / 2, 4)},
            {"ladder stage", first(ladder), std::pow(g / 1.3, 4)},
            {"ladder feedback", ladder.getFeedback(), (1 - 0.15 * g * g) * 0.4 * resonance},
        };
        for (const auto& r : rows)
            EXPECT_NEAR(r.got, r.expected, 1e-5 * std::fabs(r.expected)) << r.what;
        EXPECT_EQ(onePole.getB0(), onePole.getB1());
    }
}

// A minute of full-scale noise at full resonance, the cutoff swept over the whole range,
// then silence: finite and bounded throughout, and still singing after the noise stops.
TEST(LibraryFilters, LaddersStableAtFullResonanceAndSelfOscillate) {
    for (const auto& [name, make, kind, order] : kFilters) {
        if (kind != kLadder) continue;
        for (float rate : kRates) {
            SCOPED_TRACE(testing::Message() << name << " at " << rate);
            auto filter = make();
            filter->setAudioSamplingRate(rate);
            filter->setResonanceNormalized(1.0f);
            std::minstd_rand rng(5);
            std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
            float peak = 0.0f;
            const int n = 60 * static_cast<int>(rate);
            for (int i = 0; i < n; ++i) {
                if (i % 64 == 0)
                    filter->setFrequency(20.0f * std::pow(1000.0f, float(i % 4096) / 4096));
                peak = std::fmax(peak, std::fabs(filter->process(noise(rng))));
            }
            EXPECT_LT(peak, 8.0f); // NaN fails too
            filter->setFrequency(1000.0f);
            double ring = 0.0;
            for (int i = 0; i < rate; ++i) {
                const float y = filter->process(i == 0);
                if (i > rate / 2) ring += double(y) * y;
            }
            EXPECT_GT(ring / (rate / 2), 0.01);
        }
    }
}

TEST(LibraryFilters, BadSettingsNeverGiveNanOrGrowth) {
    const float bad[] = {0.0f, -5.0f, NAN, INFINITY, -INFINITY, 1e9f, 1e-30f};
    for (float rate : {22050.0f, 192000.0f}) {
        for (const auto& row : kFilters) {
            for (float f : bad) {
                for (float r : bad) {
                    auto filter = row.make();
                    filter->setAudioSamplingRate(rate);
                    filter->setFrequency(f);
                    filter->setResonance(r);
                    if (auto* ap = dynamic_cast<tqsp_filter_all_pass*>(filter.get()))
                        ap->setBandwidth(r);
                    if (auto* shelf = dynamic_cast<tqsp_filter_cmoore_shelf*>(filter.get()))
                        shelf->setGain(r);
                    float peak = 0.0f;
                    for (int i = 0; i < 20000; ++i)
                        peak =
                            std::fmax(peak, std::fabs(filter->process(i % 3 == 0 ? 1.0f : -0.5f)));
                    ASSERT_LT(peak, 1e4f) << row.name << " at " << rate << ": " << f << ", " << r;
                }
            }
        }
    }
    tqsp_filter_chamberlin generic; // an unstable pair is pulled inside the triangle
    generic.setCoefficientA2(3.0f);
    generic.setCoefficientA1(-9.0f);
    generic.setCoefficientA5(NAN);
    generic.setCoefficientA5(1.0f);
    generic.setCoefficientA3(1.0f);
    EXPECT_LT(generic.getCoefficientA2(), 1.0f);
    EXPECT_LT(std::fabs(generic.getCoefficientA1()), 1.0f - generic.getCoefficientA2());
    float last = 0.0f;
    for (int i = 0; i < 200000; ++i) last = generic.process(i % 2 ? 1.0f : -1.0f);
    EXPECT_LT(std::fabs(last), 1e6f);
}

} // namespace

#include "dsp/csd.h"
#include "dsp/tqsp_filter_pair.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <vector>

namespace {

std::vector<float> noise(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    std::vector<float> v(n);
    for (float& x : v) x = d(rng);
    return v;
}

// Two filters in lanes and their twins one sample at a time must agree to the bit, across
// sub-blocks of every length and settings changed between them. The lanes live on over
// several sub-blocks and give the history back between others.
template <class Pair, class Filter, class Configure>
void expectLanesMatchSingleFilters(Configure configure) {
    auto pairA = std::make_unique<Filter>(), pairB = std::make_unique<Filter>();
    auto soloA = std::make_unique<Filter>(), soloB = std::make_unique<Filter>();
    const std::vector<float> inA = noise(4000, 1), inB = noise(4000, 2);
    std::optional<Pair> lanes;
    std::size_t at = 0;
    for (int block = 0; at < inA.size(); ++block) {
        const int n = int(std::min<std::size_t>(std::size_t(block % 9), inA.size() - at));
        configure(*pairA, *pairB, block, lanes.has_value());
        configure(*soloA, *soloB, block, lanes.has_value());
        if (!lanes) lanes.emplace(*pairA, *pairB);
        if constexpr (requires { lanes->takeDesign(); }) {
            if (block % 2) // both at once, or one lane and then the other
                lanes->takeDesign();
            else
                for (int lane : {0, 1}) lanes->takeDesign(lane);
        }
        for (std::size_t i = at; i < at + std::size_t(n); ++i) {
            const tqsp_filter_pair::Lanes y =
                lanes->process(tqsp_filter_pair::Lanes{inA[i], inB[i]});
            ASSERT_EQ(y[0], soloA->process(inA[i])) << i;
            ASSERT_EQ(y[1], soloB->process(inB[i])) << i;
        }
        if (block % 4 == 3) lanes.reset();
        at += std::size_t(n);
    }
}

TEST(FilterPair, BiquadLanesAreTheSingleFilters) {
    expectLanesMatchSingleFilters<tqsp_filter_pair::Biquads, tqsp_filter_rbj_low_pass>(
        [](tqsp_filter_rbj& a, tqsp_filter_rbj& b, int block, bool borrowed) {
            if (borrowed) return; // biquad lanes keep the design they were made with
            a.setFrequency(block < 200 ? 18000.0f : 900.0f);
            b.setFrequency(20.0f + float(block));
            b.setResonance(block < 300 ? 0.707f : 4.0f);
        });
}

TEST(FilterPair, PhaserLanesAreTheSingleSections) {
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 44100.0f);
    expectLanesMatchSingleFilters<tqsp_filter_pair::Phasers, tqsp_filter_swept_phasor>(
        [](tqsp_filter_swept_phasor& a, tqsp_filter_swept_phasor& b, int block, bool) {
            a.setModulation(float(block % 50) / 25.0f - 1.0f);
            b.setModulation(-0.999f + float(block % 7) * 0.3f);
            a.setFeedback(0.9f);
            b.setFeedback(block < 250 ? 0.0f : 0.45f);
            b.setActive(block % 200 < 100); // the mix fades in and out
        });
}

} // namespace

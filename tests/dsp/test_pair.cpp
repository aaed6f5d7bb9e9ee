#include "dsp/csd.h"
#include "dsp/tqsp_filter_pair.h"
#include "dsp/tqsp_filter_rbj.h"
#include "dsp/tqsp_filter_swept_phasor.h"

#include <gtest/gtest.h>

#include <memory>
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

// Two filters through the pair kernel and their twins one sample at a time must agree to
// the bit, across sub-blocks of every length and settings changed between them.
template <class Filter, class Configure> void expectLanesMatchSingleFilters(Configure configure) {
    auto pairA = std::make_unique<Filter>(), pairB = std::make_unique<Filter>();
    auto soloA = std::make_unique<Filter>(), soloB = std::make_unique<Filter>();
    const std::vector<float> inA = noise(4000, 1), inB = noise(4000, 2);
    std::vector<float> outA(8), outB(8);
    std::size_t at = 0;
    for (int block = 0; at < inA.size(); ++block) {
        const int n = int(std::min<std::size_t>(std::size_t(block % 9), inA.size() - at));
        configure(*pairA, *pairB, block);
        configure(*soloA, *soloB, block);
        tqsp_filter_pair::process(*pairA, *pairB, &inA[at], &inB[at], outA.data(), outB.data(), n);
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(outA[std::size_t(i)], soloA->process(inA[at + std::size_t(i)])) << at + i;
            ASSERT_EQ(outB[std::size_t(i)], soloB->process(inB[at + std::size_t(i)])) << at + i;
        }
        at += std::size_t(n);
    }
}

TEST(FilterPair, BiquadLanesAreTheSingleFilters) {
    expectLanesMatchSingleFilters<tqsp_filter_rbj_low_pass>(
        [](tqsp_filter_rbj& a, tqsp_filter_rbj& b, int block) {
            a.setFrequency(block < 200 ? 18000.0f : 900.0f);
            b.setFrequency(20.0f + float(block));
            b.setResonance(block < 300 ? 0.707f : 4.0f);
        });
}

TEST(FilterPair, PhaserLanesAreTheSingleSections) {
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 44100.0f);
    expectLanesMatchSingleFilters<tqsp_filter_swept_phasor>(
        [](tqsp_filter_swept_phasor& a, tqsp_filter_swept_phasor& b, int block) {
            a.setModulation(float(block % 50) / 25.0f - 1.0f);
            b.setModulation(-0.999f + float(block % 7) * 0.3f);
            a.setFeedback(0.9f);
            b.setFeedback(block < 250 ? 0.0f : 0.45f);
            b.setActive(block % 200 < 100); // the mix fades in and out
        });
}

} // namespace

namespace {

// The cascade: b takes a's output, one sample behind inside the kernel, same samples.
TEST(FilterPair, CascadedSectionsAreTheSectionsInSeries) {
    csd_set_attr(CSD_ATTR_SAMPLING_RATE, 44100.0f);
    auto pairA = std::make_unique<tqsp_filter_swept_phasor>();
    auto pairB = std::make_unique<tqsp_filter_swept_phasor>();
    auto soloA = std::make_unique<tqsp_filter_swept_phasor>();
    auto soloB = std::make_unique<tqsp_filter_swept_phasor>();
    const std::vector<float> in = noise(3000, 3);
    std::vector<float> outA(8), outB(8);
    std::size_t at = 0;
    for (int block = 0; at < in.size(); ++block) {
        const int n = int(std::min<std::size_t>(std::size_t(block % 9), in.size() - at));
        for (auto* f : {pairA.get(), soloA.get()}) f->setModulation(float(block % 40) / 20 - 1);
        for (auto* f : {pairB.get(), soloB.get()}) f->setFeedback(0.8f), f->setModulation(0.3f);
        tqsp_filter_pair::cascade(*pairA, *pairB, &in[at], outA.data(), outB.data(), n);
        for (int i = 0; i < n; ++i) {
            const float a = soloA->process(in[at + std::size_t(i)]);
            ASSERT_EQ(outA[std::size_t(i)], a) << at + i;
            ASSERT_EQ(outB[std::size_t(i)], soloB->process(a)) << at + i;
        }
        at += std::size_t(n);
    }
}

} // namespace

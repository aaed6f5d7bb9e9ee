#include "dsp/tqsp_filter_pair.h"

#include "dsp/tqsp_filter_rbj.h"
#include "dsp/tqsp_filter_swept_phasor.h"

#include <bit>
#include <cstdint>

namespace {

// Two lanes: lane 0 belongs to filter a, lane 1 to filter b.
typedef float v2f __attribute__((vector_size(8)));
typedef double v2d __attribute__((vector_size(16)));
typedef int32_t v2i __attribute__((vector_size(8)));

} // namespace

// The state of one second-order section, both lanes.
struct tqsp_filter_pair::Biquad {
    v2f b0, b1, b2, a1, a2, x1, x2, y1, y2, y3, offset;

    Biquad(const tqsp_filter_rbj& a, const tqsp_filter_rbj& b)
        : b0{a.b0, b.b0}, b1{a.b1, b.b1}, b2{a.b2, b.b2}, a1{a.a1, b.a1}, a2{a.a2, b.a2}, x1{a.x1,
                                                                                             b.x1},
          x2{a.x2, b.x2}, y1{a.y1, b.y1}, y2{a.y2, b.y2}, y3{a.y3, b.y3}, offset{a.denormalOffset,
                                                                                 b.denormalOffset} {
    }

    void storeTo(tqsp_filter_rbj& a, tqsp_filter_rbj& b) const {
        a.x1 = x1[0], b.x1 = x1[1];
        a.x2 = x2[0], b.x2 = x2[1];
        a.y1 = y1[0], b.y1 = y1[1];
        a.y2 = y2[0], b.y2 = y2[1];
        a.y3 = y3[0], b.y3 = y3[1];
        a.denormalOffset = offset[0], b.denormalOffset = offset[1];
    }

    // tqsp_filter_rbj::process, lane by lane.
    v2f process(v2f x) {
        y3 = y2;
        const v2f y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1 + offset;
        offset = -offset;
        y1 = y;
        return y;
    }
};

void tqsp_filter_pair::process(tqsp_filter_rbj& a, tqsp_filter_rbj& b, const float* inA,
                               const float* inB, float* outA, float* outB, int n) {
    Biquad f(a, b);
    for (int i = 0; i < n; ++i) {
        const v2f y = f.process(v2f{inA[i], inB[i]});
        outA[i] = y[0];
        outB[i] = y[1];
    }
    f.storeTo(a, b);
}

void tqsp_filter_pair::process(tqsp_filter_swept_phasor& a, tqsp_filter_swept_phasor& b,
                               const float* inA, const float* inB, float* outA, float* outB,
                               int n) {
    constexpr int kStages = tqsp_filter_swept_phasor::kStages;
    mod_lag_record& lagA = a.mixSmoother;
    mod_lag_record& lagB = b.mixSmoother;
    const v2f target{a.mixTarget, b.mixTarget};
    const v2f rise{lagA.riseCoefficient, lagB.riseCoefficient};
    const v2f fall{lagA.fallCoefficient, lagB.fallCoefficient};
    v2f mix{lagA.output, lagB.output};

    const v2f feedback{a.feedback, b.feedback};
    v2f last{a.lastChainOutput, b.lastChainOutput};
    Biquad feedbackLowPass(a.feedbackLowPass, b.feedbackLowPass);

    v2f stageA[kStages], stageX1[kStages], stageY1[kStages];
    for (int k = 0; k < kStages; ++k) {
        stageA[k] = v2f{a.stages[k].a, b.stages[k].a};
        stageX1[k] = v2f{a.stages[k].x1, b.stages[k].x1};
        stageY1[k] = v2f{a.stages[k].y1, b.stages[k].y1};
    }

    const auto& lpA = a.outputLowPass;
    const auto& lpB = b.outputLowPass;
    const v2d lpB0{lpA.b0, lpB.b0}, lpB1{lpA.b1, lpB.b1}, lpA1{lpA.a1, lpB.a1};
    v2f lpX1{lpA.x1, lpB.x1}, lpY1{lpA.y1, lpB.y1};
    const v2i exponent{0x7f800000, 0x7f800000};
    const v2f zero{0.0f, 0.0f}, one{1.0f, 1.0f};

    for (int i = 0; i < n; ++i) {
        const v2f x{inA[i], inB[i]};
        // mod_lag_dsp toward the mix target
        const v2f c = target > mix ? rise : fall;
        mix = (mix - target) * c + target;
        // feedback, then the six stages
        const v2f fb = feedbackLowPass.process(last * feedback);
        v2f s = x - fb;
        for (int k = 0; k < kStages; ++k) {
            const v2f y = stageA[k] * s + stageX1[k] - stageA[k] * stageY1[k];
            stageY1[k] = y;
            stageX1[k] = s;
            s = y;
        }
        last = s;
        // first-order output low pass in double precision, its history flushed at subnormals
        const v2d yd = __builtin_convertvector(s, v2d) * lpB0 +
                       __builtin_convertvector(lpX1, v2d) * lpB1 -
                       __builtin_convertvector(lpY1, v2d) * lpA1;
        const v2f wet = __builtin_convertvector(yd, v2f);
        lpY1 = ((std::bit_cast<v2i>(wet) & exponent) != 0) ? wet : zero;
        lpX1 = s;
        const v2f out = wet * mix + (one - mix) * x;
        outA[i] = out[0];
        outB[i] = out[1];
    }

    lagA.target = target[0], lagB.target = target[1];
    lagA.output = mix[0], lagB.output = mix[1];
    a.lastChainOutput = last[0], b.lastChainOutput = last[1];
    feedbackLowPass.storeTo(a.feedbackLowPass, b.feedbackLowPass);
    for (int k = 0; k < kStages; ++k) {
        a.stages[k].x1 = stageX1[k][0], b.stages[k].x1 = stageX1[k][1];
        a.stages[k].y1 = stageY1[k][0], b.stages[k].y1 = stageY1[k][1];
    }
    a.outputLowPass.x1 = lpX1[0], b.outputLowPass.x1 = lpX1[1];
    a.outputLowPass.y1 = lpY1[0], b.outputLowPass.y1 = lpY1[1];
}

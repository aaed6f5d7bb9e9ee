#include "dsp/tqsp_filter_pair.h"

#include "dsp/tqsp_filter_rbj.h"
#include "dsp/tqsp_filter_swept_phasor.h"

namespace {

// Two lanes: lane 0 belongs to filter a, lane 1 to filter b.
typedef float v2f __attribute__((vector_size(8)));
typedef double v2d __attribute__((vector_size(16)));

} // namespace

// The state of one second-order section, both lanes.
struct tqsp_filter_pair::Biquad {
    v2f b0, b1, b2, a1, a2, x1, x2, y1, y2, offset;

    Biquad(const tqsp_filter_rbj& a, const tqsp_filter_rbj& b)
        : b0{a.b0, b.b0}, b1{a.b1, b.b1}, b2{a.b2, b.b2}, a1{a.a1, b.a1}, a2{a.a2, b.a2},
          x1{a.x1, b.x1}, x2{a.x2, b.x2}, y1{a.y1, b.y1}, y2{a.y2, b.y2}, offset{a.denormalOffset,
                                                                                 b.denormalOffset} {
    }

    void storeTo(tqsp_filter_rbj& a, tqsp_filter_rbj& b) const {
        a.x1 = x1[0], b.x1 = x1[1];
        a.x2 = x2[0], b.x2 = x2[1];
        a.y1 = y1[0], b.y1 = y1[1];
        a.y2 = y2[0], b.y2 = y2[1];
        a.denormalOffset = offset[0], b.denormalOffset = offset[1];
    }

    v2f process(v2f x) {
        return tqsp_filter_rbj::step(x, b0, b1, b2, a1, a2, x1, x2, y1, y2, offset);
    }
};

namespace {
// Loads two filters' state into lanes, runs n samples, stores the state back.
template <class Lanes, class Filter>
void runLanes(Filter& a, Filter& b, const float* inA, const float* inB, float* outA, float* outB,
              int n) {
    Lanes f(a, b);
    for (int i = 0; i < n; ++i) {
        const v2f y = f.process(v2f{inA[i], inB[i]});
        outA[i] = y[0];
        outB[i] = y[1];
    }
    f.storeTo(a, b);
}
} // namespace

void tqsp_filter_pair::process(tqsp_filter_rbj& a, tqsp_filter_rbj& b, const float* inA,
                               const float* inB, float* outA, float* outB, int n) {
    runLanes<Biquad>(a, b, inA, inB, outA, outB, n);
}

// The state of one swept phaser section, both lanes.
struct tqsp_filter_pair::Phasers {
    static constexpr int kStages = tqsp_filter_swept_phasor::kStages;
    v2f target, rise, fall, mix;
    v2f feedback, last;
    Biquad feedbackLowPass;
    v2f stageA[kStages], stageX1[kStages], stageY1[kStages];
    v2d lpB0, lpB1, lpA1;
    v2f lpX1, lpY1;

    Phasers(const tqsp_filter_swept_phasor& a, const tqsp_filter_swept_phasor& b)
        : target{a.mixTarget, b.mixTarget}, rise{a.mixSmoother.riseCoefficient,
                                                 b.mixSmoother.riseCoefficient},
          fall{a.mixSmoother.fallCoefficient, b.mixSmoother.fallCoefficient},
          mix{a.mixSmoother.output, b.mixSmoother.output}, feedback{a.feedback, b.feedback},
          last{a.lastChainOutput, b.lastChainOutput},
          feedbackLowPass(a.feedbackLowPass, b.feedbackLowPass), lpB0{a.outputLowPass.b0,
                                                                      b.outputLowPass.b0},
          lpB1{a.outputLowPass.b1, b.outputLowPass.b1}, lpA1{a.outputLowPass.a1,
                                                             b.outputLowPass.a1},
          lpX1{a.outputLowPass.x1, b.outputLowPass.x1}, lpY1{a.outputLowPass.y1,
                                                             b.outputLowPass.y1} {
        for (int k = 0; k < kStages; ++k) {
            stageA[k] = v2f{a.stages[k].a, b.stages[k].a};
            stageX1[k] = v2f{a.stages[k].x1, b.stages[k].x1};
            stageY1[k] = v2f{a.stages[k].y1, b.stages[k].y1};
        }
    }

    void storeTo(tqsp_filter_swept_phasor& a, tqsp_filter_swept_phasor& b) const {
        a.mixSmoother.target = target[0], b.mixSmoother.target = target[1];
        a.mixSmoother.output = mix[0], b.mixSmoother.output = mix[1];
        a.lastChainOutput = last[0], b.lastChainOutput = last[1];
        feedbackLowPass.storeTo(a.feedbackLowPass, b.feedbackLowPass);
        for (int k = 0; k < kStages; ++k) {
            a.stages[k].x1 = stageX1[k][0], b.stages[k].x1 = stageX1[k][1];
            a.stages[k].y1 = stageY1[k][0], b.stages[k].y1 = stageY1[k][1];
        }
        a.outputLowPass.x1 = lpX1[0], b.outputLowPass.x1 = lpX1[1];
        a.outputLowPass.y1 = lpY1[0], b.outputLowPass.y1 = lpY1[1];
    }

    v2f process(v2f x) {
        return tqsp_filter_swept_phasor::step(
            x, mix, target, rise, fall, feedback, last,
            [this](v2f v) { return feedbackLowPass.process(v); },
            [this](int k, v2f v) {
                return tqsp_filter_all_pass_one_pole::step(stageA[k], v, stageX1[k], stageY1[k]);
            },
            [this](v2f v) {
                return tqsp_filter_butterworth_first_order::step(v, lpB0, lpB1, lpA1, lpX1, lpY1);
            });
    }
};

void tqsp_filter_pair::process(tqsp_filter_swept_phasor& a, tqsp_filter_swept_phasor& b,
                               const float* inA, const float* inB, float* outA, float* outB,
                               int n) {
    runLanes<Phasers>(a, b, inA, inB, outA, outB, n);
}

// b runs one sample behind a, so each step feeds b the output a gave the step before.
void tqsp_filter_pair::cascade(tqsp_filter_swept_phasor& a, tqsp_filter_swept_phasor& b,
                               const float* in, float* outA, float* outB, int n) {
    if (n <= 0) return;
    outA[0] = a.process(in[0]);
    Phasers f(a, b);
    for (int i = 1; i < n; ++i) {
        const v2f y = f.process(v2f{in[i], outA[i - 1]});
        outA[i] = y[0];
        outB[i - 1] = y[1];
    }
    f.storeTo(a, b);
    outB[n - 1] = b.process(outA[n - 1]);
}

#include "dsp/tqsp_filter_pair.h"

tqsp_filter_pair::Biquads::~Biquads() {
    a.x1 = x1[0], b.x1 = x1[1];
    a.x2 = x2[0], b.x2 = x2[1];
    a.y1 = y1[0], b.y1 = y1[1];
    a.y2 = y2[0], b.y2 = y2[1];
    a.denormalOffset = offset[0], b.denormalOffset = offset[1];
}

tqsp_filter_pair::Phasers::Phasers(tqsp_filter_swept_phasor& a, tqsp_filter_swept_phasor& b)
    : a(a), b(b), rise{a.mixSmoother.riseCoefficient, b.mixSmoother.riseCoefficient},
      fall{a.mixSmoother.fallCoefficient, b.mixSmoother.fallCoefficient}, mix{a.mixSmoother.output,
                                                                              b.mixSmoother.output},
      feedbackLowPass(a.feedbackLowPass, b.feedbackLowPass),
      lpB0{a.outputLowPass.b0, b.outputLowPass.b0}, lpB1{a.outputLowPass.b1, b.outputLowPass.b1},
      lpA1{a.outputLowPass.a1, b.outputLowPass.a1}, lpY1{a.outputLowPass.y1, b.outputLowPass.y1} {
    for (int k = 0; k < kStages; ++k) history[k] = Lanes{a.stages[k].x1, b.stages[k].x1};
    history[kStages] = Lanes{a.lastChainOutput, b.lastChainOutput};
    takeDesign();
}

void tqsp_filter_pair::Phasers::takeDesign() {
    target = Lanes{a.mixTarget, b.mixTarget};
    feedback = Lanes{a.feedback, b.feedback};
    for (int k = 0; k < kStages; ++k) stageA[k] = Lanes{a.stages[k].a, b.stages[k].a};
}

void tqsp_filter_pair::Phasers::takeDesign(int lane) {
    const tqsp_filter_swept_phasor& f = lane == 0 ? a : b;
    // Whole vectors are written: a vector read back after a write of one lane would wait.
    auto set = [lane](Lanes& v, float x) { v = lane == 0 ? Lanes{x, v[1]} : Lanes{v[0], x}; };
    set(target, f.mixTarget);
    set(feedback, f.feedback);
    for (int k = 0; k < kStages; ++k) set(stageA[k], f.stages[k].a);
}

tqsp_filter_pair::Phasers::~Phasers() {
    a.mixSmoother.target = target[0], b.mixSmoother.target = target[1];
    a.mixSmoother.output = mix[0], b.mixSmoother.output = mix[1];
    for (int k = 0; k < kStages; ++k) {
        a.stages[k].x1 = history[k][0], b.stages[k].x1 = history[k][1];
        a.stages[k].y1 = history[k + 1][0], b.stages[k].y1 = history[k + 1][1];
    }
    a.lastChainOutput = a.outputLowPass.x1 = history[kStages][0];
    b.lastChainOutput = b.outputLowPass.x1 = history[kStages][1];
    a.outputLowPass.y1 = lpY1[0], b.outputLowPass.y1 = lpY1[1];
}

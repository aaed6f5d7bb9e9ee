#include "dsp/tqsp_filter_tq_moog.h"

#include "dsp/tqsp_filter_cmoore.h"
#include "dsp/utilities.h"

namespace {
constexpr float kMaxResonance = 11.0f;
}

tqsp_filter_tq_moog::tqsp_filter_tq_moog() {
    frequency = 1000.0f;
    resonance = 0.0f;
    recalculate();
}

void tqsp_filter_tq_moog::clear() {
    for (int i = 0; i < 4; ++i) x1[i] = y[i] = 0.0f;
}

float tqsp_filter_tq_moog::process(float x) {
    float u = x - feedback * csd_soft_clip(y[3]);
    for (int i = 0; i < 4; ++i) u = tqsp_filter_cmoore::step(u, b0, b1, a1, x1[i], y[i]);
    return u;
}

void tqsp_filter_tq_moog::recalculate() {
    const float g = 1.16f * 2.0f * boundedDesignFrequency() / audioSamplingRate;
    b0 = g / 1.3f;
    b1 = 0.3f * b0;
    a1 = 1.0f - g;
    feedback = (1.0f - 0.15f * g * g) * 0.4f * csd_clamp(resonance, 0.0f, kMaxResonance);
}

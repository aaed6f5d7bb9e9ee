#include "dsp/tqsp_filter_ms20_lp.h"

#include "dsp/tqsp_filter_cmoore.h"
#include "dsp/utilities.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr float kMaxResonance = 2.5f;
} // namespace

tqsp_filter_ms20_lp::tqsp_filter_ms20_lp() {
    frequency = 1000.0f;
    resonance = 0.0f;
    recalculate();
}

void tqsp_filter_ms20_lp::clear() {
    x1[0] = x1[1] = y[0] = y[1] = 0.0f;
}

float tqsp_filter_ms20_lp::process(float x) {
    const float u = x + feedback * csd_soft_clip(y[0] - y[1]);
    const float s = tqsp_filter_cmoore::step(u, gain, gain, -pole, x1[0], y[0]);
    return tqsp_filter_cmoore::step(s, gain, gain, -pole, x1[1], y[1]);
}

void tqsp_filter_ms20_lp::recalculate() {
    const double t = std::tan(kPi * boundedDesignFrequency() / audioSamplingRate);
    gain = static_cast<float>(t / (1.0 + t));
    pole = static_cast<float>((t - 1.0) / (1.0 + t));
    feedback = csd_clamp(resonance, 0.0f, kMaxResonance);
}

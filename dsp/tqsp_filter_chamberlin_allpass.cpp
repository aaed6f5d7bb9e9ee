#include "dsp/tqsp_filter_chamberlin_allpass.h"

#include "dsp/utilities.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr float kMinQ = 0.01f;
constexpr double kMaxRadius = 0.9995;
} // namespace

tqsp_filter_chamberlin_allpass::tqsp_filter_chamberlin_allpass(float f, float Q) {
    frequency = f;
    resonance = Q;
    recalculate();
}

void tqsp_filter_chamberlin_allpass::recalculate() {
    const double theta = kPi * boundedDesignFrequency() / audioSamplingRate;
    const double q = csd_clamp(resonance, kMinQ, HUGE_VALF);
    const double r = std::fmin(std::exp(-theta / q), kMaxRadius);
    c1 = static_cast<float>(2.0 * r * std::cos(2.0 * theta));
    c2 = static_cast<float>(r * r);
}

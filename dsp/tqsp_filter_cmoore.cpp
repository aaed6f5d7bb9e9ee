#include "dsp/tqsp_filter_cmoore.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr float kMaxGainDb = 60.0f;
} // namespace

tqsp_filter_cmoore::tqsp_filter_cmoore() {
    frequency = 1000.0f;
    resonance = 0.0f;
}

double tqsp_filter_cmoore::root(double corner) const {
    return std::exp(-kPi * corner / audioSamplingRate);
}

void tqsp_filter_cmoore_low_pass::recalculate() {
    const double c = root(boundedDesignFrequency());
    b0 = b1 = static_cast<float>((1.0 - c) / 2.0);
    a1 = static_cast<float>(c);
}

void tqsp_filter_cmoore_shelf::setGain(float dB) {
    if (std::isnan(dB) || dB == gain) return;
    gain = csd_clamp(dB, -kMaxGainDb, kMaxGainDb);
    recalculate();
}

double tqsp_filter_cmoore_shelf::linearGain() const {
    return std::pow(10.0, gain / 20.0);
}

void tqsp_filter_cmoore_shelf::design(double zeroCorner, bool unitAtDc) {
    const double p = root(boundedDesignFrequency());
    const double z = root(zeroCorner);
    // Gain of (1 − z·z^-1)/(1 − p·z^-1) at the end that must pass unchanged.
    const double k = unitAtDc ? (1.0 - p) / (1.0 - z) : (1.0 + p) / (1.0 + z);
    b0 = static_cast<float>(k);
    b1 = static_cast<float>(-k * z);
    a1 = static_cast<float>(p);
}

void tqsp_filter_cmoore_low_shelf::recalculate() {
    design(boundedDesignFrequency() * linearGain(), false);
}

void tqsp_filter_cmoore_high_shelf::recalculate() {
    design(boundedDesignFrequency() / linearGain(), true);
}

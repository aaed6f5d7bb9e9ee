#include "dsp/tqsp_filter_stilson_moog.h"

#include "dsp/tqsp_filter_cmoore.h"
#include "dsp/utilities.h"

#include <array>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kTablePoints = 200;
constexpr float kTopResonance = 1.05f; // just past the edge, so the top really sings

// Stage pole term k for fc = 2·f/rate.
double stageK(double fc) {
    const double warp = ((-0.69346 * fc - 0.59515) * fc + 3.2937) * fc - 1.0072;
    const double t = std::tan(kPi * fc / 2.0);
    return std::fmax(warp, (t - 1.0) / (t + 1.0));
}

// Loop gain at which the ladder oscillates: where the four stages and the one-sample delay
// turn the phase by 180 degrees (−3ω + 4·atan2(k·sin ω, 1 + k·cos ω) = −π, found by
// bisection: it falls steadily from 0 to −3π), 1/|stage|^4 at that frequency.
double oscillationThreshold(double fc) {
    const double k = stageK(std::fmax(fc, 1e-4));
    const double p = (k + 1.0) / 2.0;
    double lo = 0.0, hi = kPi;
    for (int i = 0; i < 60; ++i) {
        const double w = (lo + hi) / 2.0;
        const double phase = -3.0 * w + 4.0 * std::atan2(k * std::sin(w), 1.0 + k * std::cos(w));
        (phase > -kPi ? lo : hi) = w;
    }
    const double w = (lo + hi) / 2.0;
    const double power = p * p * (2.0 + 2.0 * std::cos(w)) / (1.0 + 2.0 * k * std::cos(w) + k * k);
    return 1.0 / (power * power);
}

// Computed once, read by every filter; the last entry repeats as the lookup's guard.
float* oscillationData() {
    static std::array<float, kTablePoints + 1> data = [] {
        std::array<float, kTablePoints + 1> d{};
        for (int i = 0; i < kTablePoints; ++i)
            d[i] = static_cast<float>(oscillationThreshold(double(i) / (kTablePoints - 1)));
        d[kTablePoints] = d[kTablePoints - 1];
        return d;
    }();
    return data.data();
}

} // namespace

tqsp_filter_stilson_moog::tqsp_filter_stilson_moog()
    : oscillationTable{kTablePoints, oscillationData(), 0.0f} {
    frequency = 1000.0f;
    resonance = 0.0f;
    recalculate();
}

void tqsp_filter_stilson_moog::clear() {
    for (int i = 0; i < 4; ++i) x1[i] = y[i] = 0.0f;
}

float tqsp_filter_stilson_moog::process(float x) {
    float u = x - feedback * csd_soft_clip(y[3]);
    for (int i = 0; i < 4; ++i) u = tqsp_filter_cmoore::step(u, p, p, -k, x1[i], y[i]);
    switch (mode) {
    case twoPoleLowPass:
        return y[1];
    case bandPass:
        return y[1] - y[3];
    default:
        return y[3];
    }
}

float tqsp_filter_stilson_moog::oscillationGain(float fc) {
    return table_lookup_clip(&oscillationTable, fc);
}

void tqsp_filter_stilson_moog::recalculate() {
    const float fc = 2.0f * boundedDesignFrequency() / audioSamplingRate;
    k = static_cast<float>(stageK(fc));
    p = (k + 1.0f) / 2.0f;
    feedback = csd_clamp(resonance, 0.0f, 1.0f) * kTopResonance * oscillationGain(fc);
}

void tqsp_filter_stilson_moog::setMode(int m) {
    if (m >= fourPoleLowPass && m <= bandPass) mode = m;
}

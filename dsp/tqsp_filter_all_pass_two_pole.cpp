#include "dsp/tqsp_filter_all_pass_two_pole.h"

#include "dsp/utilities.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
}

tqsp_filter_all_pass_two_pole::tqsp_filter_all_pass_two_pole(float f, float b)
    : tqsp_filter_all_pass(f, b) {
    recalculate();
}

void tqsp_filter_all_pass_two_pole::clear() {
    x1 = x2 = y1 = y2 = 0.0f;
}

void tqsp_filter_all_pass_two_pole::recalculate() {
    const float limit = kMaxDesignFraction * audioSamplingRate;
    const double t =
        std::tan(kPi * csd_clamp(bandwidth, kMinDesignFrequency, limit) / audioSamplingRate);
    const double p = (t - 1.0) / (t + 1.0);
    const double d = -std::cos(2.0 * kPi * boundedDesignFrequency() / audioSamplingRate);
    a1 = static_cast<float>((1.0 - p) * d);
    a2 = static_cast<float>(-p);
}

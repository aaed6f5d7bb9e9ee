#include "dsp/tqsp_filter_butterworth.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
}

tqsp_filter_butterworth::tqsp_filter_butterworth(float f) {
    frequency = f;
    resonance = 0.0f;
    designCorner();
}

void tqsp_filter_butterworth::designCorner() {
    const float f = boundedDesignFrequency();
    wc = 2.0 * kPi * f;
    K = wc / std::tan(kPi * f / audioSamplingRate);
}

void tqsp_filter_butterworth_first_order::bypass(bool on) {
    if (on) {
        b0 = 1.0;
        b1 = 0.0;
        a1 = 0.0;
    } else {
        recalculate();
    }
}

tqsp_filter_butterworth_first_order_low_pass::tqsp_filter_butterworth_first_order_low_pass(float f)
    : tqsp_filter_butterworth_first_order(f) {
    recalculate();
}

void tqsp_filter_butterworth_first_order_low_pass::recalculate() {
    designCorner();
    a1 = (wc - K) / (K + wc);
    b0 = b1 = wc / (K + wc);
}

#include "dsp/tqsp_filter_rbj_shelf.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
}

void tqsp_filter_rbj_shelf::recalculate() {
    A = static_cast<float>(std::pow(10.0, static_cast<double>(gain / 40.0f)));
    w0 = static_cast<float>(2.0 * kPi * designFrequency() / audioSamplingRate);
    cosw0 = std::cos(w0);
    sinw0 = std::sin(w0);
    beta = std::sqrt((A * A + 1.0f) / slope - (A - 1.0f) * (A - 1.0f));
}

void tqsp_filter_rbj_shelf::setGain(float dB) {
    gain = dB;
    recalculate();
}

void tqsp_filter_rbj_shelf::setSlope(float S) {
    slope = S;
    recalculate();
}

void tqsp_filter_rbj_low_shelf::recalculate() {
    tqsp_filter_rbj_shelf::recalculate();
    const float p = A + 1.0f, m = A - 1.0f, bs = beta * sinw0;
    setCoefficients(p + m * cosw0 + bs, -2.0f * (m + p * cosw0), p + m * cosw0 - bs,
                    A * (p - m * cosw0 + bs), 2.0f * A * (m - p * cosw0), A * (p - m * cosw0 - bs));
}

void tqsp_filter_rbj_high_shelf::recalculate() {
    tqsp_filter_rbj_shelf::recalculate();
    const float p = A + 1.0f, m = A - 1.0f, bs = beta * sinw0;
    setCoefficients(p - m * cosw0 + bs, 2.0f * (m - p * cosw0), p - m * cosw0 - bs,
                    A * (p + m * cosw0 + bs), -2.0f * A * (m + p * cosw0),
                    A * (p + m * cosw0 - bs));
}

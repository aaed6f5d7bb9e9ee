#include "dsp/tqsp_filter_rbj.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
}

tqsp_filter_rbj::tqsp_filter_rbj() {
    frequency = 1000.0f;
    resonance = 0.707f;
}

void tqsp_filter_rbj::clear() {
    x1 = x2 = y1 = y2 = 0.0f;
}

void tqsp_filter_rbj::bypass(bool on) {
    if (on) {
        a1 = a2 = 0.0f;
        b0 = 1.0f;
        b1 = b2 = 0.0f;
    } else {
        clear();
        recalculate();
    }
}

void tqsp_filter_rbj::setResonanceNormalized(float v) {
    setResonance(10.0f * v + 1.0f);
}

void tqsp_filter_rbj::recalculate() {
    w0 = static_cast<float>(2.0 * kPi * boundedDesignFrequency() / audioSamplingRate);
    cosw0 = std::cos(w0);
    sinw0 = std::sin(w0);
    // sinh(1/(2Q)) rather than 1/(2Q): every filter of the family is slightly
    // more damped than its nominal Q.
    alpha = sinw0 * std::sinh(1.0f / (2.0f * resonance));
}

void tqsp_filter_rbj::setCoefficients(float a0, float na1, float na2, float nb0, float nb1,
                                      float nb2) {
    const float k = 1.0f / a0;
    a1 = na1 * k;
    a2 = na2 * k;
    b0 = nb0 * k;
    b1 = nb1 * k;
    b2 = nb2 * k;
}

void tqsp_filter_rbj::designLowPass() {
    const float b = 1.0f - cosw0;
    setCoefficients(1.0f + alpha, -2.0f * cosw0, 1.0f - alpha, b / 2.0f, b, b / 2.0f);
}

void tqsp_filter_rbj::designHighPass() {
    const float b = 1.0f + cosw0;
    setCoefficients(1.0f + alpha, -2.0f * cosw0, 1.0f - alpha, b / 2.0f, -b, b / 2.0f);
}

void tqsp_filter_rbj::designBandPass() {
    setCoefficients(1.0f + alpha, -2.0f * cosw0, 1.0f - alpha, alpha, 0.0f, -alpha);
}

void tqsp_filter_rbj_low_pass::recalculate() {
    tqsp_filter_rbj::recalculate();
    designLowPass();
}

void tqsp_filter_rbj_high_pass::recalculate() {
    tqsp_filter_rbj::recalculate();
    designHighPass();
}

void tqsp_filter_rbj_band_pass::setResonanceNormalized(float v) {
    setResonance(7.0f * v + 1.0f);
}

void tqsp_filter_rbj_band_pass::recalculate() {
    tqsp_filter_rbj::recalculate();
    designBandPass();
}

void tqsp_filter_rbj_notch::setResonanceNormalized(float v) {
    setResonance(4.0f * v + 0.2f);
}

void tqsp_filter_rbj_notch::recalculate() {
    tqsp_filter_rbj::recalculate();
    setCoefficients(1.0f + alpha, -2.0f * cosw0, 1.0f - alpha, 1.0f, -2.0f * cosw0, 1.0f);
}

void tqsp_filter_rbj_multimode::recalculate() {
    tqsp_filter_rbj::recalculate();
    switch (mode) {
    case lowPass:
        designLowPass();
        break;
    case highPass:
        designHighPass();
        break;
    case bandPass:
        designBandPass();
        break;
    default:
        break;
    }
}

void tqsp_filter_rbj_multimode::setResponseMode(responseModes m) {
    if (m == mode) return;
    mode = m;
    clear();
    recalculate();
}

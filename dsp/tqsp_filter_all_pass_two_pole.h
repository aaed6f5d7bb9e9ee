// Second-order all-pass from a centre frequency and a bandwidth (Hz):
// p = (tan(π·bandwidth/rate) − 1)/(tan(π·bandwidth/rate) + 1), d = −cos(2π·f/rate);
// b0 = −p, b1 = (1 − p)·d, b2 = 1, a1 = (1 − p)·d, a2 = −p. Unit gain everywhere, 180
// degrees of phase shift at the centre, the bandwidth setting how fast the phase turns.
// Bandwidth is kept within 1 Hz .. 0.45 × rate. Runs the biquad step of tqsp_filter_rbj.
#pragma once

#include "dsp/tqsp_filter_all_pass.h"
#include "dsp/tqsp_filter_rbj.h"

class tqsp_filter_all_pass_two_pole final : public tqsp_filter_all_pass {
public:
    explicit tqsp_filter_all_pass_two_pole(float frequency = 1000.0f, float bandwidth = 100.0f);

    // [audio thread]
    void clear() override;
    // [audio thread]
    float process(float x) override {
        // The numerator is the denominator reversed: b0 = a2, b1 = a1, b2 = 1.
        return tqsp_filter_rbj::step(x, a2, a1, 1.0f, a1, a2, x1, x2, y1, y2, denormalOffset);
    }
    void recalculate() override;

    float getA1() const { return a1; }
    float getA2() const { return a2; }

private:
    float a1 = 0.0f, a2 = 0.0f;
    float x2 = 0.0f, y2 = 0.0f;
    float denormalOffset = 1e-12f;
};

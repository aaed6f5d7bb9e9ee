// First-order all-pass (a + z^-1) / (1 + a·z^-1): unit gain at every frequency,
// 90 degrees of phase shift at its frequency. The bandwidth does not enter.
#pragma once

#include "dsp/tqsp_filter_all_pass.h"

class tqsp_filter_all_pass_one_pole final : public tqsp_filter_all_pass {
    friend struct tqsp_filter_pair; // runs two filters of a kind in vector lanes

public:
    tqsp_filter_all_pass_one_pole();

    // [main thread] New rate and coefficient; the history is kept.
    void setAudioSamplingRate(float sr) override;
    // [audio thread]
    float process(float x) override { return step(a, x, x1, y1); }
    // One step on explicit state, for any value type (tqsp_filter_pair runs two in lanes).
    template <class T> static T step(T a, T x, T& x1, T& y1) {
        const T y = output(a, x, x1, y1);
        y1 = y;
        x1 = x;
        return y;
    }
    // The output for x after the input x1 and the output y1.
    template <class T> static T output(T a, T x, T x1, T y1) { return a * x + x1 - a * y1; }
    void recalculate() override;
    // [audio thread] Takes other's coefficient, nothing else: stages of a chain
    // share one design.
    void copyCoefficients(tqsp_filter_all_pass_one_pole& other) { a = other.a; }

    float getCoefficient() const { return a; }

private:
    float piOverRate;
    float a = 0.0f;
};

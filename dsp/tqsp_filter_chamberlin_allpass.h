// Second-order all-pass from a frequency f and a Q, run on the two-state section of
// tqsp_filter_chamberlin: θ = π·f/rate, r = e^(−θ/Q), c1 = 2·r·cos 2θ, c2 = r²;
// w = x + c1·s1 − c2·s2, y = c2·w − c1·s1 + s2. Unit gain at every frequency; the poles
// sit at f and the phase turns through 180 degrees a little above it (where
// cos ω = c1/(1 + c2)), faster as Q rises. Q is kept at 0.01 or more and the pole radius at
// 0.9995 or less, so very high Qs at very low frequencies are capped.
#pragma once

#include "dsp/tqsp_filter.h"
#include "dsp/tqsp_filter_chamberlin.h"

class tqsp_filter_chamberlin_allpass final : public tqsp_filter {
public:
    explicit tqsp_filter_chamberlin_allpass(float frequency = 1000.0f, float Q = 0.707f);

    // [audio thread]
    void clear() override { s1 = s2 = 0.0f; }
    // [audio thread]
    float process(float x) override {
        return tqsp_filter_chamberlin::step(x, c1, -c2, c2, -c1, 1.0f, s1, s2);
    }
    void recalculate() override;

    float getC1() const { return c1; }
    float getC2() const { return c2; }

private:
    float c1 = 0.0f, c2 = 0.0f;
    float s1 = 0.0f, s2 = 0.0f;
};

// Generic two-state recursive section whose five coefficients the caller sets:
// w = a5·x + a1·s1 + a2·s2, y = a4·s1 + a3·w + s2, then s2 = s1, s1 = w.
// Frequency and resonance are only stored. All coefficients start at 0 (silence).
#pragma once

#include "dsp/tqsp_filter.h"
#include "dsp/utilities.h"

class tqsp_filter_chamberlin final : public tqsp_filter {
public:
    tqsp_filter_chamberlin();

    // [audio thread]
    void clear() override { s1 = s2 = 0.0f; }
    // [audio thread]
    float process(float x) override { return step(x, a1, a2, a3, a4, a5, s1, s2); }
    // One step on explicit state; the fed-back state is kept out of subnormal numbers.
    static float step(float x, float a1, float a2, float a3, float a4, float a5, float& s1,
                      float& s2) {
        const float w = a5 * x + a1 * s1 + a2 * s2;
        const float y = a4 * s1 + a3 * w + s2;
        s2 = s1;
        s1 = csd_flush_subnormal(w);
        return y;
    }
    // [audio thread] Non-finite values are ignored. The recursion uses a1 and a2 pulled just
    // inside the stability triangle (|a2| < 1, |a1| < 1 - a2), so no setting makes it grow.
    void setCoefficientA1(float v) { setCoefficient(setA1, v); }
    void setCoefficientA2(float v) { setCoefficient(setA2, v); }
    void setCoefficientA3(float v) { setCoefficient(a3, v); }
    void setCoefficientA4(float v) { setCoefficient(a4, v); }
    void setCoefficientA5(float v) { setCoefficient(a5, v); }
    // The stable pair the recursion runs with.
    void recalculate() override;

    float getCoefficientA1() const { return a1; }
    float getCoefficientA2() const { return a2; }

private:
    void setCoefficient(float& field, float v);

    float setA1 = 0.0f, setA2 = 0.0f; // as set
    float a1 = 0.0f, a2 = 0.0f;       // as run
    float a3 = 0.0f, a4 = 0.0f, a5 = 0.0f;
    float s1 = 0.0f, s2 = 0.0f;
};

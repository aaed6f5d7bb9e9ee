// Four-pole ladder with g = 1.16 × 2f/rate. Each stage is
// (g/1.3)·(1 + 0.3·z^-1)/(1 − (1 − g)·z^-1), unit gain at 0 Hz; the fourth stage's
// output, one sample late and through a soft saturator, is subtracted at the input with
// the gain (1 − 0.15·g²) × 0.4 × resonance. Resonance 10 is about the edge of
// self-oscillation (the loop oscillates at a gain of about 4, a little less near Nyquist);
// it is kept within 0..11, and setResonanceNormalized maps 0..1 to 0..11 so the top of
// the control sings on its own, at a level the saturator bounds.
#pragma once

#include "dsp/tqsp_filter.h"

class tqsp_filter_tq_moog final : public tqsp_filter {
public:
    tqsp_filter_tq_moog();
    tqsp_filter_tq_moog(const tqsp_filter_tq_moog&) = default;

    // [audio thread]
    void clear() override;
    // [audio thread]
    float process(float x) override;
    // [audio thread] resonance = 11·v.
    void setResonanceNormalized(float v) override { setResonance(11.0f * v); }
    void recalculate() override;

    float getFeedback() const { return feedback; }

private:
    float b0 = 0.0f, b1 = 0.0f, a1 = 0.0f, feedback = 0.0f;
    float x1[4] = {}, y[4] = {};
};

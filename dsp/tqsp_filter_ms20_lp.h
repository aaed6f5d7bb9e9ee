// Two-pole low pass after the Korg MS-20: two bilinear one-pole stages
// t/(1 + t)·(1 + z^-1)/(1 + (t − 1)/(1 + t)·z^-1) with t = tan(π·f/rate), and positive
// feedback of the difference of the two stage outputs, one sample late and through a soft
// saturator, into the first stage with gain = resonance. Unit gain at 0 Hz at any
// resonance. Resonance is kept within 0..2.5: about 2 is the edge of self-oscillation
// (rising toward Nyquist, past 2.5 above about rate/5), and 2.5 sings, bounded by the
// saturator.
#pragma once

#include "dsp/tqsp_filter.h"

class tqsp_filter_ms20_lp final : public tqsp_filter {
public:
    tqsp_filter_ms20_lp();

    // [audio thread]
    void clear() override;
    // [audio thread]
    float process(float x) override;
    // [audio thread] resonance = 2.5·v.
    void setResonanceNormalized(float v) override { setResonance(2.5f * v); }
    void recalculate() override;

private:
    float gain = 0.0f, pole = 0.0f, feedback = 0.0f;
    float x1[2] = {}, y[2] = {};
};

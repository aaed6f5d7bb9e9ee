// Band pass of the biquad family (0 dB peak) whose bandwidth term is
// sin ω / ((resonance + 0.01) / 0.01): resonance 0 is a wide band (Q 0.5), the default 0.2
// gives Q 10.5, each further 0.02 adds 1 to the Q. Resonance is kept within 0 .. 10, and
// setResonanceNormalized passes its 0..1 value on unchanged.
#pragma once

#include "dsp/tqsp_filter_rbj.h"

class tqsp_filter_moog_bandpass final : public tqsp_filter_rbj {
public:
    tqsp_filter_moog_bandpass();

    // [audio thread]
    void setResonanceNormalized(float v) override { setResonance(v); }
    void recalculate() override;
};

// Four-pole ladder in the manner of Stilson and Smith. Each stage is a one-pole low pass
// with a zero at Nyquist, p·(1 + z^-1)/(1 + k·z^-1) with p = (k + 1)/2 (unit gain at 0 Hz),
// and k follows the polynomial warp −0.69346·fc³ − 0.59515·fc² + 3.2937·fc − 1.0072 of
// fc = 2·f/rate that keeps the ladder in tune. Below about rate/900 that polynomial would
// put the pole outside the unit circle, so below rate/73, where it dips under the bilinear
// one-pole value (tan(π·f/rate) − 1)/(tan(π·f/rate) + 1), k follows that value instead.
//
// The output of the fourth stage, one sample late and through a soft saturator, is
// subtracted at the input with the gain resonance × G(fc) × 1.05. G is the gain at which
// the loop just oscillates: a 200-point table over fc = 0..1, computed once from the same
// stage design (the frequency where the loop turns 180 degrees, and 1/|stage|^4 there;
// about 4 at low frequencies, less near Nyquist). Resonance runs 0..1: at 1 the filter
// sings on its own, held to a bounded level by the saturator. Bass drops by 1/(1 + gain)
// as resonance rises, as on the instrument.
#pragma once

#include "dsp/table.h"
#include "dsp/tqsp_filter.h"

class tqsp_filter_stilson_moog final : public tqsp_filter {
public:
    // Output taps of setMode.
    enum { fourPoleLowPass = 0, twoPoleLowPass = 1, bandPass = 2 };

    tqsp_filter_stilson_moog();

    // [audio thread]
    void clear() override;
    // [audio thread]
    float process(float x) override;
    void recalculate() override;
    // [audio thread] 0 the fourth stage (24 dB/octave), 1 the second (12 dB/octave),
    // 2 the second minus the fourth (a band pass); other values are ignored.
    void setMode(int m);
    int getMode() const { return mode; }

    float getFeedback() const { return feedback; }
    // [audio thread] The loop gain at which the ladder starts to oscillate at fc = 2·f/rate.
    float oscillationGain(float fc);

private:
    _table_struct oscillationTable; // shared data, own output field
    float k = 0.0f, p = 0.0f, feedback = 0.0f;
    int mode = fourPoleLowPass;
    float x1[4] = {}, y[4] = {};
};

// One-pole, one-zero filters whose pole and zero sit at e^(−π·corner/rate) for their
// corner frequencies: y = b0·x + b1·x1 + a1·y1.
//
// tqsp_filter_cmoore_low_pass: c = e^(−π·f/rate), gains (1 − c)/2 on the current and the
// previous input: unit gain at 0 Hz, none at Nyquist.
//
// The shelves keep one corner at the set frequency and move the other by the gain
// G = 10^(dB/20): the low shelf's zero to f·G, the high shelf's zero to f/G. The gain is
// then fixed at the untouched end (Nyquist for the low shelf, 0 Hz for the high shelf), so
// the band that is not shelved passes exactly, and 0 dB is an exact pass-through. The
// shelved end reaches G to within 0.1 dB while both corners stay below rate / 10; above,
// the exponential mapping of the corners compresses it. Gain is kept within ±60 dB.
#pragma once

#include "dsp/tqsp_filter.h"
#include "dsp/utilities.h"

class tqsp_filter_cmoore : public tqsp_filter {
public:
    // [audio thread]
    void clear() override { x1 = y1 = 0.0f; }
    // [audio thread]
    float process(float x) override { return step(x, b0, b1, a1, x1, y1); }
    // One step on explicit state (the ladders run four of them); the fed-back output is
    // kept out of subnormal numbers.
    static float step(float x, float b0, float b1, float a1, float& x1, float& y1) {
        const float y = b0 * x + b1 * x1 + a1 * y1;
        x1 = x;
        y1 = csd_flush_subnormal(y);
        return y;
    }

    float getB0() const { return b0; }
    float getB1() const { return b1; }
    float getA1() const { return a1; }

protected:
    tqsp_filter_cmoore();
    // e^(−π·corner/rate).
    double root(double corner) const;

    float b0 = 1.0f, b1 = 0.0f, a1 = 0.0f;
    float x1 = 0.0f, y1 = 0.0f;
};

class tqsp_filter_cmoore_low_pass final : public tqsp_filter_cmoore {
public:
    tqsp_filter_cmoore_low_pass() { recalculate(); }
    void recalculate() override;
};

class tqsp_filter_cmoore_shelf : public tqsp_filter_cmoore {
public:
    // [audio thread] Designs again when the value changes; NaN is ignored.
    virtual void setGain(float dB);
    float getGain() const { return gain; }

protected:
    // Pole at the set frequency, zero at zeroCorner, unit gain at 0 Hz (dc) or at Nyquist.
    void design(double zeroCorner, bool unitAtDc);
    double linearGain() const;

    float gain = 0.0f;
};

class tqsp_filter_cmoore_low_shelf final : public tqsp_filter_cmoore_shelf {
public:
    tqsp_filter_cmoore_low_shelf() { recalculate(); }
    void recalculate() override;
};

class tqsp_filter_cmoore_high_shelf final : public tqsp_filter_cmoore_shelf {
public:
    tqsp_filter_cmoore_high_shelf() { recalculate(); }
    void recalculate() override;
};

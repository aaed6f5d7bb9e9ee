// Second-order filters designed from a frequency and a Q. The recursion keeps
// a tiny alternating offset in its output history so it never runs into
// subnormal numbers when the input falls silent.
#pragma once

#include "dsp/tqsp_filter.h"

class tqsp_filter_rbj : public tqsp_filter {
    friend struct tqsp_filter_pair; // runs two filters of a kind in vector lanes

public:
    tqsp_filter_rbj();

    // [audio thread] Empties the history; the offset keeps its sign.
    void clear() override;
    // [audio thread]
    float process(float x) override {
        return step(x, b0, b1, b2, a1, a2, x1, x2, y1, y2, denormalOffset);
    }
    // One step of the recursion with its alternating offset, for any value type: a float
    // here, two filters' lanes in tqsp_filter_pair.
    template <class T>
    static T step(T x, T b0, T b1, T b2, T a1, T a2, T& x1, T& x2, T& y1, T& y2, T& offset) {
        const T y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1 + offset;
        offset = -offset;
        y1 = y;
        return y;
    }
    // [audio thread] On: a pass-through that keeps the history running. Off:
    // clears and designs again.
    void bypass(bool on) override;
    // [audio thread] Q = 10·v + 1.
    void setResonanceNormalized(float v) override;
    // [audio thread] The design intermediates w0, cos w0, sin w0 and alpha.
    void recalculate() override;
    // [audio thread] As process, without the offset.
    virtual float processIgnoreDenormals(float x) {
        const float y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        y2 = y1;
        x2 = x1;
        x1 = x;
        y1 = y;
        return y;
    }

    float getA1() const { return a1; }
    float getA2() const { return a2; }
    float getB0() const { return b0; }
    float getB1() const { return b1; }
    float getB2() const { return b2; }

protected:
    // Stores the six coefficients divided by a0.
    void setCoefficients(float a0, float na1, float na2, float nb0, float nb1, float nb2);
    void designLowPass();
    void designHighPass();
    void designBandPass();

    float a1 = 0.0f, a2 = 0.0f, b0 = 0.0f, b1 = 0.0f, b2 = 0.0f;
    float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    float gain = 0.0f;  // dB, shelves
    float slope = 0.0f; // shelves
    float A = 0.0f;     // 10^(gain/40), shelves
    float w0 = 0.0f, cosw0 = 0.0f, sinw0 = 0.0f, alpha = 0.0f;
    float beta = 0.0f; // shelves
    float denormalOffset = 1e-12f;
};

class tqsp_filter_rbj_low_pass final : public tqsp_filter_rbj {
public:
    tqsp_filter_rbj_low_pass() { recalculate(); }
    void recalculate() override;
};

class tqsp_filter_rbj_high_pass final : public tqsp_filter_rbj {
public:
    tqsp_filter_rbj_high_pass() { recalculate(); }
    void recalculate() override;
};

// Peak gain 0 dB.
class tqsp_filter_rbj_band_pass final : public tqsp_filter_rbj {
public:
    tqsp_filter_rbj_band_pass() { recalculate(); }
    // [audio thread] Q = 7·v + 1.
    void setResonanceNormalized(float v) override;
    void recalculate() override;
};

class tqsp_filter_rbj_notch final : public tqsp_filter_rbj {
public:
    tqsp_filter_rbj_notch() { recalculate(); }
    // [audio thread] Q = 4·v + 0.2.
    void setResonanceNormalized(float v) override;
    void recalculate() override;
};

// Low pass, high pass or band pass, switchable.
class tqsp_filter_rbj_multimode final : public tqsp_filter_rbj {
public:
    enum responseModes { lowPass = 0, highPass = 1, bandPass = 2 };

    tqsp_filter_rbj_multimode() { recalculate(); }
    void recalculate() override;
    // [audio thread] A new mode clears the history and designs again.
    void setResponseMode(responseModes m);
    responseModes getResponseMode() const { return static_cast<responseModes>(mode); }

private:
    int mode = lowPass;
};

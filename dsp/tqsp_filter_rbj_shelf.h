// Shelving filters of the second-order family: a gain in dB below or above the
// corner frequency, with a slope S instead of a Q.
#pragma once

#include "dsp/tqsp_filter_rbj.h"

class tqsp_filter_rbj_shelf : public tqsp_filter_rbj {
public:
    tqsp_filter_rbj_shelf() { slope = 0.5f; }
    // [audio thread] A, w0, cos w0, sin w0 and the shelf term; no coefficients.
    void recalculate() override;
    // [audio thread] Store and design again, even when unchanged.
    virtual void setGain(float dB);
    virtual void setSlope(float S);

    float getGain() const { return gain; }
    float getSlope() const { return slope; }
};

class tqsp_filter_rbj_low_shelf final : public tqsp_filter_rbj_shelf {
public:
    tqsp_filter_rbj_low_shelf() { recalculate(); }
    void recalculate() override;
};

class tqsp_filter_rbj_high_shelf final : public tqsp_filter_rbj_shelf {
public:
    tqsp_filter_rbj_high_shelf() { recalculate(); }
    void recalculate() override;
};

// Base of the all-pass filters: a frequency, a bandwidth and one sample of
// input and output history.
#pragma once

#include "dsp/tqsp_filter.h"

class tqsp_filter_all_pass : public tqsp_filter {
    friend struct tqsp_filter_pair; // runs two filters of a kind in vector lanes

public:
    tqsp_filter_all_pass(float frequency, float bandwidth);

    // [audio thread] Designs again only when the value changes.
    virtual void setBandwidth(float b);
    // [audio thread]
    void clear() override { x1 = y1 = 0.0f; }
    float getBandwidth() const { return bandwidth; }

protected:
    float bandwidth;
    float y1 = 0.0f;
    float x1 = 0.0f;
};

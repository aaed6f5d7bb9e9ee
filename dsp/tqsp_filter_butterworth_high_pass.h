// First-order Butterworth high pass: s/(s + wc) through the bilinear transform,
// b0 = K/(K + wc), b1 = −b0, a1 = (wc − K)/(K + wc).
#pragma once

#include "dsp/tqsp_filter_butterworth.h"

class tqsp_filter_butterworth_first_order_high_pass final
    : public tqsp_filter_butterworth_first_order {
public:
    explicit tqsp_filter_butterworth_first_order_high_pass(float frequency = 1000.0f);
    void recalculate() override;
};

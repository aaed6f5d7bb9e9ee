#include "dsp/tqsp_filter_butterworth_high_pass.h"

tqsp_filter_butterworth_first_order_high_pass::tqsp_filter_butterworth_first_order_high_pass(
    float f)
    : tqsp_filter_butterworth_first_order(f) {
    recalculate();
}

void tqsp_filter_butterworth_first_order_high_pass::recalculate() {
    designCorner();
    a1 = (wc - K) / (K + wc);
    b0 = K / (K + wc);
    b1 = -b0;
}

#include "dsp/tqsp_filter_all_pass.h"

tqsp_filter_all_pass::tqsp_filter_all_pass(float f, float b) : bandwidth(b) {
    frequency = f;
    resonance = 0.0f;
}

void tqsp_filter_all_pass::setBandwidth(float b) {
    if (b == bandwidth) return;
    bandwidth = b;
    recalculate();
}

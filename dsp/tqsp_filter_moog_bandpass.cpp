#include "dsp/tqsp_filter_moog_bandpass.h"

#include "dsp/utilities.h"

namespace {
constexpr float kMaxResonance = 10.0f;
}

tqsp_filter_moog_bandpass::tqsp_filter_moog_bandpass() {
    resonance = 0.2f;
    recalculate();
}

void tqsp_filter_moog_bandpass::recalculate() {
    tqsp_filter_rbj::recalculate(); // w0, cos w0 and sin w0
    alpha = sinw0 / ((csd_clamp(resonance, 0.0f, kMaxResonance) + 0.01f) / 0.01f);
    designBandPass();
}

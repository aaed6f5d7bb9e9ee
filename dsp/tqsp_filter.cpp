#include "dsp/tqsp_filter.h"

void tqsp_filter::setAudioSamplingRate(float sr) {
    tqsp_block::setAudioSamplingRate(sr);
    clear();
    recalculate();
}

void tqsp_filter::setFrequency(float f) {
    if (f == frequency) return;
    frequency = f;
    recalculate();
}

void tqsp_filter::setResonance(float r) {
    if (r == resonance) return;
    resonance = r;
    recalculate();
}

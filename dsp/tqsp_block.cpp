#include "dsp/tqsp_block.h"

void tqsp_block::setAudioSamplingRate(float sr) {
    audioSamplingRate = sr;
    audioSamplingRateReciprocal = 1.0f / sr;
    samplesPerMillisecond = static_cast<float>(sr * 0.001);
}

void tqsp_block::processVector(float* in, float* out, long count) {
    for (long i = 0; i < count; ++i) out[i] = process(in[i]);
}

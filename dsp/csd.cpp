#include "dsp/csd.h"

float gAudioSamplingRate = 44100.0f;
float gAudioSamplingRateReciprocal = 1.0f / 44100.0f;
float gSamplesPerMillisecond = 44.1f;
float gMillisecondsPerSample = 1000.0f / 44100.0f;

void csd_set_attr(int code, float value) {
    if (code != CSD_ATTR_SAMPLING_RATE) return;
    gAudioSamplingRate = value;
    gAudioSamplingRateReciprocal = 1.0f / value;
    gSamplesPerMillisecond = static_cast<float>(value * 0.001);
    gMillisecondsPerSample = 1000.0f / value;
}

float csd_get_attr(int code) {
    return code == CSD_ATTR_SAMPLING_RATE ? gAudioSamplingRate : 0.0f;
}

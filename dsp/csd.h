// Process-wide sampling-rate attributes read by the record-style modules
// (gen_, mod_, table_) whenever they compute a coefficient.
#pragma once

enum { CSD_ATTR_SAMPLING_RATE = -100 };

extern float gAudioSamplingRate;
extern float gAudioSamplingRateReciprocal;
extern float gSamplesPerMillisecond;
extern float gMillisecondsPerSample;

// [main thread] Code -100 sets the rate and the three values derived from it;
// other codes are ignored. No record may compute coefficients meanwhile.
void csd_set_attr(int code, float value);

// [any thread] Code -100 answers the rate; other codes 0.0.
float csd_get_attr(int code);

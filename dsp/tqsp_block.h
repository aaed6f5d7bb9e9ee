// Base of every per-sample processing object. A block keeps its own copy of
// the sampling rate (44100 Hz until told otherwise) and never reads the globals.
#pragma once

class tqsp_block {
public:
    virtual ~tqsp_block() = default;

    // [audio thread] Empties the processing state.
    virtual void clear() {}
    // [main thread] Stores the rate and the values derived from it.
    virtual void setAudioSamplingRate(float sr);
    // [audio thread]
    virtual void setParameter(int /*index*/, float /*value*/) {}
    // [audio thread] One sample.
    virtual float process(float x) { return x; }
    // [audio thread] count single calls of process, in order; in and out may alias.
    virtual void processVector(float* in, float* out, long count);
    // [audio thread]
    virtual void bypass(bool /*on*/) {}

    float getAudioSamplingRate() const { return audioSamplingRate; }
    float getAudioSamplingRateReciprocal() const { return audioSamplingRateReciprocal; }
    float getSamplesPerMillisecond() const { return samplesPerMillisecond; }

protected:
    float audioSamplingRate = 44100.0f;
    float audioSamplingRateReciprocal = 1.0f / 44100.0f;
    float samplesPerMillisecond = 44.1f;
};

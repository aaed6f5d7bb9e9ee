// Base of the filters: a frequency and a resonance whose changes trigger
// recalculate(). Only concrete filters are built.
#pragma once

#include "dsp/tqsp_block.h"

class tqsp_filter : public tqsp_block {
public:
    // [main thread] Stores the rate, clears the state and recomputes the coefficients.
    void setAudioSamplingRate(float sr) override;

    // [audio thread] Recompute only when the value changes.
    virtual void setFrequency(float f);
    virtual void setResonance(float r);
    virtual float getFrequency() { return frequency; }
    virtual float getResonance() { return resonance; }
    // [audio thread] Maps a 0..1 control to a resonance.
    virtual void setResonanceNormalized(float v) { setResonance(v); }
    // [audio thread] Coefficients from the current settings and rate.
    virtual void recalculate() {}

    // Highest frequency any filter is designed for, as a fraction of its rate:
    // at and above half the rate the designs turn unstable or meaningless.
    static constexpr float kMaxDesignFraction = 0.45f;
    // Lowest frequency designs accept: at 0 Hz and below poles reach the unit circle.
    static constexpr float kMinDesignFrequency = 1.0f;

protected:
    tqsp_filter() = default;

    // The frequency the coefficients are designed for.
    float designFrequency() const {
        const float limit = kMaxDesignFraction * audioSamplingRate;
        return frequency < limit ? frequency : limit;
    }

    // designFrequency(), and at least kMinDesignFrequency.
    float boundedDesignFrequency() const {
        const float f = designFrequency();
        return f > kMinDesignFrequency ? f : kMinDesignFrequency;
    }

    float frequency = 0.0f;
    float resonance = 0.0f;
};

// Phase shifter: six first-order all-pass stages swept together by a
// modulation value -1..+1, a low-passed feedback path subtracted at the input,
// and the low-passed chain output mixed half and half with the dry input. The
// mix glides in and out when the section is switched.
#pragma once

#include "dsp/mod_lag.h"
#include "dsp/tqsp_filter.h"
#include "dsp/tqsp_filter_all_pass_one_pole.h"
#include "dsp/tqsp_filter_butterworth.h"
#include "dsp/tqsp_filter_rbj.h"

class tqsp_filter_swept_phasor final : public tqsp_filter {
    friend struct tqsp_filter_pair; // runs two filters of a kind in vector lanes

public:
    static constexpr int kStages = 6;
    static constexpr int kSweepPoints = 4001;

    tqsp_filter_swept_phasor();
    ~tqsp_filter_swept_phasor() override;

    // [main thread] Every filter and the mix smoother follow the rate, the six stages still
    // on one design; nothing is cleared.
    void setAudioSamplingRate(float rate) override;
    // [audio thread] Empties every filter's history; the mix keeps its place.
    void clear() override;
    // [audio thread] One sample.
    float process(float x) override {
        mixSmoother.target = mixTarget;
        return step(
            x, mixSmoother.output, mixTarget, mixSmoother.riseCoefficient,
            mixSmoother.fallCoefficient, feedback, lastChainOutput,
            [this](float v) { return feedbackLowPass.process(v); },
            [this](int k, float v) { return stages[k].process(v); },
            [this](float v) { return outputLowPass.process(v); });
    }
    // One sample on explicit state, for any value type (tqsp_filter_pair runs two sections
    // in vector lanes): the mix glides toward its target, the low-passed feedback is
    // subtracted, the stages run, and the low-passed chain output meets the dry input.
    template <class T, class FeedbackLowPass, class Stage, class OutputLowPass>
    static T step(T x, T& mix, T mixTarget, T rise, T fall, T feedback, T& last,
                  FeedbackLowPass feedbackLowPass, Stage stage, OutputLowPass outputLowPass) {
        const T m = mod_lag_step(mix, mixTarget, rise, fall);
        T c = x - feedbackLowPass(last * feedback);
        for (int k = 0; k < kStages; ++k) c = stage(k, c);
        last = c;
        return outputLowPass(c) * m + (1.0f - m) * x;
    }

    // [audio thread] Amount of chain output subtracted from the input.
    void setFeedback(float v) { feedback = v; }
    // [audio thread] Fades the wet signal in (on) or out (off).
    void setActive(bool on) { mixTarget = on ? 0.5f : 0.0f; }
    // [audio thread] Sweep position -1..+1 (pinned to that range).
    void setModulation(float m);

    // The swept break frequency of the stages, in Hz.
    float getSweepFrequency() { return stages[0].getFrequency(); }
    float getSweepTableEntry(int i) const { return sweepTable[i]; }
    const tqsp_filter_all_pass_one_pole& getStage(int i) const { return stages[i]; }
    const tqsp_filter_butterworth_first_order_low_pass& getOutputLowPass() const {
        return outputLowPass;
    }
    const tqsp_filter_rbj_low_pass& getFeedbackLowPass() const { return feedbackLowPass; }
    float getMix() { return mod_lag_get_output(&mixSmoother); }

private:
    tqsp_filter_all_pass_one_pole stages[kStages];
    tqsp_filter_butterworth_first_order_low_pass outputLowPass;
    tqsp_filter_rbj_low_pass feedbackLowPass;
    mod_lag_record mixSmoother;
    float feedback = 0.0f;
    float lastChainOutput = 0.0f;
    float mixTarget = 0.5f;
    float sweepTable[kSweepPoints];
};

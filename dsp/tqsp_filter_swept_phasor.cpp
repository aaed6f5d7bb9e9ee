#include "dsp/tqsp_filter_swept_phasor.h"

#include "dsp/csd.h"

namespace {

constexpr float kMixTime = 0.01f; // seconds

// Break frequency in Hz at sweep position x in 0..1: slow at the bottom, fast
// near the top, 216.5 Hz to 11390.8 Hz.
double sweepCurve(double x) {
    return 216.50643 + 3717.5425 * x - 8732.7785 * x * x + 39150.513 * x * x * x -
           22961.01 * x * x * x * x;
}

} // namespace

tqsp_filter_swept_phasor::tqsp_filter_swept_phasor() {
    frequency = 0.0f;
    resonance = 0.0f;
    for (auto& stage : stages) stage.setFrequency(500.0f);
    outputLowPass.setFrequency(18000.0f);
    feedbackLowPass.setFrequency(11000.0f);
    for (int i = 0; i < kSweepPoints; ++i)
        sweepTable[i] = static_cast<float>(sweepCurve(i / static_cast<double>(kSweepPoints - 1)));
    setModulation(0.0f);
    mod_lag_init(&mixSmoother);
    mod_lag_set_attr(&mixSmoother, CSD_ATTR_SAMPLING_RATE, audioSamplingRate);
    mod_lag_set_attr(&mixSmoother, MOD_LAG_RISE_TIME, kMixTime);
    mod_lag_set_attr(&mixSmoother, MOD_LAG_FALL_TIME, kMixTime);
}

tqsp_filter_swept_phasor::~tqsp_filter_swept_phasor() {
    mod_lag_free(&mixSmoother);
}

void tqsp_filter_swept_phasor::setAudioSamplingRate(float rate) {
    tqsp_block::setAudioSamplingRate(rate);
    mod_lag_set_attr(&mixSmoother, CSD_ATTR_SAMPLING_RATE, rate);
    for (auto& stage : stages) stage.setAudioSamplingRate(rate);
    // The others designed for their own 500 Hz until the next sweep: frames processed before
    // it, such as the rest of an effect's open sub-block, would lose the sweep.
    for (int k = 1; k < kStages; ++k) stages[k].copyCoefficients(stages[0]);
    // The fixed low passes follow the rate too, without losing their history.
    outputLowPass.tqsp_block::setAudioSamplingRate(rate);
    outputLowPass.recalculate();
    feedbackLowPass.tqsp_block::setAudioSamplingRate(rate);
    feedbackLowPass.recalculate();
}

void tqsp_filter_swept_phasor::clear() {
    for (auto& stage : stages) stage.clear();
    outputLowPass.clear();
    feedbackLowPass.clear();
    lastChainOutput = 0.0f;
}

void tqsp_filter_swept_phasor::setModulation(float m) {
    constexpr float last = static_cast<float>(kSweepPoints - 1);
    float pos = (m + 1.0f) * 0.5f * last;
    pos = pos > 0.0f ? (pos < last ? pos : last) : 0.0f;
    // At the top the last interval is read with weight 1 on its upper end,
    // which gives the table's last entry exactly.
    int i = static_cast<int>(pos);
    if (i > kSweepPoints - 2) i = kSweepPoints - 2;
    const float frac = pos - static_cast<float>(i);
    const float f = (1.0f - frac) * sweepTable[i] + frac * sweepTable[i + 1];
    stages[0].setFrequency(f);
    for (int k = 1; k < kStages; ++k) stages[k].copyCoefficients(stages[0]);
}

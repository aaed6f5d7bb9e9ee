#include "dsp/tqsp_filter_all_pass_one_pole.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
}

tqsp_filter_all_pass_one_pole::tqsp_filter_all_pass_one_pole()
    : tqsp_filter_all_pass(1000.0f, 1.0f), piOverRate(static_cast<float>(kPi / audioSamplingRate)) {
    recalculate();
}

void tqsp_filter_all_pass_one_pole::setAudioSamplingRate(float sr) {
    tqsp_block::setAudioSamplingRate(sr);
    piOverRate = static_cast<float>(kPi / audioSamplingRate);
    recalculate();
}

void tqsp_filter_all_pass_one_pole::recalculate() {
    const float t = std::tan(designFrequency() * piOverRate);
    a = (t - 1.0f) / (t + 1.0f);
}

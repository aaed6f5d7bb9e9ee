#include "dsp/mod_lag.h"

#include "dsp/csd.h"

#include <cmath>

namespace {

float lagCoefficient(float seconds, float rate) {
    const float samples = seconds * rate;
    return static_cast<float>(std::exp(-1.0 / static_cast<double>(samples)));
}

void setRise(mod_lag_record* r, float seconds) {
    r->riseTime = seconds;
    r->riseCoefficient = lagCoefficient(seconds, r->samplingRate);
    r->riseComplement = 1.0f - r->riseCoefficient;
}

void setFall(mod_lag_record* r, float seconds) {
    r->fallTime = seconds;
    r->fallCoefficient = lagCoefficient(seconds, r->samplingRate);
    r->fallComplement = 1.0f - r->fallCoefficient;
}

} // namespace

void mod_lag_init(mod_lag_record* r) {
    r->output = 0.0f;
    r->target = 0.0f;
    r->samplingRate = gAudioSamplingRate;
    setRise(r, 0.001f);
    setFall(r, 0.001f);
}

void mod_lag_free(mod_lag_record* /*r*/) {}

void mod_lag_set_attr(mod_lag_record* r, int code, float value) {
    switch (code) {
    case MOD_LAG_RISE_TIME:
        setRise(r, value);
        break;
    case MOD_LAG_FALL_TIME:
        setFall(r, value);
        break;
    case MOD_LAG_INPUT:
        r->target = value;
        break;
    case CSD_ATTR_SAMPLING_RATE:
        if (!(value > 0.0f) || !std::isfinite(value)) return;
        r->samplingRate = value;
        setRise(r, r->riseTime);
        setFall(r, r->fallTime);
        break;
    default:
        break;
    }
}

float mod_lag_get_attr(mod_lag_record* r, int code) {
    switch (code) {
    case MOD_LAG_RISE_TIME:
        return r->riseTime;
    case MOD_LAG_FALL_TIME:
        return r->fallTime;
    default:
        return 0.0f;
    }
}

void mod_lag_update_sampling_rate(mod_lag_record* r) {
    r->samplingRate = gAudioSamplingRate;
    setRise(r, r->riseTime);
    setFall(r, r->fallTime);
}

void mod_lag_clear(mod_lag_record* r) {
    r->output = 0.0f;
}

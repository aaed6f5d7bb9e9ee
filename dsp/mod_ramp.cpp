#include "dsp/mod_ramp.h"

#include "dsp/utilities.h"

#include <cmath>

namespace {

constexpr float kMaxValue = 1e9f;
constexpr float kMaxTime = 1073741824.0f; // 2^30 samples

float samples(float value) {
    return csd_clamp(std::round(value), 1.0f, kMaxTime);
}

float advance(mod_ramp_record* r, float time) {
    if (r->pending) {
        r->pending = 0;
        r->remaining = static_cast<int32_t>(time);
        r->step = (r->target - r->output) / time;
    }
    if (r->remaining > 0) {
        r->output += r->step;
        if (--r->remaining == 0) r->output = r->target;
    }
    return r->output;
}

} // namespace

void mod_ramp_init(mod_ramp_record* r) {
    r->riseTime = r->fallTime = 1.0f;
    r->output = r->target = r->step = 0.0f;
    r->remaining = r->pending = 0;
}

void mod_ramp_free(mod_ramp_record* /*r*/) {}

void mod_ramp_set_attr(mod_ramp_record* r, int code, float value) {
    if (!std::isfinite(value)) return;
    const float v = csd_clamp(value, -kMaxValue, kMaxValue);
    switch (code) {
    case MOD_RAMP_START:
        r->output = v;
        r->pending = 1;
        break;
    case MOD_RAMP_TIME:
        r->riseTime = r->fallTime = samples(value);
        break;
    case MOD_RAMP_TARGET:
        r->target = v;
        r->pending = 1;
        break;
    case MOD_RAMP_RISE_TIME:
        r->riseTime = samples(value);
        break;
    case MOD_RAMP_FALL_TIME:
        r->fallTime = samples(value);
        break;
    case MOD_RAMP_JUMP:
        r->output = r->target = v;
        r->remaining = r->pending = 0;
        break;
    default:
        break;
    }
}

float mod_ramp_get_attr(mod_ramp_record* r, int code) {
    switch (code) {
    case MOD_RAMP_TIME:
    case MOD_RAMP_RISE_TIME:
        return r->riseTime;
    case MOD_RAMP_FALL_TIME:
        return r->fallTime;
    case MOD_RAMP_TARGET:
        return r->target;
    default:
        return 0.0f;
    }
}

float mod_ramp_dsp(mod_ramp_record* r) {
    return advance(r, r->target > r->output ? r->riseTime : r->fallTime);
}

float mod_ramp_dsp_symmetric(mod_ramp_record* r) {
    return advance(r, r->riseTime);
}

float mod_ramp_get_output(mod_ramp_record* r) {
    return r->output;
}

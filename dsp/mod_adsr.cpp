#include "dsp/mod_adsr.h"

#include "dsp/csd.h"
#include "dsp/utilities.h"

#include <cmath>

namespace {

constexpr float kMaxTime = 86400.0f;

void design(mod_adsr_segment* s) {
    const double samples = std::round(static_cast<double>(s->time) * gAudioSamplingRate);
    s->samples = static_cast<int32_t>(std::fmin(samples, 2147483647.0));
    s->coefficient =
        s->samples > 0 ? static_cast<float>(std::exp(-std::log(1e5) / s->samples)) : 0.0f;
}

void setTime(mod_adsr_segment* s, float seconds) {
    s->time = csd_clamp(seconds, 0.0f, kMaxTime);
    design(s);
}

void start(mod_adsr_record* r, int32_t stage, const mod_adsr_segment& s, float target) {
    r->stage = stage;
    r->remaining = s.samples > 1 ? s.samples : 1;
    r->target = target;
    r->coefficient = s.coefficient;
    r->step = (target - r->output) / static_cast<float>(r->remaining);
}

} // namespace

void mod_adsr_init(mod_adsr_record* r) {
    setTime(&r->attack, 0.01f);
    setTime(&r->decay, 0.1f);
    setTime(&r->release, 0.2f);
    r->sustain = 0.5f;
    r->curve = MOD_ADSR_LINEAR;
    mod_adsr_clear(r);
}

void mod_adsr_free(mod_adsr_record* /*r*/) {}

void mod_adsr_set_attr(mod_adsr_record* r, int code, float value) {
    if (std::isnan(value)) return;
    switch (code) {
    case MOD_ADSR_ATTACK_TIME:
        setTime(&r->attack, value);
        break;
    case MOD_ADSR_DECAY_TIME:
        setTime(&r->decay, value);
        break;
    case MOD_ADSR_SUSTAIN_LEVEL:
        r->sustain = csd_clamp(value, 0.0f, 1.0f);
        break;
    case MOD_ADSR_RELEASE_TIME:
        setTime(&r->release, value);
        break;
    case MOD_ADSR_CURVE:
        if (value == 0.0f || value == 1.0f) // MOD_ADSR_LINEAR, MOD_ADSR_EXPONENTIAL
            r->curve = static_cast<int32_t>(value);
        break;
    default:
        break;
    }
}

float mod_adsr_get_attr(mod_adsr_record* r, int code) {
    switch (code) {
    case MOD_ADSR_ATTACK_TIME:
        return r->attack.time;
    case MOD_ADSR_DECAY_TIME:
        return r->decay.time;
    case MOD_ADSR_SUSTAIN_LEVEL:
        return r->sustain;
    case MOD_ADSR_RELEASE_TIME:
        return r->release.time;
    case MOD_ADSR_CURVE:
        return static_cast<float>(r->curve);
    default:
        return 0.0f;
    }
}

void mod_adsr_update_sampling_rate(mod_adsr_record* r) {
    design(&r->attack);
    design(&r->decay);
    design(&r->release);
}

void mod_adsr_note_on(mod_adsr_record* r) {
    start(r, MOD_ADSR_ATTACK, r->attack, 1.0f);
}

void mod_adsr_note_off(mod_adsr_record* r) {
    if (r->stage != MOD_ADSR_IDLE) start(r, MOD_ADSR_RELEASE, r->release, 0.0f);
}

void mod_adsr_clear(mod_adsr_record* r) {
    r->stage = MOD_ADSR_IDLE;
    r->remaining = 0;
    r->step = 0.0f;
    r->coefficient = 0.0f;
    r->target = 0.0f;
    r->output = 0.0f;
}

float mod_adsr_dsp(mod_adsr_record* r) {
    switch (r->stage) {
    case MOD_ADSR_IDLE:
        return r->output;
    case MOD_ADSR_SUSTAIN:
        r->output = r->sustain;
        return r->output;
    default:
        break;
    }
    if (r->curve == MOD_ADSR_EXPONENTIAL)
        r->output = r->target + (r->output - r->target) * r->coefficient;
    else
        r->output += r->step;
    if (--r->remaining > 0) return r->output;
    r->output = r->target;
    switch (r->stage) {
    case MOD_ADSR_ATTACK:
        start(r, MOD_ADSR_DECAY, r->decay, r->sustain);
        break;
    case MOD_ADSR_DECAY:
        r->stage = MOD_ADSR_SUSTAIN;
        break;
    default:
        r->stage = MOD_ADSR_IDLE;
        break;
    }
    return r->output;
}

float mod_adsr_get_output(mod_adsr_record* r) {
    return r->output;
}

// Attack-decay-sustain-release envelope, 0..1. Each segment lasts its time rounded to
// whole samples (at least one step, so a time of 0 takes one sample) from wherever the
// output stands when it starts, and ends exactly on its target: attack 1, decay the
// sustain level, release 0. Linear segments move in equal steps; exponential ones cover
// all but 1e-5 of the way, with the coefficient e^(−ln 10^5 / (time × rate)), before they
// land. Times are read against gAudioSamplingRate when set and in _update_sampling_rate.
#pragma once

#include <cstdint>

enum {
    MOD_ADSR_ATTACK_TIME = 500,   // seconds
    MOD_ADSR_DECAY_TIME = 501,    // seconds
    MOD_ADSR_SUSTAIN_LEVEL = 502, // 0..1
    MOD_ADSR_RELEASE_TIME = 503,  // seconds
    MOD_ADSR_CURVE = 510,         // MOD_ADSR_LINEAR or MOD_ADSR_EXPONENTIAL
};

enum { MOD_ADSR_LINEAR = 0, MOD_ADSR_EXPONENTIAL = 1 };

// Stages, in the order an envelope runs them.
enum { MOD_ADSR_IDLE, MOD_ADSR_ATTACK, MOD_ADSR_DECAY, MOD_ADSR_SUSTAIN, MOD_ADSR_RELEASE };

struct mod_adsr_segment {
    float time;        // seconds
    int32_t samples;   // time × rate, rounded
    float coefficient; // exponential curve
};

struct mod_adsr_record {
    mod_adsr_segment attack, decay, release;
    float sustain;
    int32_t curve;
    int32_t stage;
    int32_t remaining; // steps left in the running segment
    float step;        // linear: added per sample
    float coefficient; // exponential: of the running segment
    float target;      // where the running segment lands
    float output;
};

// [main thread] Attack 0.01 s, decay 0.1 s, sustain 0.5, release 0.2 s, linear, idle at 0.
void mod_adsr_init(mod_adsr_record* r);
// [main thread]
void mod_adsr_free(mod_adsr_record* r);
// [audio thread] Times below 0 count as 0, above a day as a day; the sustain level is kept
// within 0..1; curves other than 0 and 1, NaN and other codes are ignored. A new time
// applies from the next segment on.
void mod_adsr_set_attr(mod_adsr_record* r, int code, float value);
// [any thread]
float mod_adsr_get_attr(mod_adsr_record* r, int code);
// [main thread] After csd_set_attr(-100, ...).
void mod_adsr_update_sampling_rate(mod_adsr_record* r);
// [audio thread] Starts the attack from the present output.
void mod_adsr_note_on(mod_adsr_record* r);
// [audio thread] Starts the release from the present output, unless idle.
void mod_adsr_note_off(mod_adsr_record* r);
// [audio thread] Idle at 0.
void mod_adsr_clear(mod_adsr_record* r);
// [audio thread] One sample; returns the new output.
float mod_adsr_dsp(mod_adsr_record* r);
// [any thread]
float mod_adsr_get_output(mod_adsr_record* r);

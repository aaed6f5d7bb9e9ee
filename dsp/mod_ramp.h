// Linear ramp of a control value toward a target, with separate rise and fall times in
// whole samples (at least 1; the sampling rate does not enter). A new target or start value
// starts a new ramp from the present output; its step is worked out on the first call of
// _dsp after the change, which picks the rise time when the target is above the output and
// the fall time otherwise, while _dsp_symmetric uses the rise time both ways. A ramp of n
// samples lands exactly on the target on its n-th call. New times apply to the next ramp.
#pragma once

#include <cstdint>

enum {
    MOD_RAMP_START = 510,     // the output jumps here and ramps on toward the target
    MOD_RAMP_TIME = 511,      // rise and fall time, samples
    MOD_RAMP_TARGET = 512,    // ramp toward this value
    MOD_RAMP_RISE_TIME = 514, // samples
    MOD_RAMP_FALL_TIME = 515, // samples
    MOD_RAMP_JUMP = 519,      // output and target jump here; no ramp
};

struct mod_ramp_record {
    float riseTime; // samples, whole, 1 or more
    float fallTime;
    float output;
    float target;
    float step;
    int32_t remaining; // steps left in the running ramp
    int32_t pending;   // a new ramp waits for its first step
};

// [main thread] Times 1 sample, output and target 0.
void mod_ramp_init(mod_ramp_record* r);
// [main thread]
void mod_ramp_free(mod_ramp_record* r);
// [audio thread] Non-finite values and other codes are ignored; values are kept within
// ±1e9, times rounded to whole samples within 1 .. 2^30.
void mod_ramp_set_attr(mod_ramp_record* r, int code, float value);
// [any thread] Times (511 answers the rise time) and the target; 0 for other codes.
float mod_ramp_get_attr(mod_ramp_record* r, int code);
// [audio thread] One step, rise or fall time by direction; returns the new output.
float mod_ramp_dsp(mod_ramp_record* r);
// [audio thread] One step with the rise time both ways.
float mod_ramp_dsp_symmetric(mod_ramp_record* r);
// [any thread]
float mod_ramp_get_output(mod_ramp_record* r);

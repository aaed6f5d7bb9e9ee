// One-pole smoother of a control signal with separate rise and fall times.
// Coefficients come from the record's own rate when a time or the rate is set; the rate is
// the process-wide gAudioSamplingRate until its owner sets one.
#pragma once

#include <bit>
#include <cstdint>

enum {
    MOD_LAG_RISE_TIME = 530,
    MOD_LAG_FALL_TIME = 531,
    MOD_LAG_INPUT = 540,
};

struct mod_lag_record {
    float riseTime; // seconds, used while the input is above the output
    float fallTime; // seconds, used otherwise
    float riseCoefficient;
    float fallCoefficient;
    float riseComplement;
    float fallComplement;
    float output;
    float target;
    float samplingRate;
};

// [main thread] Times 0.001 s, output and target 0.
void mod_lag_init(mod_lag_record* r);
// [main thread]
void mod_lag_free(mod_lag_record* r);
// [audio thread] Setting a time always recomputes its coefficient; CSD_ATTR_SAMPLING_RATE sets
// the record's own rate (ignored unless above 0) and recomputes both.
void mod_lag_set_attr(mod_lag_record* r, int code, float value);
// [any thread]
float mod_lag_get_attr(mod_lag_record* r, int code);
// [main thread] Takes the process-wide rate again, after csd_set_attr(-100, ...).
void mod_lag_update_sampling_rate(mod_lag_record* r);
// [audio thread] Output back to 0; the target stays.
void mod_lag_clear(mod_lag_record* r);

// One step of output toward x, the rise coefficient while x is above it; for any value type
// (tqsp_filter_pair runs two smoothers in vector lanes).
template <class T> inline T mod_lag_step(T& output, T x, T rise, T fall) {
    const T c = x > output ? rise : fall;
    output = (output - x) * c + x;
    return output;
}

// [audio thread] One step toward x, rise or fall time by direction.
inline float mod_lag_dsp(mod_lag_record* r, float x) {
    r->target = x;
    return mod_lag_step(r->output, x, r->riseCoefficient, r->fallCoefficient);
}

// [audio thread] One step toward the stored target.
inline float mod_lag_dsp_no_input(mod_lag_record* r) {
    return mod_lag_dsp(r, r->target);
}

// [audio thread] One step toward x with the rise time both ways; values that
// reach the subnormal range become 0 so the tail never slows the processor.
inline float mod_lag_dsp_symmetric(mod_lag_record* r, float x) {
    r->target = x;
    const float y = (r->output - x) * r->riseCoefficient + x;
    r->output = (std::bit_cast<uint32_t>(y) & 0x7f800000u) != 0 ? y : 0.0f;
    return r->output;
}

// [audio thread]
inline float mod_lag_dsp_symmetric_no_input(mod_lag_record* r) {
    return mod_lag_dsp_symmetric(r, r->target);
}

// [any thread]
inline float mod_lag_get_output(mod_lag_record* r) {
    return r->output;
}

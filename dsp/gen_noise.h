// White noise, -1..+1, from the linear congruential generator of gen_LFO's random shape:
// state = (state × 3877 + 29573) mod 139968, output 1 − 2·state/139968. A new record starts
// from the LFO's seed, so the two give the same sequence.
#pragma once

#include <cstdint>

enum { GEN_NOISE_SEED = 3321 };

struct gen_noise_record {
    int64_t state;
    float output;
};

// [any thread] Advances state one step and returns its value, -1..+1.
inline float gen_noise_next(int64_t* state) {
    *state = (*state * 3877 + 29573) % 139968;
    return static_cast<float>(*state) * -2.0f / 139968.0f + 1.0f;
}

// [main thread] Seed GEN_NOISE_SEED, output 0.
void gen_noise_init(gen_noise_record* r);
// [main thread]
void gen_noise_free(gen_noise_record* r);

// [audio thread] The next value.
inline float gen_noise_dsp(gen_noise_record* r) {
    r->output = gen_noise_next(&r->state);
    return r->output;
}

// [any thread]
inline float gen_noise_get_output(gen_noise_record* r) {
    return r->output;
}

#include "dsp/gen_noise.h"

void gen_noise_init(gen_noise_record* r) {
    r->state = GEN_NOISE_SEED;
    r->output = 0.0f;
}

void gen_noise_free(gen_noise_record* /*r*/) {}

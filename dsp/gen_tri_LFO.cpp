#include "dsp/gen_tri_LFO.h"

#include "dsp/csd.h"
#include "dsp/table.h"

#include <cmath>

void gen_tri_LFO_init(gen_tri_LFO_record* r) {
    r->frequency = 0.0f;
    r->phaseIncrement = 0.0f;
    r->phase = 0.0;
    r->offsetDegrees = 120.0f;
    r->offset = 120.0 / 360.0;
    table_fill_sine_cycle(r->table);
    for (float& out : r->outputs) out = 0.0f;
}

void gen_tri_LFO_free(gen_tri_LFO_record* /*r*/) {}

void gen_tri_LFO_set_attr(gen_tri_LFO_record* r, int code, float value) {
    if (!std::isfinite(value)) return;
    switch (code) {
    case GEN_TRI_LFO_FREQUENCY:
        r->frequency = value;
        gen_tri_LFO_update_sampling_rate(r);
        break;
    case GEN_TRI_LFO_PHASE_OFFSET:
        r->offsetDegrees = value;
        r->offset = value / 360.0;
        break;
    default:
        break;
    }
}

float gen_tri_LFO_get_attr(gen_tri_LFO_record* r, int code) {
    switch (code) {
    case GEN_TRI_LFO_FREQUENCY:
        return r->frequency;
    case GEN_TRI_LFO_PHASE_OFFSET:
        return r->offsetDegrees;
    case GEN_TRI_LFO_SECOND:
        return r->outputs[1];
    case GEN_TRI_LFO_THIRD:
        return r->outputs[2];
    default:
        return 0.0f;
    }
}

void gen_tri_LFO_update_sampling_rate(gen_tri_LFO_record* r) {
    r->phaseIncrement = r->frequency * gAudioSamplingRateReciprocal;
}

float gen_tri_LFO_dsp(gen_tri_LFO_record* r) {
    const double p = r->phase + r->phaseIncrement;
    r->phase = p - std::floor(p);
    for (int k = 0; k < 3; ++k)
        r->outputs[k] = table_lookup_cycle(r->table, 512, r->phase + k * r->offset);
    return r->outputs[0];
}

float gen_tri_LFO_get_output(gen_tri_LFO_record* r) {
    return r->outputs[0];
}

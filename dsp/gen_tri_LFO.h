// Three-phase sine LFO, for ensembles and chorus voices: one phase running 0..1 once per
// cycle read from the shared 512-point sine table (table_fill_sine_cycle) at the phase,
// the phase plus the offset and the phase plus twice the offset. The offset (attribute
// 410, degrees) is 120 after init, spreading the three evenly. The first output is
// _get_output's; the second and third are read as attributes 430 and 431.
#pragma once

enum {
    GEN_TRI_LFO_FREQUENCY = 400,    // Hz
    GEN_TRI_LFO_PHASE_OFFSET = 410, // degrees between neighbouring outputs
    GEN_TRI_LFO_SECOND = 430,       // read only: the second output
    GEN_TRI_LFO_THIRD = 431,        // read only: the third output
};

struct gen_tri_LFO_record {
    float frequency;
    float phaseIncrement; // frequency / rate
    double phase;         // 0..1
    float offsetDegrees;
    double offset; // the offset as a fraction of a cycle
    float table[514];
    float outputs[3];
};

// [main thread] Frequency 0, phase 0, offset 120 degrees; builds the table.
void gen_tri_LFO_init(gen_tri_LFO_record* r);
// [main thread]
void gen_tri_LFO_free(gen_tri_LFO_record* r);
// [audio thread] Codes 400 and 410; non-finite values and other codes are ignored.
void gen_tri_LFO_set_attr(gen_tri_LFO_record* r, int code, float value);
// [any thread] 400, 410, 430, 431; 0 for other codes.
float gen_tri_LFO_get_attr(gen_tri_LFO_record* r, int code);
// [main thread] After csd_set_attr(-100, ...).
void gen_tri_LFO_update_sampling_rate(gen_tri_LFO_record* r);
// [audio thread] Advances the phase one step; returns the first output.
float gen_tri_LFO_dsp(gen_tri_LFO_record* r);
// [any thread] The first output.
float gen_tri_LFO_get_output(gen_tri_LFO_record* r);

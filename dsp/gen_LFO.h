// Low-frequency oscillator: one control value per call, normally -1..+1, from
// a phase running 0..1 once per cycle. The width bends every shape.
#pragma once

#include <cstdint>

enum {
    GEN_LFO_FREQUENCY = 400,
    GEN_LFO_WAVEFORM = 420,
    GEN_LFO_WIDTH = 432,
    GEN_LFO_WIDTH_PERCENT = 433,
};

// Shape numbers of GEN_LFO_WAVEFORM.
enum {
    GEN_LFO_SINE = 0,
    GEN_LFO_PULSE = 1,
    GEN_LFO_TRIANGLE = 2,
    GEN_LFO_RANDOM = 3,
    GEN_LFO_SQUARE = 71,
    GEN_LFO_FOLDED_RAMP = 72,
};

struct gen_LFO_record {
    float frequency;
    int16_t waveform;
    float width; // 0.001 .. 0.999
    float coefficientA;
    float coefficientB;
    float phase;
    float phaseIncrement;
    float samplingRateReciprocal; // the record's own rate, the process-wide one until set
    float waveTable[512];         // one sine cycle
    int64_t randomState;
    float lastPhase;
    float randomTarget;
    float randomStart;
    float output;
};

// [main thread] Must run first; builds the wave table.
void gen_LFO_init(gen_LFO_record* r);
// [main thread]
void gen_LFO_free(gen_LFO_record* r);
// [audio thread] Codes 400, 420, 432, 433, and CSD_ATTR_SAMPLING_RATE for the record's own
// rate (a rate that is not above 0 is ignored); any other code only recomputes the shape
// coefficients.
void gen_LFO_set_attr(gen_LFO_record* r, int code, float value);
// [main thread] Takes the process-wide rate again, after csd_set_attr(-100, ...).
void gen_LFO_update_sampling_rate(gen_LFO_record* r);
// [audio thread] Advances the phase one step and returns the new output.
float gen_LFO_dsp(gen_LFO_record* r);
// [audio thread] The shape's value at the given phase; the record's own phase stays.
float gen_LFO_dsp_phasor(gen_LFO_record* r, double phase);
// [any thread]
float gen_LFO_get_output(gen_LFO_record* r);

// Table oscillator with 27 built-in shapes drawn into a 512-point cycle from the shared
// sine table (table_fill_sine_cycle) and straight segments. Every shape runs between
// -1 and +1 (mixtures of harmonics scaled back to it). All but the sine are smoothed by four
// circular [1 2 1]/4 passes, a gentle band limit: harmonics up to the 32nd lose under 1 dB, the
// 128th 24 dB, those above the 192nd vanish. As an LFO nothing aliases; as a tone, a saw-like shape
// at 22050 Hz stays clean up to about 80 Hz and its aliases stay far below the fundamental well
// beyond.
//
// The phase runs 0..1 once per cycle; the shape is read at phase + offset (attribute 410,
// degrees). _dsp adds a modulation input × depth (attribute 415, Hz) to the frequency for
// that step; _dsp_no_modulation does not; _dsp_phasor reads at a caller's phase.
#pragma once

#include <cstdint>

enum {
    GEN_WAVETABLE_FREQUENCY = 400,        // Hz
    GEN_WAVETABLE_PHASE_OFFSET = 410,     // degrees
    GEN_WAVETABLE_MODULATION_DEPTH = 415, // Hz per unit of modulation input
    GEN_WAVETABLE_WAVEFORM = 420,         // 0..26; others ignored
};

// Shape numbers of GEN_WAVETABLE_WAVEFORM (x is the phase, 0..1).
enum {
    GEN_WAVETABLE_SINE = 0,
    GEN_WAVETABLE_TRIANGLE = 1,          // 0 at x = 0, peak at 1/4, like the sine
    GEN_WAVETABLE_RAMP_UP = 2,           // -1 to +1
    GEN_WAVETABLE_RAMP_DOWN = 3,         // +1 to -1
    GEN_WAVETABLE_SQUARE = 4,            // +1 for the first half
    GEN_WAVETABLE_PULSE_QUARTER = 5,     // +1 for the first quarter
    GEN_WAVETABLE_PULSE_EIGHTH = 6,      // +1 for the first eighth
    GEN_WAVETABLE_TRAPEZOID = 7,         // the triangle doubled and clipped
    GEN_WAVETABLE_HALF_RECTIFIED = 8,    // the sine's positive half, else -1
    GEN_WAVETABLE_FULL_RECTIFIED = 9,    // |sine| scaled to -1..+1
    GEN_WAVETABLE_SINE_OCTAVE = 10,      // two sine cycles
    GEN_WAVETABLE_SINE_TWELFTH = 11,     // three sine cycles
    GEN_WAVETABLE_ORGAN = 12,            // harmonics 1, 2, 4 at 1, 1/2, 1/4
    GEN_WAVETABLE_SOFT_SQUARE = 13,      // harmonics 1, 3, 5 at 1, 1/3, 1/5
    GEN_WAVETABLE_SOFT_RAMP = 14,        // harmonics 1..5 at 1/h
    GEN_WAVETABLE_STAIRS_4 = 15,         // four rising steps
    GEN_WAVETABLE_STAIRS_8 = 16,         // eight rising steps
    GEN_WAVETABLE_STEPPED_TRIANGLE = 17, // the triangle in steps of 1/4
    GEN_WAVETABLE_RISE_HOLD = 18,        // -1 to +1 over the first half, then held
    GEN_WAVETABLE_FALL_HOLD = 19,        // +1 to -1 over the first half, then held
    GEN_WAVETABLE_TRIANGLE_OCTAVE = 20,  // two triangle cycles
    GEN_WAVETABLE_RAMP_OCTAVE = 21,      // two rising ramps
    GEN_WAVETABLE_DOUBLE_PULSE = 22,     // +1 for the first and the fifth eighth
    GEN_WAVETABLE_SINE_BURST = 23,       // one sine cycle in the first half, then 0
    GEN_WAVETABLE_SPIKE = 24,            // -1 with a narrow peak at the middle
    GEN_WAVETABLE_FADING_SINE = 25,      // four sine cycles fading out over the cycle
    GEN_WAVETABLE_RANDOM_STEPS = 26,     // eight steps at fixed levels from gen_noise
    GEN_WAVETABLE_SHAPES = 27,
};

struct gen_wavetable_record {
    float frequency;
    float phaseIncrement; // frequency / rate
    float modulationDepth;
    float modulationScale; // depth / rate
    double phase;          // 0..1
    float offsetDegrees;
    double offset; // fraction of a cycle
    int32_t waveform;
    float table[514]; // the cycle, entry 512 repeating entry 0, and a guard
    float output;
};

// [main thread] Frequency 0, depth 0, offset 0, sine.
void gen_wavetable_init(gen_wavetable_record* r);
// [main thread]
void gen_wavetable_free(gen_wavetable_record* r);
// [audio thread] Codes 400, 410, 415, 420; a new waveform redraws the table (512 points,
// no allocation). Non-finite values, waveforms outside 0..26 and other codes are ignored.
void gen_wavetable_set_attr(gen_wavetable_record* r, int code, float value);
// [any thread] 400, 410, 415, 420; 0 for other codes.
float gen_wavetable_get_attr(gen_wavetable_record* r, int code);
// [main thread] After csd_set_attr(-100, ...).
void gen_wavetable_update_sampling_rate(gen_wavetable_record* r);
// [audio thread] One step at frequency + modulation × depth; returns the new output.
float gen_wavetable_dsp(gen_wavetable_record* r, float modulation);
// [audio thread] One step at the set frequency.
float gen_wavetable_dsp_no_modulation(gen_wavetable_record* r);
// [audio thread] The shape at phase + offset; the record's own phase stays.
float gen_wavetable_dsp_phasor(gen_wavetable_record* r, double phase);
// [any thread]
float gen_wavetable_get_output(gen_wavetable_record* r);

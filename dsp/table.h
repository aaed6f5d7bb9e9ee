// Curve tables: n points of a fixed curve kind, read with linear
// interpolation at a position 0..1 and inverted by search or by formula.
#pragma once

struct _table_struct {
    int size;     // number of curve points
    float* data;  // size + 1 entries; the last repeats entry size - 1
    float output; // value of the last lookup
};

// Curve kinds of table_fill.
enum {
    TABLE_EXPONENTIAL = 800,
    TABLE_LOGARITHMIC = 810,
    TABLE_DECIBEL_RANGE = 812,
    TABLE_FADE_FALLING = 820,
    TABLE_FADE_RISING = 821,
    TABLE_DECIBEL_FADER = 830,
    TABLE_HALF_SINE = 840,
    TABLE_QUARTER_SINE = 842,
    TABLE_QUARTER_COSINE = 843,
    TABLE_SINE_SQUARED = 845,
};

// sin(i·π/256) for i = 0..126 to six decimals, and 0.999981 last: the first
// quarter of a sine cycle without its end point 1.0.
extern const float quarterSine[128];

// [main thread, may block] Allocates n + 1 zeroed entries.
void table_init(_table_struct* t, int n);
// [main thread, may block]
void table_free(_table_struct* t);
// [main thread] Writes the curve of the given kind between lo and hi, the guard
// entry and the output; unknown kinds write only the guard and the output.
void table_fill(_table_struct* t, int kind, float lo, float hi);

// [any thread] Value at x in 0..1 (positions outside are pinned to the ends).
float table_lookup(_table_struct* t, float x);
// [any thread] Value at x clamped to 0..1.
float table_lookup_clip(_table_struct* t, float x);
// [any thread] Value at (x + 1) / 2 clamped to 0..1, for x in -1..+1.
float table_lookup_clip_bipolar(_table_struct* t, float x);

// [any thread] One sine cycle of 512 points from quarterSine, mirrored about an exact peak
// of 1.0 at entry 128 and negated for the second half, for table_lookup_cycle: 514 entries.
void table_fill_sine_cycle(float* data);

// [any thread] One cycle of n points read at phase x, wrapped into 0..1 (NaN and infinity
// read at 0). data holds n + 2 entries: entry n repeats entry 0, entry n + 1 is the guard.
float table_lookup_cycle(float* data, int n, double x);

// [any thread] Position (index / n) of v in a rising table, by bisection.
float table_inverse_lookup(_table_struct* t, float v);
// [any thread] Position of v by formula for kinds 800 and 810; -999.9 for others.
float table_inverse_calculate(int kind, float v, float lo, float hi);

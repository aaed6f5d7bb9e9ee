#include "dsp/gen_wavetable.h"

#include "dsp/csd.h"
#include "dsp/gen_noise.h"
#include "dsp/table.h"
#include "dsp/utilities.h"

#include <cmath>

namespace {

constexpr int kPoints = 512;

// Triangle through 0 at x = 0, +1 at 1/4, -1 at 3/4.
float triangle(float x) {
    return x < 0.25f ? 4.0f * x : (x < 0.75f ? 2.0f - 4.0f * x : 4.0f * x - 4.0f);
}

float pulse(float x, float width) {
    return x < width ? 1.0f : -1.0f;
}

// Levels 0..steps-1 spread over -1..+1.
float stairs(float x, int steps) {
    return std::floor(x * steps) / (steps - 1) * 2.0f - 1.0f;
}

// Sum of sine harmonics 1..n with the given weights (0 for those left out).
float harmonics(const float* sine, int i, const float* weights, int n) {
    float sum = 0.0f;
    for (int h = 1; h <= n; ++h) sum += weights[h - 1] * sine[(h * i) % kPoints];
    return sum;
}

float point(int waveform, const float* sine, int i) {
    static const float organ[] = {1.0f, 0.5f, 0.0f, 0.25f};
    static const float odd[] = {1.0f, 0.0f, 1.0f / 3.0f, 0.0f, 0.2f};
    static const float all[] = {1.0f, 0.5f, 1.0f / 3.0f, 0.25f, 0.2f};
    const float x = static_cast<float>(i) / kPoints;
    const float s = sine[i];
    switch (waveform) {
    case GEN_WAVETABLE_TRIANGLE:
        return triangle(x);
    case GEN_WAVETABLE_RAMP_UP:
        return 2.0f * x - 1.0f;
    case GEN_WAVETABLE_RAMP_DOWN:
        return 1.0f - 2.0f * x;
    case GEN_WAVETABLE_SQUARE:
        return pulse(x, 0.5f);
    case GEN_WAVETABLE_PULSE_QUARTER:
        return pulse(x, 0.25f);
    case GEN_WAVETABLE_PULSE_EIGHTH:
        return pulse(x, 0.125f);
    case GEN_WAVETABLE_TRAPEZOID:
        return csd_clamp(2.0f * triangle(x), -1.0f, 1.0f);
    case GEN_WAVETABLE_HALF_RECTIFIED:
        return s > 0.0f ? 2.0f * s - 1.0f : -1.0f;
    case GEN_WAVETABLE_FULL_RECTIFIED:
        return 2.0f * std::fabs(s) - 1.0f;
    case GEN_WAVETABLE_SINE_OCTAVE:
        return sine[(2 * i) % kPoints];
    case GEN_WAVETABLE_SINE_TWELFTH:
        return sine[(3 * i) % kPoints];
    case GEN_WAVETABLE_ORGAN:
        return harmonics(sine, i, organ, 4);
    case GEN_WAVETABLE_SOFT_SQUARE:
        return harmonics(sine, i, odd, 5);
    case GEN_WAVETABLE_SOFT_RAMP:
        return harmonics(sine, i, all, 5);
    case GEN_WAVETABLE_STAIRS_4:
        return stairs(x, 4);
    case GEN_WAVETABLE_STAIRS_8:
        return stairs(x, 8);
    case GEN_WAVETABLE_STEPPED_TRIANGLE:
        return std::round(4.0f * triangle(x)) / 4.0f;
    case GEN_WAVETABLE_RISE_HOLD:
        return x < 0.5f ? 4.0f * x - 1.0f : 1.0f;
    case GEN_WAVETABLE_FALL_HOLD:
        return x < 0.5f ? 1.0f - 4.0f * x : -1.0f;
    case GEN_WAVETABLE_TRIANGLE_OCTAVE:
        return triangle(2.0f * x - std::floor(2.0f * x));
    case GEN_WAVETABLE_RAMP_OCTAVE:
        return 2.0f * (2.0f * x - std::floor(2.0f * x)) - 1.0f;
    case GEN_WAVETABLE_DOUBLE_PULSE:
        return pulse(x - std::floor(2.0f * x) / 2.0f, 0.125f);
    case GEN_WAVETABLE_SINE_BURST:
        return x < 0.5f ? sine[(2 * i) % kPoints] : 0.0f;
    case GEN_WAVETABLE_SPIKE:
        return std::fmax(-1.0f, 1.0f - 32.0f * std::fabs(x - 0.5f));
    case GEN_WAVETABLE_FADING_SINE:
        return sine[(4 * i) % kPoints] * (1.0f - x);
    case GEN_WAVETABLE_RANDOM_STEPS: { // step k holds the noise sequence's value k + 1
        gen_noise_record noise;
        gen_noise_init(&noise);
        for (int k = 0; k <= i * 8 / kPoints; ++k) gen_noise_dsp(&noise);
        return gen_noise_get_output(&noise);
    }
    default: // GEN_WAVETABLE_SINE
        return s;
    }
}

// Four circular [1 2 1]/4 passes: a gentle, symmetric band limit.
void smooth(float* t) {
    for (int pass = 0; pass < 4; ++pass) {
        const float first = t[0];
        float previous = t[kPoints - 1];
        for (int i = 0; i < kPoints; ++i) {
            const float next = i + 1 < kPoints ? t[i + 1] : first;
            const float current = t[i];
            t[i] = 0.25f * previous + 0.5f * current + 0.25f * next;
            previous = current;
        }
    }
}

void draw(gen_wavetable_record* r) {
    float sine[kPoints + 2];
    table_fill_sine_cycle(sine);
    float peak = 0.0f;
    for (int i = 0; i < kPoints; ++i) {
        r->table[i] = point(r->waveform, sine, i);
        peak = std::fmax(peak, std::fabs(r->table[i]));
    }
    // Mixtures of harmonics that overshoot are scaled back to ±1.
    if (peak > 1.0f)
        for (int i = 0; i < kPoints; ++i) r->table[i] /= peak;
    if (r->waveform != GEN_WAVETABLE_SINE) smooth(r->table);
    r->table[kPoints] = r->table[kPoints + 1] = r->table[0];
}

float readAt(gen_wavetable_record* r, double phase) {
    r->output = table_lookup_cycle(r->table, kPoints, phase + r->offset);
    return r->output;
}

float advance(gen_wavetable_record* r, float increment) {
    const double p = r->phase + increment;
    r->phase = p - std::floor(p);
    if (!(r->phase >= 0.0 && r->phase < 1.0)) r->phase = 0.0; // a NaN input never sticks
    return readAt(r, r->phase);
}

} // namespace

void gen_wavetable_init(gen_wavetable_record* r) {
    r->frequency = 0.0f;
    r->phaseIncrement = 0.0f;
    r->modulationDepth = 0.0f;
    r->modulationScale = 0.0f;
    r->phase = 0.0;
    r->offsetDegrees = 0.0f;
    r->offset = 0.0;
    r->waveform = GEN_WAVETABLE_SINE;
    draw(r);
    r->output = 0.0f;
}

void gen_wavetable_free(gen_wavetable_record* /*r*/) {}

void gen_wavetable_set_attr(gen_wavetable_record* r, int code, float value) {
    if (!std::isfinite(value)) return;
    switch (code) {
    case GEN_WAVETABLE_FREQUENCY:
        r->frequency = value;
        gen_wavetable_update_sampling_rate(r);
        break;
    case GEN_WAVETABLE_PHASE_OFFSET:
        r->offsetDegrees = value;
        r->offset = value / 360.0;
        break;
    case GEN_WAVETABLE_MODULATION_DEPTH:
        r->modulationDepth = value;
        gen_wavetable_update_sampling_rate(r);
        break;
    case GEN_WAVETABLE_WAVEFORM: {
        if (!(value >= 0.0f && value < static_cast<float>(GEN_WAVETABLE_SHAPES))) return;
        const int32_t w = static_cast<int32_t>(value);
        if (w == r->waveform) return;
        r->waveform = w;
        draw(r);
        break;
    }
    default:
        break;
    }
}

float gen_wavetable_get_attr(gen_wavetable_record* r, int code) {
    switch (code) {
    case GEN_WAVETABLE_FREQUENCY:
        return r->frequency;
    case GEN_WAVETABLE_PHASE_OFFSET:
        return r->offsetDegrees;
    case GEN_WAVETABLE_MODULATION_DEPTH:
        return r->modulationDepth;
    case GEN_WAVETABLE_WAVEFORM:
        return static_cast<float>(r->waveform);
    default:
        return 0.0f;
    }
}

void gen_wavetable_update_sampling_rate(gen_wavetable_record* r) {
    r->phaseIncrement = r->frequency * gAudioSamplingRateReciprocal;
    r->modulationScale = r->modulationDepth * gAudioSamplingRateReciprocal;
}

float gen_wavetable_dsp(gen_wavetable_record* r, float modulation) {
    return advance(r, r->phaseIncrement + modulation * r->modulationScale);
}

float gen_wavetable_dsp_no_modulation(gen_wavetable_record* r) {
    return advance(r, r->phaseIncrement);
}

float gen_wavetable_dsp_phasor(gen_wavetable_record* r, double phase) {
    return readAt(r, phase);
}

float gen_wavetable_get_output(gen_wavetable_record* r) {
    return r->output;
}

#include "dsp/gen_LFO.h"

#include "dsp/csd.h"
#include "dsp/gen_noise.h"
#include "dsp/table.h"

#include <cmath>
#include <cstdint>

namespace {

// Indices into the wave table wrap modulo 512, negative ones included.
float wave(const gen_LFO_record* r, int64_t i) {
    return r->waveTable[i & 511];
}

void recomputeCoefficients(gen_LFO_record* r) {
    const float w = r->width;
    switch (r->waveform) {
    case GEN_LFO_SQUARE:
    case GEN_LFO_FOLDED_RAMP:
        break;
    case GEN_LFO_SINE:
        r->coefficientA = w <= 0.5f ? (0.5f - w) * 0.4f : (w - 0.5f) * -0.4f;
        break;
    case GEN_LFO_RANDOM:
        r->coefficientA = 0.0f;
        r->coefficientB = 1.0f / w;
        break;
    default:
        r->coefficientA = 2.0f / w;
        r->coefficientB = 2.0f / (1.0f - w);
        break;
    }
}

void setWidth(gen_LFO_record* r, float value) {
    // Outside 0..1 the shapes would divide by zero or turn inside out.
    const float v = value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;
    const float w = v * 0.998f + 0.001f;
    if (w == r->width) return;
    r->width = w;
    recomputeCoefficients(r);
}

int16_t toWaveform(float value) {
    if (!(value > -32769.0f && value < 32768.0f)) return -1; // no shape: output holds
    return static_cast<int16_t>(value);
}

float sine(const gen_LFO_record* r, float x) {
    if (r->coefficientA != 0.0f) {
        // Bend the phase, wrap it into one cycle and quantise it to 1/65536.
        const float bent =
            (x + r->coefficientA * wave(r, static_cast<int64_t>(512.0f * x))) * 65536.0f;
        x = static_cast<float>(static_cast<uint16_t>(static_cast<int64_t>(bent))) / 65536.0f;
    }
    const float q = 512.0f * x;
    const int64_t i = static_cast<int64_t>(q);
    const float f = q - static_cast<float>(i);
    return (1.0f - f) * wave(r, i) + f * wave(r, i + 1);
}

float randomGlide(gen_LFO_record* r, float x) {
    if (r->lastPhase > x) {
        r->randomStart = r->randomTarget;
        r->randomTarget = gen_noise_next(&r->randomState);
        r->coefficientA = (r->randomTarget - r->randomStart) * r->coefficientB;
    }
    r->lastPhase = x;
    return r->width > x ? r->randomStart + r->coefficientA * x : r->randomTarget;
}

} // namespace

void gen_LFO_init(gen_LFO_record* r) {
    r->frequency = 0.0f;
    r->waveform = 0;
    r->width = 0.001f;
    r->coefficientA = 0.1996f;
    r->coefficientB = 0.0f;
    r->phase = 0.0f;
    r->phaseIncrement = 0.0f;
    r->samplingRateReciprocal = gAudioSamplingRateReciprocal;
    for (int i = 0; i < 128; ++i) r->waveTable[i] = quarterSine[i];
    for (int k = 0; k < 128; ++k) r->waveTable[128 + k] = r->waveTable[127 - k];
    for (int j = 0; j < 256; ++j) r->waveTable[256 + j] = -r->waveTable[j];
    r->randomState = GEN_NOISE_SEED;
    r->lastPhase = 999.0f;
    r->randomTarget = 0.0f;
    r->randomStart = 0.0f;
    r->output = 0.0f;
}

void gen_LFO_free(gen_LFO_record* /*r*/) {}

void gen_LFO_set_attr(gen_LFO_record* r, int code, float value) {
    switch (code) {
    case GEN_LFO_FREQUENCY:
        if (value == r->frequency) return;
        r->frequency = value;
        r->phaseIncrement = value * r->samplingRateReciprocal;
        break;
    case CSD_ATTR_SAMPLING_RATE:
        if (!(value > 0.0f) || !std::isfinite(value)) return;
        r->samplingRateReciprocal = 1.0f / value;
        r->phaseIncrement = r->frequency * r->samplingRateReciprocal;
        break;
    case GEN_LFO_WAVEFORM: {
        const int16_t w = toWaveform(value);
        if (w == r->waveform) return;
        r->waveform = w;
        recomputeCoefficients(r);
        break;
    }
    case GEN_LFO_WIDTH:
        setWidth(r, value);
        break;
    case GEN_LFO_WIDTH_PERCENT:
        setWidth(r, value * 0.01f);
        break;
    default:
        recomputeCoefficients(r);
        break;
    }
}

void gen_LFO_update_sampling_rate(gen_LFO_record* r) {
    r->samplingRateReciprocal = gAudioSamplingRateReciprocal;
    r->phaseIncrement = r->frequency * r->samplingRateReciprocal;
}

float gen_LFO_dsp(gen_LFO_record* r) {
    float p = r->phase + r->phaseIncrement;
    // Past 2^24 subtracting 1 no longer changes the value; NaN would stick.
    if (!(p < 16777216.0f)) p = 0.0f;
    while (p > 1.0f) p -= 1.0f;
    r->phase = p;
    return gen_LFO_dsp_phasor(r, p);
}

float gen_LFO_dsp_phasor(gen_LFO_record* r, double phase) {
    float x = static_cast<float>(phase);
    // Table indices are computed from the phase; keep them representable.
    if (!(x > -1048576.0f && x < 1048576.0f)) x = 0.0f;
    float out = r->output;
    switch (r->waveform) {
    case GEN_LFO_SINE:
        out = sine(r, x);
        break;
    case GEN_LFO_PULSE:
        out = r->width > x ? 1.0f : -1.0f;
        break;
    case GEN_LFO_TRIANGLE:
        out = r->width > x ? x * r->coefficientA - 1.0f : (1.0f - x) * r->coefficientB - 1.0f;
        break;
    case GEN_LFO_RANDOM:
        out = randomGlide(r, x);
        break;
    case GEN_LFO_SQUARE:
        out = x < 0.5f ? 1.0f : -1.0f;
        break;
    case GEN_LFO_FOLDED_RAMP:
        out = x < 0.5f ? 2.0f * x - 1.0f : 1.0f - 2.0f * x;
        break;
    default:
        break;
    }
    r->output = out;
    return out;
}

float gen_LFO_get_output(gen_LFO_record* r) {
    return r->output;
}

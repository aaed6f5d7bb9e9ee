// Small helpers shared by the DSP library and the parameter texts.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// [any thread] x with its sign bit cleared.
float csd_fast_abs(float x);

// [any thread] v kept within lo..hi; NaN becomes lo, so a bad setting never reaches a design.
inline float csd_clamp(float v, float lo, float hi) {
    return v > lo ? (v < hi ? v : hi) : lo;
}

// [any thread] y, or 0 once it is subnormal: fed-back values never slow the processor in silence.
inline float csd_flush_subnormal(float y) {
    return (std::bit_cast<uint32_t>(y) & 0x7f800000u) != 0 ? y : 0.0f;
}

// [any thread] Smooth saturation with slope 1 at 0, reaching ±1 at ±3 and staying there: a
// resonance loop through it settles into a bounded oscillation instead of growing.
inline float csd_soft_clip(float x) {
    const float c = csd_clamp(x, -3.0f, 3.0f);
    return c * (27.0f + c * c) / (27.0f + 9.0f * c * c);
}

// [any thread] 20·log10(a) for a >= 0 (minus infinity at 0); 0.0 for negative or NaN input.
float csd_utilities_amplitude2decibels(float a);

// [any thread] 10^(d/20).
float csd_utilities_decibels2amplitude(float d);

// [main thread, may block] Zero-filled block of n bytes, or null when out of memory.
void* csd_mem_alloc(size_t n);
// [main thread, may block] Releases a block from csd_mem_alloc; n is not needed.
void csd_mem_free(void* p, size_t n);
// [main thread, may block] As realloc: bytes added are not cleared.
void* csd_mem_realloc(void* p, size_t n);
// [any thread] Copies n bytes.
void csd_memcpy(void* dst, const void* src, size_t n);

// [any thread] "Off" for 0, "On" otherwise; text holds at least 4 bytes.
void float2OnOff(char* text, float v);

// [any thread] v × 100 truncated to an integer; text holds at least 12 bytes.
void float2percent(char* text, float v);

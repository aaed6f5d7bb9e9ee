#include "dsp/utilities.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

float csd_fast_abs(float x) {
    return std::bit_cast<float>(std::bit_cast<uint32_t>(x) & 0x7fffffffu);
}

float csd_utilities_amplitude2decibels(float a) {
    if (!(a >= 0.0f)) return 0.0f;
    return static_cast<float>(20.0 * std::log10(static_cast<double>(a)));
}

float csd_utilities_decibels2amplitude(float d) {
    return static_cast<float>(std::pow(10.0, static_cast<double>(d * 0.05f)));
}

void* csd_mem_alloc(size_t n) {
    void* p = std::malloc(n);
    if (p != nullptr && n != 0) std::memset(p, 0, n);
    return p;
}

void csd_mem_free(void* p, size_t /*n*/) {
    std::free(p);
}

void* csd_mem_realloc(void* p, size_t n) {
    return std::realloc(p, n);
}

void csd_memcpy(void* dst, const void* src, size_t n) {
    if (n != 0) std::memcpy(dst, src, n);
}

void float2OnOff(char* text, float v) {
    std::strcpy(text, v == 0.0f ? "Off" : "On");
}

void float2percent(char* text, float v) {
    float p = v * 100.0f;
    // Out-of-range or NaN values would make the conversion undefined: pin them.
    int n = 0;
    if (p >= 2147483648.0f)
        n = INT32_MAX;
    else if (p <= -2147483648.0f)
        n = INT32_MIN;
    else if (p == p)
        n = static_cast<int>(p);
    std::snprintf(text, 12, "%d", n);
}

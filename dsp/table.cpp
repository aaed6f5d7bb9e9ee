#include "dsp/table.h"

#include "dsp/utilities.h"

#include <cmath>

// The last entry is the stored 0.999981 rather than sin(127π/256) = 0.999925:
// every wave table built from it, and so every generator's output, depends on it.
const float quarterSine[128] = {
    0.000000f, 0.012272f, 0.024541f, 0.036807f, 0.049068f, 0.061321f, 0.073565f, 0.085797f,
    0.098017f, 0.110222f, 0.122411f, 0.134581f, 0.146730f, 0.158858f, 0.170962f, 0.183040f,
    0.195090f, 0.207111f, 0.219101f, 0.231058f, 0.242980f, 0.254866f, 0.266713f, 0.278520f,
    0.290285f, 0.302006f, 0.313682f, 0.325310f, 0.336890f, 0.348419f, 0.359895f, 0.371317f,
    0.382683f, 0.393992f, 0.405241f, 0.416430f, 0.427555f, 0.438616f, 0.449611f, 0.460539f,
    0.471397f, 0.482184f, 0.492898f, 0.503538f, 0.514103f, 0.524590f, 0.534998f, 0.545325f,
    0.555570f, 0.565732f, 0.575808f, 0.585798f, 0.595699f, 0.605511f, 0.615232f, 0.624859f,
    0.634393f, 0.643832f, 0.653173f, 0.662416f, 0.671559f, 0.680601f, 0.689541f, 0.698376f,
    0.707107f, 0.715731f, 0.724247f, 0.732654f, 0.740951f, 0.749136f, 0.757209f, 0.765167f,
    0.773010f, 0.780737f, 0.788346f, 0.795837f, 0.803208f, 0.810457f, 0.817585f, 0.824589f,
    0.831470f, 0.838225f, 0.844854f, 0.851355f, 0.857729f, 0.863973f, 0.870087f, 0.876070f,
    0.881921f, 0.887640f, 0.893224f, 0.898674f, 0.903989f, 0.909168f, 0.914210f, 0.919114f,
    0.923880f, 0.928506f, 0.932993f, 0.937339f, 0.941544f, 0.945607f, 0.949528f, 0.953306f,
    0.956940f, 0.960431f, 0.963776f, 0.966976f, 0.970031f, 0.972940f, 0.975702f, 0.978317f,
    0.980785f, 0.983105f, 0.985278f, 0.987301f, 0.989177f, 0.990903f, 0.992480f, 0.993907f,
    0.995185f, 0.996313f, 0.997290f, 0.998118f, 0.998795f, 0.999322f, 0.999699f, 0.999981f,
};

namespace {

constexpr double kPi = 3.14159265358979323846;

// NaN and positions outside 0..1 would index outside the data.
float clampUnit(float x) {
    return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f;
}

float interpolate(_table_struct* t, float x) {
    float value = 0.0f;
    if (t->size >= 1 && t->data != nullptr) {
        float p = static_cast<float>(t->size - 1) * x;
        int i = static_cast<int>(p);
        float f = p - static_cast<float>(i);
        value = static_cast<float>(f * t->data[i + 1] + (1.0 - f) * t->data[i]);
    }
    t->output = value;
    return value;
}

double curvePoint(int kind, float x, float lo, float hi) {
    double t = (x - 0.5) * kPi / 2.0;
    switch (kind) {
    case TABLE_EXPONENTIAL:
        return lo * std::pow(2.0, x * std::log(static_cast<double>(hi / lo)) / std::log(2.0));
    case TABLE_LOGARITHMIC:
        return (std::log10(0.9 * x + 0.1) + 1.0) * (hi != 0.0f ? hi : 1.0f);
    case TABLE_FADE_FALLING:
        return (std::cos(t) - std::sin(t)) * std::sqrt(0.5);
    case TABLE_FADE_RISING:
        return (std::sin(t) + std::cos(t)) * std::sqrt(0.5);
    case TABLE_DECIBEL_FADER: {
        double v = 20.0 * std::log10(static_cast<double>(x)) / (static_cast<double>(lo) * hi) + 1.0;
        return v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0;
    }
    case TABLE_HALF_SINE:
        return std::sin((x - 0.5) * kPi);
    case TABLE_QUARTER_SINE:
        return std::sin(x * kPi / 2.0);
    case TABLE_QUARTER_COSINE:
        return std::cos(x * kPi / 2.0);
    default: { // TABLE_SINE_SQUARED
        double s = std::sin(x * kPi / 2.0);
        return s * s;
    }
    }
}

bool isCurveKind(int kind) {
    switch (kind) {
    case TABLE_EXPONENTIAL:
    case TABLE_LOGARITHMIC:
    case TABLE_FADE_FALLING:
    case TABLE_FADE_RISING:
    case TABLE_DECIBEL_FADER:
    case TABLE_HALF_SINE:
    case TABLE_QUARTER_SINE:
    case TABLE_QUARTER_COSINE:
    case TABLE_SINE_SQUARED:
        return true;
    default:
        return false;
    }
}

} // namespace

void table_init(_table_struct* t, int n) {
    if (n < 0) n = 0;
    t->size = n;
    t->data = static_cast<float*>(csd_mem_alloc((static_cast<size_t>(n) + 1) * sizeof(float)));
    t->output = 0.0f;
}

void table_free(_table_struct* t) {
    csd_mem_free(t->data, (static_cast<size_t>(t->size) + 1) * sizeof(float));
    t->data = nullptr;
}

void table_fill(_table_struct* t, int kind, float lo, float hi) {
    if (t->data == nullptr) return;
    const int n = t->size;
    float* d = t->data;
    if (kind == TABLE_DECIBEL_RANGE) {
        float a = std::pow(10.0f, lo / 20.0f);
        float b = std::pow(10.0f, hi / 20.0f);
        for (int i = 1; i < n; ++i)
            d[i] = static_cast<float>(a *
                                      std::exp(i * std::log(static_cast<double>(b / a)) / (n - 1)));
    } else if (isCurveKind(kind) && (kind != TABLE_LOGARITHMIC || n >= 2)) {
        // A one-point table would divide 0 by 0: its single point sits at position 0.
        const float last = n > 1 ? static_cast<float>(n - 1) : 1.0f;
        const int first = kind == TABLE_LOGARITHMIC ? 1 : 0;
        if (first == 1) d[0] = 0.0f;
        for (int i = first; i < n; ++i)
            d[i] = static_cast<float>(curvePoint(kind, static_cast<float>(i) / last, lo, hi));
    }
    if (n >= 1) d[n] = d[n - 1];
    interpolate(t, 0.0f);
}

float table_lookup(_table_struct* t, float x) {
    return interpolate(t, clampUnit(x));
}

float table_lookup_clip(_table_struct* t, float x) {
    return interpolate(t, clampUnit(x));
}

float table_lookup_clip_bipolar(_table_struct* t, float x) {
    return interpolate(t, clampUnit((x + 1.0f) * 0.5f));
}

void table_fill_sine_cycle(float* data) {
    for (int i = 0; i < 128; ++i) data[i] = quarterSine[i];
    data[128] = 1.0f;
    for (int k = 1; k <= 128; ++k) data[128 + k] = quarterSine[128 - k];
    for (int j = 0; j < 256; ++j) data[256 + j] = -data[j];
    data[512] = data[513] = data[0];
}

float table_lookup_cycle(float* data, int n, double x) {
    double w = x - std::floor(x);
    if (!(w >= 0.0 && w < 1.0)) w = 0.0;
    _table_struct t{n + 1, data, 0.0f};
    return interpolate(&t, static_cast<float>(w));
}

float table_inverse_lookup(_table_struct* t, float v) {
    const int n = t->size;
    if (n < 2) return 0.0f;
    int lo = 0;
    int hi = n;
    int span = n;
    int mid = 0;
    do {
        mid = lo + span / 2;
        if (v > t->data[mid])
            lo = mid;
        else
            hi = mid;
        span = hi - lo;
    } while (span > 1);
    return static_cast<float>(mid) / static_cast<float>(n);
}

float table_inverse_calculate(int kind, float v, float lo, float hi) {
    switch (kind) {
    case TABLE_LOGARITHMIC:
        return (std::pow(10.0f, v / hi - 1.0f) - 0.1f) / 0.9f;
    case TABLE_EXPONENTIAL:
        return static_cast<float>(std::log(static_cast<double>(v / lo)) /
                                  std::log(static_cast<double>(hi / lo)));
    default:
        return -999.9f;
    }
}

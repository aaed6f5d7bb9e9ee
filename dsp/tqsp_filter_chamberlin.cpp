#include "dsp/tqsp_filter_chamberlin.h"

#include <cmath>

namespace {
// Keeps the poles a little inside the unit circle, beyond single-precision rounding.
constexpr float kMargin = 0.9999f;
} // namespace

tqsp_filter_chamberlin::tqsp_filter_chamberlin() {
    frequency = 1000.0f;
    resonance = 0.0f;
}

void tqsp_filter_chamberlin::setCoefficient(float& field, float v) {
    if (!std::isfinite(v) || v == field) return;
    field = v;
    recalculate();
}

void tqsp_filter_chamberlin::recalculate() {
    a2 = csd_clamp(setA2, -kMargin, kMargin);
    const float limit = (1.0f - a2) * kMargin;
    a1 = csd_clamp(setA1, -limit, limit);
}

#include "dsp/tqsp_filter_butterworth_cascade.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;

// Q of the pole pair at angle θ from the negative real axis.
double poleQ(double theta) {
    return 1.0 / (2.0 * std::cos(theta));
}
} // namespace

float tqsp_filter_butterworth_rbj_q(double q) {
    return static_cast<float>(1.0 / (2.0 * std::asinh(1.0 / (2.0 * q))));
}

tqsp_filter_butterworth_fourth_order_low_pass::tqsp_filter_butterworth_fourth_order_low_pass()
    : tqsp_filter_butterworth_cascade(poleQ(kPi / 8), poleQ(3 * kPi / 8)) {
    recalculate();
}

tqsp_filter_butterworth_fourth_order_high_pass::tqsp_filter_butterworth_fourth_order_high_pass()
    : tqsp_filter_butterworth_cascade(poleQ(kPi / 8), poleQ(3 * kPi / 8)) {
    recalculate();
}

tqsp_filter_butterworth_fifth_order_low_pass::tqsp_filter_butterworth_fifth_order_low_pass()
    : tqsp_filter_butterworth_cascade(poleQ(kPi / 5), poleQ(2 * kPi / 5)) {
    recalculate();
}

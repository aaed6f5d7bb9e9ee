// Butterworth sections designed by the bilinear transform in double precision,
// with wc = 2π·f and K = wc / tan(π·f/rate).
#pragma once

#include "dsp/tqsp_filter.h"

#include <bit>
#include <cstdint>
#include <type_traits>

class tqsp_filter_butterworth : public tqsp_filter {
    friend struct tqsp_filter_pair; // runs two filters of a kind in vector lanes

public:
    explicit tqsp_filter_butterworth(float frequency);
    // [audio thread]
    void clear() override { x1 = y1 = 0.0f; }

protected:
    // wc and K for the current frequency and rate.
    void designCorner();

    double b0 = 0.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double wc = 0.0;
    double K = 0.0;
    float y1 = 0.0f;
    float x1 = 0.0f;
};

class tqsp_filter_butterworth_first_order : public tqsp_filter_butterworth {
public:
    using tqsp_filter_butterworth::tqsp_filter_butterworth;

    // [audio thread] The fed-back output is flushed to 0 once it turns subnormal.
    float process(float x) override { return step(x, b0, b1, a1, x1, y1); }
    // One step in double precision on explicit state, for a float or a vector of floats with
    // D the matching double type (tqsp_filter_pair runs two in lanes).
    template <class T, class D> static T step(T x, D b0, D b1, D a1, T& x1, T& y1) {
        const T y = convert<T>(convert<D>(x) * b0 + convert<D>(x1) * b1 - convert<D>(y1) * a1);
        using Bits = std::conditional_t<std::is_arithmetic_v<T>, uint32_t, decltype(y < y)>;
        y1 = (std::bit_cast<Bits>(y) & 0x7f800000) != 0 ? y : T{};
        x1 = x;
        return y;
    }
    // [audio thread] On: pass-through. Off: designs again.
    void bypass(bool on) override;

private:
    // A number or each lane of a vector.
    template <class To, class From> static To convert(From v) {
        if constexpr (std::is_arithmetic_v<From>)
            return static_cast<To>(v);
        else
            return __builtin_convertvector(v, To);
    }
};

class tqsp_filter_butterworth_first_order_low_pass final
    : public tqsp_filter_butterworth_first_order {
public:
    explicit tqsp_filter_butterworth_first_order_low_pass(float frequency = 1000.0f);
    void recalculate() override;

    double getB0() const { return b0; }
    double getB1() const { return b1; }
    double getA1() const { return a1; }
};

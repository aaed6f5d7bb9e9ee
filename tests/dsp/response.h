// Measures a block's steady-state response to a sine wave.
#pragma once

#include "dsp/tqsp_block.h"

#include <cmath>
#include <complex>

// Gain and phase (radians, relative to the input sine) of b at frequency f. The
// Hann window keeps leakage from the cut ends out of the measurement.
inline std::complex<double> measureResponse(tqsp_block& b, double f, double rate,
                                            int settle = 20000, int measure = 40000) {
    const double w = 2.0 * M_PI * f / rate;
    std::complex<double> in = 0.0, out = 0.0;
    for (int n = 0; n < settle + measure; ++n) {
        const float x = static_cast<float>(std::sin(w * n));
        const float y = b.process(x);
        if (n < settle) continue;
        const double hann = 0.5 - 0.5 * std::cos(2.0 * M_PI * (n - settle) / measure);
        const std::complex<double> probe = hann * std::polar(1.0, -w * n);
        in += static_cast<double>(x) * probe;
        out += static_cast<double>(y) * probe;
    }
    return out / in;
}

#include "host/DemoSignal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

// A linear ramp from 0 at `from` to 1 at `to` (or down, when to < from), clamped.
double ramp(double t, double from, double to) {
    return std::clamp((t - from) / (to - from), 0.0, 1.0);
}

// Sawtooth with the step smoothed over one sample on each side, so the chord's upper
// harmonics do not fold back into the picture as false lines.
class Saw final {
public:
    Saw(double hz, double sampleRate) : step_(hz / sampleRate) {}
    double next() {
        phase_ += step_;
        if (phase_ >= 1) phase_ -= 1;
        return 2 * phase_ - 1 - blep(phase_);
    }

private:
    double blep(double p) const {
        if (p < step_) {
            const double x = p / step_;
            return x + x - x * x - 1;
        }
        if (p > 1 - step_) {
            const double x = (p - 1) / step_;
            return x * x + x + x + 1;
        }
        return 0;
    }
    double step_;
    double phase_ = 0;
};

// Deterministic white noise (xorshift), then a three-pole approximation of a pink slope,
// which spreads energy evenly over the octaves the picture shows.
class PinkNoise final {
public:
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        const double white = static_cast<double>(state_) / 2147483648.0 - 1.0;
        b0_ = 0.99765 * b0_ + white * 0.0990460;
        b1_ = 0.96300 * b1_ + white * 0.2965164;
        b2_ = 0.57000 * b2_ + white * 1.0526913;
        return (b0_ + b1_ + b2_ + white * 0.1848) * 0.2;
    }

private:
    std::uint32_t state_ = 0x4f72766c; // fixed: the demo is the same on every run
    double b0_ = 0, b1_ = 0, b2_ = 0;
};

} // namespace

AudioBuffer demoSignal(double sampleRate) {
    // An open A major chord; each voice is two saws a few cents apart, one per side.
    constexpr std::array<double, 5> notes = {110.0, 164.81, 220.0, 277.18, 329.63};
    constexpr double kDetune = 1.0025;
    std::vector<std::array<Saw, 2>> voices;
    for (double hz : notes)
        voices.push_back({Saw(hz / kDetune, sampleRate), Saw(hz * kDetune, sampleRate)});
    PinkNoise noise;

    AudioBuffer demo;
    demo.sampleRate = sampleRate;
    const auto frames = static_cast<std::size_t>(std::llround(kDemoSeconds * sampleRate));
    demo.channels.assign(2, std::vector<float>(frames));
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double chordLevel = 0.06 * ramp(t, 0, 0.05) * ramp(t, 6.0, 5.2);
        const double noiseLevel = 0.5 * std::pow(ramp(t, 2.5, 6.5), 2) * ramp(t, 10.0, 9.0);
        const double n = noise.next() * noiseLevel;
        for (std::size_t side = 0; side < 2; ++side) {
            double chord = 0;
            for (auto& voice : voices) chord += voice[side].next();
            demo.channels[side][i] = static_cast<float>(chord * chordLevel + n);
        }
    }
    return demo;
}

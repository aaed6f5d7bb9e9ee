// The built-in demo: ten seconds that show a phaser off, generated the same way every
// time. A bright sawtooth chord holds the first six seconds; a pink-noise swell, where
// moving notches are easiest to see and hear, rises under it and carries the rest.
#pragma once

#include "host/AudioFile.h"

constexpr double kDemoSeconds = 10;

// [main thread] The stereo demo at the given sampling rate.
AudioBuffer demoSignal(double sampleRate = 44100);

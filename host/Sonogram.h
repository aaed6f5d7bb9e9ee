// A picture of input and output side by side: time across, frequency up on a logarithmic
// scale, level as colour on one scale for both, stereo channels stacked left over right.
#pragma once

#include "host/AudioFile.h"

#include <filesystem>

constexpr int kSonogramWidth = 1240;
constexpr int kSonogramHeight = 424;

// [main thread] Writes the PNG to `path`; throws HostError when it cannot.
void writeSonogram(const std::filesystem::path& path, const AudioBuffer& input,
                   const AudioBuffer& output);

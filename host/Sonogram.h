// A picture of input and output side by side: time across, frequency up on a logarithmic
// scale, level as colour on one scale for both, stereo channels stacked left over right.
// The sound is analysed as it streams past; only the picture's columns are kept.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>

constexpr int kSonogramWidth = 1240;
constexpr int kSonogramHeight = 424;

class Sonogram final {
public:
    // [main thread] A picture of `frames` frames of input and of output at `sampleRate`.
    Sonogram(double sampleRate, std::size_t inputChannels, std::size_t outputChannels,
             std::size_t frames);
    ~Sonogram();
    Sonogram(const Sonogram&) = delete;
    Sonogram& operator=(const Sonogram&) = delete;

    // [main thread] The next n frames of the input or the output, one array per channel.
    void addInput(const float* const* channels, std::size_t n);
    void addOutput(const float* const* channels, std::size_t n);
    // [main thread] Writes the PNG, with silence for whatever was not given; throws
    // HostError naming `shownAs` when it cannot.
    void write(const std::filesystem::path& path, const std::filesystem::path& shownAs);

private:
    struct Analysis;
    void add(std::size_t panel, const float* const* channels, std::size_t n);
    std::unique_ptr<Analysis> analysis_;
};

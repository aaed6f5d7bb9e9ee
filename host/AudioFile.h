// Sound in planar 32-bit float channels, and the sound file formats libsndfile writes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct AudioBuffer {
    double sampleRate = 44100;
    std::vector<std::vector<float>> channels;

    std::size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

// [main thread] The container named by `name` ("wav", "flac", ...), keeping the sample
// encoding of `like` when that container can hold it; throws HostError for an unknown name.
int formatNamed(const std::string& name, int like = 0);
// [main thread] The format for an output file: the container `named` (by --format), which
// the extension must not contradict, else the one its extension names, else, without an
// extension, `like` itself. A .flac name never holds WAV data; an unknown extension is
// refused. Throws HostError.
int formatForOutput(const std::filesystem::path& path, const std::optional<std::string>& named,
                    int like);
// The names formatNamed knows, comma separated, for messages and help.
std::string formatNames();

// [main thread] Throws HostError, naming `path`, when the format cannot hold sound of
// this shape.
void checkWritable(const std::filesystem::path& path, int format, std::size_t channels,
                   double sampleRate);
// Sound files through libsndfile: whatever it reads, mono or stereo, kept as planar
// 32-bit float channels at the file's own sampling rate.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct AudioBuffer {
    double sampleRate = 44100;
    std::vector<std::vector<float>> channels;

    std::size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

struct AudioFile {
    AudioBuffer audio;
    int format = 0; // libsndfile's format code: container and sample encoding
};

// [main thread] Reads a whole file; throws HostError for a missing, unreadable or
// unsupported one.
AudioFile readAudioFile(const std::filesystem::path& path);

// [main thread] The container named by `name` ("wav", "flac", ...), keeping the sample
// encoding of `like` when that container can hold it; throws HostError for an unknown name.
int formatNamed(const std::string& name, int like = 0);
// [main thread] The format for an output file: the container its extension names, else
// `like` itself. A .flac name never holds WAV data.
int formatForOutput(const std::filesystem::path& path, int like);
// The names formatNamed knows, comma separated, for messages and help.
std::string formatNames();

// [main thread] Throws HostError, naming `path`, when the format cannot hold sound of
// this shape.
void checkWritable(const std::filesystem::path& path, int format, std::size_t channels,
                   double sampleRate);
// [main thread] Writes the whole file (callers write to a TemporaryOutput); throws
// HostError.
void writeAudioFile(const std::filesystem::path& path, const AudioBuffer& audio, int format);

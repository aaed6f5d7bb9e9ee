// A sound file written block by block through libsndfile, from planar 32-bit float
// channels. Samples beyond full scale clip in integer encodings; no PEAK chunk is
// written, so the same sound always makes the same file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

class AudioFileWriter final {
public:
    // [main thread] Creates the file at `path` (callers write to a TemporaryOutput, and name
    // its target as `shownAs` in messages); throws HostError when the format cannot hold
    // this sound or the file cannot be made.
    AudioFileWriter(const std::filesystem::path& path, const std::filesystem::path& shownAs,
                    int format, std::size_t channels, double sampleRate);
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // [main thread] Appends n frames, one array per channel; throws HostError.
    void write(const float* const* from, std::size_t n);
    // [main thread] Completes the file; throws HostError when that fails.
    void close();
    // Samples beyond full scale that an integer encoding clipped so far.
    std::size_t clipped() const { return clipped_; }

private:
    std::string name_;
    SNDFILE* file_ = nullptr;
    std::size_t channels_;
    bool integer_; // an encoding that clips
    std::size_t clipped_ = 0;
    std::vector<float> interleaved_;
};

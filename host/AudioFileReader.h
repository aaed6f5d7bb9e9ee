// A sound file read block by block through libsndfile: whatever it reads, mono or stereo,
// as planar 32-bit float channels at the file's own sampling rate.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;
struct SF_INFO;

class AudioFileReader final {
public:
    // [main thread] Opens the file; throws HostError for a missing, unreadable or
    // unsupported one, one without sound, and one at a sampling rate no sound file has.
    explicit AudioFileReader(const std::filesystem::path& path);
    // [main thread] Reads a sound held in memory (standard input's, which may not seek), as
    // `name` in messages; throws HostError as above.
    AudioFileReader(std::string bytes, const std::string& name);
    ~AudioFileReader();
    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;

    double sampleRate() const { return sampleRate_; }
    std::size_t channels() const { return channels_; }
    std::size_t frames() const { return frames_; }
    int format() const { return format_; } // libsndfile's code: container and encoding

    // [main thread] Reads up to n frames into one array per channel; answers how many
    // (0 at the end). Throws HostError when the file cannot be read.
    std::size_t read(float* const* to, std::size_t n);
    // [main thread] Once the end is read: what arrived against what the header promised,
    // when the file is cut short; else nothing.
    std::string shortfall() const;

    // Bytes held in memory, read as a file.
    struct Memory {
        std::string bytes;
        long long at = 0;
    };

private:
    // Keeps what a successful open found; throws HostError after a failed one, or for a
    // file that holds no sound or gives an impossible sampling rate.
    void take(const SF_INFO& info);

    std::string name_;
    Memory memory_;
    SNDFILE* file_ = nullptr;
    double sampleRate_ = 0;
    std::size_t channels_ = 0;
    std::size_t frames_ = 0;
    std::size_t promised_ = 0; // by the header, cut files included
    std::size_t arrived_ = 0;
    int format_ = 0;
    std::vector<float> interleaved_;
};

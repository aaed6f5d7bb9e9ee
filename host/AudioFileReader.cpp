#include "host/AudioFileReader.h"

#include "host/HostError.h"

#include <algorithm>
#include <sndfile.h>

namespace {
constexpr std::size_t kChunkFrames = 4096;
}

AudioFileReader::AudioFileReader(const std::filesystem::path& path)
    : name_("'" + path.string() + "'") {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) throw HostError("input not found: " + name_);
    if (std::filesystem::is_directory(path, ec))
        throw HostError(name_ + " is a folder, not a sound file");
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (!file_) throw HostError("cannot read " + name_ + ": " + sf_strerror(nullptr));
    if (info.channels < 1 || info.channels > 2) {
        sf_close(file_);
        throw HostError(name_ + " has " + std::to_string(info.channels) +
                        " channels; only mono and stereo files can be rendered");
    }
    sampleRate_ = info.samplerate;
    channels_ = static_cast<std::size_t>(info.channels);
    frames_ = static_cast<std::size_t>(std::max<sf_count_t>(info.frames, 0));
    format_ = info.format;
    interleaved_.resize(kChunkFrames * channels_);
}

AudioFileReader::~AudioFileReader() {
    sf_close(file_);
}

std::size_t AudioFileReader::read(float* const* to, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const std::size_t want = std::min(n - done, kChunkFrames);
        const sf_count_t got =
            sf_readf_float(file_, interleaved_.data(), static_cast<sf_count_t>(want));
        if (sf_error(file_) != SF_ERR_NO_ERROR)
            throw HostError("cannot read " + name_ + ": " + sf_strerror(file_));
        for (std::size_t c = 0; c < channels_; ++c)
            for (sf_count_t i = 0; i < got; ++i)
                to[c][done + static_cast<std::size_t>(i)] =
                    interleaved_[static_cast<std::size_t>(i) * channels_ + c];
        done += static_cast<std::size_t>(std::max<sf_count_t>(got, 0));
        if (got < static_cast<sf_count_t>(want)) break;
    }
    return done;
}

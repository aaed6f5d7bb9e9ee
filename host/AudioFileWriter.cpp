#include "host/AudioFileWriter.h"

#include "host/AudioFile.h"
#include "host/HostError.h"

#include <algorithm>
#include <sndfile.h>

namespace {
constexpr std::size_t kChunkFrames = 4096;
}

AudioFileWriter::AudioFileWriter(const std::filesystem::path& path,
                                 const std::filesystem::path& shownAs, int format,
                                 std::size_t channels, double sampleRate)
    : name_("'" + shownAs.string() + "'"), channels_(channels),
      integer_((format & SF_FORMAT_SUBMASK) >= SF_FORMAT_PCM_S8 &&
               (format & SF_FORMAT_SUBMASK) <= SF_FORMAT_PCM_U8),
      interleaved_(kChunkFrames * channels) {
    checkWritable(shownAs, format, channels, sampleRate);
    SF_INFO info{};
    info.samplerate = static_cast<int>(sampleRate);
    info.channels = static_cast<int>(channels);
    info.format = format;
    file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file_) throw HostError("cannot write " + name_ + ": " + sf_strerror(nullptr));
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // The PEAK chunk holds the time it was written.
    sf_command(file_, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
}

AudioFileWriter::~AudioFileWriter() {
    if (file_) sf_close(file_);
}

void AudioFileWriter::write(const float* const* from, std::size_t n) {
    for (std::size_t start = 0; start < n; start += kChunkFrames) {
        const std::size_t count = std::min(kChunkFrames, n - start);
        for (std::size_t i = 0; i < count; ++i)
            for (std::size_t c = 0; c < channels_; ++c) {
                const float x = from[c][start + i];
                interleaved_[i * channels_ + c] = x;
                clipped_ += integer_ && (x > 1.0f || x < -1.0f);
            }
        if (sf_writef_float(file_, interleaved_.data(), static_cast<sf_count_t>(count)) !=
            static_cast<sf_count_t>(count))
            throw HostError("cannot write " + name_ + ": " + sf_strerror(file_));
    }
}

void AudioFileWriter::close() {
    SNDFILE* file = file_;
    file_ = nullptr;
    if (sf_close(file) != 0) throw HostError("cannot write " + name_ + ": " + sf_strerror(nullptr));
}

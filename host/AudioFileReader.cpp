#include "host/AudioFileReader.h"

#include "host/HostError.h"

#include <algorithm>
#include <cstdio>
#include <sndfile.h>

namespace {

constexpr std::size_t kChunkFrames = 4096;

// libsndfile's view of a sound held in memory.
sf_count_t memoryLength(void* m) {
    return static_cast<sf_count_t>(static_cast<AudioFileReader::Memory*>(m)->bytes.size());
}
sf_count_t memorySeek(sf_count_t offset, int whence, void* m) {
    auto& memory = *static_cast<AudioFileReader::Memory*>(m);
    const sf_count_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? memory.at
                                                 : memoryLength(m);
    memory.at = std::clamp<sf_count_t>(base + offset, 0, memoryLength(m));
    return memory.at;
}
sf_count_t memoryRead(void* to, sf_count_t count, void* m) {
    auto& memory = *static_cast<AudioFileReader::Memory*>(m);
    const sf_count_t n = std::clamp<sf_count_t>(memoryLength(m) - memory.at, 0, count);
    std::copy_n(memory.bytes.data() + memory.at, n, static_cast<char*>(to));
    memory.at += n;
    return n;
}
sf_count_t memoryWrite(const void*, sf_count_t, void*) {
    return 0;
}
sf_count_t memoryTell(void* m) {
    return static_cast<AudioFileReader::Memory*>(m)->at;
}

} // namespace

AudioFileReader::AudioFileReader(const std::filesystem::path& path)
    : name_("'" + path.string() + "'") {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) throw HostError("input not found: " + name_);
    if (std::filesystem::is_directory(path, ec))
        throw HostError(name_ + " is a folder, not a sound file");
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    take(info);
}

AudioFileReader::AudioFileReader(std::string bytes, const std::string& name) : name_(name) {
    memory_.bytes = std::move(bytes);
    static SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    SF_INFO info{};
    file_ = sf_open_virtual(&io, SFM_READ, &info, &memory_);
    take(info);
}

void AudioFileReader::take(const SF_INFO& info) {
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

#include "host/AudioFileReader.h"

#include "host/HostError.h"

#include <algorithm>
#include <cstdio>
#include <regex>
#include <sndfile.h>

namespace {

constexpr std::size_t kChunkFrames = 4096;
// From the lowest rate of speech codecs' files to eight times studio rates, with room.
constexpr int kLowestRate = 1000, kHighestRate = 768000;

// The frames a WAV or AIFF header promises where the file ends early: libsndfile keeps
// to the bytes there and logs the sound chunk's size against them.
std::size_t promisedFrames(SNDFILE* file, std::size_t frames) {
    char log[8192] = {};
    sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
    static const std::regex cut(R"((?:^|\n)(?:data|SSND) *: *(\d+) \(should be (\d+)\))");
    std::cmatch m;
    if (!std::regex_search(log, m, cut)) return frames;
    const double claimed = std::stod(m[1]), there = std::stod(m[2]);
    if (frames == 0 || there <= 0 || claimed <= there) return frames;
    return static_cast<std::size_t>(claimed / there * static_cast<double>(frames));
}

std::string seconds(std::size_t frames, double rate) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(frames) / rate);
    return text;
}

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
    if (!file_) {
        // libsndfile's words for a header that gives no rate or no channels.
        const std::string why = sf_strerror(nullptr);
        if (why.find("SF_INFO struct incomplete") != std::string::npos)
            throw HostError(name_ + " gives a sampling rate of 0 Hz or no channels: its header "
                                    "is damaged, and no sound can be read from it");
        throw HostError("cannot read " + name_ + ": " + why);
    }
    if (info.channels < 1 || info.channels > 2) {
        sf_close(file_);
        throw HostError(name_ + " has " + std::to_string(info.channels) +
                        " channels; only mono and stereo files can be rendered");
    }
    if (info.samplerate < kLowestRate || info.samplerate > kHighestRate) {
        sf_close(file_);
        throw HostError(name_ + " gives a sampling rate of " + std::to_string(info.samplerate) +
                        " Hz; files from " + std::to_string(kLowestRate) + " to " +
                        std::to_string(kHighestRate) + " Hz are rendered (a damaged header?)");
    }
    sampleRate_ = info.samplerate;
    channels_ = static_cast<std::size_t>(info.channels);
    frames_ = static_cast<std::size_t>(std::max<sf_count_t>(info.frames, 0));
    format_ = info.format;
    if (frames_ == 0) {
        sf_close(file_);
        throw HostError(name_ + " holds no sound, only a header: nothing to render");
    }
    promised_ = promisedFrames(file_, frames_);
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
    arrived_ += done;
    return done;
}

std::string AudioFileReader::shortfall() const {
    if (arrived_ >= promised_) return {};
    return name_ + " is cut short: " + seconds(arrived_, sampleRate_) +
           " of sound arrived of the " + seconds(promised_, sampleRate_) +
           " its header promises; rendered what is there";
}

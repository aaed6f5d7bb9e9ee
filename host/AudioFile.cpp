#include "host/AudioFile.h"

#include "host/HostError.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>
#include <sndfile.h>

namespace fs = std::filesystem;

namespace {

struct Container {
    const char* name;
    const char* alias; // a second extension, or ""
    int major;
    int subtype; // used when the input's sample encoding does not fit
};

constexpr std::array containers = {
    Container{"wav", "", SF_FORMAT_WAV, SF_FORMAT_PCM_24},
    Container{"aiff", "aif", SF_FORMAT_AIFF, SF_FORMAT_PCM_24},
    Container{"flac", "", SF_FORMAT_FLAC, SF_FORMAT_PCM_24},
    Container{"ogg", "oga", SF_FORMAT_OGG, SF_FORMAT_VORBIS},
    Container{"opus", "", SF_FORMAT_OGG, SF_FORMAT_OPUS},
    Container{"caf", "", SF_FORMAT_CAF, SF_FORMAT_PCM_24},
    Container{"w64", "", SF_FORMAT_W64, SF_FORMAT_PCM_24},
    Container{"rf64", "", SF_FORMAT_RF64, SF_FORMAT_PCM_24},
    Container{"au", "snd", SF_FORMAT_AU, SF_FORMAT_PCM_24},
};

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

const Container* findContainer(const std::string& name) {
    const std::string n = lower(name);
    for (const Container& c : containers)
        if (n == c.name || (*c.alias && n == c.alias)) return &c;
    return nullptr;
}

struct Closer {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using SoundFile = std::unique_ptr<SNDFILE, Closer>;

constexpr sf_count_t kChunkFrames = 65536;

} // namespace

std::string formatNames() {
    std::string names;
    for (const Container& c : containers)
        names += (names.empty() ? "" : ", ") + std::string(c.name);
    return names;
}

int formatNamed(const std::string& name, int like) {
    const Container* c = findContainer(name);
    if (!c) throw HostError("unknown format '" + name + "' (known: " + formatNames() + ")");
    if (c->major == SF_FORMAT_OGG) return c->major | c->subtype; // the codec is the choice
    const int kept = c->major | (like & SF_FORMAT_SUBMASK);
    SF_INFO probe{};
    probe.samplerate = 44100;
    probe.channels = 2;
    probe.format = kept;
    return (like & SF_FORMAT_SUBMASK) && sf_format_check(&probe) ? kept : c->major | c->subtype;
}

int formatForOutput(const fs::path& path, int like) {
    const std::string ext = path.extension().string();
    const Container* c = ext.size() > 1 ? findContainer(ext.substr(1)) : nullptr;
    if (!c || c->major == (like & SF_FORMAT_TYPEMASK)) return like;
    return formatNamed(c->name, like);
}

AudioFile readAudioFile(const fs::path& path) {
    const std::string name = "'" + path.string() + "'";
    std::error_code ec;
    if (!fs::exists(path, ec)) throw HostError("input not found: " + name);
    SF_INFO info{};
    SoundFile file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) throw HostError("cannot read " + name + ": " + sf_strerror(nullptr));
    if (info.channels < 1 || info.channels > 2)
        throw HostError(name + " has " + std::to_string(info.channels) +
                        " channels; only mono and stereo files can be rendered");

    AudioFile result;
    result.format = info.format;
    result.audio.sampleRate = info.samplerate;
    const auto channels = static_cast<std::size_t>(info.channels);
    result.audio.channels.resize(channels);
    for (auto& channel : result.audio.channels)
        channel.reserve(static_cast<std::size_t>(std::max<sf_count_t>(info.frames, 0)));
    std::vector<float> interleaved(static_cast<std::size_t>(kChunkFrames) * channels);
    for (;;) {
        const sf_count_t got = sf_readf_float(file.get(), interleaved.data(), kChunkFrames);
        if (got <= 0) break;
        for (std::size_t c = 0; c < channels; ++c)
            for (sf_count_t i = 0; i < got; ++i)
                result.audio.channels[c].push_back(
                    interleaved[static_cast<std::size_t>(i) * channels + c]);
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR)
        throw HostError("cannot read " + name + ": " + sf_strerror(file.get()));
    return result;
}

void checkWritable(const fs::path& path, int format, std::size_t channels, double sampleRate) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(sampleRate);
    info.channels = static_cast<int>(channels);
    info.format = format;
    if (!sf_format_check(&info))
        throw HostError("cannot write '" + path.string() + "': its format does not take " +
                        std::to_string(channels) + " channels at " +
                        std::to_string(info.samplerate) + " Hz");
}

void writeAudioFile(const fs::path& path, const AudioBuffer& audio, int format) {
    const std::string name = "'" + path.string() + "'";
    checkWritable(path, format, audio.channels.size(), audio.sampleRate);
    SF_INFO info{};
    info.samplerate = static_cast<int>(audio.sampleRate);
    info.channels = static_cast<int>(audio.channels.size());
    info.format = format;
    SoundFile file(sf_open(path.c_str(), SFM_WRITE, &info));
    if (!file) throw HostError("cannot write " + name + ": " + sf_strerror(nullptr));
    // Floats beyond full scale clip instead of wrapping around in integer encodings.
    sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);

    const std::size_t channels = audio.channels.size();
    std::vector<float> interleaved(static_cast<std::size_t>(kChunkFrames) * channels);
    for (std::size_t start = 0; start < audio.frames();) {
        const std::size_t n =
            std::min(static_cast<std::size_t>(kChunkFrames), audio.frames() - start);
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t c = 0; c < channels; ++c)
                interleaved[i * channels + c] = audio.channels[c][start + i];
        if (sf_writef_float(file.get(), interleaved.data(), static_cast<sf_count_t>(n)) !=
            static_cast<sf_count_t>(n))
            throw HostError("cannot write " + name + ": " + sf_strerror(file.get()));
        start += n;
    }
}

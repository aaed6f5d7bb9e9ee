#include "host/AudioFile.h"

#include "host/DidYouMean.h"
#include "host/HostError.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <sndfile.h>
#include <vector>

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
    Container{"mp3", "", SF_FORMAT_MPEG, SF_FORMAT_MPEG_LAYER_III},
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

// Whether a file of the container's name may hold the format: an .opus file is Opus, not
// any Ogg stream.
bool holds(const Container& c, int format) {
    return c.major == (format & SF_FORMAT_TYPEMASK) &&
           (c.subtype != SF_FORMAT_OPUS || (format & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS);
}

// The rates a codec is defined for; any other is refused by its library.
struct CodecRates {
    int subtype;
    const char* name;
    std::vector<int> rates;
};
const CodecRates codecRates[] = {
    {SF_FORMAT_OPUS, "Opus", {8000, 12000, 16000, 24000, 48000}},
    {SF_FORMAT_MPEG_LAYER_III,
     "MP3",
     {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000}},
};

std::string listed(const std::vector<int>& rates) {
    std::string text;
    for (std::size_t i = 0; i < rates.size(); ++i)
        text += (i == 0 ? "" : i + 1 == rates.size() ? " or " : ", ") + std::to_string(rates[i]);
    return text;
}

std::vector<std::string> names() {
    std::vector<std::string> all;
    for (const Container& c : containers) all.emplace_back(c.name);
    return all;
}

} // namespace

std::string formatNames() {
    std::string text;
    for (const std::string& name : names()) text += (text.empty() ? "" : ", ") + name;
    return text;
}

int formatNamed(const std::string& name, int like) {
    const Container* c = findContainer(name);
    if (!c)
        throw HostError("unknown format '" + name + "'" + didYouMean(name, names()) +
                        " (known: " + formatNames() + ")");
    if (c->major == SF_FORMAT_OGG || c->major == SF_FORMAT_MPEG)
        return c->major | c->subtype; // the codec is the choice
    // The input's sample encoding (its bit depth, or float) where the container holds it;
    // a codec of the input's (MP3, Vorbis, ...) is no encoding for another container.
    const int encoding = like & SF_FORMAT_SUBMASK;
    const bool samples = (encoding >= SF_FORMAT_PCM_S8 && encoding <= SF_FORMAT_PCM_U8) ||
                         encoding == SF_FORMAT_FLOAT || encoding == SF_FORMAT_DOUBLE;
    SF_INFO probe{};
    probe.samplerate = 44100;
    probe.channels = 2;
    probe.format = c->major | encoding;
    return samples && sf_format_check(&probe) ? probe.format : c->major | c->subtype;
}

int formatForOutput(const fs::path& path, const std::optional<std::string>& named, int like) {
    const std::string ext = lower(path.extension().string());
    const Container* byName = ext.size() > 1 ? findContainer(ext.substr(1)) : nullptr;
    const std::string file = "'" + path.string() + "'";
    if (named) {
        const int format = formatNamed(*named, like);
        if (byName && !holds(*byName, format))
            throw HostError(file + " is named as " + byName->name + " but --format is " + *named +
                            ": make them agree");
        return format;
    }
    if (ext.size() > 1 && !byName)
        throw HostError(file + ": '" + ext + "' is no sound file extension known here" +
                        didYouMean(ext.substr(1), names()) + " (known: " + formatNames() +
                        "); or name the format with --format");
    if (!byName || holds(*byName, like)) return like;
    return formatNamed(byName->name, like);
}

void checkWritable(const fs::path& path, int format, std::size_t channels, double sampleRate) {
    const std::string cannot = "cannot write '" + path.string() + "': ";
    const int rate = static_cast<int>(sampleRate);
    for (const CodecRates& codec : codecRates)
        if ((format & SF_FORMAT_SUBMASK) == codec.subtype &&
            std::find(codec.rates.begin(), codec.rates.end(), rate) == codec.rates.end())
            throw HostError(cannot + codec.name + " takes " + listed(codec.rates) +
                            " Hz and this sound is " + std::to_string(rate) +
                            " Hz; choose another format (flac, ogg, ...) or resample the input");
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = static_cast<int>(channels);
    info.format = format;
    if (sf_format_check(&info)) return;
    const auto container =
        std::find_if(containers.begin(), containers.end(), [format](const Container& c) {
            return c.major == (format & SF_FORMAT_TYPEMASK);
        });
    if ((format & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT && container != containers.end())
        throw HostError(cannot + container->name +
                        " holds no float samples; leave out --float, or write a format "
                        "that holds them (wav, aiff, caf, w64, rf64, au)");
    throw HostError(cannot + "its format does not take " + std::to_string(channels) +
                    " channels at " + std::to_string(rate) + " Hz");
}

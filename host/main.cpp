// orvella-host: renders sound files through a VST 2.4 plug-in, prints its facts and opens
// its editor. Every failure the user can fix is one line on stderr and exit status 2.
#include "host/AuCommand.h"
#include "host/AudioFile.h"
#include "host/CommandLine.h"
#include "host/DemoSignal.h"
#include "host/EditorWindow.h"
#include "host/HostError.h"
#include "host/PluginHost.h"
#include "host/PluginInfo.h"
#include "host/ProgressBar.h"
#include "host/Renderer.h"
#include "host/Sonogram.h"
#include "host/TemporaryOutput.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sndfile.h>

namespace fs = std::filesystem;

namespace {

constexpr int kUserError = 2;

// The bundle built beside the tool, wherever the build folder has been put.
fs::path defaultPlugin() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return (ec ? fs::current_path() : self.parent_path()) / "Orvella.vst";
}

std::optional<double> hostValue(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

void applySetting(PluginHost& host, const ParameterSetting& setting) {
    const VstInt32 index = host.findParameter(setting.parameter);
    const std::string name = "'" + host.parameterName(index) + "'";
    const auto value = hostValue(setting.value);
    if (value && *value >= 0 && *value <= 1) {
        host.effect().setParameter(&host.effect(), index, static_cast<float>(*value));
        return;
    }
    // A number can still be a list entry's text; anything else must be one.
    if (host.setParameterToDisplay(index, setting.value)) return;
    if (value)
        throw HostError("value " + setting.value + " for parameter " + name + " is outside 0..1");
    throw HostError("parameter " + name + " has no value shown as '" + setting.value + "'");
}

int renderCommand(const RenderCommand& c) {
    const AudioFile source =
        c.demo ? AudioFile{demoSignal(), SF_FORMAT_WAV | SF_FORMAT_PCM_24} : readAudioFile(c.input);
    const int format =
        c.format ? formatNamed(*c.format, source.format) : formatForOutput(c.output, source.format);

    PluginHost host(c.plugin, source.audio.sampleRate, c.blockSize);
    if (c.program) host.setProgram(host.findProgram(*c.program));
    for (const ParameterSetting& s : c.settings) applySetting(host, s);
    checkWritable(c.output, format, renderedChannels(host, source.audio), source.audio.sampleRate);

    // Claimed before the work starts, so an unwritable folder fails at once.
    TemporaryOutput sound(c.output);
    std::optional<TemporaryOutput> picture;
    if (!c.spectrogram.empty()) picture.emplace(c.spectrogram);

    const double seconds =
        static_cast<double>(source.audio.frames()) / source.audio.sampleRate + c.tailSeconds;
    ProgressBar bar(stderr, !c.quiet, seconds);
    const AudioBuffer rendered =
        render(host, source.audio, {c.tailSeconds, c.controlChanges},
               [&bar](std::size_t done, std::size_t all) { bar.update(done, all); });
    bar.finish();

    writeAudioFile(sound.path(), rendered, format);
    if (picture) writeSonogram(picture->path(), source.audio, rendered);
    sound.commit();
    if (picture) picture->commit();
    return 0;
}

int run(const Command& command) {
    if (std::holds_alternative<HelpCommand>(command)) {
        std::cout << usage() << "\nAudio Unit:\n" << auUsage();
        return 0;
    }
    if (const auto* render = std::get_if<RenderCommand>(&command)) return renderCommand(*render);
    if (const auto* info = std::get_if<InfoCommand>(&command)) {
        PluginHost host(info->plugin, 44100, 512);
        printPluginInfo(host, info->json, std::cout);
        return 0;
    }
    PluginHost host(std::get<GuiCommand>(command).plugin, 44100, 512);
    EditorWindow window(host);
    window.run(std::cout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc > 1 && std::string(argv[1]) == "au")
            return runAuCommand(std::vector<std::string>(argv + 2, argv + argc), defaultPlugin());
        return run(parseCommandLine(std::vector<std::string>(argv, argv + argc), defaultPlugin()));
    } catch (const HostError& e) {
        std::fprintf(stderr, "orvella-host: %s\n", e.what());
        return kUserError;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvella-host: %s\n", e.what());
        return 1;
    }
}

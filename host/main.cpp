// orvella-host: renders sound files through a VST 2.4 plug-in, prints its facts and opens
// its editor. Every failure the user can fix is one line on stderr and exit status 2.
#include "host/AuCommand.h"
#include "host/AudioFile.h"
#include "host/AudioFileReader.h"
#include "host/AudioFileWriter.h"
#include "host/CommandLine.h"
#include "host/DemoSignal.h"
#include "host/EditorWindow.h"
#include "host/HostError.h"
#include "host/PluginHost.h"
#include "host/PluginInfo.h"
#include "host/PresetFile.h"
#include "host/ProgressBar.h"
#include "host/Renderer.h"
#include "host/Sonogram.h"
#include "host/TemporaryOutput.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sndfile.h>
#include <span>

namespace fs = std::filesystem;

namespace {

constexpr int kUserError = 2;
constexpr const char* kHostValue = "host:";
constexpr const char* kDemoProgram = "PanPhase";

// The bundle built beside the tool, wherever the build folder has been put; else the
// installed one, from the plug-in search path.
fs::path defaultPlugin() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    const fs::path beside = (ec ? fs::current_path() : self.parent_path()) / "Orvella.vst";
    return fs::exists(beside, ec) ? beside : fs::path("Orvella.vst");
}

std::optional<double> hostValue(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

// A value as the plug-in displays it, or "host:V" for the host value V itself.
void applySetting(PluginHost& host, const ParameterSetting& setting) {
    const VstInt32 index = host.findParameter(setting.parameter);
    if (!setting.value.starts_with(kHostValue))
        return host.setParameterToDisplay(index, setting.value);
    const std::string given = setting.value.substr(std::strlen(kHostValue));
    const auto value = hostValue(given);
    if (!value || *value < 0 || *value > 1)
        throw HostError("host value '" + given + "' for parameter '" + host.parameterName(index) +
                        "' is not a number from 0 to 1");
    host.plugIn().setParameter(index, static_cast<float>(*value));
}

// A preset file first, then the program, then each parameter. With `verbose`, says which
// program of a bank plays.
void applySetup(PluginHost& host, const PluginSetup& setup, bool verbose = false) {
    if (setup.preset) {
        const PresetLoad load = loadPreset(host, *setup.preset);
        if (!load.complete)
            std::fprintf(stderr,
                         "orvella-host: note: preset '%s' does not fit the plug-in completely "
                         "(its counts or values differ); what fits is applied\n",
                         setup.preset->c_str());
        if (verbose && load.bank && !setup.program) {
            const VstInt32 playing = host.plugIn().getCurrentProgram();
            std::fprintf(stderr,
                         "orvella-host: bank '%s' loaded; program %d \"%s\" plays (a bank "
                         "selects no program: choose one with --program)\n",
                         setup.preset->c_str(), playing, host.programName(playing).c_str());
        }
    }
    if (setup.program) host.setProgram(host.findProgram(*setup.program));
    for (const ParameterSetting& s : setup.settings) applySetting(host, s);
}

// The demo shows the program of the README's picture, when the plug-in has it.
void selectDemoProgram(PluginHost& host) {
    for (VstInt32 i = 0; i < host.plugIn().getProgramCount(); ++i)
        if (host.programName(i) == kDemoProgram) return host.setProgram(i);
}

bool sameFile(const fs::path& a, const fs::path& b) {
    // Absolute first: a bare name has no existing part to be made canonical from.
    std::error_code same, left, right;
    return fs::equivalent(a, b, same) || fs::weakly_canonical(fs::absolute(a), left) ==
                                             fs::weakly_canonical(fs::absolute(b), right);
}

// "-" names standard input or output, never a file.
const fs::path kStandardStream = "-";

// Copies a finished file to standard output; throws HostError when that fails.
void copyToStandardOutput(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::cout << in.rdbuf() << std::flush;
    if (!in || !std::cout) throw HostError("cannot write standard output");
}

// Refuses an output that is a file read before it in `files`, however named; the outputs
// start at `firstOutput`.
void refuseOutputsRead(std::span<const std::pair<fs::path, const char*>> files,
                       std::size_t firstOutput) {
    for (std::size_t j = firstOutput; j < files.size(); ++j)
        for (std::size_t i = 0; i < j; ++i)
            if (!files[i].first.empty() && !files[j].first.empty() &&
                files[i].first != kStandardStream && files[j].first != kStandardStream &&
                sameFile(files[i].first, files[j].first))
                throw HostError(std::string(files[j].second) + " '" + files[j].first.string() +
                                "' is " + files[i].second + " too: choose another name");
}

// A render writes over no file it reads (input, preset, plug-in), nor both outputs into one
// file, nor over a picture the user did not name.
void checkOutputs(const RenderCommand& c, const fs::path& module) {
    const std::pair<fs::path, const char*> files[] = {
        {c.input, "the input"},
        {c.setup.preset.value_or(fs::path()), "the preset"},
        {module, "the plug-in"},
        {c.output, "the output"},
        {c.spectrogram, "the spectrogram"}};
    refuseOutputsRead(files, 3);
    std::string picture = c.spectrogram.extension().string();
    std::transform(picture.begin(), picture.end(), picture.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (!c.spectrogram.empty() && picture != ".png")
        throw HostError("the spectrogram '" + c.spectrogram.string() +
                        "' is a PNG picture: name it .png");
    std::error_code ec;
    if (c.spectrogramImplied && fs::exists(fs::symlink_status(c.spectrogram, ec)))
        throw HostError("'" + c.spectrogram.string() +
                        "' exists: name the demo's picture with --spectrogram to replace it");
}

// Control changes that cannot act are sent all the same, but said so.
void noteIdleControlChanges(PluginHost& host, const RenderCommand& c, double seconds) {
    if (c.controlChanges.empty()) return;
    if (!host.canDo("receiveVstMidiEvent"))
        std::fprintf(stderr, "orvella-host: note: the plug-in does not say it takes MIDI input: "
                             "--cc may change nothing\n");
    const auto late =
        std::count_if(c.controlChanges.begin(), c.controlChanges.end(),
                      [seconds](const ControlChange& cc) { return cc.seconds >= seconds; });
    if (late)
        std::fprintf(stderr,
                     "orvella-host: note: %ld --cc change(s) at or after the end of the sound "
                     "(%.2f s) change nothing; --tail SECONDS renders on after the input\n",
                     static_cast<long>(late), seconds);
}

int renderCommand(const RenderCommand& c) {
    std::optional<AudioFileReader> file;
    AudioBuffer demo;
    RenderInput input;
    int sourceFormat = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    if (c.demo) {
        demo = demoSignal();
        std::size_t given = 0;
        input = {demo.sampleRate, demo.channels.size(), demo.frames(),
                 [&demo, given](float* const* to, std::size_t n) mutable {
                     for (std::size_t ch = 0; ch < demo.channels.size(); ++ch)
                         std::copy_n(demo.channels[ch].begin() + static_cast<long>(given), n,
                                     to[ch]);
                     given += n;
                     return n;
                 }};
    } else {
        if (c.input == kStandardStream)
            file.emplace(std::string(std::istreambuf_iterator<char>(std::cin), {}),
                         "standard input");
        else
            file.emplace(c.input);
        sourceFormat = file->format();
        input = {file->sampleRate(), file->channels(), file->frames(),
                 [&file](float* const* to, std::size_t n) { return file->read(to, n); }};
    }
    // Standard output has no name to take a format from: WAV unless --format says otherwise,
    // written to a temporary file first, as most formats are completed by seeking back.
    const bool toStdout = c.output == kStandardStream;
    const fs::path shown = toStdout ? "standard output" : c.output;
    const int chosen = toStdout ? formatNamed(c.format.value_or("wav"), sourceFormat)
                                : formatForOutput(c.output, c.format, sourceFormat);
    const int format = c.floatOutput ? (chosen & SF_FORMAT_TYPEMASK) | SF_FORMAT_FLOAT : chosen;

    PluginHost host(c.setup.plugin, input.sampleRate, c.blockSize);
    checkOutputs(c, host.modulePath());
    applySetup(host, c.setup, c.verbose);
    if (c.demo && !c.setup.preset && !c.setup.program) selectDemoProgram(host);
    const std::size_t channels = renderedChannels(host, input.channels, c.monoMode);
    checkWritable(shown, format, channels, input.sampleRate);

    // Claimed before the work starts, so an unwritable folder fails at once.
    TemporaryOutput sound(toStdout ? fs::temp_directory_path() / "orvella-host-output" : c.output);
    std::optional<TemporaryOutput> picture;
    if (!c.spectrogram.empty()) picture.emplace(c.spectrogram);
    AudioFileWriter writer(sound.path(), shown, format, channels, input.sampleRate);
    const std::size_t length =
        input.frames + static_cast<std::size_t>(std::llround(c.tailSeconds * input.sampleRate));
    std::optional<Sonogram> sonogram;
    if (picture) sonogram.emplace(input.sampleRate, input.channels, channels, length);
    RenderInput source = input;
    source.read = [&input, &sonogram](float* const* to, std::size_t n) {
        const std::size_t got = input.read(to, n);
        if (sonogram) sonogram->addInput(to, got);
        return got;
    };

    noteIdleControlChanges(host, c, static_cast<double>(length) / input.sampleRate);
    const auto started = std::chrono::steady_clock::now();
    ProgressBar bar(stderr, !c.quiet && !toStdout, static_cast<double>(length) / input.sampleRate);
    render(
        host, source,
        [&writer, &sonogram](const float* const* from, std::size_t n) {
            writer.write(from, n);
            if (sonogram) sonogram->addOutput(from, n);
        },
        {c.tailSeconds, c.controlChanges, c.monoMode},
        [&bar](std::size_t done, std::size_t all) { bar.update(done, all); });
    bar.finish();
    if (file)
        if (const std::string cut = file->shortfall(); !cut.empty())
            std::fprintf(stderr, "orvella-host: warning: %s\n", cut.c_str());

    writer.close();
    if (writer.clipped())
        std::fprintf(stderr,
                     "orvella-host: note: %zu samples clipped in '%s'; --float writes samples "
                     "that never clip\n",
                     writer.clipped(), shown.c_str());
    if (sonogram) sonogram->write(picture->path(), c.spectrogram);
    if (toStdout)
        copyToStandardOutput(sound.path());
    else
        sound.commit();
    if (picture) picture->commit();
    if (c.verbose) {
        const double seconds = static_cast<double>(length) / input.sampleRate;
        const double took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::fprintf(stderr,
                     "orvella-host: rendered %.1f s of %zu-channel %.0f Hz sound into '%s' in "
                     "%.1f s (%.0fx real time)\n",
                     seconds, channels, input.sampleRate, shown.c_str(), took,
                     seconds / std::max(took, 1e-3));
    }
    return 0;
}

int presetSaveCommand(const PresetSaveCommand& c) {
    const bool bank = isBankFile(c.output);
    PluginHost host(c.setup.plugin, 44100, 512);
    // A preset may be saved over the one it was loaded from: that is how one is edited.
    const std::pair<fs::path, const char*> files[] = {{host.modulePath(), "the plug-in"},
                                                      {c.output, "the output"}};
    refuseOutputsRead(files, 1);
    applySetup(host, c.setup);
    const PresetData data = presetOf(host, bank);
    TemporaryOutput file(c.output);
    std::ofstream out(file.path(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) throw HostError("cannot write '" + c.output.string() + "'");
    file.commit();
    return 0;
}

int presetShowCommand(const PresetShowCommand& c) {
    // Checked whole as it is read: nothing is printed of a broken file.
    const PresetData data = readPresetFile(c.file);
    describePreset(data, std::cout);
    if (c.plugin) {
        PluginHost host(*c.plugin, 44100, 512);
        describeFit(host, data, std::cout);
    }
    return 0;
}

int run(const Command& command) {
    if (std::holds_alternative<HelpCommand>(command)) {
        std::cout << usage();
        return 0;
    }
    if (std::holds_alternative<VersionCommand>(command)) {
        std::cout << "orvella-host " ORVELLA_VERSION "\n";
        return 0;
    }
    if (const auto* render = std::get_if<RenderCommand>(&command)) return renderCommand(*render);
    if (const auto* save = std::get_if<PresetSaveCommand>(&command))
        return presetSaveCommand(*save);
    if (const auto* show = std::get_if<PresetShowCommand>(&command))
        return presetShowCommand(*show);
    if (const auto* info = std::get_if<InfoCommand>(&command)) {
        PluginHost host(info->setup.plugin, 44100, 512);
        applySetup(host, info->setup);
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

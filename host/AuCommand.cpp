#include "host/AuCommand.h"

#include "audiounit/platform/AUListeners.h"
#include "audiounit/platform/CFData.h"
#include "audiounit/platform/CFDictionary.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFNumber.h"
#include "audiounit/platform/CFPropertyList.h"
#include "host/AuEditorWindow.h"
#include "host/AudioFile.h"
#include "host/AudioFileReader.h"
#include "host/AudioFileWriter.h"
#include "host/AudioUnitHost.h"
#include "host/CommandLine.h"
#include "host/HostError.h"
#include "host/PluginInfo.h"
#include "host/ProgressBar.h"
#include "host/TemporaryOutput.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sndfile.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct AuOptions {
    std::vector<std::string> positional;
    fs::path bundle;
    std::optional<fs::path> preset;
    std::optional<std::string> factory;
    std::vector<std::string> settings;
    bool json = false;
};

AuOptions parse(const std::vector<std::string>& args, const fs::path& defaultBundle) {
    AuOptions o;
    o.bundle = defaultBundle;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw HostError(a + " needs a value");
            return args[++i];
        };
        if (a == "--plugin") {
            o.bundle = value();
        } else if (a == "--preset") {
            o.preset = value();
        } else if (a == "--factory") {
            o.factory = value();
        } else if (a == "--set") {
            o.settings.push_back(value());
        } else if (a == "--json") {
            o.json = true;
        } else if (a.starts_with("--")) {
            throw HostError("unknown option " + a + " for au");
        } else {
            o.positional.push_back(a);
        }
    }
    if (o.preset && o.factory) throw HostError("--preset and --factory exclude each other");
    return o;
}

void needPositional(const AuOptions& o, std::size_t count, const char* form) {
    if (o.positional.size() != count)
        throw HostError(std::string("usage: orvella-host au ") + form);
}

void applyState(AudioUnitHost& host, const std::optional<fs::path>& preset,
                const std::optional<std::string>& factory,
                const std::vector<std::string>& settings) {
    if (preset) host.loadPreset(*preset);
    if (factory) host.selectFactoryPreset(*factory);
    for (const std::string& s : settings) host.setParameter(s);
}

void applyState(AudioUnitHost& host, const AuOptions& o) {
    applyState(host, o.preset, o.factory, o.settings);
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string list(const std::vector<std::string>& items, bool json) {
    std::string out;
    for (const std::string& item : items) {
        if (!out.empty()) out += ", ";
        out += json ? quoted(item) : item;
    }
    return json ? "[" + out + "]" : out;
}

void printInfo(AudioUnitHost& host, bool json, std::ostream& out) {
    const ComponentDescription& d = host.description();
    const SInt32 version = CallComponent(host.unit(), kComponentVersionSelect);
    const std::string versionText = std::to_string(version >> 16) + "." +
                                    std::to_string((version >> 8) & 0xff) + "." +
                                    std::to_string(version & 0xff);
    std::vector<std::string> channels;
    if (host.has(kAudioUnitProperty_SupportedNumChannels)) {
        std::vector<AUChannelInfo> infos(host.sizeOf(kAudioUnitProperty_SupportedNumChannels) /
                                         sizeof(AUChannelInfo));
        host.get(kAudioUnitProperty_SupportedNumChannels, infos.data(),
                 UInt32(infos.size() * sizeof(AUChannelInfo)));
        for (const AUChannelInfo& c : infos)
            channels.push_back((json ? "[" : "(") + std::to_string(c.inChannels) + ", " +
                               std::to_string(c.outChannels) + (json ? "]" : ")"));
    }
    const double latency = host.get<Float64>(kAudioUnitProperty_Latency);
    // Effects without a tail have no tail property.
    const std::string tail = host.has(kAudioUnitProperty_TailTime)
                                 ? number(host.get<Float64>(kAudioUnitProperty_TailTime))
                                 : "";
    const auto [presetNumber, presetName] = host.currentPreset();
    const std::vector<std::string> factory = host.factoryPresets();

    if (json) {
        out << "{\n  \"name\": " << quoted(host.name())
            << ",\n  \"type\": " << quoted(fourCharText(d.componentType))
            << ",\n  \"subtype\": " << quoted(fourCharText(d.componentSubType))
            << ",\n  \"manufacturer\": " << quoted(fourCharText(d.componentManufacturer))
            << ",\n  \"version\": " << quoted(versionText) << ",\n  \"channels\": [";
        for (std::size_t i = 0; i < channels.size(); ++i) out << (i ? ", " : "") << channels[i];
        out << "],\n  \"latency\": " << number(latency)
            << ",\n  \"tail\": " << (tail.empty() ? "null" : tail) << ",\n  \"parameters\": [";
    } else {
        out << host.name() << " (" << fourCharText(d.componentType) << " "
            << fourCharText(d.componentSubType) << " " << fourCharText(d.componentManufacturer)
            << "), version " << versionText << "\nChannels (in, out): " << list(channels, false)
            << "\nLatency: " << number(latency)
            << " s\nTail: " << (tail.empty() ? "none" : tail + " s") << "\nParameters:\n";
    }
    const std::vector<UInt32> ids = host.parameterIds();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const AudioUnitParameterInfo info = host.parameterInfo(ids[i]);
        const std::string unit = info.unitName ? info.unitName->text : "";
        const std::vector<std::string> strings = host.valueStrings(ids[i]);
        if (json) {
            out << (i ? "," : "") << "\n    {\"id\": " << ids[i]
                << ", \"name\": " << quoted(host.parameterName(ids[i]))
                << ", \"unit\": " << quoted(unit) << ", \"min\": " << number(info.minValue)
                << ", \"max\": " << number(info.maxValue)
                << ", \"default\": " << number(info.defaultValue)
                << ", \"value\": " << number(host.parameter(ids[i]))
                << ", \"valueStrings\": " << list(strings, true) << "}";
        } else {
            out << "  " << ids[i] << " \"" << host.parameterName(ids[i]) << "\" "
                << number(info.minValue) << ".." << number(info.maxValue)
                << (unit.empty() ? "" : " " + unit) << ", default " << number(info.defaultValue)
                << ", now " << number(host.parameter(ids[i]))
                << (strings.empty() ? "" : " (" + list(strings, false) + ")") << "\n";
        }
    }
    if (json) {
        out << "\n  ],\n  \"factoryPresets\": " << list(factory, true)
            << ",\n  \"currentPreset\": {\"number\": " << presetNumber
            << ", \"name\": " << quoted(presetName) << "}\n}\n";
        return;
    }
    out << "Factory presets:\n";
    for (std::size_t i = 0; i < factory.size(); ++i) out << "  " << i << " " << factory[i] << "\n";
    // A number of -1 is no factory preset: the name is then the state's own.
    if (presetNumber >= 0)
        out << "Current preset: " << presetNumber << " \"" << presetName << "\" (factory)\n";
    else
        out << "Current preset: none of the factory presets; the state is named \"" << presetName
            << "\"\n";
}

// `au render` is `render` with the Audio Unit's own names for two options: its command line
// goes through the same parser, so the options mean the same.
RenderCommand renderCommand(const std::vector<std::string>& arguments, const fs::path& bundle) {
    static const std::pair<std::string, std::string> renamed[] = {{"--factory", "--program"},
                                                                  {"--slice", "--block"}};
    std::vector<std::string> all = {"orvella-host", "render"};
    for (auto a = arguments.begin() + 1; a != arguments.end(); ++a) {
        const std::string name = a->substr(0, a->find('='));
        for (const char* other :
             {"--program", "--block", "--demo", "--spectrogram", "--mono", "--verbose"})
            if (name == other) throw HostError("au render has no option " + name);
        if (name == "--slice") {
            const std::string value = name.size() < a->size()    ? a->substr(name.size() + 1)
                                      : a + 1 != arguments.end() ? a[1]
                                                                 : "";
            long n = 0;
            auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
            if (ec != std::errc() || end != value.data() + value.size() || n < 1 || n > 65536)
                throw HostError("--slice wants a frame count from 1 to 65536, not '" + value + "'");
        }
        const auto rename = std::find_if(std::begin(renamed), std::end(renamed),
                                         [&name](const auto& r) { return r.first == name; });
        all.push_back(rename == std::end(renamed) ? *a : rename->second + a->substr(name.size()));
    }
    RenderCommand c = std::get<RenderCommand>(parseCommandLine(all, bundle));
    if (c.input == "-" || c.output == "-")
        throw HostError("au render reads and writes files, not standard input or output");
    return c;
}

int render(const std::vector<std::string>& arguments, const fs::path& bundle) {
    const RenderCommand c = renderCommand(arguments, bundle);
    std::error_code same;
    if (fs::equivalent(c.input, c.output, same))
        throw HostError("the output '" + c.output.string() +
                        "' is the input too: choose another name");
    AudioFileReader reader(c.input);
    const int chosen = formatForOutput(c.output, c.format, reader.format());
    const int format = c.floatOutput ? (chosen & SF_FORMAT_TYPEMASK) | SF_FORMAT_FLOAT : chosen;
    AudioUnitHost host(c.setup.plugin);
    std::vector<std::string> settings;
    for (const ParameterSetting& s : c.setup.settings)
        settings.push_back(s.parameter + "=" + s.value);
    applyState(host, c.setup.preset, c.setup.program, settings);
    checkWritable(c.output, format, reader.channels(), reader.sampleRate());

    TemporaryOutput file(c.output);
    AudioFileWriter writer(file.path(), c.output, format, reader.channels(), reader.sampleRate());
    const RenderInput input{
        reader.sampleRate(), reader.channels(), reader.frames(),
        [&reader](float* const* to, std::size_t n) { return reader.read(to, n); }};
    ProgressBar bar(stderr, !c.quiet,
                    double(reader.frames()) / reader.sampleRate() + c.tailSeconds);
    host.render(
        input, UInt32(c.blockSize), c.tailSeconds, c.controlChanges,
        [&writer](const float* const* from, std::size_t n) { writer.write(from, n); },
        [&bar](std::size_t done, std::size_t all) { bar.update(done, all); });
    bar.finish();
    writer.close();
    if (writer.clipped())
        std::fprintf(stderr,
                     "orvella-host: note: %zu samples clipped in '%s'; --float writes samples "
                     "that never clip\n",
                     writer.clipped(), c.output.c_str());
    file.commit();
    return 0;
}

int savePreset(const AuOptions& o) {
    needPositional(o, 3, "preset save OUT.aupreset [--factory N|NAME] [--set ID=VALUE]");
    const fs::path output = o.positional[2];
    std::string extension = output.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (extension != ".aupreset")
        throw HostError("an Audio Unit preset file's name ends in .aupreset: '" + output.string() +
                        "'");
    AudioUnitHost host(o.bundle);
    applyState(host, o);
    const std::vector<unsigned char> xml = host.presetData(output.stem().string());
    TemporaryOutput file(output);
    std::ofstream(file.path(), std::ios::binary)
        .write(reinterpret_cast<const char*>(xml.data()), std::streamsize(xml.size()));
    file.commit();
    return 0;
}

int showPreset(const AuOptions& o, std::ostream& shown) {
    // Nothing is printed of a file that turns out broken.
    std::ostringstream out;
    needPositional(o, 3, "preset show FILE");
    const fs::path file = o.positional[2];
    CFPropertyListFormat form{};
    const CFHolder<CFObject> plist = AudioUnitHost::readPropertyList(file, form);
    const CFDictionaryRef dictionary = CFDictionaryCast(plist.get());
    if (!dictionary) throw HostError(file.string() + " is not a preset dictionary");
    out << "form: " << (form == kCFPropertyListBinaryFormat_v1_0 ? "binary" : "XML")
        << " property list\n";
    for (const auto& [key, value] : dictionary->entries()) {
        out << key << ": ";
        if (auto s = CFStringCast(value)) {
            out << "\"" << s->text << "\"";
        } else if (auto n = CFNumberCast(value)) {
            const bool code = key == "type" || key == "subtype" || key == "manufacturer";
            out << n->value;
            if (code) out << " '" << fourCharText(OSType(n->value)) << "'";
        } else if (auto d = CFDataCast(value)) {
            out << d->bytes.size() << " bytes";
        } else {
            out << "(another kind)";
        }
        out << "\n";
    }
    // What the preset does, by loading it into the Audio Unit.
    AudioUnitHost host(o.bundle);
    host.loadPreset(file);
    out << "Parameters when loaded:\n";
    for (UInt32 id : host.parameterIds())
        out << "  " << id << " \"" << host.parameterName(id)
            << "\" = " << number(host.parameter(id)) << "\n";
    shown << out.str();
    return 0;
}

// What the editor changes, as the unit reports it: id, name and value in its own scale.
void printChange(void* host, void*, const AudioUnitParameter* changed) {
    auto& unit = *static_cast<AudioUnitHost*>(host);
    if (changed->mAudioUnit != unit.unit()) return;
    const UInt32 id = changed->mParameterID;
    std::cout << "parameter " << id << " \"" << unit.parameterName(id)
              << "\" = " << number(unit.parameter(id)) << std::endl;
}

} // namespace

std::string auUsage() {
    return R"(Audio Unit commands (each also takes --plugin BUNDLE, an Audio Unit bundle folder):
  au info [--json]     the Audio Unit's description, parameters and presets
  au render IN OUT     render through Audio Unit render calls: --preset FILE.aupreset or
                       --factory N|NAME, --set ID=VALUE with VALUE in the parameter's
                       own range (e.g. --set 6=7.5), --slice N frames a call; --cc,
                       --tail, --format, --float and -q as for render. A mono file
                       stays mono and the effect works in mono, as render --mono
  au preset save OUT   save the state, after --factory and --set, as OUT.aupreset
  au preset show FILE  a preset's form, keys and the parameters it sets
  au gui               the editor through the Audio Unit's view factory; prints each
                       parameter the editor changes
)";
}

int runAuCommand(const std::vector<std::string>& arguments, const fs::path& defaultBundle) {
    if (std::any_of(arguments.begin(), arguments.end(),
                    [](const std::string& a) { return a == "--help" || a == "-h"; })) {
        std::cout << "Usage: orvella-host au COMMAND [OPTION]...\n\n" << auUsage();
        return 0;
    }
    if (!arguments.empty() && arguments.front() == "render")
        return render(arguments, defaultBundle);
    const AuOptions o = parse(arguments, defaultBundle);
    const std::string what = o.positional.empty() ? "" : o.positional[0];
    if (what == "info") {
        needPositional(o, 1, "info [--json]");
        AudioUnitHost host(o.bundle);
        applyState(host, o);
        printInfo(host, o.json, std::cout);
        return 0;
    }
    if (what == "preset" && o.positional.size() > 1 && o.positional[1] == "save")
        return savePreset(o);
    if (what == "preset" && o.positional.size() > 1 && o.positional[1] == "show")
        return showPreset(o, std::cout);
    if (what == "gui") {
        needPositional(o, 1, "gui");
        AudioUnitHost host(o.bundle);
        AuEditorWindow window(host);
        AUParameterListenerRef listener = nullptr;
        AUListenerCreate(printChange, &host, &listener);
        window.run();
        AUListenerDispose(listener);
        return 0;
    }
    throw HostError("au wants info, render, preset save, preset show or gui");
}

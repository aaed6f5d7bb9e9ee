#include "host/CommandLine.h"

#include "host/AuCommand.h"
#include "host/DidYouMean.h"
#include "host/HostError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>

namespace fs = std::filesystem;

namespace {

std::optional<double> number(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> integer(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || stop != end || value < low || value > high)
        return std::nullopt;
    return value;
}

// "A" or "A-B": one number, or the two ends of a ramp.
template <typename T, typename Parse>
std::optional<std::pair<T, T>> span(const std::string& text, Parse parse) {
    const auto dash = text.find('-', 1);
    const std::optional<T> from = parse(text.substr(0, dash));
    const std::optional<T> to = dash == std::string::npos ? from : parse(text.substr(dash + 1));
    if (!from || !to || text.starts_with('-')) return std::nullopt;
    return std::pair{*from, *to};
}

// One control change, or a ramp: a change at each value step from the first value to the
// last, spread evenly over the time span, as smooth as MIDI allows.
std::vector<ControlChange> controlChanges(const std::string& text) {
    const auto bad = [&text](const std::string& why) {
        return HostError("malformed --cc '" + text + "': " + why +
                         " (expected TIME:CONTROLLER:VALUE, e.g. 1.5:1:64, or a ramp "
                         "START-END:CONTROLLER:FROM-TO, e.g. 0-4:1:0-127)");
    };
    const auto first = text.find(':');
    const auto second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos || text.find(':', second + 1) != std::string::npos)
        throw bad("three fields are needed");
    const auto seconds = span<double>(text.substr(0, first), number);
    const auto controller = integer(text.substr(first + 1, second - first - 1), 0, 127);
    const auto value =
        span<int>(text.substr(second + 1), [](const std::string& v) { return integer(v, 0, 127); });
    if (!seconds || seconds->first < 0 || seconds->second < seconds->first)
        throw bad("the time must be a number of seconds, 0 or more (a ramp's end after its start)");
    if (!controller) throw bad("the controller must be a number from 0 to 127");
    if (!value) throw bad("the value must be a number from 0 to 127");
    const auto [start, end] = *seconds;
    const auto [from, to] = *value;
    const int steps = std::abs(to - from);
    std::vector<ControlChange> changes;
    for (int k = 0; k <= steps; ++k)
        changes.push_back({steps ? start + (end - start) * k / steps : start, *controller,
                           from + (to > from ? k : -k)});
    return changes;
}

ParameterSetting parameterSetting(const std::string& text) {
    const auto equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size())
        throw HostError("malformed --set '" + text + "' (expected PARAMETER=VALUE)");
    return {text.substr(0, equals), text.substr(equals + 1)};
}

// Walks the arguments after the subcommand: options with their values, and the rest.
class Arguments {
public:
    using Handler = std::function<void(const std::string& value)>;
    struct Option {
        const char* name;
        bool takesValue;
        Handler handle;
    };

    Arguments(const std::vector<std::string>& all, std::size_t first) : all_(all), next_(first) {}

    std::vector<std::string> parse(const std::vector<Option>& options) {
        std::vector<std::string> positional;
        while (next_ < all_.size()) {
            std::string arg = all_[next_++];
            if (arg == "-q" || arg == "-h") arg = arg == "-q" ? "--quiet" : "--help";
            if (arg.size() < 2 || arg.rfind("--", 0) != 0) {
                positional.push_back(arg);
                continue;
            }
            const auto equals = arg.find('=');
            const std::string name = arg.substr(0, equals);
            auto option = std::find_if(options.begin(), options.end(),
                                       [&name](const Option& o) { return name == o.name; });
            if (option == options.end()) {
                std::vector<std::string> names;
                for (const Option& o : options) names.emplace_back(o.name);
                throw HostError("unknown option '" + name + "'" + didYouMean(name, names));
            }
            if (!option->takesValue) {
                if (equals != std::string::npos)
                    throw HostError("option " + name + " takes no value");
                option->handle({});
            } else if (equals != std::string::npos) {
                option->handle(arg.substr(equals + 1));
            } else if (next_ < all_.size()) {
                option->handle(all_[next_++]);
            } else {
                throw HostError("option " + name + " needs a value");
            }
        }
        return positional;
    }

private:
    const std::vector<std::string>& all_;
    std::size_t next_;
};

// The options that set the plug-in up, and --help.
std::vector<Arguments::Option> setupOptions(PluginSetup& s, bool& help) {
    return {
        {"--plugin", true, [&s](const std::string& v) { s.plugin = v; }},
        {"--preset", true, [&s](const std::string& v) { s.preset = v; }},
        {"--program", true, [&s](const std::string& v) { s.program = v; }},
        {"--set", true, [&s](const std::string& v) { s.settings.push_back(parameterSetting(v)); }},
        {"--help", false, [&help](const std::string&) { help = true; }},
    };
}

RenderCommand renderCommand(const std::vector<std::string>& all, const fs::path& plugin,
                            bool& help) {
    RenderCommand c;
    c.setup.plugin = plugin;
    std::vector<Arguments::Option> options = setupOptions(c.setup, help);
    options.insert(
        options.end(),
        {
            {"--cc", true,
             [&](const std::string& v) {
                 const auto changes = controlChanges(v);
                 c.controlChanges.insert(c.controlChanges.end(), changes.begin(), changes.end());
             }},
            {"--block", true,
             [&](const std::string& v) {
                 auto n = integer(v, 1, 65536);
                 if (!n) throw HostError("--block needs a number of samples from 1 to 65536");
                 c.blockSize = *n;
             }},
            {"--tail", true,
             [&](const std::string& v) {
                 auto s = number(v);
                 if (!s || *s < 0 || *s > 3600)
                     throw HostError("--tail needs a number of seconds from 0 to 3600");
                 c.tailSeconds = *s;
             }},
            {"--spectrogram", true, [&](const std::string& v) { c.spectrogram = v; }},
            {"--format", true, [&](const std::string& v) { c.format = v; }},
            {"--demo", false, [&](const std::string&) { c.demo = true; }},
            {"--quiet", false, [&](const std::string&) { c.quiet = true; }},
            {"--verbose", false, [&](const std::string&) { c.verbose = true; }},
            {"--mono", false, [&](const std::string&) { c.monoMode = true; }},
            {"--float", false, [&](const std::string&) { c.floatOutput = true; }},
        });
    const auto files = Arguments(all, 2).parse(options);
    if (help) return c;
    std::stable_sort(
        c.controlChanges.begin(), c.controlChanges.end(),
        [](const ControlChange& a, const ControlChange& b) { return a.seconds < b.seconds; });
    if (c.demo) {
        if (files.size() != 1) throw HostError("render --demo takes one output file");
        c.output = files[0];
        if (c.spectrogram.empty() && c.output != "-") {
            c.spectrogram = fs::path(c.output).replace_extension(".png");
            c.spectrogramImplied = true;
        }
    } else {
        if (files.size() != 2)
            throw HostError("render needs an input and an output file (or --demo OUT)");
        c.input = files[0];
        c.output = files[1];
    }
    return c;
}

} // namespace

Command parseCommandLine(const std::vector<std::string>& all, const fs::path& defaultPlugin) {
    if (all.size() < 2) throw HostError("no command given (try: orvella-host --help)");
    const std::string& command = all[1];
    bool help = command == "--help" || command == "-h" || command == "help";
    if (help) return HelpCommand{};
    if (command == "--version" || command == "-V") return VersionCommand{};

    if (command == "render") {
        RenderCommand c = renderCommand(all, defaultPlugin, help);
        if (help) return HelpCommand{};
        return c;
    }
    if (command == "info") {
        InfoCommand c;
        c.setup.plugin = defaultPlugin;
        std::vector<Arguments::Option> options = setupOptions(c.setup, help);
        options.push_back({"--json", false, [&](const std::string&) { c.json = true; }});
        const auto extra = Arguments(all, 2).parse(options);
        if (help) return HelpCommand{};
        if (!extra.empty()) throw HostError("unexpected argument '" + extra.front() + "'");
        return c;
    }
    if (command == "gui") {
        GuiCommand c{defaultPlugin};
        const auto extra = Arguments(all, 2).parse({
            {"--plugin", true, [&](const std::string& v) { c.plugin = v; }},
            {"--help", false, [&](const std::string&) { help = true; }},
        });
        if (help) return HelpCommand{};
        if (!extra.empty()) throw HostError("unexpected argument '" + extra.front() + "'");
        return c;
    }
    if (command == "preset") {
        const std::string action = all.size() > 2 ? all[2] : "";
        if (action == "save") {
            PresetSaveCommand c;
            c.setup.plugin = defaultPlugin;
            const auto files = Arguments(all, 3).parse(setupOptions(c.setup, help));
            if (help) return HelpCommand{};
            if (files.size() != 1) throw HostError("preset save takes one output file");
            c.output = files[0];
            return c;
        }
        if (action == "show") {
            PresetShowCommand c;
            const auto files = Arguments(all, 3).parse({
                {"--plugin", true, [&](const std::string& v) { c.plugin = v; }},
                {"--help", false, [&](const std::string&) { help = true; }},
            });
            if (help) return HelpCommand{};
            if (files.size() != 1) throw HostError("preset show takes one preset file");
            c.file = files[0];
            return c;
        }
        throw HostError("preset needs 'save' or 'show'" + didYouMean(action, {"save", "show"}) +
                        " (try: orvella-host --help)");
    }
    throw HostError("unknown command '" + command + "'" +
                    didYouMean(command, {"render", "info", "gui", "preset", "au", "help"}) +
                    " (try: orvella-host --help)");
}

// Laid out as help2man reads it, since the manual page is made from it: the usage lines
// become the synopsis, "Options:" its own section, a heading ending in a colon over
// indented lines a subsection, and examples marked "$ " stay verbatim.
std::string usage() {
    return R"(Usage: orvella-host render IN OUT [OPTION]...
  or:  orvella-host render --demo OUT [OPTION]...
  or:  orvella-host info [OPTION]... [--json]
  or:  orvella-host gui [--plugin PATH]
  or:  orvella-host preset save OUT.fxp|OUT.fxb [OPTION]...
  or:  orvella-host preset show FILE [--plugin PATH]
  or:  orvella-host au COMMAND [OPTION]...
Renders sound files through a VST 2.4 plug-in, shows its facts, saves and shows its
presets and opens its editor. Without --plugin it uses Orvella. The "au" commands do the
same through the Orvella bundle as an Audio Unit.

Commands:
  render IN OUT        process a sound file through the plug-in ("-" for standard input
                       or output)
  render --demo OUT    render the built-in demo through "PanPhase", and write OUT's
                       spectrogram beside it
  info                 the plug-in's facts, programs, and every parameter with its value
                       and range (--json: the same as JSON)
  gui                  open the plug-in's editor; prints each parameter it changes
  preset save OUT      save the program (OUT.fxp) or the whole bank (OUT.fxb)
  preset show FILE     print a preset file; with --plugin, whether it fits the plug-in
                       and every parameter's value once loaded

)" + auUsage() +
           R"(
Options:
The plug-in and its settings (render, info, preset save; gui and preset show take --plugin):
  --plugin PATH        a plug-in .so or bundle folder, or the name of one installed
                       where hosts look: VST_PATH, LXVST_PATH, ~/.vst, ~/.lxvst, the
                       lib/vst folder of this tool's installation, /usr/local/lib/vst,
                       /usr/lib/vst, /usr/lib/lxvst (default: the Orvella bundle built
                       beside this tool, else the installed one)
  --preset FILE        load an .fxp program or .fxb bank first (a bank plays its
                       program 0: choose another with --program)
  --program N|NAME     select a program (after the preset)
  --set PARAM=VALUE    set a parameter (index or name) to a value as the plug-in
                       displays it: a number in the parameter's own units or a text, e.g.
                       --set "A Depth=5" --set "B Input=In A"; PARAM=host:V sets the
                       host value V (0..1) itself
Rendering (render):
  --cc TIME:CC:VALUE   send a MIDI control change at TIME seconds (CC and VALUE 0..127);
                       START-END:CC:FROM-TO sweeps it smoothly, e.g. --cc 0-4:1:0-127
  --block N            block size in samples (default 512)
  --tail SECONDS       keep rendering after the input ends
  --format NAME        output format: wav, aiff, flac, ogg, opus, caf, w64, rf64, au,
                       mp3 (default: the one the output's extension names, else the
                       input's; WAV for "-")
  --spectrogram PNG    write a spectrogram of input and output side by side
  --mono               a mono input gives a mono output: the plug-in is told it has one
                       input and one output (Orvella then sums its two sections); by
                       default a mono input feeds both inputs and the output is stereo
  --float              write 32-bit float samples, which never clip (wav, aiff, caf,
                       w64, rf64, au)
  -q, --quiet          no progress bar
  --verbose            a one-line summary on stderr when the render is done
Any command:
  -h, --help           this text
  --version            the tool's version

Environment:
  VST_PATH             folders, separated by ":", searched for plug-ins before the others
  LXVST_PATH           more such folders, searched next
  DISPLAY              the X display the editor opens on (gui, au gui)

Examples:
  $ orvella-host render in.wav out.wav --program "Big And Bold" --spectrogram out.png
  $ orvella-host preset save slow.fxp --program "Slow Burn" --set "A Feedbk=9"
  $ orvella-host render in.wav out.flac --preset slow.fxp --tail 2
  $ orvella-host preset show slow.fxp
  $ orvella-host au render in.wav au.wav --factory "Big And Bold" --set 6=7.5
)";
}

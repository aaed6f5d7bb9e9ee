// orvella-host end to end: the built tool runs as a subprocess on sound files made here,
// with a tracing plug-in that logs what the host does, with the Orvella bundle, and with
// a third-party plug-in when one is installed.
#include "host/Sonogram.h"
#include "tests/common/TestHost.h"

#include <algorithm>
#include <cairo.h>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <regex>
#include <sndfile.hh>
#include <sstream>
#include <sys/wait.h>
#include <thread>
// Last: its macros (None, Bool, ...) would rewrite the test framework's headers.
#include <X11/Xlib.h>

namespace fs = std::filesystem;

namespace {

using Channels = std::vector<std::vector<float>>;

struct Sound {
    int rate = 0, format = 0;
    Channels channels;
};

struct ToolRun {
    int status;
    std::string out, err;
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Channels noise(int channels, std::size_t frames) {
    std::mt19937 random(1);
    std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
    Channels c(static_cast<std::size_t>(channels), std::vector<float>(frames));
    for (auto& channel : c)
        for (float& x : channel) x = uniform(random);
    return c;
}

void writeSound(const fs::path& path, int rate, int format, const Channels& channels) {
    SndfileHandle file(path.c_str(), SFM_WRITE, format, static_cast<int>(channels.size()), rate);
    ASSERT_NE(file.rawHandle(), nullptr) << file.strError();
    std::vector<float> interleaved;
    for (std::size_t i = 0; i < channels[0].size(); ++i)
        for (const auto& c : channels) interleaved.push_back(c[i]);
    file.writef(interleaved.data(), static_cast<sf_count_t>(channels[0].size()));
}

Sound readSound(const fs::path& path) {
    SndfileHandle file(path.c_str());
    if (!file.rawHandle()) return {};
    std::vector<float> interleaved(static_cast<std::size_t>(file.frames() * file.channels()));
    file.readf(interleaved.data(), file.frames());
    Sound s{file.samplerate(), file.format(), Channels(static_cast<std::size_t>(file.channels()))};
    for (std::size_t i = 0; i < interleaved.size(); ++i)
        s.channels[i % s.channels.size()].push_back(interleaved[i]);
    return s;
}

// A 16-bit stereo WAV whose header gives `rate` and `promisedFrames`, holding `frames`.
void writeWav(const fs::path& path, std::uint32_t rate, std::uint32_t promisedFrames,
              std::uint32_t frames) {
    std::ofstream out(path, std::ios::binary);
    const auto le = [&out](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(v >> (8 * i)));
    };
    out << "RIFF";
    le(36 + promisedFrames * 4, 4);
    out << "WAVEfmt ";
    le(16, 4), le(1, 2), le(2, 2), le(rate, 4), le(rate * 4, 4), le(4, 2), le(16, 2);
    out << "data";
    le(promisedFrames * 4, 4);
    for (std::uint32_t i = 0; i < frames * 2; ++i) le(i * 37, 2);
}

bool pngOfSonogramSize(const fs::path& path) {
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    const bool ok = cairo_surface_status(png) == CAIRO_STATUS_SUCCESS &&
                    cairo_image_surface_get_width(png) == kSonogramWidth &&
                    cairo_image_surface_get_height(png) == kSonogramHeight;
    cairo_surface_destroy(png);
    return ok;
}

// Absolute, as the tests run in a folder of their own.
const fs::path buildDir = fs::absolute(builtModule(""));
std::string built(const char* name) {
    return (buildDir / name).string();
}
const std::string tracer = built("tests/host/trace_plugin.so");
const std::string orvella = built("Orvella.vst/Contents/x86_64-linux/Orvella.so");
const fs::path thirdParty = "/usr/lib/lxvst/DragonflyRoomReverb-vst.so";

// Each test works in a fresh folder, shared with the tool and the tracer's log, trace.txt.
class HostTool : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvella-host-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        fs::current_path(dir = pattern);
        setenv("ORVELLA_TRACE_FILE", "trace.txt", 1);
        // The Audio Unit component converts nothing of the user's own presets.
        setenv("ORVELLA_USER_AUDIO_DIR", (dir / "user").c_str(), 1);
        setenv("ORVELLA_LOCAL_AUDIO_DIR", (dir / "local").c_str(), 1);
    }
    void TearDown() override {
        fs::current_path(home);
        if (!dir.empty()) fs::remove_all(dir);
    }

    // The tool with a command line as the shell reads it.
    ToolRun shell(const std::string& args) {
        const std::string command = "'" + built("orvella-host") + "' " + args;
        const int status = std::system((command + " >stdout 2>stderr").c_str());
        ToolRun r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp("stdout"), slurp("stderr")};
        fs::remove("stdout");
        fs::remove("stderr");
        return r;
    }
    ToolRun tool(const std::vector<std::string>& args) {
        std::string line;
        for (const auto& a : args) line += " '" + a + "'";
        return shell(line);
    }
    void editorSession(const std::string& args, const char* title, const std::string& printed);

    // Renders `in`, written as float WAV, and reads the result.
    Sound render(const Channels& in, std::vector<std::string> args) {
        writeSound("in.wav", 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT, in);
        args.insert(args.begin(), {"render", "in.wav", "out.wav"});
        const ToolRun r = tool(args);
        EXPECT_EQ(r.status, 0) << r.err;
        return readSound("out.wav");
    }

    const fs::path home = fs::current_path();
    fs::path dir;
};

void expectScaled(const Channels& in, const Channels& out, float factor) {
    ASSERT_EQ(in.size(), out.size());
    for (std::size_t c = 0; c < in.size(); ++c) {
        ASSERT_EQ(in[c].size(), out[c].size());
        for (std::size_t i = 0; i < in[c].size(); ++i)
            // A value found from its display text is as fine as the search, not exact.
            ASSERT_NEAR(out[c][i], in[c][i] * factor, 1e-6f) << "channel " << c << " frame " << i;
    }
}

// Every listed format in and out, at several rates, widths and block sizes: the container
// the extension or --format names (else the input's), the encoding kept from a 16-bit, a
// 24-bit or a float input where the container holds it, the rate, the length, two channels,
// the half-gain samples within the encoding's step, and the same bytes from the same render.
TEST_F(HostTool, EveryFormatInAndOutKeepsRateLengthAndSound) {
    const std::pair<const char*, int> containers[] = {
        {".wav", SF_FORMAT_WAV}, {".flac", SF_FORMAT_FLAC}, {".aiff", SF_FORMAT_AIFF},
        {".ogg", SF_FORMAT_OGG}, {".mp3", SF_FORMAT_MPEG},
    };
    struct Output {
        std::string name, formatOption;
        int major; // 0: the input's
    };
    std::vector<Output> outputs = {{"out", "", 0}, {"out", "flac", SF_FORMAT_FLAC}};
    for (const auto& [extension, major] : containers)
        outputs.push_back({std::string("out") + extension, "", major});
    const int rates[] = {44100, 48000, 22050, 32000};
    const char* blocks[] = {"64", "100", "1", "333", "512"};
    int inputs = 0, runs = 0;
    for (const auto& [from, major] : containers)
        for (const int encoding : {SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_FLOAT}) {
            SF_INFO probe{0, 44100, 2, major | encoding, 0, 0};
            const int input = sf_format_check(&probe)   ? major | encoding
                              : major == SF_FORMAT_OGG  ? SF_FORMAT_OGG | SF_FORMAT_VORBIS
                              : major == SF_FORMAT_MPEG ? SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III
                                                        : major | SF_FORMAT_PCM_24;
            const int rate = rates[inputs % 4], width = 1 + inputs++ % 2;
            const std::string in = std::string("in") + from;
            writeSound(in, rate, input, noise(width, 2000));
            const Sound source = readSound(in); // as the encoding left it
            for (const Output& o : outputs) {
                std::vector<std::string> args = {"render", in,   o.name,    "--plugin",
                                                 tracer,   "-q", "--block", blocks[runs++ % 5]};
                if (!o.formatOption.empty()) args.insert(args.end(), {"--format", o.formatOption});
                SCOPED_TRACE(in + " " + std::to_string(input) + " to " + o.name + " " +
                             args.back());
                ASSERT_EQ(tool(args).status, 0);
                const Sound out = readSound(o.name);
                const int outMajor = o.major ? o.major : major,
                          sub = out.format & SF_FORMAT_SUBMASK;
                EXPECT_EQ(out.format & SF_FORMAT_TYPEMASK, outMajor);
                SF_INFO keeps{0, 44100, 2, outMajor | (input & SF_FORMAT_SUBMASK), 0, 0};
                const bool sampleEncoding = (input & SF_FORMAT_SUBMASK) <= SF_FORMAT_DOUBLE;
                const bool codec = outMajor == SF_FORMAT_OGG || outMajor == SF_FORMAT_MPEG;
                if (!codec && sampleEncoding && sf_format_check(&keeps)) {
                    EXPECT_EQ(sub, input & SF_FORMAT_SUBMASK);
                }
                EXPECT_EQ(out.rate, rate);
                ASSERT_EQ(out.channels.size(), 2u); // a mono input too
                ASSERT_EQ(out.channels[0].size(), source.channels[0].size());
                const float step = sub == SF_FORMAT_PCM_16   ? 2e-4f
                                   : sub == SF_FORMAT_PCM_24 ? 1e-6f
                                   : sub == SF_FORMAT_FLOAT  ? 0
                                                             : -1; // a codec's
                for (std::size_t c = 0; c < 2 && step >= 0; ++c)
                    for (std::size_t i = 0; i < source.channels[0].size(); ++i)
                        ASSERT_NEAR(out.channels[c][i],
                                    source.channels[std::min<std::size_t>(c, width - 1)][i] * 0.5f,
                                    step);
                // Once in three runs, which meets every output in turn; Ogg's stream serial
                // is random.
                if (runs % 3 == 0 && outMajor != SF_FORMAT_OGG) {
                    const std::string first = slurp(o.name);
                    ASSERT_EQ(tool(args).status, 0);
                    EXPECT_TRUE(slurp(o.name) == first);
                }
                fs::remove(o.name);
            }
            if (major == SF_FORMAT_OGG && rate == 48000) { // an .opus name is Opus, not Vorbis
                ASSERT_EQ(tool({"render", in, "o.opus", "--plugin", tracer}).status, 0);
                EXPECT_EQ(readSound("o.opus").format, SF_FORMAT_OGG | SF_FORMAT_OPUS);
            }
        }
}

TEST_F(HostTool, StandardInputAndOutputStandInForFiles) {
    writeSound("in.flac", 48000, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, noise(2, 5000));
    struct Case {
        const char* command; // output to `piped`, or to standard output
        const char* sameAs;  // the output rendered from file to file
    };
    const Case cases[] = {
        {"render - - <in.flac", "file.wav"},      // WAV unless named
        {"render - piped <in.flac", "file.flac"}, // the input's format, as from a file
        {"render in.flac - --format aiff", "file.aiff"},
        {"render - - --format flac <in.flac", "file.flac"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        ASSERT_EQ(tool({"render", "in.flac", c.sameAs, "--plugin", tracer}).status, 0);
        const ToolRun r = shell(std::string(c.command) + " --plugin '" + tracer + "'");
        ASSERT_EQ(r.status, 0);
        EXPECT_EQ(r.err, ""); // no progress bar mixed into a pipe's neighbour
        EXPECT_TRUE((fs::exists("piped") ? slurp("piped") : r.out) == slurp(c.sameAs));
        fs::remove("piped");
    }
}

TEST_F(HostTool, DrivesThePluginInHostOrderWithEventsAtTheirFrames) {
    const Channels in = noise(2, 2205);
    // Controller 7 at 10 ms = frame 441 = block 6 (from 384) + 57; controller 1 in block 0.
    const Sound out =
        render(in, {"--plugin", tracer, "--block", "64", "--cc", "0.01:7:127", "--cc", "0:1:5"});

    const std::string log = slurp("trace.txt");
    EXPECT_TRUE(log.starts_with("sampleRateAtStart 44100\nopen\nsampleRate 44100\nblockSize 64\n"
                                "mains 1\npins 0 0\nlevel 0\nevent 0 11534597\n"))
        << log;
    EXPECT_TRUE(log.ends_with("\nmains 0\nclose\n"));
    int blocks = 0, frames = 0;
    std::istringstream lines(log);
    for (std::string line, previous; std::getline(lines, line); previous = line) {
        int n = 0, timeOk = 0;
        if (std::sscanf(line.c_str(), "process %d %d", &n, &timeOk) != 2) continue;
        EXPECT_EQ(timeOk, 1) << "sample position at block " << blocks;
        if (previous == "event 57 11536255") { // 0xB0077F, just before its block
            EXPECT_EQ(blocks, 6);
            EXPECT_EQ(n, 64);
        }
        frames += n;
        ++blocks;
    }
    EXPECT_EQ(frames, 2205 + 7); // the input and the plug-in's latency
    ASSERT_EQ(out.channels.size(), 2u);
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t i = 0; i < in[c].size(); ++i)
            ASSERT_EQ(out.channels[c][i], in[c][i] * (i < 441 ? 0.5f : 1.0f)) << i;

    // A ramp: a change at every value step, controller 7 from 0 to 10 over 10 ms.
    fs::remove("trace.txt");
    render(in, {"--plugin", tracer, "--block", "64", "--cc", "0-0.01:7:0-10"});
    std::vector<int> values;
    std::istringstream events(slurp("trace.txt"));
    for (std::string line; std::getline(events, line);) {
        int delta = 0, data = 0;
        if (std::sscanf(line.c_str(), "event %d %d", &delta, &data) == 2)
            values.push_back(data & 0x7f);
    }
    EXPECT_EQ(values, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(HostTool, ProgramsAndParametersByNumberNameOrDisplayText) {
    const std::pair<std::vector<std::string>, float> cases[] = {
        {{}, 0.5f},
        {{"--program", "Unity"}, 1.0f},
        {{"--program", "2"}, 0.1f},
        {{"--set", "Gain=0.25"}, 0.25f}, // as displayed
        {{"--set", "Gain=.3"}, 0.3f},
        {{"--set", "0=host:0.75"}, 0.75f},
        {{"--set", "Polarity=Inverted"}, -0.5f},
        {{"--set", "polarity=inverted", "--set", "gain=host:1"}, -1.0f},
        {{"--program", "Quiet", "--set", "Gain=host:0.375"}, 0.375f}, // program first
        {{"--plugin", "local.so", "--program", "Unity"}, 1.0f},       // a bare name is a file here
    };
    fs::copy_file(tracer, "local.so");
    const Channels in = noise(2, 500);
    for (auto [args, gain] : cases) {
        args.insert(args.begin(), {"--plugin", tracer});
        SCOPED_TRACE(args.back());
        expectScaled(in, render(in, args).channels, gain);
    }
}

TEST_F(HostTool, MonoInputMonoModeMonoPluginLegacyEntryAndTail) {
    // Mono through a stereo effect: both inputs fed and stereo out; in mono mode the second
    // input and output reported unconnected, and mono out.
    Channels mono = noise(1, 1000);
    const Channels twice = {mono[0], mono[0]};
    expectScaled(twice, render(mono, {"--plugin", tracer, "--spectrogram", "s.png"}).channels,
                 0.5f);
    EXPECT_NE(slurp("trace.txt").find("pins 0 0"), std::string::npos);
    EXPECT_TRUE(pngOfSonogramSize("s.png"));
    fs::remove("trace.txt");
    expectScaled(mono, render(mono, {"--plugin", tracer, "--mono"}).channels, 0.5f);
    EXPECT_NE(slurp("trace.txt").find("pins 1 1"), std::string::npos);

    // Stereo through a one-in, one-out effect: the mix in, one channel out.
    const Channels stereo = noise(2, 1000);
    const Sound out = render(stereo, {"--plugin", built("tests/host/trace_plugin_mono.so")});
    ASSERT_EQ(out.channels.size(), 1u);
    for (std::size_t i = 0; i < 1000; ++i)
        ASSERT_EQ(out.channels[0][i], 0.5f * (stereo[0][i] + stereo[1][i]) * 0.5f);

    // Only the older entry point name, and a tail of silence after the input.
    const std::string legacy = built("tests/host/trace_plugin_legacy.so");
    const Sound tailed = render(mono, {"--plugin", legacy, "--tail", "0.01", "--mono"});
    mono[0].resize(1000 + 441);
    expectScaled(mono, tailed.channels, 0.5f);
}

TEST_F(HostTool, BadInputIsOneLineExitTwoAndNoOutput) {
    writeSound("in.wav", 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT, noise(2, 100));
    ASSERT_EQ(tool({"preset", "save", "t.fxp", "--plugin", tracer}).status, 0);
    const std::string fxp = slurp("t.fxp");
    std::ofstream("short.fxp") << fxp.substr(0, 20);
    std::ofstream("cut.fxp") << fxp.substr(0, fxp.size() - 1);
    std::ofstream("foreign.fxp") << fxp.substr(0, 19) + "x" + fxp.substr(20);
    fs::remove("trace.txt");
    writeSound("three.wav", 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT, noise(3, 100));
    std::ofstream("junk.wav") << "not a sound";
    std::ofstream("junk.so") << "not a module";
    fs::create_directories("Empty.vst/Contents");
    writeWav("header.wav", 44100, 100, 0);
    writeWav("rate1.wav", 1, 100, 100);
    writeWav("rate0.wav", 0, 100, 100);
    writeSound("in96.wav", 96000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, noise(2, 100));
    fs::create_symlink(tracer, "module.fxp");
    fs::create_directories("two");
    for (const char* name : {"two/a.so", "two/b.so"}) fs::copy_file(tracer, name);
    // Options alone run on in.wav into out.wav; a case that starts with a command is whole.
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"none.wav", "out.wav"}, "input not found"},
        {{"junk.wav", "out.wav"}, "cannot read"},
        {{".", "out.wav"}, "'.' is a folder, not a sound file"},
        {{"three.wav", "out.wav"}, "only mono and stereo"},
        {{"--format", "mp9"}, "unknown format 'mp9': did you mean 'mp3'?"},
        {{"in.wav", "s.wav", "--format", "flac"}, "'s.wav' is named as wav but --format is flac"},
        {{"in.wav", "s.mp9"}, "'.mp9' is no sound file extension known here"},
        {{"in.wav", "x.opus"}, "'x.opus': Opus takes 8000, 12000, 16000, 24000 or 48000 Hz"},
        {{"in.wav", "x.opus", "--format", "ogg"}, "'x.opus' is named as opus but --format is ogg"},
        {{"in96.wav", "x.mp3"},
         "MP3 takes 8000, 11025, 12000, 16000, 22050, 24000, 32000, "
         "44100 or 48000 Hz and this sound is 96000 Hz"},
        {{"in.wav", "x.flac", "--float"}, "'x.flac': flac holds no float samples; leave out"},
        {{"header.wav", "out.wav"}, "'header.wav' holds no sound"},
        {{"rate1.wav", "out.wav"}, "sampling rate of 1 Hz; files from 1000 to 768000 Hz"},
        {{"rate0.wav", "out.wav"}, "sampling rate of 0 Hz"},
        {{"rendr", "in.wav"}, "unknown command 'rendr': did you mean 'render'?"},
        {{"preset", "shw"}, "did you mean 'show'?"},
        {{"--progam", "1"}, "unknown option '--progam': did you mean '--program'?"},
        {{"--plugin", "two"}, "'two' holds several plug-ins (a.so, b.so): name one"},
        {{"in.wav", "o.wav", "--spectrogram", "o.jpg"}, "is a PNG picture: name it .png"},
        {{"--plugin", "none.so"}, "plug-in not found"},
        {{"--plugin", "junk.so"}, "cannot load plug-in"},
        {{"--plugin", "Empty.vst"}, "no plug-in module in bundle"},
        {{"--plugin", built("tests/host/trace_plugin_no_entry.so")}, "Could not locate function"},
        {{"--plugin", built("tests/host/trace_plugin_bad_magic.so")}, "doesn't return object"},
        {{"--plugin", built("tests/host/trace_plugin_refuses.so")}, "doesn't return object"},
        {{"--set", "Volume=0.5"}, "unknown parameter 'Volume'"},
        {{"--set", "Gian=0.5"}, "'Gian': did you mean 'Gain'? (see: orvella-host info --plugin '/"},
        {{"--program", "quite"}, "'quite': did you mean 'Quiet'?"},
        {{"--set", "5=0.5"}, "parameter 5 does not exist"},
        {{"--set", "Gain=1.5"}, "no value shown as '1.5' (it shows 0.00 to 1.00)"},
        {{"--set", "Gain=host:1.5"}, "not a number from 0 to 1"},
        {{"--set", "Gain"}, "malformed --set"},
        {{"--set", "Polarity=Sideways"},
         "no value shown as 'Sideways' (it shows Normal, Inverted)"},
        {{"--program", "Loud"}, "unknown program 'Loud'"},
        {{"--program", "3"}, "program 3 does not exist"},
        {{"--cc", "1:7"}, "malformed --cc"},
        {{"--cc", "x:7:1"}, "malformed --cc"},
        {{"--cc", "0.5:7:128"}, "malformed --cc"},
        {{"--cc", "-1:7:1"}, "malformed --cc"},
        {{"--cc", "2-1:7:0-5"}, "a ramp's end after its start"},
        {{"--block", "0"}, "--block"},
        {{"in.wav", "no/such/out.wav"}, "cannot write"},
        {{"--spectrogram", "no/such.png"}, "cannot write"},
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--preset", "none.fxp"}, "preset not found"},
        {{"--preset", "."}, "preset '.' is a folder"},
        {{"--preset", "short.fxp"}, "preset 'short.fxp': it is cut short: 20 bytes of the 64 its"},
        {{"preset", "show", "short.fxp"}, "preset 'short.fxp': it is cut short: 20 bytes of the"},
        {{"--preset", "cut.fxp"}, "preset 'cut.fxp': it is cut short: 63 bytes of the 64 its"},
        {{"preset", "show", "cut.fxp"}, "preset 'cut.fxp': it is cut short: 63 bytes of the 64"},
        {{"--preset", "foreign.fxp"}, "made for another plug-in, id 'Trcx' (this one is 'Trce')"},
        {{"preset", "save", "p.fxp", "--preset", "foreign.fxp"}, "made for another plug-in"},
        {{"preset", "save", "p.txt"}, "ends in .fxp"},
        {{"preset", "save", "module.fxp"}, "the output 'module.fxp' is the plug-in too"},
    };
    const auto before = std::distance(fs::directory_iterator("."), {});
    for (auto [args, says] : cases) {
        if (args[0].starts_with("--")) args.insert(args.begin(), {"in.wav", "out.wav"});
        if (args[0] != "preset" && args[0] != "rendr") args.insert(args.begin(), "render");
        if (std::find(args.begin(), args.end(), "--plugin") == args.end())
            args.insert(args.end(), {"--plugin", tracer});
        SCOPED_TRACE(says);
        const ToolRun r = tool(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.starts_with("orvella-host: ")) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(std::regex_search(r.err, std::regex(R"(/\.[^/']+\.[A-Za-z0-9]{6}')")))
            << "names a temporary file: " << r.err;
        EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
        fs::remove("trace.txt");
        EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), before) << "left a file behind";
    }
    // Rendered all the same, with a line that says what did not go as asked.
    writeWav("cut.wav", 44100, 132300, 8820);
    const std::pair<std::vector<std::string>, const char*> warned[] = {
        {{"cut.wav", "cut-out.wav"},
         "warning: 'cut.wav' is cut short: 0.2 s of sound arrived of the 3.0 s its header"},
        {{"in.wav", "out.wav", "--cc", "0.001:1:5", "--cc", "9:1:5"},
         "note: 1 --cc change(s) at or after the end of the sound (0.00 s) change nothing"},
    };
    for (auto [args, says] : warned) {
        args.insert(args.begin(), "render");
        args.insert(args.end(), {"--plugin", tracer});
        const ToolRun r = tool(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_EQ(readSound("cut-out.wav").channels[0].size(), 8820u); // all that arrived
    writeWav("whole.wav", 44100, 8820, 8820);
    EXPECT_EQ(tool({"render", "whole.wav", "w.wav", "--plugin", tracer}).err, "");
}

// Every file in the folder, with its contents.
std::map<std::string, std::string> folder() {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator("."))
        files[entry.path().filename().string()] = slurp(entry.path());
    return files;
}

TEST_F(HostTool, TheUsersFilesAreNeverOverwrittenByMistake) {
    writeSound("in.wav", 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT, noise(2, 100));
    std::ofstream("old.wav") << "a take kept read-only";
    fs::permissions("old.wav", fs::perms::owner_read);
    std::ofstream("notes.png") << "a picture of one's own";
    fs::create_symlink("in.wav", "alias.wav");
    fs::create_hard_link("in.wav", "hard.wav");
    ASSERT_EQ(tool({"preset", "save", "p.fxp", "--plugin", tracer}).status, 0);
    fs::create_symlink("p.fxp", "p.png");
    fs::create_symlink(tracer, "module.wav");
    fs::remove("trace.txt");
    const std::pair<std::vector<std::string>, const char*> refused[] = {
        {{"in.wav", "in.wav"}, "the output 'in.wav' is the input too"},
        {{"in.wav", "alias.wav"}, "the output 'alias.wav' is the input too"},
        {{"in.wav", "hard.wav"}, "the output 'hard.wav' is the input too"},
        {{"in.wav", "o.wav", "--preset", "p.fxp", "--spectrogram", "p.png"},
         "the spectrogram 'p.png' is the preset too"},
        {{"in.wav", "module.wav"}, "the output 'module.wav' is the plug-in too"},
        {{"in.wav", "o.wav", "--spectrogram", "in.wav"}, "the spectrogram 'in.wav' is the input"},
        {{"in.wav", "o.wav", "--spectrogram", "./o.wav"},
         "the spectrogram './o.wav' is the output"},
        {{"in.wav", "old.wav"}, "'old.wav': it is read-only"},
        {{"--demo", "notes.wav"}, "'notes.png' exists"},
    };
    const auto before = folder();
    for (auto [args, says] : refused) {
        args.insert(args.begin(), "render");
        args.insert(args.end(), {"--plugin", tracer});
        const ToolRun r = tool(args);
        fs::remove("trace.txt");
        EXPECT_EQ(r.status, 2) << says;
        EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
        EXPECT_TRUE(folder() == before) << says; // (the contents are too long to print)
    }
    // An output that exists keeps its permissions; one that is a link is written where it
    // points, and stays a link.
    std::ofstream("private.wav") << "to be replaced";
    fs::permissions("private.wav", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real.wav", "link.wav");
    // What a killed run left of the output goes with the next render of it; what a running
    // one writes stays.
    const std::string dead = ".private.wav.orvella-host-unfinished-999999999.aB3dE6",
                      alive = ".private.wav.orvella-host-unfinished-" + std::to_string(getpid()) +
                              ".aB3dE6";
    std::ofstream(dead) << "left by a killed run";
    std::ofstream(alive) << "being written";
    for (const char* out : {"private.wav", "link.wav"})
        ASSERT_EQ(tool({"render", "in.wav", out, "--plugin", tracer}).status, 0) << out;
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(alive));

    // Interrupted, by the process its temporary file names: no output, and a line that says so.
    auto run = std::async(std::launch::async, [&] {
        return tool({"render", "in.wav", "long.wav", "--tail", "3600", "--plugin", tracer});
    });
    const std::string unfinished = ".long.wav.orvella-host-unfinished-";
    bool interrupted = false;
    while (!interrupted && run.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        for (const auto& entry : fs::directory_iterator("."))
            if (const std::string name = entry.path().filename(); name.starts_with(unfinished))
                interrupted = kill(std::stoi(name.substr(unfinished.size())), SIGINT) == 0;
    ASSERT_TRUE(interrupted);
    EXPECT_EQ(run.get().err, "orvella-host: interrupted; no output was written\n");
    for (const auto& entry : fs::directory_iterator("."))
        EXPECT_EQ(entry.path().string().find("long.wav"), std::string::npos);
    EXPECT_EQ(fs::status("private.wav").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(readSound("private.wav").channels.size(), 2u);
    EXPECT_TRUE(fs::is_symlink("link.wav"));
    EXPECT_EQ(readSound("real.wav").channels.size(), 2u);
}

TEST_F(HostTool, ClippingIsCountedAndFloatAvoidsIt) {
    writeSound("in.wav", 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT,
               Channels(2, std::vector<float>(100, 1.5f)));
    const std::vector<std::string> unity = {"--plugin", tracer, "--program", "Unity", "-q"};
    std::vector<std::string> args = {"render", "in.wav", "out.flac"};
    args.insert(args.end(), unity.begin(), unity.end());
    EXPECT_NE(tool(args).err.find("note: 200 samples clipped in 'out.flac'; --float"),
              std::string::npos);
    args[2] = "out.wav";
    args.push_back("--float");
    EXPECT_EQ(tool(args).err, "");
    EXPECT_EQ(readSound("out.wav").format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    args[2] = "out.aiff";
    EXPECT_EQ(tool(args).status, 0);
    EXPECT_EQ(readSound("out.aiff").channels[0][0], 1.5f);
    EXPECT_TRUE(tool({"--version"}).out.starts_with("orvella-host 1."));
    EXPECT_TRUE(tool({"render", "in.wav", "v.wav", "--plugin", tracer, "--verbose"})
                    .err.starts_with("orvella-host: rendered 0.0 s of 2-channel 44100 Hz sound "
                                     "into 'v.wav' in "));
    EXPECT_EQ(tool({"render", "-h"}).out, tool({"--help"}).out);
}

TEST_F(HostTool, DemoIsTenSecondsWithItsSpectrogram) {
    for (const char* name : {"demo.wav", "again.wav"})
        ASSERT_EQ(tool({"render", "--demo", name, "--plugin", tracer}).status, 0);
    const Sound demo = readSound("demo.wav");
    EXPECT_EQ(demo.rate, 44100);
    ASSERT_EQ(demo.channels.size(), 2u);
    EXPECT_EQ(demo.channels[0].size(), 441000u);
    EXPECT_EQ(slurp("demo.wav"), slurp("again.wav"));
    EXPECT_TRUE(pngOfSonogramSize("demo.png"));
}

TEST_F(HostTool, InfoListsProgramsParameterDisplaysAndRanges) {
    const ToolRun text = tool({"info", "--plugin", tracer, "--program", "Quiet"});
    EXPECT_EQ(text.status, 0);
    for (const char* fact : {"Tracer", "2 in, 2 out, latency 7", "current 2",
                             "  0  Gain      0.10    (0.100)  0.00 to 1.00\n",
                             "  1  Polarity  Normal  (0.000)  Normal, Inverted\n"})
        EXPECT_NE(text.out.find(fact), std::string::npos) << fact << "\n" << text.out;
    const ToolRun json = tool({"info", "--plugin", tracer, "--json"});
    EXPECT_NE(json.out.find(R"("name": "Tracer")"), std::string::npos);
    EXPECT_NE(json.out.find(R"({"index": 1, "name": "Polarity", "value": 0, "display": "Normal", )"
                            R"("label": "", "shows": "Normal, Inverted", "longName": ""})"),
              std::string::npos)
        << json.out;
}

TEST_F(HostTool, PluginsAreFoundWhereHostsLook) {
    fs::create_directories("vst/deep");
    fs::copy_file(tracer, "vst/deep/trace_plugin.so");
    fs::create_directories("only");
    fs::copy_file(tracer, "only/any.so");
    // A missing folder and an empty entry are passed over.
    setenv("VST_PATH", ((dir / "none").string() + "::" + (dir / "vst").string()).c_str(), 1);
    std::vector<std::pair<std::string, const char*>> cases = {
        {"trace_plugin", "Tracer"}, {"trace_plugin.so", "Tracer"}, {"only", "Tracer"}};
    if (fs::exists(thirdParty)) cases.emplace_back(thirdParty.stem().string(), "Dragonfly");
    for (const auto& [name, found] : cases)
        EXPECT_NE(tool({"info", "--plugin", name}).out.find(found), std::string::npos) << name;
    EXPECT_NE(tool({"info", "--plugin", "trace_plugn"})
                  .err.find("; close: '" + (dir / "vst/deep/trace_plugin.so").string()),
              std::string::npos);
    unsetenv("VST_PATH");
    EXPECT_NE(tool({"info", "--plugin", "trace_plugin"}).err.find("looked in VST_PATH"),
              std::string::npos);

    // A copy of the tool, with no bundle beside it, finds the one installed in ~/.vst.
    if (!fs::exists(orvella)) return;
    fs::create_directories("home/.vst");
    fs::create_directory_symlink(buildDir / "Orvella.vst", "home/.vst/Orvella.vst");
    fs::copy_file(built("orvella-host"), "tool");
    EXPECT_EQ(std::system("HOME=\"$PWD/home\" ./tool info >stdout 2>&1"), 0);
    EXPECT_TRUE(slurp("stdout").starts_with("Orvella Phase Shifter")) << slurp("stdout");
}

// An installation under DESTDIR holds each part in its place, and its tool finds its own
// bundle from there, after the user's own folders.
TEST_F(HostTool, InstalledUnderDestdirPlaysFromItsOwnFolders) {
    if (!fs::exists(orvella)) GTEST_SKIP() << "the Orvella bundle is not built yet: " << orvella;
    const std::string install = "DESTDIR=\"$PWD/stage\" '" ORVELLA_CMAKE "' --install '" +
                                buildDir.string() + "' --prefix /opt/o >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);
    const fs::path root = dir / "stage/opt/o";
    const fs::path module = root / "lib/vst/Orvella.vst/Contents/x86_64-linux/Orvella.so";
    for (const char* file :
         {"bin/orvella-host", "lib/vst/Orvella.vst/Contents/Info.plist",
          "lib/vst/Orvella.vst/Contents/Resources/Big And Bold.aupreset",
          "lib/lv2/Orvella.lv2/manifest.ttl", "lib/lv2/Orvella.lv2/Resources/bmp10001.png",
          "share/man/man1/orvella-host.1.gz", "share/doc/orvella/README.md",
          "share/doc/orvella/copyright", "share/bash-completion/completions/orvella-host"})
        EXPECT_TRUE(fs::is_regular_file(root / file)) << file;
    for (const fs::path& so : {module, root / "lib/lv2/Orvella.lv2/Orvella_ui.so"})
        EXPECT_EQ(fs::status(so).permissions(), fs::perms(0644)) << so;

    fs::create_directories("home/.vst/Orvella.vst/Contents/x86_64-linux");
    fs::copy_file(tracer, "home/.vst/Orvella.vst/Contents/x86_64-linux/Orvella.so");
    const std::string installed = "env -u VST_PATH -u LXVST_PATH HOME=\"$PWD/home\" '" +
                                  (root / "bin/orvella-host").string() + "' ";
    EXPECT_EQ(std::system((installed + "info >stdout").c_str()), 0);
    EXPECT_TRUE(slurp("stdout").starts_with("Tracer")) << slurp("stdout");
    fs::remove_all("home/.vst");
    EXPECT_EQ(std::system((installed + "info >stdout").c_str()), 0);
    EXPECT_NE(slurp("stdout").find("  file        " + module.string() + "\n"), std::string::npos)
        << slurp("stdout");
    EXPECT_EQ(std::system((installed + "render --demo demo.wav").c_str()), 0);
    EXPECT_EQ(readSound("demo.wav").channels.size(), 2u);
    EXPECT_EQ(std::system((installed + "au info >stdout").c_str()), 0);
    EXPECT_TRUE(slurp("stdout").starts_with("Calderis: Orvella")) << slurp("stdout");
}

// The top-level window whose name is `name`, once it shows within five seconds, or 0.
Window awaitWindow(Display* display, const char* name) {
    Window found = 0;
    for (int i = 0; i < 250 && !found; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
        for (unsigned k = 0; k < count; ++k) {
            char* title = nullptr;
            XFetchName(display, children[k], &title);
            if (title && std::string(title) == name) found = children[k];
            XFree(title);
        }
        XFree(children);
    }
    return found;
}

// Runs `orvella-host args`, which opens an editor of 200 by 100 pixels in a window named
// `title`; waits up to two seconds for the tool to print `printed`, then closes the window
// as a window manager does and expects the tool to end well.
void HostTool::editorSession(const std::string& args, const char* title,
                             const std::string& printed) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) GTEST_SKIP() << "no X display to open an editor on";
    auto run = std::async(std::launch::async, [&] { return shell(args); });
    const Window window = awaitWindow(display, title);
    ASSERT_NE(window, 0u);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    EXPECT_EQ(std::pair(attributes.width, attributes.height), std::pair(200, 100));
    bool shown = false;
    for (int i = 0; i < 100 && !shown; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        shown = slurp("stdout").find(printed) != std::string::npos;
    }
    EXPECT_TRUE(shown) << slurp("stdout");
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, &close);
    XFlush(display);
    EXPECT_EQ(run.get().status, 0);
    XCloseDisplay(display);
}

TEST_F(HostTool, GuiOpensTheEditorPrintsAutomationAndClosesWithTheWindow) {
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    setenv("DISPLAY", "", 1);
    EXPECT_NE(tool({"gui", "--plugin", tracer}).err.find("no X display is set"), std::string::npos);
    setenv("DISPLAY", display.c_str(), 1);
    editorSession("gui --plugin '" + tracer + "'", "Tracer",
                  R"(parameter 0 "Gain" = 0.2500 "0.25")");
    if (IsSkipped()) return;
    const std::string log = slurp("trace.txt");
    EXPECT_NE(log.find("\neditOpen 1\n"), std::string::npos);
    EXPECT_TRUE(log.ends_with("\neditClose\nmains 0\nclose\n")) << log;
}

// A preset saved with settings renders as those settings do, in either form.
TEST_F(HostTool, PresetsRenderAsTheirSettings) {
    struct Case {
        std::string plugin, file, form;
        std::vector<std::string> settings, after; // saved with `settings`, loaded with `after`
    };
    const Case cases[] = {
        {tracer, "t.fxp", "parameter form", {"--set", "Gain=0.25"}, {}},
        {orvella, "p.fxp", "chunk form", {"--program", "3", "--set", "A Feedbk=0.9"}, {}},
        {orvella,
         "b.fxb",
         "chunk form",
         {"--program", "5", "--set", "A Feedbk=0.9"},
         {"--program", "5"}},
        {thirdParty.string(), "b.fxb", "chunk form", {"--set", "Decay=0.5"}, {}},
    };
    const Channels in = noise(2, 4410);
    for (const Case& c : cases) {
        if (!fs::exists(c.plugin)) continue;
        SCOPED_TRACE(c.plugin + " " + c.file);
        std::vector<std::string> save = {"preset", "save", c.file, "--plugin", c.plugin};
        save.insert(save.end(), c.settings.begin(), c.settings.end());
        ASSERT_EQ(tool(save).status, 0);
        EXPECT_NE(tool({"preset", "show", c.file}).out.find(c.form), std::string::npos);
        const std::string listed = tool({"preset", "show", c.file, "--plugin", c.plugin}).out;
        EXPECT_NE(listed.find("loads completely\nloaded "), std::string::npos) << listed;
        std::vector<std::string> loaded = {"--plugin", c.plugin, "--preset", c.file}, set = save;
        loaded.insert(loaded.end(), c.after.begin(), c.after.end());
        set.erase(set.begin(), set.begin() + 3);
        const Channels expected = render(in, set).channels;
        EXPECT_EQ(render(in, loaded).channels, expected);
        EXPECT_NE(render(in, {"--plugin", c.plugin}).channels, expected);
    }
    // A bank holds every program as the plug-in gives it, and tells what it would load into.
    ASSERT_EQ(tool({"preset", "save", "t.fxb", "--plugin", tracer}).status, 0);
    const ToolRun shown = tool({"preset", "show", "t.fxb", "--plugin", tracer});
    for (const char* fact :
         {"FXB bank, parameter form (FxBk, format 1)", "Trce (1416782693)", "programs    3",
          "program 0:  \"Half\", 2 parameters\n    0.5000 0.0000",
          "program 2:  \"Quiet\", 2 parameters\n    0.1000 0.0000",
          "matches Tracer (Trce): loads completely",
          "loaded program 1 \"Unity\":\n    0 \"Gain\" = 1.00\n    1 \"Polarity\" = Normal\n"
          "loaded program 2 \"Quiet\":\n    0 \"Gain\" = 0.10\n"})
        EXPECT_NE(shown.out.find(fact), std::string::npos) << fact << "\n" << shown.out;
    EXPECT_NE(
        tool({"render", "in.wav", "o.wav", "--plugin", tracer, "--preset", "t.fxb", "--verbose"})
            .err.find("bank 't.fxb' loaded; program 0 \"Half\" plays (a bank selects no "
                      "program: choose one with --program)"),
        std::string::npos);
    EXPECT_NE(tool({"info", "--plugin", tracer, "--preset", "t.fxp"}).out.find("Gain      0.25 "),
              std::string::npos);
    expectScaled(
        in, render(in, {"--plugin", tracer, "--preset", "t.fxb", "--program", "1"}).channels, 1.0f);
}

// Every example of the help and the README, run as printed, but the editor's (it waits
// for its window to close).
TEST_F(HostTool, EveryExampleWorksAsPrinted) {
    if (!fs::exists(orvella)) GTEST_SKIP() << "the Orvella bundle is not built yet: " << orvella;
    std::vector<std::string> examples;
    std::istringstream help(tool({"--help"}).out);
    for (std::string line; std::getline(help, line);)
        if (!examples.empty() || line == "Examples:")
            examples.push_back(line.starts_with("  $ ") ? line.substr(4) : line);
    std::istringstream readme(slurp(ORVELLA_SOURCE_DIR "/README.md"));
    for (std::string line; std::getline(readme, line);)
        if (line.starts_with("    build/orvella-host ")) examples.push_back(line);
    for (const char* name : {"in.wav", "guitar.wav", "pad.wav"})
        writeSound(name, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16, noise(2, 4410));
    writeSound("drums.flac", 44100, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, noise(1, 4410));
    fs::create_directory_symlink(buildDir, "build");
    const std::string path = "PATH='" + buildDir.string() + "':\"$PATH\" ";
    int run = 0;
    for (const std::string& line : examples) {
        if (line.find("orvella-host ") == std::string::npos ||
            line.find("orvella-host gui") != std::string::npos)
            continue;
        ++run;
        EXPECT_EQ(std::system((path + line + " >/dev/null 2>&1").c_str()), 0) << line;
    }
    EXPECT_GE(run, 14);
}

TEST_F(HostTool, OrvellaChangesTheSoundDeterministicallyAndFollowsALearnedController) {
    if (!fs::exists(orvella)) GTEST_SKIP() << "the Orvella bundle is not built yet: " << orvella;
    const Channels in = noise(2, 44100);
    const Channels first = render(in, {}).channels;
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].size(), in[0].size());
    EXPECT_EQ(render(in, {}).channels, first);
    EXPECT_NE(first, in);

    const Channels still = render(in, {"--program", "8"}).channels;
    std::vector<std::string> sweep = {"--program", "8"};
    for (int step = 0; step <= 10; ++step)
        sweep.insert(sweep.end(),
                     {"--cc", std::to_string(step * 0.09) + ":1:" + std::to_string(step * 12)});
    EXPECT_NE(render(in, sweep).channels, still);
    // Its name, longer than the tracer's, selects the same program.
    const std::string info = tool({"info", "--json"}).out;
    const auto at = info.find(R"({"index": 8, "name": ")") + 22;
    ASSERT_GT(at, 22u);
    EXPECT_EQ(render(in, {"--program", info.substr(at, info.find('"', at) - at)}).channels, still);
    // The demo shows the README's program; the version reads as the project's.
    ASSERT_EQ(tool({"render", "--demo", "a.wav", "-q"}).status, 0);
    ASSERT_EQ(tool({"render", "--demo", "b.wav", "-q", "--program", "PanPhase"}).status, 0);
    EXPECT_EQ(slurp("a.wav"), slurp("b.wav"));
    const std::string version = tool({"--version"}).out.substr(13); // past "orvella-host "
    EXPECT_NE(
        tool({"info"}).out.find("version     " + version.substr(0, version.size() - 1) + " ("),
        std::string::npos);
    // A list parameter set by number and display text; a number as the knob shows it.
    const Channels inA = render(in, {"--set", "8=In A"}).channels;
    EXPECT_NE(inA, render(in, {"--set", "8=In B"}).channels);
    EXPECT_EQ(inA, render(in, {"--set", "B Input=host:0"}).channels);
    const Channels depth5 = render(in, {"--set", "A Depth=5"}).channels;
    EXPECT_EQ(depth5, render(in, {"--set", "5=5.0"}).channels);
    EXPECT_NE(depth5, render(in, {"--set", "A Depth=host:0.5"}).channels); // 5.5 shown
    // Long names, which the plug-in gives through its parameter properties, name the same.
    EXPECT_EQ(depth5, render(in, {"--set", "ph a depth=5"}).channels);
    const ToolRun listed = tool({"info"});
    EXPECT_NE(listed.out.find("A Feedbk  Ph A Feedback"), std::string::npos) << listed.out;
    EXPECT_NE(tool({"info", "--json"}).out.find(R"("longName": "Ph B Swp Sync"})"),
              std::string::npos);
    EXPECT_NE(tool({"render", "in.wav", "x.wav", "--set", "Ph A Feedbak=1"})
                  .err.find("did you mean 'Ph A Feedback'?"),
              std::string::npos);
}

TEST_F(HostTool, ThirdPartyPluginRendersToo) {
    if (!fs::exists(thirdParty)) GTEST_SKIP() << "no third-party plug-in at " << thirdParty;
    Channels click(2, std::vector<float>(22050));
    click[0][0] = click[1][0] = 1.0f;
    const Sound out = render(click, {"--plugin", thirdParty.string()});
    ASSERT_EQ(out.channels.size(), 2u);
    ASSERT_EQ(out.channels[0].size(), 22050u);
    // A room answers a click with reflections long after it.
    double late = 0;
    for (std::size_t i = 2205; i < 22050; ++i) late += std::abs(out.channels[0][i]);
    EXPECT_GT(late, 1e-3);
}

// The bash completion, as bash runs it: each row the words of a line after the tool's (bash
// source), the cursor at its end, and every word offered, sorted, as the shell reads it back
// once accepted (after the quote the word opens).
TEST_F(HostTool, BashCompletesCommandsOptionsProgramsAndFiles) {
    const fs::path framework = "/usr/share/bash-completion/bash_completion";
    if (!fs::exists(framework)) GTEST_SKIP() << "bash-completion is not installed";
    if (!fs::exists(orvella)) GTEST_SKIP() << "the Orvella bundle is not built yet: " << orvella;
    fs::create_directories("f/d");
    for (const char* name : {"f/a.wav", "f/b.fxp", "f/c.txt"}) std::ofstream{name};
    const std::pair<std::string, std::string> rows[] = {
        {"re", "render"},
        {"gui --", "--help|--plugin"},
        {"preset show --", "--help|--plugin"},
        {"au render in.wav o.wav --f", "--factory|--float|--format"},
        {"render --format = f", "flac"},
        {"render in.wav out.wav --program My", "My, how pleasant!"},
        {"info --program = 'My\\,\\ h'", "My, how pleasant!"},
        {"info --program '\"My, h'", "My, how pleasant!"},
        {"au render in.wav o.wav --factory \"'Big\"", "Big And Bold"},
        {"info --plugin '" + tracer + "' --program ''", "Half|Quiet|Unity"},
        {"gui --plugin = '" + tracer + "' ''", "none"},
        {"preset save --plugin = '" + tracer + "' --program Q", "Quiet"},
        {"info --plugin nowhere.so --program ''", "none"},
        {"info --set 'A\\ F'", "A Feedbk="},
        {"info --set 'A\\ Feedbk='", "none"},
        {"render f/", "f/a.wav|f/d"},
        {"render f/a.wav f/", "f/a.wav|f/d"},
        {"preset save f/", "f/b.fxp|f/d"},
        {"au preset show f/", "f/d"},
    };
    for (const auto& [words, offered] : rows) {
        std::ofstream("complete.sh")
            << "source " << framework << "\nsource " ORVELLA_SOURCE_DIR
            << "/host/bash-completion/orvella-host\nCOMP_WORDS=('" << built("orvella-host") << "' "
            << words << ")\n"
            << "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=${COMP_WORDS[*]}\n"
            << "COMP_LINE=${COMP_LINE// = /=} COMP_POINT=${#COMP_LINE}\n_orvella_host\n"
            << "o=${COMP_WORDS[COMP_CWORD]:0:1}; [[ $o == [\\\"\\'] ]] || o=\n"
            << "for r in \"${COMPREPLY[@]-none}\"; do eval \"printf '%s\\n' $o$r$o\"; done |"
            << "sort | paste -sd'|'\n";
        EXPECT_EQ(std::system("bash complete.sh >stdout 2>stderr"), 0) << words;
        EXPECT_EQ(slurp("stdout"), offered + "\n") << words;
        EXPECT_EQ(slurp("stderr"), "") << words;
    }
}

// --- orvella-host au: the Audio Unit path against the VST path on the same files ---------------

using AuTool = HostTool;

TEST_F(AuTool, RendersSampleForSampleAsTheVSTPathWithPresetsSavedAndLoaded) {
    writeSound("in.wav", 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT, noise(2, 30000));
    ASSERT_EQ(shell("render in.wav vst.wav --program 3 --block 300 --quiet").status, 0);
    ToolRun r = shell("au render in.wav au.wav --factory 'Big And Bold' --slice 300 --quiet");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readSound("au.wav").channels, readSound("vst.wav").channels);

    ASSERT_EQ(shell("au preset save mine.aupreset --factory 3 --set 6=7.5").status, 0);
    r = shell("au preset show mine.aupreset");
    EXPECT_NE(r.out.find("name: \"mine\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("6 \"Phaser A Feedback\" = 7.5\n"), std::string::npos) << r.out;
    ASSERT_EQ(shell("au render in.wav preset.wav --preset mine.aupreset --quiet").status, 0);
    ASSERT_EQ(shell("au render in.wav set.wav --factory 3 --set 6=7.5 --quiet").status, 0);
    EXPECT_EQ(readSound("preset.wav").channels, readSound("set.wav").channels);
    EXPECT_NE(readSound("preset.wav").channels, readSound("au.wav").channels);
}

TEST_F(AuTool, InfoListsParametersAndPresetsAndBadInputIsOneLine) {
    writeSound("in.wav", 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT, noise(2, 100));
    ToolRun r = shell("au info --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(R"("valueStrings": ["In A", "Out A", "In B"])"), std::string::npos);
    EXPECT_NE(r.out.find(R"("channels": [[1, 1], [1, 2], [2, 1], [2, 2]])"), std::string::npos);
    const std::pair<const char*, const char*> bad[] = {
        {"au render in.wav o.wav --set 6=11", "is not a number in 0..10"},
        {"au render in.wav o.wav --set 16=1", "--set wants ID=VALUE"},
        {"au render in.wav o.wav --factory 10", "no factory preset '10'"},
        {"au render in.wav o.wav --preset in.wav", "in.wav is not a property list"},
        {"au render in.wav o.wav --slice 0", "--slice wants"},
        {"au preset show missing.aupreset", "cannot read missing.aupreset"},
        {"au info --plugin .", "describes no Audio Unit component"},
        {"au play", "au wants"}};
    for (auto [args, message] : bad) {
        r = shell(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << args << ": " << r.err;
    }
    EXPECT_FALSE(fs::exists("o.wav"));
}

TEST_F(AuTool, GuiOpensTheEditorThroughTheViewFactoryIdlesAndCloses) {
    // The bundle around the tracing effect, whose editor moves its gain on its third idle:
    // the component's timer idles the editor.
    fs::copy(buildDir / "Orvella.vst", "Trace.vst", fs::copy_options::recursive);
    fs::create_symlink(tracer, "Trace.vst/Contents/Resources/Trace.vst");
    editorSession("au gui --plugin Trace.vst", "Calderis: Orvella", "parameter 0 ");
}

} // namespace

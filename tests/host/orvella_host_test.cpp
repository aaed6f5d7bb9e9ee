// orvella-host end to end: the built tool runs as a subprocess on sound files made here,
// with a tracing plug-in that logs what the host does, with the Orvella bundle, and with
// a third-party plug-in when one is installed.
#include "host/Sonogram.h"
#include "tests/common/TestHost.h"

#include <cairo.h>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sndfile.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
// Last: its macros (None, Bool, ...) would rewrite the test framework's headers.
#include <X11/Xlib.h>

namespace fs = std::filesystem;

namespace {

using Channels = std::vector<std::vector<float>>;

struct Sound {
    int rate = 0;
    int format = 0;
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

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

Channels noise(int channels, std::size_t frames, unsigned seed = 1) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
    Channels c(static_cast<std::size_t>(channels), std::vector<float>(frames));
    for (auto& channel : c)
        for (float& x : channel) x = uniform(random);
    return c;
}

void writeSound(const fs::path& path, int rate, int format, const Channels& channels) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = static_cast<int>(channels.size());
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<float> interleaved;
    for (std::size_t i = 0; i < channels[0].size(); ++i)
        for (const auto& c : channels) interleaved.push_back(c[i]);
    sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(channels[0].size()));
    sf_close(file);
}

Sound readSound(const fs::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return {};
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    Sound s{info.samplerate, info.format, Channels(static_cast<std::size_t>(info.channels))};
    for (std::size_t i = 0; i < interleaved.size(); ++i)
        s.channels[i % s.channels.size()].push_back(interleaved[i]);
    return s;
}

bool pngOfSonogramSize(const fs::path& path) {
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    const bool ok = cairo_surface_status(png) == CAIRO_STATUS_SUCCESS &&
                    cairo_image_surface_get_width(png) == kSonogramWidth &&
                    cairo_image_surface_get_height(png) == kSonogramHeight;
    cairo_surface_destroy(png);
    return ok;
}

const std::string tracer = builtModule("tests/host/trace_plugin.so");
const std::string orvella = builtModule("Orvella.vst/Contents/x86_64-linux/Orvella.so");
const fs::path thirdParty = "/usr/lib/lxvst/DragonflyRoomReverb-vst.so";

class HostTool : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvella-host-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        trace = dir / "trace.txt";
    }
    void TearDown() override { fs::remove_all(dir); }

    pid_t start(const std::vector<std::string>& args) {
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("ORVELLA_TRACE_FILE", trace.c_str(), 1);
            if (chdir(dir.c_str()) != 0) _exit(126);
            freopen((dir / "stdout").c_str(), "w", stdout);
            freopen((dir / "stderr").c_str(), "w", stderr);
            std::vector<char*> argv;
            const std::string tool = builtModule("orvella-host");
            argv.push_back(const_cast<char*>(tool.c_str()));
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(tool.c_str(), argv.data());
            _exit(127);
        }
        return pid;
    }
    ToolRun finish(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        ToolRun r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(dir / "stdout"),
                  slurp(dir / "stderr")};
        fs::remove(dir / "stdout");
        fs::remove(dir / "stderr");
        return r;
    }
    ToolRun tool(const std::vector<std::string>& args) { return finish(start(args)); }

    // Renders `in` (written as float WAV unless given) and reads the result.
    Sound render(const Channels& in, std::vector<std::string> args, int rate = 44100) {
        writeSound(dir / "in.wav", rate, SF_FORMAT_WAV | SF_FORMAT_FLOAT, in);
        args.insert(args.begin(),
                    {"render", (dir / "in.wav").string(), (dir / "out.wav").string()});
        const ToolRun r = tool(args);
        EXPECT_EQ(r.status, 0) << r.err;
        return readSound(dir / "out.wav");
    }

    fs::path dir, trace;
};

void expectScaled(const Channels& in, const Channels& out, float factor) {
    ASSERT_EQ(in.size(), out.size());
    for (std::size_t c = 0; c < in.size(); ++c) {
        ASSERT_EQ(in[c].size(), out[c].size());
        for (std::size_t i = 0; i < in[c].size(); ++i)
            ASSERT_EQ(out[c][i], in[c][i] * factor) << "channel " << c << " frame " << i;
    }
}

TEST_F(HostTool, RenderKeepsShapeAndFormatAndIsDeterministic) {
    struct Case {
        int channels, rate, format;
        const char* block;
        const char* formatOption; // "" keeps the input's, or takes the extension's
        const char* extension;
        int expected;
        float tolerance; // of the half-gain output, per sample
    };
    const int wavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT,
              flac16 = SF_FORMAT_FLAC | SF_FORMAT_PCM_16, vorbis = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    const Case cases[] = {
        {2, 44100, wavFloat, "64", "", "", wavFloat, 0},
        {1, 48000, flac16, "100", "", ".flac", flac16, 2e-4f},
        {2, 22050, SF_FORMAT_AIFF | SF_FORMAT_PCM_24, "1", "", ".wav",
         SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1e-6f},
        {2, 32000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, "333", "flac", ".wav", flac16, 2e-4f},
        {1, 44100, vorbis, "512", "", "", vorbis, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.format) + " at " + std::to_string(c.rate));
        const Channels in = noise(c.channels, 3001);
        writeSound(dir / "in", c.rate, c.format, in);
        const Sound source = readSound(dir / "in"); // as the encoding left it
        const fs::path a = dir / ("a" + std::string(c.extension));
        const fs::path b = dir / ("b" + std::string(c.extension));
        std::vector<std::string> args = {
            "render", (dir / "in").string(), a.string(), "--plugin", tracer, "--block", c.block};
        if (*c.formatOption) args.insert(args.end(), {"--format", c.formatOption});
        ASSERT_EQ(tool(args).status, 0);
        args[2] = b.string();
        ASSERT_EQ(tool(args).status, 0);

        const Sound out = readSound(a);
        EXPECT_EQ(out.rate, c.rate);
        EXPECT_EQ(out.format, c.expected);
        ASSERT_EQ(out.channels.size(), in.size());
        EXPECT_EQ(out.channels[0].size(), source.channels[0].size());
        if (c.tolerance >= 0) {
            for (std::size_t ch = 0; ch < in.size(); ++ch)
                for (std::size_t i = 0; i < in[ch].size(); ++i)
                    ASSERT_NEAR(out.channels[ch][i], source.channels[ch][i] * 0.5f, c.tolerance);
        }
        if ((c.expected & SF_FORMAT_TYPEMASK) != SF_FORMAT_OGG) { // its stream serial is random
            EXPECT_EQ(slurp(a), slurp(b));
        }
    }
}

TEST_F(HostTool, DrivesThePluginInHostOrderWithEventsAtTheirFrames) {
    const Channels in = noise(2, 2205);
    // Controller 7 at 10 ms = frame 441 = block 6 (from 384) + 57; controller 1 in block 0.
    const Sound out =
        render(in, {"--plugin", tracer, "--block", "64", "--cc", "0.01:7:127", "--cc", "0:1:5"});

    const auto log = lines(slurp(trace));
    ASSERT_GE(log.size(), 10u);
    const std::vector<std::string> opening = {"sampleRateAtStart 44100",
                                              "open",
                                              "sampleRate 44100",
                                              "blockSize 64",
                                              "mains 1",
                                              "pins 0 0",
                                              "level 4",
                                              "event 0 11534597"};
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 8), opening);
    EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
              (std::vector<std::string>{"mains 0", "close"}));
    int blocks = 0, frames = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        int n = 0, timeOk = 0;
        if (std::sscanf(log[i].c_str(), "process %d %d", &n, &timeOk) == 2) {
            EXPECT_EQ(timeOk, 1) << "sample position at block " << blocks;
            frames += n;
            ++blocks;
        }
        if (log[i] == "event 57 11536255") { // 0xB0077F
            EXPECT_EQ(blocks, 6);
            EXPECT_EQ(log[i + 1].rfind("process 64", 0), 0u);
        }
    }
    EXPECT_EQ(frames, 2205 + 7); // the input and the plug-in's latency
    ASSERT_EQ(out.channels.size(), 2u);
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t i = 0; i < in[c].size(); ++i)
            ASSERT_EQ(out.channels[c][i], in[c][i] * (i < 441 ? 0.5f : 1.0f)) << i;
}

TEST_F(HostTool, ProgramsAndParametersByNumberNameOrDisplayText) {
    const struct {
        std::vector<std::string> args;
        float gain;
    } cases[] = {
        {{}, 0.5f},
        {{"--program", "Unity"}, 1.0f},
        {{"--program", "2"}, 0.1f},
        {{"--set", "Gain=0.25"}, 0.25f},
        {{"--set", "0=0.75"}, 0.75f},
        {{"--set", "Polarity=Inverted"}, -0.5f},
        {{"--set", "polarity=inverted", "--set", "gain=1"}, -1.0f},
        {{"--program", "Quiet", "--set", "Gain=0.375"}, 0.375f}, // program first
        {{"--plugin", "local.so", "--program", "Unity"}, 1.0f},  // a bare name is a file here
    };
    fs::copy_file(tracer, dir / "local.so");
    const Channels in = noise(2, 500);
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), {"--plugin", tracer});
        SCOPED_TRACE(args.back());
        expectScaled(in, render(in, args).channels, c.gain);
    }
}

TEST_F(HostTool, MonoInputMonoPluginLegacyEntryAndTail) {
    // Mono through a stereo effect: both inputs fed, the second reported unconnected.
    const Channels mono = noise(1, 1000);
    Sound out = render(mono, {"--plugin", tracer, "--spectrogram", (dir / "s.png").string()});
    expectScaled(mono, out.channels, 0.5f);
    EXPECT_NE(slurp(trace).find("pins 1 1"), std::string::npos);
    EXPECT_TRUE(pngOfSonogramSize(dir / "s.png"));

    // Stereo through a one-in, one-out effect: the mix in, one channel out.
    const Channels stereo = noise(2, 1000);
    out = render(stereo, {"--plugin", builtModule("tests/host/trace_plugin_mono.so")});
    ASSERT_EQ(out.channels.size(), 1u);
    for (std::size_t i = 0; i < 1000; ++i)
        ASSERT_EQ(out.channels[0][i], 0.5f * (stereo[0][i] + stereo[1][i]) * 0.5f);

    // Only the older entry point name, and a tail of silence after the input.
    out = render(mono,
                 {"--plugin", builtModule("tests/host/trace_plugin_legacy.so"), "--tail", "0.01"});
    ASSERT_EQ(out.channels[0].size(), 1000u + 441u);
    expectScaled(mono, {{out.channels[0].begin(), out.channels[0].begin() + 1000}}, 0.5f);
    for (std::size_t i = 1000; i < out.channels[0].size(); ++i) ASSERT_EQ(out.channels[0][i], 0.0f);
}

TEST_F(HostTool, BadInputIsOneLineExitTwoAndNoOutput) {
    writeSound(dir / "in.wav", 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT, noise(2, 100));
    writeSound(dir / "three.wav", 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT, noise(3, 100));
    std::ofstream(dir / "junk.wav") << "not a sound";
    std::ofstream(dir / "junk.so") << "not a module";
    fs::create_directories(dir / "Empty.vst/Contents");
    const auto in = (dir / "in.wav").string();
    const auto out = (dir / "out.wav").string();
    const auto variant = [](const char* name) { return builtModule(name); };
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{(dir / "none.wav").string(), out}, "input not found"},
        {{(dir / "junk.wav").string(), out}, "cannot read"},
        {{(dir / "three.wav").string(), out}, "only mono and stereo"},
        {{in, out, "--format", "mp9"}, "unknown format 'mp9'"},
        {{in, out, "--plugin", (dir / "none.so").string()}, "plug-in not found"},
        {{in, out, "--plugin", (dir / "junk.so").string()}, "cannot load plug-in"},
        {{in, out, "--plugin", (dir / "Empty.vst").string()}, "no plug-in module in bundle"},
        {{in, out, "--plugin", variant("tests/host/trace_plugin_no_entry.so")},
         "exports neither VSTPluginMain nor main"},
        {{in, out, "--plugin", variant("tests/host/trace_plugin_bad_magic.so")}, "wrong magic"},
        {{in, out, "--plugin", variant("tests/host/trace_plugin_refuses.so")}, "refused to start"},
        {{in, out, "--set", "Volume=0.5"}, "unknown parameter 'Volume'"},
        {{in, out, "--set", "5=0.5"}, "parameter 5 does not exist"},
        {{in, out, "--set", "Gain=1.5"}, "outside 0..1"},
        {{in, out, "--set", "Gain"}, "malformed --set"},
        {{in, out, "--set", "Polarity=Sideways"}, "no value shown as 'Sideways'"},
        {{in, out, "--program", "Loud"}, "unknown program 'Loud'"},
        {{in, out, "--program", "3"}, "program 3 does not exist"},
        {{in, out, "--cc", "1:7"}, "malformed --cc"},
        {{in, out, "--cc", "x:7:1"}, "malformed --cc"},
        {{in, out, "--cc", "0.5:7:128"}, "malformed --cc"},
        {{in, out, "--cc", "-1:7:1"}, "malformed --cc"},
        {{in, out, "--block", "0"}, "--block"},
        {{in, (dir / "no/such/out.wav").string()}, "cannot write"},
        {{in, out, "--spectrogram", (dir / "no/such.png").string()}, "cannot write"},
        {{in, out, "--frobnicate"}, "unknown option '--frobnicate'"},
    };
    const auto before = std::distance(fs::directory_iterator(dir), {});
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "render");
        if (std::find(args.begin(), args.end(), "--plugin") == args.end())
            args.insert(args.end(), {"--plugin", tracer});
        SCOPED_TRACE(c.says);
        const ToolRun r = tool(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
        EXPECT_EQ(r.err.rfind("orvella-host: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
        fs::remove(trace);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), before) << "left a file behind";
    }
}

TEST_F(HostTool, DemoIsTenSecondsWithItsSpectrogram) {
    for (const char* name : {"demo.wav", "again.wav"})
        ASSERT_EQ(tool({"render", "--demo", (dir / name).string(), "--plugin", tracer}).status, 0);
    const Sound demo = readSound(dir / "demo.wav");
    EXPECT_EQ(demo.rate, 44100);
    ASSERT_EQ(demo.channels.size(), 2u);
    EXPECT_EQ(demo.channels[0].size(), 441000u);
    EXPECT_EQ(slurp(dir / "demo.wav"), slurp(dir / "again.wav"));
    EXPECT_TRUE(pngOfSonogramSize(dir / "demo.png"));
}

TEST_F(HostTool, InfoListsProgramsAndParameterDisplays) {
    const ToolRun text = tool({"info", "--plugin", tracer});
    EXPECT_EQ(text.status, 0);
    for (const char* fact : {"Tracer", "2 in, 2 out, latency 7", "Quiet", "Polarity", "Normal"})
        EXPECT_NE(text.out.find(fact), std::string::npos) << fact;
    const ToolRun json = tool({"info", "--plugin", tracer, "--json"});
    EXPECT_NE(json.out.find(R"("name": "Tracer")"), std::string::npos);
    EXPECT_NE(json.out.find(R"({"index": 1, "name": "Polarity", "value": 0, "display": "Normal")"),
              std::string::npos)
        << json.out;
}

// The top-level window whose name is `name`, or 0.
Window findWindow(Display* display, const char* name) {
    Window root, parent, *children = nullptr, found = 0;
    unsigned count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count && !found; ++i) {
        char* title = nullptr;
        if (XFetchName(display, children[i], &title) && title) {
            if (std::string(title) == name) found = children[i];
            XFree(title);
        }
    }
    if (children) XFree(children);
    return found;
}

TEST_F(HostTool, GuiOpensTheEditorPrintsAutomationAndClosesWithTheWindow) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) GTEST_SKIP() << "no X display to open an editor on";
    const pid_t pid = start({"gui", "--plugin", tracer});
    Window window = 0;
    bool automated = false;
    for (int i = 0; i < 250 && !(window && automated); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!window) window = findWindow(display, "Tracer");
        automated = slurp(dir / "stdout").find(R"(parameter 0 "Gain" = 0.2500 "0.25")") !=
                    std::string::npos;
    }
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(automated) << slurp(dir / "stdout");
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    EXPECT_EQ(attributes.width, 200);
    EXPECT_EQ(attributes.height, 100);

    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, &close);
    XFlush(display);
    EXPECT_EQ(finish(pid).status, 0);
    XCloseDisplay(display);
    const auto log = lines(slurp(trace));
    EXPECT_NE(std::find(log.begin(), log.end(), "editOpen 1"), log.end());
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"editClose", "mains 0", "close"}));
}

// --- with the real effect -------------------------------------------------------------------

#define REQUIRE_ORVELLA()                                                                          \
    if (!fs::exists(orvella)) GTEST_SKIP() << "the Orvella bundle is not built yet: " << orvella

TEST_F(HostTool, OrvellaByDefaultChangesTheSoundDeterministically) {
    REQUIRE_ORVELLA();
    const Channels in = noise(2, 44100);
    const Sound first = render(in, {});
    const Sound second = render(in, {});
    ASSERT_EQ(first.channels.size(), 2u);
    EXPECT_EQ(first.channels[0].size(), in[0].size());
    EXPECT_EQ(first.channels, second.channels);
    EXPECT_NE(first.channels, in);
}

TEST_F(HostTool, OrvellaFollowsALearnedControllerAndDisplayTexts) {
    REQUIRE_ORVELLA();
    const Channels in = noise(2, 44100);
    const Sound still = render(in, {"--program", "8"});
    std::vector<std::string> sweep = {"--program", "8"};
    for (int step = 0; step <= 10; ++step)
        sweep.insert(sweep.end(),
                     {"--cc", std::to_string(step * 0.09) + ":1:" + std::to_string(step * 12)});
    EXPECT_NE(render(in, sweep).channels, still.channels);
    // The program's name selects the same program.
    const ToolRun info = tool({"info", "--json"});
    const auto at = info.out.find(R"({"index": 8, "name": ")");
    ASSERT_NE(at, std::string::npos);
    const auto name = info.out.substr(at + 22, info.out.find('"', at + 22) - at - 22);
    EXPECT_EQ(render(in, {"--program", std::string(name)}).channels, still.channels);
    // A list parameter set by its display texts.
    EXPECT_NE(render(in, {"--set", "8=In A"}).channels, render(in, {"--set", "8=In B"}).channels);
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

} // namespace

// `orvella-host au` end to end: the built tool against the built bundle, its Audio Unit
// path checked against its VST path on the same files.
#include "tests/common/TestHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <future>
#include <sndfile.hh>
#include <sys/wait.h>
#include <thread>
// Last: its macros would rewrite the test framework's headers.
#include <X11/Xlib.h>

namespace fs = std::filesystem;

namespace {

const fs::path tool = fs::absolute(builtModule("orvella-host"));

struct Outcome {
    int status;
    std::string out, err;
};

std::string contents(const fs::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

class AuTool : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvella-au-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        // The component converts nothing of the user's own presets.
        setenv("ORVELLA_USER_AUDIO_DIR", (dir / "user").c_str(), 1);
        setenv("ORVELLA_LOCAL_AUDIO_DIR", (dir / "local").c_str(), 1);
        SndfileHandle in((dir / "in.wav").c_str(), SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2,
                         44100);
        std::vector<float> frames(2 * 30000);
        for (std::size_t i = 0; i < frames.size(); ++i)
            frames[i] = 0.4f * float(std::sin(0.01 * double(i) * (1 + i % 2)));
        in.writef(frames.data(), 30000);
    }
    void TearDown() override { fs::remove_all(dir); }
    Outcome run(const std::string& args) {
        const std::string command =
            "cd '" + dir.string() + "' && '" + tool.string() + "' " + args + " >stdout 2>stderr";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, contents(dir / "stdout"),
                contents(dir / "stderr")};
    }
    std::vector<float> sound(const char* name) {
        SndfileHandle file((dir / name).c_str());
        std::vector<float> samples(std::size_t(file.frames() * file.channels()));
        file.readf(samples.data(), file.frames());
        return samples;
    }
    fs::path dir;
};

TEST_F(AuTool, RendersSampleForSampleAsTheVSTPathWithPresetsSavedAndLoaded) {
    ASSERT_EQ(run("render in.wav vst.wav --program 3 --block 300 --quiet").status, 0);
    Outcome r = run("au render in.wav au.wav --factory 'Big And Bold' --slice 300 --quiet");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(sound("au.wav"), sound("vst.wav"));

    r = run("au preset save mine.aupreset --factory 3 --set 6=7.5");
    ASSERT_EQ(r.status, 0) << r.err;
    r = run("au preset show mine.aupreset");
    EXPECT_NE(r.out.find("name: \"mine\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("6 \"Phaser A Feedback\" = 7.5\n"), std::string::npos) << r.out;
    ASSERT_EQ(run("au render in.wav preset.wav --preset mine.aupreset --quiet").status, 0);
    ASSERT_EQ(run("au render in.wav set.wav --factory 3 --set 6=7.5 --quiet").status, 0);
    EXPECT_EQ(sound("preset.wav"), sound("set.wav"));
    EXPECT_NE(sound("preset.wav"), sound("au.wav"));
}

TEST_F(AuTool, InfoListsParametersAndPresetsAndBadInputIsOneLine) {
    Outcome r = run("au info --json");
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
        r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << args << ": " << r.err;
    }
    EXPECT_FALSE(fs::exists(dir / "o.wav"));
}

TEST_F(AuTool, GuiOpensTheEditorThroughTheViewFactoryIdlesAndCloses) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) GTEST_SKIP() << "no X display";
    // The bundle around the host tests' tracing effect, whose editor moves its gain on its
    // third idle.
    fs::copy(builtModule("Orvella.vst"), dir / "Trace.vst", fs::copy_options::recursive);
    fs::create_symlink(fs::absolute(builtModule("tests/host/trace_plugin.so")),
                       dir / "Trace.vst/Contents/Resources/Trace.vst");
    auto tool = std::async(std::launch::async, [this] { return run("au gui --plugin Trace.vst"); });
    Window window = 0;
    for (int i = 0; i < 250 && !window; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
        for (unsigned k = 0; k < count; ++k) {
            char* title = nullptr;
            XFetchName(display, children[k], &title);
            if (title && std::string(title) == "Calderis: Orvella") window = children[k];
            XFree(title);
        }
        XFree(children);
    }
    ASSERT_NE(window, 0u);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    EXPECT_EQ(std::pair(attributes.width, attributes.height), std::pair(200, 100));
    bool idled = false;
    for (int i = 0; i < 100 && !idled; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        idled = contents(dir / "stdout").starts_with("parameter 0 ");
    }
    EXPECT_TRUE(idled) << "the component's timer idles the editor";
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, &close);
    XFlush(display);
    const Outcome r = tool.get();
    EXPECT_EQ(r.status, 0) << r.err;
    XCloseDisplay(display);
}

} // namespace

// The hosted-effect bridge through built modules, loaded as a host loads them: bundles,
// entry points and callback answers with a probe effect, FXP and FXB with the real
// Orvella in both forms, and what broken or foreign preset data does.
#include "tests/common/TestHost.h"
#include "vstbridge/DoruvezovException.h"
#include "vstbridge/FxRecord.h"
#include "vstbridge/VSTPlugIn.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

const fs::path orvellaBundle = builtModule("Orvella.vst");
const fs::path tracer = builtModule("tests/host/trace_plugin.so");

// Records what reaches it; one input pin connected.
struct RecordingHost final : VSTHost {
    void getVendor(VSTPlugIn&, char* text) override { std::strcpy(text, "Tests"); }
    void getProduct(VSTPlugIn&, char* text) override { std::strcpy(text, "Tests"); }
    int getVersion(VSTPlugIn&) override { return 7; }
    bool canDo(VSTPlugIn&, const char* what) override {
        return what == std::string("sendVstEvents");
    }
    VstTimeInfo* getTimeInfo(VSTPlugIn&, int) override { return nullptr; }
    void beginEdit(VSTPlugIn&, int p) override { note("begin", p); }
    void automate(VSTPlugIn&, int p, float v) override { note("automate", p, v); }
    void endEdit(VSTPlugIn&, int p) override { note("end", p); }
    bool isIOPinConnected(VSTPlugIn&, bool output, int pin) override { return output || pin < 1; }
    void idle(VSTPlugIn&) override {}
    void updateDisplay(VSTPlugIn&) override {}
    void resizeWindow(VSTPlugIn&, int w, int h) override { note("resize", w, h); }
    void note(const char* what, int a, double b = 0) {
        log += what + (" " + std::to_string(a)) + " " + std::to_string(b) + ";";
    }
    std::string log;
} host;

std::unique_ptr<VSTPlugIn> opened(const fs::path& path, float rate = 44100) {
    CFBundleRef bundle = CFBundleCreateWithPath(path);
    EXPECT_NE(bundle, nullptr) << path;
    auto plugIn = std::make_unique<VSTPlugIn>(host, bundle, rate, 512);
    CFRelease(bundle);
    plugIn->open();
    return plugIn;
}

// Orvella, in the parameter form when `chunks` is false: a host may ignore chunks.
std::unique_ptr<VSTPlugIn> orvella(bool chunks) {
    auto plugIn = opened(orvellaBundle);
    if (!chunks) plugIn->getEffect()->flags &= ~effFlagsProgramChunks;
    return plugIn;
}

Bytes created(VSTPlugIn& p, bool bank) {
    unsigned long size = 0;
    std::unique_ptr<unsigned char[]> data(bank ? p.createFXB(size) : p.createFXP(size));
    return Bytes(data.get(), data.get() + size);
}

std::string loaded(VSTPlugIn& p, const Bytes& data) {
    try {
        return p.loadFXPOrFXB(data.size(), data.data()) ? "complete" : "incomplete";
    } catch (const DoruvezovException& e) {
        return e.what();
    }
}

std::string programName(VSTPlugIn& p) {
    char name[25];
    p.getCurrentProgramName(name);
    return name;
}

TEST(CFBundle, FindsItsExecutableAndUnloadsWithItsLastReference) {
    const fs::path dir = fs::temp_directory_path() / ("bundle-test-" + std::to_string(getpid()));
    fs::create_directories(dir / "Renamed.vst/Contents/x86_64-linux");
    fs::copy_file(tracer, dir / "Renamed.vst/Contents/x86_64-linux/other.so");
    fs::copy_file(tracer, dir / "Renamed.vst/Contents/x86_64-linux/Renamed.so");
    std::ofstream(dir / "Renamed.vst/Contents/Info.plist")
        << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleExecutable</key>"
           "<string>other.so</string></dict></plist>";
    fs::create_directories(dir / "Empty.vst/Contents");
    const fs::path orvellaSo = orvellaBundle / "Contents/x86_64-linux/Orvella.so";
    const std::tuple<fs::path, fs::path, fs::path> cases[] = {
        {orvellaBundle, orvellaBundle, orvellaSo},
        {orvellaSo, orvellaBundle, orvellaSo},
        {tracer, tracer.parent_path(), tracer},
        {dir / "Renamed.vst", dir / "Renamed.vst",
         dir / "Renamed.vst/Contents/x86_64-linux/other.so"},
        {dir / "Empty.vst", "", ""},
    };
    for (const auto& [path, bundlePath, executable] : cases) {
        CFBundleRef bundle = CFBundleCreateWithPath(path);
        ASSERT_EQ(bundle != nullptr, !bundlePath.empty()) << path;
        if (!bundle) continue;
        EXPECT_EQ(fs::weakly_canonical(bundle->bundlePath()), fs::weakly_canonical(bundlePath));
        EXPECT_EQ(fs::weakly_canonical(bundle->executablePath()), fs::weakly_canonical(executable));
        CFRelease(bundle);
    }

    // The plug-in's reference keeps the executable only while someone else holds one.
    const fs::path copy = dir / "Renamed.vst/Contents/x86_64-linux/Renamed.so";
    CFBundleRef bundle = CFBundleCreateWithPath(copy);
    for (bool othersHold : {true, false}) {
        auto plugIn = std::make_unique<VSTPlugIn>(host, bundle, 44100.0f, 64);
        if (!othersHold) CFRelease(bundle);
        plugIn->open();
        plugIn.reset();
        void* still = dlopen(copy.c_str(), RTLD_NOW | RTLD_NOLOAD);
        EXPECT_EQ(still != nullptr, othersHold);
        if (still) dlclose(still);
    }
    fs::remove_all(dir);
}

TEST(VSTPlugIn, LoadingFailuresAndTheLegacyEntry) {
    const std::pair<const char*, const char*> cases[] = {
        {"tests/host/trace_plugin_legacy.so", ""},
        {"tests/host/trace_plugin_no_entry.so",
         "Could not locate function in bundle executable (\"VSTPluginMain\" or \"main\")"},
        {"tests/host/trace_plugin_bad_magic.so", "VST main() doesn't return object AEffect*"},
        {"tests/host/trace_plugin_refuses.so", "VST main() doesn't return object AEffect*"},
        {"CMakeCache.txt", "Could not load VST bundle executable"}, // not a module
    };
    for (const auto& [module, message] : cases) {
        CFBundleRef bundle = CFBundleCreateWithPath(builtModule(module));
        ASSERT_NE(bundle, nullptr) << module;
        VSTPlugIn plugIn(host, bundle, 44100, 64);
        CFRelease(bundle);
        std::string failure;
        try {
            plugIn.open();
        } catch (const DoruvezovException& e) {
            failure = e.what();
        }
        EXPECT_EQ(failure, message) << module;
        EXPECT_EQ(plugIn.isOpen(), !*message);
        EXPECT_EQ(plugIn.getEffect() != nullptr, !*message);
    }
}

TEST(VSTPlugIn, AnswersAndGuardsAgainstAProbe) {
    for (const char* midi : {"yes", "asks", "no"}) {
        setenv("ORVELLA_PROBE_MIDI", midi, 1);
        auto probe = opened(builtModule("tests/audiounit/probe_plugin.so"), 44099.6f);
        SCOPED_TRACE(midi);
        EXPECT_EQ(probe->wantsMidi(), std::string(midi) != "no");
        // During the entry call there is no effect yet.
        EXPECT_EQ(probe->vendorSpecific(0, 0, nullptr, 0), 2300);
        EXPECT_EQ(probe->vendorSpecific(1, 0, nullptr, 0), 0);
        EXPECT_EQ(probe->vendorSpecific(2, 0, nullptr, 0), 44100);
        EXPECT_EQ(probe->vendorSpecific(3, 0, nullptr, 0), CCONST('P', 'r', 'b', 'e'));
        EXPECT_EQ(probe->getCurrentProgram(), 10);
        char name[25];
        probe->getParameterName(0, name);
        EXPECT_STREQ(name, "A parameter name of thir");
        EXPECT_EQ(probe->getTailSize(), 0); // the effect threw
    }
    // The callbacks that reach the host, and what the effect is answered.
    host.log.clear();
    auto probe = opened(builtModule("tests/audiounit/probe_plugin.so"));
    VstIntPtr answers[12] = {};
    probe->vendorSpecific(4, 0, answers, 0);
    const VstIntPtr expected[12] = {0, 1, 0, 1, 1, 1, 1, 1, 512, 7, 0, 'T'};
    EXPECT_TRUE(std::equal(answers, answers + 12, expected));
    EXPECT_EQ(host.log,
              "automate 3 0.500000;resize 300 200.000000;begin 2 0.000000;end 2 0.000000;");
}

TEST(FxpFxb, LayoutsInBothFormsAndRoundTripsIntoAFreshInstance) {
    struct Case {
        bool chunks, bank;
        std::size_t size;
        VstInt32 kind, count;
        unsigned long chunkAt;
    };
    const Case cases[] = {
        {false, false, 120, kFxProgramParameters, 16, 0},
        {false, true, 1356, kFxBankParameters, 10, 0},
        {true, false, 60 + 104, kFxProgramChunk, 16, kFxProgramChunkAt},
        {true, true, 160 + 1040, kFxBankChunk, 10, kFxBankChunkAt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(fxCodeText(c.kind));
        auto from = orvella(c.chunks);
        for (int program = 0; program < 10; ++program) {
            from->setCurrentProgram(program);
            from->setCurrentProgramName(("Mine " + std::to_string(program)).c_str());
            for (int i = 0; i < 16; ++i) from->setParameter(i, float((program + i) % 9) / 8);
        }
        // A controller assignment of the last program (its record's 89th byte).
        void* chunk = nullptr;
        const auto bankSize = from->dispatch(effGetChunk, 0, 0, &chunk);
        Bytes assigned(static_cast<unsigned char*>(chunk),
                       static_cast<unsigned char*>(chunk) + bankSize);
        assigned[9 * 104 + 88] = 42;
        from->dispatch(effSetChunk, 0, bankSize, assigned.data());
        from->setCurrentProgram(3);
        const Bytes data = created(*from, c.bank);
        ASSERT_EQ(data.size(), c.size);
        // Valid records of each kind are the fuzz targets' seeds.
        if (const char* seeds = std::getenv("ORVELLA_FUZZ_SEEDS"))
            std::ofstream(fs::path(seeds) / (fxCodeText(c.kind) + (c.bank ? ".fxb" : ".fxp")))
                .write(reinterpret_cast<const char*>(data.data()), c.size);
        EXPECT_EQ(fxRead(&data[0]), kFxChunkMagic);
        EXPECT_EQ(fxRead(&data[4]), static_cast<std::int32_t>(c.size - 8));
        EXPECT_EQ(fxRead(&data[8]), c.kind);
        EXPECT_EQ(fxRead(&data[12]), 1);
        EXPECT_EQ(fxRead(&data[16]), CCONST('T', 'Q', 'b', 'p'));
        EXPECT_EQ(fxRead(&data[24]), c.count);
        EXPECT_EQ(from->getCurrentProgram(), 3);
        if (c.chunks) {
            EXPECT_EQ(fxRead(&data[c.chunkAt - 4]), c.size - c.chunkAt);
        } else {
            // A program record's name and values; a bank's records in program order.
            const std::size_t record = c.bank ? 156 + 5 * 120 : 0;
            from->setCurrentProgram(c.bank ? 5 : 3);
            EXPECT_EQ(fxRead(&data[record + 8]), kFxProgramParameters);
            EXPECT_STREQ(reinterpret_cast<const char*>(&data[record + 28]),
                         programName(*from).c_str());
            for (int i = 0; i < 16; ++i)
                EXPECT_EQ(fxReadFloat(&data[record + 56 + 4 * i]), from->getParameter(i));
        }

        // A program goes into the current program; a bank into every program.
        auto to = orvella(c.chunks);
        to->setCurrentProgram(7);
        EXPECT_EQ(loaded(*to, data), "complete");
        for (int program = c.bank ? 0 : 7; program < (c.bank ? 10 : 8); ++program) {
            SCOPED_TRACE(program);
            from->setCurrentProgram(c.bank ? program : 3);
            to->setCurrentProgram(program);
            EXPECT_EQ(programName(*to), programName(*from));
            for (int i = 0; i < 16; ++i) EXPECT_EQ(to->getParameter(i), from->getParameter(i));
        }
        if (c.chunks && c.bank) {
            to->dispatch(effGetChunk, 0, 0, &chunk);
            EXPECT_EQ(static_cast<unsigned char*>(chunk)[9 * 104 + 88], 42);
        }
    }
}

TEST(FxpFxb, ShortForeignAndUnfittingData) {
    // Values unlike the factory programs, so that what a load applies shows.
    auto source = orvella(false);
    for (int program = 0; program < 10; ++program) {
        source->setCurrentProgram(program);
        for (int i = 0; i < 16; ++i) source->setParameter(i, float((program + i) % 7) / 6);
    }
    source->setCurrentProgram(2);
    const Bytes fxp = created(*source, false), fxb = created(*source, true);
    auto chunked = orvella(true);
    const Bytes fpch = created(*chunked, false), fbch = created(*chunked, true);
    const auto patched = [](Bytes d, std::size_t at, std::int32_t v) {
        fxWrite(&d[at], v);
        return d;
    };
    const auto resized = [](Bytes d, std::size_t size) {
        d.resize(size);
        fxWrite(&d[4], static_cast<std::int32_t>(size - 8));
        return d;
    };
    // Records of 18 values: two more (NaNs, never applied) after the sixteen.
    Bytes wide = fxb;
    for (std::size_t at = 156 + 9 * 120; at >= 156; at -= 120) {
        fxWrite(&wide[at + 24], 18);
        wide.insert(wide.begin() + static_cast<long>(at + 120), 8, 0x7f);
    }
    fxWrite(&wide[4], static_cast<std::int32_t>(wide.size() - 8));
    const auto same = [&source](VSTPlugIn& p, int program, int parameter) {
        source->setCurrentProgram(program);
        p.setCurrentProgram(program);
        return p.getParameter(parameter) == source->getParameter(parameter);
    };
    const auto valueOf = [](VSTPlugIn& p, int program, int parameter) {
        p.setCurrentProgram(program);
        return p.getParameter(parameter);
    };
    struct Case {
        const char* what;
        Bytes data;
        std::string outcome;
        std::function<bool(VSTPlugIn&)> check;
    };
    const std::string eof = "End of file error", invalid = "Invalid format of FXP / FXB data";
    const Case cases[] = {
        {"20 bytes", Bytes(fxp.begin(), fxp.begin() + 20), eof, {}},
        {"foreign id", patched(fxp, 16, CCONST('X', 'x', 'x', 'x')), invalid, {}},
        {"version 3", patched(fxb, 12, 3), invalid, {}},
        {"bank of version 2", patched(fxb, 12, 2), "complete", {}},
        {"program record of version 2", patched(fxb, 156 + 12, 2), invalid, {}},
        {"byte size beyond the data", patched(fxp, 4, 113), invalid, {}},
        {"negative byte size", patched(fxp, 4, -8), invalid, {}},
        {"values cut short", resized(fxp, 100), eof, {}},
        {"14 values", resized(patched(fxp, 24, 14), 112), "incomplete",
         [&](VSTPlugIn& p) { return same(p, 2, 13) && !valueOf(p, 2, 14) && !valueOf(p, 2, 15); }},
        {"a value of 1.5", patched(fxp, 56, std::bit_cast<std::int32_t>(1.5f)), "incomplete",
         [&](VSTPlugIn& p) { return valueOf(p, 2, 0) == 1.0f && same(p, 2, 1); }},
        {"bank of 12", resized(patched(fxb, 24, 12), 156 + 12 * 120), "incomplete",
         [&](VSTPlugIn& p) { return same(p, 9, 15); }},
        {"bank of 18-value records", wide, "incomplete",
         [&](VSTPlugIn& p) { return same(p, 0, 15) && same(p, 9, 15); }},
        {"bank cut in its fourth record", resized(fxb, 156 + 3 * 120 + 60), eof,
         [&](VSTPlugIn& p) { return p.getCurrentProgram() == 2 && same(p, 2, 3); }},
        {"chunk beyond the data",
         patched(fpch, 56, 105),
         "Unexpected end of file in FXP / FXB data",
         {}},
        {"bank chunk beyond the data",
         patched(fbch, 156, 1041),
         "Unexpected end of file in FXB data",
         {}},
        {"negative chunk size", patched(fpch, 56, -104), invalid, {}},
        {"no chunk size", resized(fpch, 59), eof, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto p = orvella(false);
        p->setCurrentProgram(2);
        EXPECT_EQ(loaded(*p, c.data), c.outcome);
        if (c.check) {
            EXPECT_TRUE(c.check(*p));
        }
    }
}

} // namespace

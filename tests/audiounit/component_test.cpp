// The component in the built bundle, opened and closed through the stand-in registry as an
// Audio Unit host does; bundles with other configurations are copies of it. Its preset
// dictionaries and the conversion of VST preset folders.
#include "audiounit/AUPresetDictionary.h"
#include "audiounit/DoruvezovComponent.h"
#include "audiounit/PropertyListReading.h"
#include "audiounit/platform/AUListeners.h"
#include "audiounit/platform/AudioUnitCalls.h"
#include "audiounit/platform/CFBundleInfoDictionary.h"
#include "audiounit/platform/CFData.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFNumber.h"
#include "audiounit/platform/CFPropertyList.h"
#include "host/AuCommand.h"
#include "host/AudioUnitHost.h"
#include "host/HostError.h"
#include "host/PluginHost.h"
#include "host/Renderer.h"
#include "tests/common/TestHost.h"
#include "vstbridge/DoruvezovException.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <regex>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path builtBundle = builtModule("Orvella.vst");
const ComponentDescription orvella{fourCharCode("aufx"), fourCharCode("TQbp"), fourCharCode("Cldr"),
                                   0, 0};

struct Opened {
    explicit Opened(const fs::path& bundle = builtBundle) {
        EXPECT_EQ(RegisterComponentBundle(bundle, &component), noErr);
        result = OpenAComponent(component, &instance);
    }
    ~Opened() {
        if (result == noErr) {
            EXPECT_EQ(CloseComponent(instance), noErr);
        }
        UnregisterComponent(component);
    }
    DoruvezovComponent& au() { return *static_cast<DoruvezovComponent*>(instance->storage); }
    VSTPlugIn& vst() { return au().plugIn(); }
    Component component = nullptr;
    ComponentInstance instance = nullptr;
    OSStatus result;
};

std::string programName(VSTPlugIn& vst) {
    char name[25] = {};
    vst.getCurrentProgramName(name);
    return name;
}

// Loads a preset, answering the failure's message or "".
std::string load(DoruvezovComponent& au, CFTypeRef preset) {
    try {
        au.loadAUPreset(preset);
        return "";
    } catch (const DoruvezovException& e) {
        return e.what();
    }
}

void write(const fs::path& file, VSTPlugIn& vst,
           unsigned char* (VSTPlugIn::*create)(unsigned long&)) {
    unsigned long size = 0;
    std::unique_ptr<unsigned char[]> data((vst.*create)(size));
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<char*>(data.get()), long(size));
}

void setKey(std::string& info, const char* key, const char* value) {
    info = std::regex_replace(info, std::regex(std::string("<key>") + key + "</key>\\s*<[a-z]+/>"),
                              value ? std::string("<key>") + key + "</key>" + value : "");
}

// Each test has audio folders of its own.
class AUComponent : public ::testing::Test {
protected:
    AUComponent() : path(fs::temp_directory_path() / ("au_component_" + std::to_string(getpid()))) {
        fs::remove_all(path);
        fs::create_directories(path);
        setenv(kUserAudioFolderVariable, (path / "user").c_str(), 1);
        setenv(kLocalAudioFolderVariable, (path / "local").c_str(), 1);
    }
    ~AUComponent() override { fs::remove_all(path); }
    fs::path presets(const char* domain = "user") const {
        return path / domain / "Presets" / "Calderis" / "Orvella";
    }
    // A copy of the built bundle whose Info.plist went through edit.
    fs::path bundleCopy(const std::string& name, const std::function<void(std::string&)>& edit) {
        const fs::path copy = path / (name + ".vst");
        fs::copy(builtBundle, copy, fs::copy_options::recursive);
        std::ifstream in(copy / "Contents/Info.plist");
        std::string info((std::istreambuf_iterator<char>(in)), {});
        edit(info);
        std::ofstream(copy / "Contents/Info.plist") << info;
        return copy;
    }
    fs::path path;
};

using PresetDictionary = AUComponent;

TEST_F(AUComponent, OpensThroughTheRegistryAndAnswersTheManagersSelectors) {
    Component component = nullptr;
    ASSERT_EQ(RegisterComponentBundle(builtBundle, &component), noErr);
    EXPECT_EQ(FindNextComponent(nullptr, {fourCharCode("aufx"), 0, 0, 0, 0}), component);
    EXPECT_EQ(FindNextComponent(nullptr, {0, fourCharCode("TQbq"), 0, 0, 0}), nullptr);
    ComponentInstance instance = nullptr;
    ASSERT_EQ(OpenAComponent(component, &instance), noErr);
    ASSERT_NE(GetComponentInstanceStorage(instance), nullptr);
    EXPECT_EQ(CallComponent(instance, kComponentVersionSelect), 0x010100);
    for (auto [selector, can] : {std::pair{11, 0}, {257, 1}, {-4, 1}, {18, 1}, {8, 0}}) {
        EXPECT_EQ(CallComponent(instance, kComponentCanDoSelect, {selector}), can) << selector;
    }
    EXPECT_EQ(CallComponent(instance, 11), badComponentSelector);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(RunMainEventLoopTimers(), 1); // the component's idle timer
    EXPECT_EQ(CloseComponent(instance), noErr);
    EXPECT_EQ(RunMainEventLoopTimers(), 0);
    UnregisterComponent(component);
}

TEST_F(AUComponent, ReadsTheShippedConfigurationParameterMapAndFactoryPresets) {
    Opened opened;
    ASSERT_EQ(opened.result, noErr);
    DoruvezovComponent& au = opened.au();
    EXPECT_EQ(au.channelConfigurations().size(), 4u) << "mono and stereo either side";
    EXPECT_EQ(au.currentPreset().number, -1);
    EXPECT_EQ(au.currentPreset().name->text, "Slow Burn");

    // Each factory preset holds the program the effect gives, and loads into another.
    const FactoryPresetList& presets = au.factoryPresets();
    ASSERT_EQ(presets.count(), 10);
    for (int i = 0; i < presets.count(); ++i) {
        au.plugIn().setCurrentProgram(i);
        unsigned long size = 0;
        std::unique_ptr<unsigned char[]> program(au.plugIn().createFXP(size));
        EXPECT_EQ(presets.data(i), std::vector<unsigned char>(program.get(), program.get() + size));
    }
    for (int i = 0; i < presets.count(); ++i) {
        au.plugIn().setCurrentProgram((i + 1) % 10);
        EXPECT_TRUE(au.plugIn().loadFXPOrFXB(presets.data(i).size(), presets.data(i).data()));
        EXPECT_EQ(programName(au.plugIn()), presets.preset(i).presetName->text);
    }

    const ParameterMap& map = au.parameterMap();
    ASSERT_EQ(map.mappedIds().size(), 16u);
    char display[25];
    for (int id = 0; id < 16; ++id) {
        const AudioUnitParameterInfo& info = *map.info(id);
        EXPECT_EQ(info.unitName, nullptr) << "the effect's parameters have no units";
        CFArrayRef list = map.valueStrings(id);
        EXPECT_EQ(info.unit == kAudioUnitParameterUnit_Indexed, list != nullptr) << id;
        // Every list entry is what the effect itself displays at that value, whole where
        // the effect's display must shorten it to a host's eight characters.
        for (std::size_t i = 0; list && i < list->count(); ++i) {
            float normalised = 0;
            au.plugIn().vendorSpecific(12345, id, &normalised, float(i) + info.minValue);
            au.plugIn().setParameter(id, normalised);
            au.plugIn().getParameterDisplay(id, display);
            const std::string entry = CFStringCast(list->at(i))->text;
            if (entry.size() <= 8)
                EXPECT_EQ(entry, display);
            else
                EXPECT_LE(std::strlen(display), 8u) << entry;
        }
    }
}

TEST_F(AUComponent, ConfigurationsAndResourceFailures) {
    struct Case {
        const char* name;
        std::function<void(std::string&)> edit;
        OSStatus result;
    };
    for (const Case& c :
         {Case{"nosy",
               [](std::string& i) { i = std::regex_replace(i, std::regex("SYConfig"), "Other"); },
               -32767},
          Case{"nomono", [](std::string& i) { setKey(i, "CanDoMonoIO", nullptr); }, -32767},
          Case{"wrongtype", [](std::string& i) { setKey(i, "PresetIsFXB", "<string>no</string>"); },
               -32767},
          Case{"copy", [](std::string&) {}, noErr}}) {
        EXPECT_EQ(Opened(bundleCopy(c.name, c.edit)).result, c.result) << c.name;
    }
    {
        // Without CanDoMonoIO: one configuration, and no mono format on the stereo bus.
        Opened stereo(
            bundleCopy("stereo", [](std::string& i) { setKey(i, "CanDoMonoIO", "<false/>"); }));
        ASSERT_EQ(stereo.result, noErr);
        ASSERT_EQ(stereo.au().channelConfigurations().size(), 1u);
        EXPECT_EQ(stereo.au().channelConfigurations()[0].inChannels, 2);
        AudioStreamBasicDescription format{};
        UInt32 size = sizeof format;
        const UInt32 out = kAudioUnitScope_Output, id = kAudioUnitProperty_StreamFormat;
        ASSERT_EQ(AudioUnitGetProperty(stereo.instance, id, out, 0, &format, &size), noErr);
        format.mChannelsPerFrame = 1;
        EXPECT_EQ(AudioUnitSetProperty(stereo.instance, id, out, 0, &format, size),
                  kAudioUnitErr_FormatNotSupported);
    }
    const fs::path noResources = bundleCopy("noresources", [](std::string&) {});
    fs::remove_all(noResources / "Contents/Resources");
    EXPECT_EQ(Opened(noResources).result, fnfErr);
    const fs::path noMap = bundleCopy("nomap", [](std::string&) {});
    fs::remove(noMap / "Contents/Resources/SYParameters.txt");
    EXPECT_EQ(Opened(noMap).result, fnfErr);
    const fs::path badPreset = bundleCopy("badpreset", [](std::string&) {});
    std::ofstream(badPreset / "Contents/Resources/Stutter.aupreset") << "<plist><array/></plist>";
    EXPECT_EQ(Opened(badPreset).result, -32767);
    fs::remove(badPreset / "Contents/Resources/Stutter.aupreset");
    EXPECT_EQ(Opened(badPreset).result, fnfErr);

    // A "vst" resource (here a link) names the effect to load instead of the bundle's own.
    const fs::path linked = bundleCopy("linked", [](std::string&) {});
    const fs::path resources = linked / "Contents/Resources";
    fs::create_symlink(builtBundle, resources / "Effect.vst");
    EXPECT_EQ(Opened(linked).result, noErr);
    fs::create_symlink(builtModule("tests/audiounit/probe_plugin.so"), resources / "Probe.vst");
    EXPECT_EQ(Opened(linked).result, -32767); // two of them
    fs::remove(resources / "Effect.vst");
    EXPECT_EQ(Opened(linked).result, -32767); // no replacing
}

// The bundle as the build leaves it: every file its own lists name is there, and it opens.
TEST_F(AUComponent, TheBuiltBundleHoldsEveryFileItsListsName) {
    const fs::path resources = builtBundle / "Contents/Resources";
    std::ifstream list(resources / "SYFactoryPresets.txt");
    std::vector<std::string> listed;
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line[0] != ';') listed.push_back(line);
    const CFHolder<CFDictionary> info(CFBundleCopyInfoDictionaryInDirectory(builtBundle));
    ASSERT_TRUE(info);
    const std::string font = requireString(info.get(), "ZudariraInfo_1")->text;
    listed.insert(listed.end(),
                  {font + ".png", font + ".tab",
                   "../x86_64-linux/" + requireString(info.get(), "CFBundleExecutable")->text});
    EXPECT_EQ(listed.size(), 13u);
    for (const std::string& file : listed)
        EXPECT_TRUE(fs::is_regular_file(resources / file)) << file;
    EXPECT_EQ(Opened().result, noErr);
}

// `orvella-host au`: what it prints, or the one line it fails with.
std::string said(const std::vector<std::string>& arguments, const fs::path& bundle) {
    std::ostringstream out;
    std::streambuf* const console = std::cout.rdbuf(out.rdbuf());
    std::string result;
    try {
        result = "exit " + std::to_string(runAuCommand(arguments, bundle)) + ": ";
        result += out.str();
    } catch (const HostError& e) {
        result = e.what();
    }
    std::cout.rdbuf(console);
    return result;
}

void writeBinaryPlist(const fs::path& file, const std::string& xml) {
    plist_t root = nullptr;
    plist_from_xml(xml.data(), std::uint32_t(xml.size()), &root);
    char* bytes = nullptr;
    std::uint32_t size = 0;
    plist_to_bin(root, &bytes, &size);
    std::ofstream(file, std::ios::binary).write(bytes, size);
    std::free(bytes);
    plist_free(root);
}

TEST_F(AUComponent, TheAuCommandSaysWhatIsWrongAndWhere) {
    const fs::path bundle = bundleCopy("said", [](std::string&) {});
    const fs::path saved = path / "saved.aupreset";
    ASSERT_EQ(said({"preset", "save", saved.string(), "--factory", "big and bold"}, bundle),
              "exit 0: ");
    std::ifstream in(saved);
    const std::string xml((std::istreambuf_iterator<char>(in)), {});
    const auto spoilt = [&](const char* name, const std::string& from, const std::string& to) {
        const fs::path file = path / name;
        std::ofstream(file) << std::regex_replace(xml, std::regex(from), to);
        return file.string();
    };
    writeBinaryPlist(path / "binary.aupreset", xml);
    const fs::path noPreset = bundleCopy("nopreset", [](std::string&) {});
    fs::remove(noPreset / "Contents/Resources/Dronez.aupreset");

    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"info", "--plugin", noPreset.string()},
         "did not open: its resource file '" +
             (noPreset / "Contents/Resources/Dronez.aupreset").string() +
             "' cannot be read (file not found) (error -43)"},
        {{"preset", "show", spoilt("cut.aupreset", "<data>\\s*(\\S{40})[^<]*", "<data>$1")},
         "cut.aupreset is cut short: its preset data ends early (End of file error)"},
        {{"preset", "show", spoilt("foreign.aupreset", "1414619760", "1094861636")},
         "foreign.aupreset is a preset of another component (aufx ABCD Cldr), not of Calderis: "
         "Orvella (aufx TQbp Cldr)"},
        {{"preset", "show", spoilt("damaged.aupreset", "</dict>", "</array>")},
         "damaged.aupreset is a damaged property list"},
        {{"info", "--factory", "Big and Bald"},
         "unknown factory preset 'Big and Bald': did you mean 'Big And Bold'?"},
        {{"preset", "save", (path / "x.fxp").string()}, "name ends in .aupreset"},
        {{"preset", "show", (path / "binary.aupreset").string()},
         "exit 0: form: binary property list\n"},
    };
    for (const auto& [arguments, message] : cases)
        EXPECT_NE(said(arguments, bundle).find(message), std::string::npos)
            << arguments[0] << " " << arguments.back() << ": " << said(arguments, bundle);
    for (const char* command : {"info", "render", "preset", "gui"})
        EXPECT_TRUE(said({command, "--help"}, bundle).starts_with("exit 0: Usage: orvella-host au"))
            << command;

    // The current preset is a factory preset's number, or none: never a number and a name
    // that disagree.
    EXPECT_NE(said({"info", "--factory", "3"}, bundle).find("Current preset: 3 \"Big And Bold\""),
              std::string::npos);
    EXPECT_EQ(said({"info"}, bundle).find("Current preset: -1"), std::string::npos);
}

// A mono file through a one-channel Audio Unit is the effect's own mono, as the VST path
// renders it in mono mode: sample for sample, latency, tail and control changes alike.
TEST_F(AUComponent, MonoThroughTheAudioUnitIsTheEffectsMonoModeWithEventsAtTheirFrames) {
    std::vector<float> sound(20000);
    for (std::size_t i = 0; i < sound.size(); ++i)
        sound[i] = 0.8f * float(std::sin(0.05 * double(i)));
    std::size_t read = 0;
    const RenderInput input{44100, 1, sound.size(), [&](float* const* to, std::size_t n) {
                                std::copy_n(sound.begin() + std::ptrdiff_t(read), n, to[0]);
                                read += n;
                                return n;
                            }};
    // The mod wheel swept as --cc 0-0.4:1:0-127 sweeps it, which one program follows.
    std::vector<ControlChange> wheel;
    for (int k = 0; k < 128; ++k) wheel.push_back({0.4 * k / 127, 1, k});
    const auto into = [](std::vector<float>& to) {
        return [&to](const float* const* from, std::size_t n) {
            to.insert(to.end(), from[0], from[0] + n);
        };
    };
    const auto ignore = [](std::size_t, std::size_t) {};
    for (const char* program : {"0", "End To End", "Mod Wheel to CC"}) {
        std::vector<float> vst, au;
        PluginHost plugIn(builtBundle, 44100, 512);
        plugIn.setProgram(plugIn.findProgram(program));
        render(plugIn, input, into(vst), {0.1, wheel, true}, ignore);
        read = 0;
        AudioUnitHost unit(builtBundle);
        unit.selectFactoryPreset(program);
        unit.render(input, 512, 0.1, wheel, into(au), ignore);
        read = 0;
        ASSERT_EQ(au.size(), sound.size() + 4410);
        EXPECT_EQ(au, vst) << program;
    }
    // The tracing effect in the bundle's place logs the pins it is told of (1: unconnected)
    // and each event's frame: a change goes before the slice that holds its frame, at it.
    const fs::path traced = bundleCopy("traced", [](std::string&) {});
    fs::create_symlink(fs::absolute(builtModule("tests/host/trace_plugin.so")),
                       traced / "Contents/Resources/Trace.vst");
    setenv("ORVELLA_TRACE_FILE", (path / "trace.txt").c_str(), 1);
    std::vector<float> ignored;
    AudioUnitHost(traced).render(input, 512, 0,
                                 {{0, 7, 10}, {3 / 44100.0, 7, 10}, {600 / 44100.0, 7, 20}},
                                 into(ignored), ignore);
    std::ifstream in(path / "trace.txt");
    const std::string trace((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(trace.find("pins 1 1"), std::string::npos) << trace;
    EXPECT_NE(trace.find("event 0 11536138\nevent 3 11536138\nprocess 512 1\nevent 88 11536148\n"),
              std::string::npos)
        << trace;
}

TEST_F(AUComponent, EditsReachTheListeners) {
    Opened opened;
    ASSERT_EQ(opened.result, noErr);
    static std::vector<std::pair<UInt32, UInt32>> heard; // event type, parameter or property
    heard.clear();
    AUEventListenerRef events;
    AUParameterListenerRef parameters;
    AUEventListenerCreate(
        [](void*, void*, const AudioUnitEvent* e) {
            heard.emplace_back(e->mEventType, e->mArgument.mParameter.mParameterID);
        },
        nullptr, &events);
    AUListenerCreate(
        [](void*, void*, const AudioUnitParameter* p) { heard.emplace_back(99, p->mParameterID); },
        nullptr, &parameters);
    DoruvezovComponent& au = opened.au();
    au.beginEdit(au.plugIn(), 6);
    au.automate(au.plugIn(), 6, 0.5f);
    au.endEdit(au.plugIn(), 6);
    au.plugIn().setCurrentProgram(3);
    au.updateDisplay(au.plugIn());
    AUListenerDispose(events);
    AUListenerDispose(parameters);
    using H = std::vector<std::pair<UInt32, UInt32>>;
    EXPECT_EQ(heard, (H{{1, 6}, {99, 6}, {0, 6}, {2, 6}, {3, 28}, {3, 36}}));
    EXPECT_EQ(au.currentPreset().name->text, "Big And Bold");
}

TEST_F(AUComponent, WithPresetIsFXBBanksConvertToOnePresetAndProgramsAreLeftAlone) {
    {
        Opened plain;
        ASSERT_EQ(plain.result, noErr);
        write(presets() / "Live.fxb", plain.vst(), &VSTPlugIn::createFXB);
        write(presets() / "Solo.fxp", plain.vst(), &VSTPlugIn::createFXP);
    }
    Opened opened(bundleCopy("fxb", [](std::string& i) { setKey(i, "PresetIsFXB", "<true/>"); }));
    ASSERT_EQ(opened.result, noErr);
    EXPECT_TRUE(fs::is_regular_file(presets() / "Live.aupreset"));
    EXPECT_FALSE(fs::exists(presets() / "Live"));
    EXPECT_FALSE(fs::exists(presets() / "Solo.aupreset"));
    EXPECT_TRUE(fs::is_directory(presets("local")));
}

TEST_F(AUComponent, BankBecomesAFolderOfDistinctProgramsOnceAndNothingIsOverwritten) {
    Opened opened;
    VSTPlugIn& vst = opened.vst();
    const char* names[10] = {"Lead", "Lead", "Pad", "  ", "Pad", "", "", "", "", ""};
    for (int i = 0; i < 10; ++i) {
        vst.setCurrentProgram(i);
        vst.setCurrentProgramName(names[i]);
    }
    write(presets() / "Live.fxb", vst, &VSTPlugIn::createFXB);
    vst.setCurrentProgram(2);
    write(presets() / "Solo.FXP", vst, &VSTPlugIn::createFXP);
    std::ofstream(presets() / "Kept.fxp") << "new";
    std::ofstream(presets() / "Kept.aupreset") << "old";
    std::ofstream(presets() / "Broken.fxb") << "not a bank";
    // A local domain whose preset folder cannot be made (a file holds its name; a read-only
    // folder does the same for a user who is not root) is skipped.
    fs::remove_all(path / "local/Presets"); // made when the component opened
    std::ofstream(path / "local/Presets") << "a file";

    vst.setCurrentProgram(0);
    vst.setCurrentProgramName("Mine");
    opened.au().convertVSTPresets();
    EXPECT_EQ(programName(vst), "Mine") << "converting leaves the effect's own programs";
    std::vector<std::string> live;
    for (const auto& entry : fs::directory_iterator(presets() / "Live"))
        live.push_back(entry.path().filename());
    std::sort(live.begin(), live.end());
    EXPECT_EQ(live, (std::vector<std::string>{"Lead.aupreset", "Pad.aupreset"}));
    EXPECT_FALSE(fs::exists(presets() / "Broken")) << "and it did not stop the others";
    std::ifstream kept(presets() / "Kept.aupreset");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), {}), "old");
    std::ifstream solo(presets() / "Solo.aupreset");
    const std::string xml((std::istreambuf_iterator<char>(solo)), {});
    CFHolder<CFObject> preset(CFPropertyListCreateFromXMLData(
        reinterpret_cast<const unsigned char*>(xml.data()), xml.size(), nullptr));
    EXPECT_EQ(readAUPreset(preset.get(), orvella).name, "Solo");

    fs::remove(presets() / "Live/Pad.aupreset");
    opened.au().convertVSTPresets();
    EXPECT_FALSE(fs::exists(presets() / "Live/Pad.aupreset")) << "a converted bank is not redone";
    EXPECT_TRUE(fs::is_regular_file(path / "local/Presets"));
}

TEST_F(PresetDictionary, ClassInfoRestoresTheProgramAndItsNumberButNotAnotherComponents) {
    Opened opened;
    VSTPlugIn& vst = opened.vst();
    vst.setCurrentProgram(4);
    CFHolder<CFDictionary> info(opened.au().createClassInfo());
    auto* dictionary = const_cast<CFDictionary*>(info.get());
    EXPECT_EQ(CFNumberCast(info->get("ProgramNumber"))->value, 4);
    const float value = vst.getParameter(6);
    vst.setParameter(6, 1.0f - value);
    vst.setCurrentProgram(7);
    EXPECT_EQ(load(opened.au(), info.get()), "");
    EXPECT_EQ(vst.getCurrentProgram(), 4);
    EXPECT_EQ(vst.getParameter(6), value);
    EXPECT_EQ(opened.au().currentPreset().number, -1);

    dictionary->set("ProgramNumber", CFHolder<CFNumber>(CFNumberCreate(12)).get());
    EXPECT_EQ(load(opened.au(), info.get()), "");
    EXPECT_EQ(vst.getCurrentProgram(), 0);

    dictionary->set("subtype", CFHolder<CFNumber>(CFNumberCreate(fourCharCode("TQbq"))).get());
    vst.setCurrentProgram(5);
    EXPECT_EQ(load(opened.au(), info.get()), "Data in dictionary is not of expected value");
    EXPECT_EQ(vst.getCurrentProgram(), 5);
}

TEST_F(PresetDictionary, VersionZeroSetsParametersThroughTheEffectsScale) {
    Opened opened;
    // Parameter 6 (feedback, 0..10) to 5 and parameter 8 (a list) to 2, in one block.
    const unsigned char blocks[] = {0, 0, 0,    0,    0, 0, 0, 0, 0, 0, 0,    2, 0, 0,
                                    0, 6, 0x40, 0xa0, 0, 0, 0, 0, 0, 8, 0x40, 0, 0, 0};
    CFHolder<CFDictionary> preset(opened.au().createClassInfo());
    auto* d = const_cast<CFDictionary*>(preset.get());
    d->set("version", CFHolder<CFNumber>(CFNumberCreate(0)).get());
    d->set("data", CFHolder<CFData>(CFDataCreate(blocks, sizeof blocks)).get());
    d->set("vstdata", CFHolder<CFData>(CFDataCreate(blocks, 1)).get()); // ignored
    const CFHolder<CFString> longName(CFStringCreateWithCString("A name of thirty characters!!!"));
    d->set("name", longName.get());
    EXPECT_EQ(load(opened.au(), preset.get()), "");
    EXPECT_FLOAT_EQ(opened.vst().getParameter(6), 0.5f);
    EXPECT_FLOAT_EQ(opened.vst().getParameter(8), 1.0f);
    EXPECT_EQ(programName(opened.vst()), "A name of thirty charac"); // the effect keeps 23
}

} // namespace

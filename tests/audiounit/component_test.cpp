// The component in the built bundle, opened and closed through the stand-in registry as an
// Audio Unit host does; bundles with other configurations are copies of it. Its preset
// dictionaries and the conversion of VST preset folders.
#include "audiounit/AUPresetDictionary.h"
#include "audiounit/DoruvezovComponent.h"
#include "audiounit/platform/AUListeners.h"
#include "audiounit/platform/AudioUnitCalls.h"
#include "audiounit/platform/CFData.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFNumber.h"
#include "audiounit/platform/CFPropertyList.h"
#include "tests/common/TestHost.h"
#include "vstbridge/DoruvezovException.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <regex>
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

// The component in the built bundle, opened and closed through the stand-in registry as an
// Audio Unit host does; bundles with other configurations are copies of it.
#include "audiounit/AUPresetDictionary.h"
#include "audiounit/DoruvezovComponent.h"
#include "audiounit/DoruvezovException.h"
#include "audiounit/platform/AUListeners.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFNumber.h"
#include "tests/common/TestHost.h"

#include <gtest/gtest.h>

#include <cstring>

#include <chrono>
#include <fstream>
#include <regex>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path builtBundle = builtModule("Orvella.vst");
const ComponentDescription orvella{fourCharCode("aufx"), fourCharCode("TQbp"), fourCharCode("Cldr"),
                                   0, 0};

struct Scratch {
    Scratch() : path(fs::temp_directory_path() / ("au_component_" + std::to_string(getpid()))) {
        fs::remove_all(path);
        fs::create_directories(path);
        setenv(kUserAudioFolderVariable, (path / "user").c_str(), 1);
        setenv(kLocalAudioFolderVariable, (path / "local").c_str(), 1);
    }
    ~Scratch() { fs::remove_all(path); }
    fs::path presets(const char* domain = "user") const {
        return path / domain / "Presets" / "Calderis" / "Orvella";
    }
    fs::path path;
};

// A copy of the built bundle whose Info.plist went through edit; the executable is linked.
fs::path bundleCopy(const Scratch& scratch, const std::string& name,
                    const std::function<void(std::string&)>& edit) {
    const fs::path copy = scratch.path / (name + ".vst");
    fs::copy(builtBundle, copy, fs::copy_options::recursive);
    std::ifstream in(copy / "Contents/Info.plist");
    std::string info((std::istreambuf_iterator<char>(in)), {});
    edit(info);
    std::ofstream(copy / "Contents/Info.plist") << info;
    return copy;
}

void setKey(std::string& info, const char* key, const char* value) {
    info = std::regex_replace(info, std::regex(std::string("<key>") + key + "</key>\\s*<[a-z]+/>"),
                              std::string("<key>") + key + "</key>" + value);
}

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
    Component component = nullptr;
    ComponentInstance instance = nullptr;
    OSStatus result;
};

std::string programName(VSTPlugIn& vst) {
    char name[25] = {};
    vst.getCurrentProgramName(name);
    return name;
}

TEST(Component, OpensThroughTheRegistryAndAnswersTheManagersSelectors) {
    Scratch scratch;
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

TEST(Component, ReadsTheShippedConfigurationParameterMapAndFactoryPresets) {
    Scratch scratch;
    Opened opened;
    ASSERT_EQ(opened.result, noErr);
    DoruvezovComponent& au = opened.au();
    EXPECT_TRUE(au.configuration().canDoMonoIO);
    std::vector<std::pair<int, int>> pairs;
    for (auto c : au.channelConfigurations()) pairs.emplace_back(c.inChannels, c.outChannels);
    EXPECT_EQ(pairs, (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {2, 1}, {2, 2}}));
    EXPECT_EQ(au.currentPreset().number, -1);
    EXPECT_EQ(au.currentPreset().name->text, "Slow Burn");

    const FactoryPresetList& presets = au.factoryPresets();
    ASSERT_EQ(presets.count(), 10);
    std::vector<std::vector<unsigned char>> programs;
    for (int i = 0; i < presets.count(); ++i) {
        au.plugIn().setCurrentProgram(i);
        unsigned long size = 0;
        std::unique_ptr<unsigned char[]> program(au.plugIn().createFXP(size));
        programs.emplace_back(program.get(), program.get() + size);
    }
    for (int i = 0; i < presets.count(); ++i) {
        EXPECT_EQ(presets.data(i), programs[std::size_t(i)]) << i;
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
        if (CFArrayRef list = map.valueStrings(id)) {
            EXPECT_EQ(info.unit, kAudioUnitParameterUnit_Indexed);
            // Every list entry is what the effect itself displays at that value, whole where
            // the effect's display must shorten it to a host's eight characters.
            for (std::size_t i = 0; i < list->count(); ++i) {
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
        } else {
            EXPECT_NE(info.unit, kAudioUnitParameterUnit_Indexed) << id;
        }
    }
    EXPECT_EQ(map.info(13)->unit, kAudioUnitParameterUnit_Boolean);
    EXPECT_STREQ(map.info(8)->name, "Phaser B Input");
}

TEST(Component, ConfigurationAndResourceFailuresFailTheOpen) {
    Scratch scratch;
    struct Case {
        const char* name;
        std::function<void(std::string&)> edit;
        OSStatus result;
    };
    const auto without = [](const char* key) {
        return [key](std::string& info) {
            info = std::regex_replace(
                info, std::regex(std::string("<key>") + key + "</key>\\s*<[a-z]+/>"), "");
        };
    };
    for (const Case& c :
         {Case{"nosy",
               [](std::string& i) { i = std::regex_replace(i, std::regex("SYConfig"), "Other"); },
               -32767},
          Case{"nomono", without("CanDoMonoIO"), -32767},
          Case{"wrongtype", [](std::string& i) { setKey(i, "PresetIsFXB", "<string>no</string>"); },
               -32767},
          Case{"copy", [](std::string&) {}, noErr}}) {
        const fs::path copy = bundleCopy(scratch, c.name, c.edit);
        Opened opened(copy);
        EXPECT_EQ(opened.result, c.result) << c.name;
    }
    const fs::path noMap = bundleCopy(scratch, "nomap", [](std::string&) {});
    fs::remove(noMap / "Contents/Resources/SYParameters.txt");
    EXPECT_EQ(Opened(noMap).result, fnfErr);
    const fs::path badPreset = bundleCopy(scratch, "badpreset", [](std::string&) {});
    std::ofstream(badPreset / "Contents/Resources/Stutter.aupreset") << "<plist><array/></plist>";
    EXPECT_EQ(Opened(badPreset).result, -32767);
    fs::remove(badPreset / "Contents/Resources/Stutter.aupreset");
    EXPECT_EQ(Opened(badPreset).result, fnfErr);

    // A "vst" resource (here a link) names the effect to load instead of the bundle's own.
    const fs::path probe = builtModule("tests/audiounit/probe_plugin.so");
    const fs::path resources =
        bundleCopy(scratch, "linked", [](std::string&) {}) / "Contents/Resources";
    fs::create_symlink(builtBundle, resources / "Effect.vst");
    EXPECT_EQ(Opened(resources.parent_path().parent_path()).result, noErr);
    fs::create_symlink(probe, resources / "Probe.vst");
    EXPECT_EQ(Opened(resources.parent_path().parent_path()).result, -32767); // two of them
    fs::remove(resources / "Effect.vst");
    EXPECT_EQ(Opened(resources.parent_path().parent_path()).result, -32767); // no replacing
}

TEST(Component, MonoConfigurationsOnlyWithCanDoMonoIOAndHostKindsFromTheIdentity) {
    Scratch scratch;
    const fs::path stereo =
        bundleCopy(scratch, "stereo", [](std::string& i) { setKey(i, "CanDoMonoIO", "<false/>"); });
    SetHostIdentity({"com.apple.logic.pro", "8.0.0"});
    Opened opened(stereo);
    ClearHostIdentity();
    ASSERT_EQ(opened.result, noErr);
    ASSERT_EQ(opened.au().channelConfigurations().size(), 1u);
    EXPECT_EQ(opened.au().channelConfigurations()[0].inChannels, 2);
    EXPECT_EQ(opened.au().hostKind(), kHostLogic800);
}

TEST(Component, EditsReachTheListeners) {
    Scratch scratch;
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

} // namespace

namespace {

TEST(Component, WithPresetIsFXBBanksConvertToOnePresetAndProgramsAreLeftAlone) {
    Scratch scratch;
    fs::create_directories(scratch.presets());
    {
        Opened plain;
        ASSERT_EQ(plain.result, noErr);
        for (auto [file, create] : {std::pair{"Live.fxb", &VSTPlugIn::createFXB},
                                    std::pair{"Solo.fxp", &VSTPlugIn::createFXP}}) {
            unsigned long size = 0;
            std::unique_ptr<unsigned char[]> data((plain.au().plugIn().*create)(size));
            std::ofstream(scratch.presets() / file, std::ios::binary)
                .write(reinterpret_cast<char*>(data.get()), long(size));
        }
    }
    const fs::path fxb =
        bundleCopy(scratch, "fxb", [](std::string& i) { setKey(i, "PresetIsFXB", "<true/>"); });
    Opened opened(fxb);
    ASSERT_EQ(opened.result, noErr);
    EXPECT_TRUE(fs::is_regular_file(scratch.presets() / "Live.aupreset"));
    EXPECT_FALSE(fs::exists(scratch.presets() / "Live"));
    EXPECT_FALSE(fs::exists(scratch.presets() / "Solo.aupreset"));
    EXPECT_TRUE(fs::is_directory(scratch.presets("local")));
}

} // namespace

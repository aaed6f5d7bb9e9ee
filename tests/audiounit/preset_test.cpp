// Preset dictionaries and the conversion of VST preset folders, through the component in
// the built bundle.
#include "audiounit/AUPresetDictionary.h"
#include "audiounit/DoruvezovComponent.h"
#include "audiounit/DoruvezovException.h"
#include "audiounit/platform/CFData.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFNumber.h"
#include "audiounit/platform/CFPropertyList.h"
#include "tests/common/TestHost.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Fixture : ::testing::Test {
    Fixture() : scratch(fs::temp_directory_path() / ("au_presets_" + std::to_string(getpid()))) {
        fs::remove_all(scratch);
        setenv(kUserAudioFolderVariable, (scratch / "user").c_str(), 1);
        setenv(kLocalAudioFolderVariable, (scratch / "local").c_str(), 1);
        EXPECT_EQ(RegisterComponentBundle(builtModule("Orvella.vst"), &component), noErr);
        EXPECT_EQ(OpenAComponent(component, &instance), noErr);
        au = static_cast<DoruvezovComponent*>(instance->storage);
    }
    ~Fixture() override {
        CloseComponent(instance);
        UnregisterComponent(component);
        fs::remove_all(scratch);
    }
    VSTPlugIn& vst() { return au->plugIn(); }
    std::string name() {
        char text[25] = {};
        vst().getCurrentProgramName(text);
        return text;
    }
    // Loads a preset, answering the failure's message or "".
    std::string load(CFTypeRef preset) {
        try {
            au->loadAUPreset(preset);
            return "";
        } catch (const DoruvezovException& e) {
            return e.what();
        }
    }
    fs::path folder() const { return scratch / "user/Presets/Calderis/Orvella"; }
    void write(const fs::path& file, unsigned char* (VSTPlugIn::*create)(unsigned long&)) {
        unsigned long size = 0;
        std::unique_ptr<unsigned char[]> data((vst().*create)(size));
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<char*>(data.get()), long(size));
    }
    fs::path scratch;
    Component component = nullptr;
    ComponentInstance instance = nullptr;
    DoruvezovComponent* au = nullptr;
};

using PresetDictionary = Fixture;
using PresetConversion = Fixture;

TEST_F(PresetDictionary, ClassInfoRoundTripRestoresTheProgramAndItsNumber) {
    vst().setCurrentProgram(4);
    CFHolder<CFDictionary> info(au->createClassInfo());
    EXPECT_EQ(CFNumberCast(info->get("ProgramNumber"))->value, 4);
    const float value = vst().getParameter(6);
    vst().setParameter(6, 1.0f - value);
    vst().setCurrentProgram(7);
    EXPECT_EQ(load(info.get()), "");
    EXPECT_EQ(vst().getCurrentProgram(), 4);
    EXPECT_EQ(vst().getParameter(6), value);
    EXPECT_EQ(au->currentPreset().number, -1);

    const_cast<CFDictionary*>(info.get())
        ->set("ProgramNumber", CFHolder<CFNumber>(CFNumberCreate(12)).get());
    EXPECT_EQ(load(info.get()), "");
    EXPECT_EQ(vst().getCurrentProgram(), 0);
}

TEST_F(PresetDictionary, AnotherComponentsPresetChangesNothing) {
    vst().setCurrentProgram(2);
    CFHolder<CFDictionary> info(au->createClassInfo());
    const_cast<CFDictionary*>(info.get())
        ->set("subtype", CFHolder<CFNumber>(CFNumberCreate(fourCharCode("TQbq"))).get());
    vst().setCurrentProgram(5);
    EXPECT_EQ(load(info.get()), "Data in dictionary is not of expected value");
    EXPECT_EQ(vst().getCurrentProgram(), 5);
}

TEST_F(PresetDictionary, VersionZeroSetsParametersThroughTheEffectsScale) {
    // Parameter 6 (feedback, 0..10) to 5 and parameter 8 (a list) to 2, in one block.
    const unsigned char blocks[] = {0, 0, 0,    0,    0, 0, 0, 0, 0, 0, 0,    2, 0, 0,
                                    0, 6, 0x40, 0xa0, 0, 0, 0, 0, 0, 8, 0x40, 0, 0, 0};
    CFHolder<CFDictionary> preset(au->createClassInfo());
    auto* d = const_cast<CFDictionary*>(preset.get());
    d->set("version", CFHolder<CFNumber>(CFNumberCreate(0)).get());
    d->set("data", CFHolder<CFData>(CFDataCreate(blocks, sizeof blocks)).get());
    d->set("vstdata", CFHolder<CFData>(CFDataCreate(blocks, 1)).get()); // ignored
    const CFHolder<CFString> longName(CFStringCreateWithCString("A name of thirty characters!!!"));
    d->set("name", longName.get());
    EXPECT_EQ(load(preset.get()), "");
    EXPECT_FLOAT_EQ(vst().getParameter(6), 0.5f);
    EXPECT_FLOAT_EQ(vst().getParameter(8), 1.0f);
    EXPECT_EQ(name(), "A name of thirty charac"); // 24 sent; the effect keeps 23 and a zero
}

TEST_F(PresetConversion, BankBecomesAFolderOfDistinctProgramsOnceAndNothingIsOverwritten) {
    const char* names[10] = {"Lead", "Lead", "Pad", "  ", "Pad", "", "", "", "", ""};
    for (int i = 0; i < 10; ++i) {
        vst().setCurrentProgram(i);
        vst().setCurrentProgramName(names[i]);
    }
    write(folder() / "Live.fxb", &VSTPlugIn::createFXB);
    vst().setCurrentProgram(2);
    write(folder() / "Solo.FXP", &VSTPlugIn::createFXP);
    std::ofstream(folder() / "Kept.fxp") << "new";
    std::ofstream(folder() / "Kept.aupreset") << "old";
    std::ofstream(folder() / "Broken.fxb") << "not a bank";
    // A local domain whose preset folder cannot be made (a file holds its name; a read-only
    // folder does the same for a user who is not root) is skipped.
    fs::remove_all(scratch / "local/Presets"); // made when the component opened
    std::ofstream(scratch / "local/Presets") << "a file";

    vst().setCurrentProgram(0);
    vst().setCurrentProgramName("Mine");
    au->convertVSTPresets();
    EXPECT_EQ(name(), "Mine") << "converting leaves the effect's own programs";
    std::vector<std::string> live;
    for (const auto& entry : fs::directory_iterator(folder() / "Live"))
        live.push_back(entry.path().filename());
    std::sort(live.begin(), live.end());
    EXPECT_EQ(live, (std::vector<std::string>{"Lead.aupreset", "Pad.aupreset"}));
    EXPECT_FALSE(fs::exists(folder() / "Broken")) << "and it did not stop the others";
    std::ifstream kept(folder() / "Kept.aupreset");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), {}), "old");
    std::ifstream solo(folder() / "Solo.aupreset");
    const std::string xml((std::istreambuf_iterator<char>(solo)), {});
    CFHolder<CFObject> preset(CFPropertyListCreateFromXMLData(
        reinterpret_cast<const unsigned char*>(xml.data()), xml.size(), nullptr));
    EXPECT_EQ(readAUPreset(preset.get(),
                           {fourCharCode("aufx"), fourCharCode("TQbp"), fourCharCode("Cldr"), 0, 0})
                  .name,
              "Solo");

    fs::remove(folder() / "Live/Pad.aupreset");
    au->convertVSTPresets();
    EXPECT_FALSE(fs::exists(folder() / "Live/Pad.aupreset")) << "a converted bank is not redone";
    EXPECT_TRUE(fs::is_regular_file(scratch / "local/Presets"));
}

} // namespace

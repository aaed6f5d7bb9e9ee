// Writes one Audio Unit preset file per factory program of the built bundle into its
// resources, each holding the data the bridge writes for that program (the whole bank
// when the bundle's configuration says "PresetIsFXB"), so the factory presets are the
// effect's own. Usage: make_au_presets <bundle folder>
#include "audiounit/AUPresetDictionary.h"
#include "audiounit/AUPresetFiles.h"
#include "audiounit/PropertyListReading.h"
#include "audiounit/platform/CFBundleInfoDictionary.h"
#include "audiounit/platform/CFHolder.h"
#include "vstbridge/DoruvezovException.h"
#include "vstbridge/QuietVSTHost.h"
#include "vstbridge/VSTPlugIn.h"

#include <cstdio>
#include <exception>
#include <memory>

namespace {

void writePresets(const std::filesystem::path& bundlePath) {
    Component component = nullptr;
    if (OSStatus status = RegisterComponentBundle(bundlePath, &component)) {
        throw MacOSException(status, "the bundle describes no component");
    }
    ComponentDescription description{};
    GetComponentInfo(component, &description, nullptr);
    CFHolder<CFDictionary> info(CFBundleCopyInfoDictionaryInDirectory(bundlePath));
    const bool bank = requireBoolean(requireDictionary(info.get(), "SYConfig"), "PresetIsFXB");

    CFHolder<CFBundle> bundle(CFBundleCreateWithPath(bundlePath));
    if (!bundle) throw DoruvezovException("Could not locate VST bundle");
    QuietVSTHost host;
    VSTPlugIn effect(host, const_cast<CFBundleRef>(bundle.get()), 44100.0f, 4096);
    effect.open();
    for (int program = 0; program < effect.getProgramCount(); ++program) {
        effect.setCurrentProgram(program);
        char name[25] = {};
        effect.getCurrentProgramName(name);
        unsigned long size = 0;
        const std::unique_ptr<unsigned char[]> data(bank ? effect.createFXB(size)
                                                         : effect.createFXP(size));
        const CFHolder<CFString> presetName(CFStringCreateWithCString(name));
        const CFHolder<CFDictionary> preset(
            createAUPresetDictionary(description, data.get(), size, presetName.get()));
        saveProperties(preset.get(),
                       {bundlePath / "Contents" / "Resources" / (std::string(name) + ".aupreset")});
    }
    UnregisterComponent(component);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <bundle folder>\n", argv[0]);
        return 2;
    }
    try {
        writePresets(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}

// FXP / FXB data from strangers into a real Orvella. The effect is linked into this
// program rather than loaded from its bundle: a sanitised module loaded with dlopen would
// need the sanitiser runtimes as shared libraries. The bridge still finds it as a host
// does, through the entry point the program exports, in the running program's bundle.
#include "plugin/AudioEffect.h"
#include "vstbridge/DoruvezovException.h"
#include "vstbridge/QuietVSTHost.h"
#include "vstbridge/VSTPlugIn.h"

#include <cstddef>
#include <cstdint>

extern "C" __attribute__((visibility("default"))) AEffect*
VSTPluginMain(audioMasterCallback master) {
    AudioEffect* effect = createEffectInstance(master);
    return effect ? effect->getAeffect() : nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QuietVSTHost host;
    // One effect for the whole run, as a host keeps one: what a load leaves behind is
    // the next load's starting point.
    static VSTPlugIn* const orvella = [] {
        auto* plugIn = new VSTPlugIn(host, CFBundleGetMainBundle(), 44100, 512);
        plugIn->open();
        return plugIn;
    }();
    try {
        orvella->loadFXPOrFXB(size, data);
    } catch (const DoruvezovException&) {
        // Refusing is the answer to most inputs.
    }
    return 0;
}

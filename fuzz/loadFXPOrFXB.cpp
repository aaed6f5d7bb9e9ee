// FXP / FXB data from strangers into a real Orvella. The effect is linked into this
// program rather than loaded from its bundle: a sanitised module loaded with dlopen would
// need the sanitiser runtimes as shared libraries. The bridge still finds it as a host
// does, through the entry point the program exports, in the running program's bundle.
#include "audiounit/DoruvezovException.h"
#include "audiounit/VSTPlugIn.h"
#include "plugin/AudioEffect.h"

#include <cstddef>
#include <cstdint>

extern "C" __attribute__((visibility("default"))) AEffect*
VSTPluginMain(audioMasterCallback master) {
    AudioEffect* effect = createEffectInstance(master);
    return effect ? effect->getAeffect() : nullptr;
}

namespace {

// Asked nothing that matters here: no editor, no processing.
struct Silent final : VSTHost {
    void getVendor(VSTPlugIn&, char* text) override { *text = 0; }
    void getProduct(VSTPlugIn&, char* text) override { *text = 0; }
    int getVersion(VSTPlugIn&) override { return 0; }
    bool canDo(VSTPlugIn&, const char*) override { return false; }
    VstTimeInfo* getTimeInfo(VSTPlugIn&, int) override { return nullptr; }
    void beginEdit(VSTPlugIn&, int) override {}
    void automate(VSTPlugIn&, int, float) override {}
    void endEdit(VSTPlugIn&, int) override {}
    bool isIOPinConnected(VSTPlugIn&, bool, int) override { return true; }
    void idle(VSTPlugIn&) override {}
    void updateDisplay(VSTPlugIn&) override {}
    void resizeWindow(VSTPlugIn&, int, int) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Silent host;
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

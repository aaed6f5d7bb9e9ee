// The shared object's entry points. Built into each plug-in module, never into a
// program: it defines the symbol "main" that older Linux hosts look for.
#include "plugin/AudioEffect.h"

#include <new>

#define VST_EXPORT extern "C" __attribute__((visibility("default")))

// [main thread] Builds one effect for a host that answers audioMasterVersion.
VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0) == 0)
        return nullptr;
    try {
        AudioEffect* effect = createEffectInstance(audioMaster);
        return effect ? effect->getAeffect() : nullptr;
    } catch (...) {
        // Nothing may unwind into the host; a half-built effect has released itself.
        return nullptr;
    }
}

// C++ cannot declare a function named main with this signature; the assembler label can.
VST_EXPORT AEffect* VSTPluginMainLegacy(audioMasterCallback audioMaster) asm("main");
AEffect* VSTPluginMainLegacy(audioMasterCallback audioMaster) {
    return VSTPluginMain(audioMaster);
}

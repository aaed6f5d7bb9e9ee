// The shared object's one entry point: the plug-in's descriptor, whose functions hand each
// call to its instance.
#include "lv2/OrvellaLV2.h"

#include <cstring>

namespace {

OrvellaLV2* instance(LV2_Handle handle) {
    return static_cast<OrvellaLV2*>(handle);
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
    return OrvellaLV2::create(rate, features);
}

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      uint32_t, const LV2_Feature* const*) {
    return instance(handle)->save(store, state);
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, uint32_t, const LV2_Feature* const*) {
    return instance(handle)->restore(retrieve, state);
}

const void* extensionData(const char* uri) {
    static const LV2_State_Interface state = {save, restore};
    return std::strcmp(uri, LV2_STATE__interface) == 0 ? &state : nullptr;
}

const LV2_Descriptor descriptor = {
    OrvellaPorts::kPluginUri,
    instantiate,
    [](LV2_Handle h, uint32_t port, void* data) { instance(h)->connect(port, data); },
    [](LV2_Handle h) { instance(h)->activate(); },
    [](LV2_Handle h, uint32_t frames) { instance(h)->run(frames); },
    [](LV2_Handle h) { instance(h)->deactivate(); },
    [](LV2_Handle h) { delete instance(h); },
    extensionData,
};

} // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}

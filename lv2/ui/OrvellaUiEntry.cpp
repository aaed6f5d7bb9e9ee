// The UI binary's entry point: the descriptor a host finds through lv2ui_descriptor, whose
// functions the host calls on its UI thread.

#include "lv2/OrvellaPorts.h"
#include "lv2/ui/OrvellaUi.h"

#include <cstring>
#include <lv2/ui/ui.h>

namespace {

OrvellaUi* ui(LV2UI_Handle handle) {
    return static_cast<OrvellaUi*>(handle);
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char* bundlePath,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, OrvellaPorts::kPluginUri) != 0 || !widget)
        return nullptr;
    OrvellaUi::Host host;
    host.write = write;
    host.controller = controller;
    for (int i = 0; features && features[i]; ++i) {
        const char* uri = features[i]->URI;
        void* data = features[i]->data;
        if (!std::strcmp(uri, LV2_UI__parent))
            host.parent = data;
        else if (!std::strcmp(uri, LV2_URID__map))
            host.map = static_cast<LV2_URID_Map*>(data);
        else if (!std::strcmp(uri, LV2_UI__resize))
            host.resize = static_cast<LV2UI_Resize*>(data);
        else if (!std::strcmp(uri, LV2_UI__touch))
            host.touch = static_cast<LV2UI_Touch*>(data);
    }
    auto* made = new OrvellaUi(host, bundlePath ? bundlePath : "");
    if (!made->getWidget()) {
        delete made;
        return nullptr;
    }
    *widget = made->getWidget();
    return made;
}

void cleanup(LV2UI_Handle handle) {
    delete ui(handle);
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format,
               const void* buffer) {
    ui(handle)->portEvent(port, bufferSize, format, buffer);
}

int idle(LV2UI_Handle handle) {
    return ui(handle)->idle();
}

const void* extensionData(const char* uri) {
    static const LV2UI_Idle_Interface idleInterface{idle};
    return uri && !std::strcmp(uri, LV2_UI__idleInterface) ? &idleInterface : nullptr;
}

const LV2UI_Descriptor descriptor{OrvellaPorts::kUiUri, instantiate, cleanup, portEvent,
                                  extensionData};

} // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor*
lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}

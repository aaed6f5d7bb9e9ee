#include "lv2/ui/OrvellaUi.h"

#include "editor/OrvellaEditor.h"
#include "gui/CFrame.h"
#include "gui/PluginBundle.h"
#include "gui/platform/X11Window.h"

#include <algorithm>
#include <cmath>
#include <lv2/atom/util.h>

namespace {

bool isParameter(long index) {
    return index >= 0 && index < kNumParams;
}

// A port value that differs by less than this from the one shown is the same value come back.
constexpr float kEcho = 1e-5f;

} // namespace

OrvellaUi::OrvellaUi(const Host& offered, const std::string& bundlePath)
    : AudioEffectX(nullptr, 1, kNumParams), host(offered) {
    for (int p = 0; p < kNumParams; ++p)
        values[size_t(p)] = OrvellaPorts::hostValue(p, OrvellaPorts::defaultValue(p));
    if (host.map) urids.emplace(host.map);
    // The artwork lies in the bundle, not where the VST bundle keeps it.
    std::string resources = bundlePath;
    if (!resources.empty() && resources.back() != '/') resources += '/';
    GUI::setResourceFolderOverride(resources + "Resources");
    auto* view = new OrvellaEditor(this);
    if (!view->open(host.parent)) return;
    const GUI::platform::X11Window* window = view->getFrame()->getPlatformWindow();
    if (!window) return;
    widget = reinterpret_cast<LV2UI_Widget>(uintptr_t(window->getWindowId()));
    if (host.resize)
        host.resize->ui_resize(host.resize->handle, OrvellaLayout::kWindowWidth,
                               OrvellaLayout::kWindowHeight);
}

OrvellaUi::~OrvellaUi() = default;

OrvellaEditor& OrvellaUi::editor() {
    return *static_cast<OrvellaEditor*>(getEditor());
}

void OrvellaUi::portEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer) {
    if (format != 0 || bufferSize != sizeof(float) || !buffer) return;
    const float portValue = *static_cast<const float*>(buffer);
    if (!std::isfinite(portValue)) return;
    const int p = OrvellaPorts::parameterOfPort(port);
    if (p < 0) return;
    const bool output = port >= OrvellaPorts::kFirstControlOutput;
    const float value = OrvellaPorts::hostValue(p, portValue);
    // While armed no controller moves anything inside the plug-in: a change of the armed
    // parameter on its output that its input did not bring is the controller just learned.
    if (output && p == armed &&
        std::fabs(OrvellaPorts::portValue(p, values[size_t(p)]) - portValue) > kEcho) {
        armed = kNotArmed;
        editor().highlightControl(p, false);
    }
    setParameter(p, value);
}

int OrvellaUi::idle() {
    editor().idle();
    const GUI::CFrame* frame = editor().getFrame();
    return frame && frame->getPlatformWindow() && frame->getPlatformWindow()->isAlive() ? 0 : 1;
}

void OrvellaUi::setParameter(VstInt32 index, float value) {
    if (!isParameter(index)) return;
    values[size_t(index)] = std::clamp(value, 0.0f, 1.0f);
    editor().setParameter(index, values[size_t(index)]);
}

float OrvellaUi::getParameter(VstInt32 index) {
    return isParameter(index) ? values[size_t(index)] : 0.0f;
}

void OrvellaUi::setParameterAutomated(VstInt32 index, float value) {
    if (!isParameter(index)) return;
    values[size_t(index)] = std::clamp(value, 0.0f, 1.0f);
    const float portValue = OrvellaPorts::portValue(index, values[size_t(index)]);
    if (host.write)
        host.write(host.controller, OrvellaPorts::controlInput(index), sizeof(float), 0,
                   &portValue);
}

bool OrvellaUi::beginEdit(VstInt32 index) {
    touch(index, true);
    return host.touch != nullptr;
}

bool OrvellaUi::endEdit(VstInt32 index) {
    touch(index, false);
    return host.touch != nullptr;
}

void OrvellaUi::touch(VstInt32 index, bool grabbed) {
    if (host.touch && isParameter(index))
        host.touch->touch(host.touch->handle, OrvellaPorts::controlInput(index), grabbed);
}

// The same rule as the plug-in's: a click on the armed parameter cancels, any other arms.
void OrvellaUi::handleSpecialClick(long tag) {
    if (!isParameter(tag)) return;
    const int parameter = int(tag);
    sendLearn(parameter);
    if (armed == parameter) {
        armed = kNotArmed;
        editor().highlightControl(parameter, false);
        return;
    }
    if (armed != kNotArmed) editor().highlightControl(armed, false);
    armed = parameter;
    editor().highlightControl(parameter, true);
}

void OrvellaUi::sendLearn(int parameter) {
    if (!host.write || !urids) return;
    const OrvellaPorts::LearnMessage message = OrvellaPorts::learnMessage(*urids, parameter);
    host.write(host.controller, OrvellaPorts::kEvents, lv2_atom_total_size(&message.object.atom),
               urids->atomEventTransfer, &message);
}

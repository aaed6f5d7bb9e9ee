#include "gui/AEffGUIEditor.h"

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/CGUITimer.h"
#include "gui/PluginBundle.h"
#include "plugin/AudioEffectX.h"

#include <algorithm>
#include <chrono>
#include <thread>

VstInt32 AEffGUIEditor::knobMode = GUI::kCircularMode;

AEffGUIEditor::AEffGUIEditor(AudioEffect* fx) : AEffEditor(fx), lLastTicks(getTicks()) {
    if (effect) effect->setEditor(this);
    InitMachOLibrary();
}

AEffGUIEditor::~AEffGUIEditor() {
    // A host may delete the effect with the editor still open: the window goes with it.
    if (frame) frame->forget();
    ExitMachOLibrary();
}

bool AEffGUIEditor::getRect(ERect** r) {
    if (!r) return false;
    *r = &rect;
    return true;
}

bool AEffGUIEditor::open(void* parent) {
    AEffEditor::open(parent);
    return false;
}

void AEffGUIEditor::idle() {
    if (inIdleStuff || !frame) return;
    GUI::CGUITimer::fireDueTimers(getTicks());
    if (frame) frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& key) {
    return frame && frame->onKeyDown(key) > 0;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& key) {
    return frame && frame->onKeyUp(key) > 0;
}

// Wheel events reach the frame from its own window.
bool AEffGUIEditor::onWheel(float) {
    return false;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    knobMode = mode;
    return true;
}

void AEffGUIEditor::setParameter(long, float) {}

void AEffGUIEditor::draw(ERect* r) {
    if (!frame) return;
    GUI::CRect area = frame->getViewSize();
    if (r)
        area = GUI::CRect(std::min(r->left, r->right), std::min(r->top, r->bottom),
                          std::max(r->left, r->right), std::max(r->top, r->bottom));
    frame->paint(area);
}

long AEffGUIEditor::mouse(long, long) {
    return 0;
}

void AEffGUIEditor::doIdleStuff() {
    uint32_t now = getTicks();
    if (int32_t(now - lLastTicks) < 0) {
        wait(4);
        now += 4;
        if (int32_t(lLastTicks - now) > 50) return;
    }
    idle();
    lLastTicks = now + 100;
    inIdleStuff = true;
    if (effect) effect->masterIdle();
    inIdleStuff = false;
}

int32_t AEffGUIEditor::getKnobMode() const {
    return knobMode;
}

void AEffGUIEditor::beginEdit(long index) {
    if (auto* fx = dynamic_cast<AudioEffectX*>(effect)) fx->beginEdit(VstInt32(index));
}

void AEffGUIEditor::endEdit(long index) {
    if (auto* fx = dynamic_cast<AudioEffectX*>(effect)) fx->endEdit(VstInt32(index));
}

uint32_t AEffGUIEditor::getTicks() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void AEffGUIEditor::wait(uint32_t ms) {
    const uint32_t end = getTicks() + ms;
    while (int32_t(end - getTicks()) > 0) {
        if (frame) frame->processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// The effect's editor as an LV2 X11 UI. The editor talks to an effect; this class plays that
// effect without processing audio: it keeps the sixteen host values the editor shows and
// turns the editor's changes, gestures and learn clicks into port writes, while port events
// from the host move the controls. [ui thread] for every operation, the host's UI thread.
#pragma once

#include "effect/MidiLearnTarget.h"
#include "lv2/OrvellaPorts.h"
#include "plugin/AudioEffectX.h"

#include <array>
#include <cstdint>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>
#include <optional>
#include <string>

class OrvellaEditor;

class OrvellaUi final : public AudioEffectX, public MidiLearnTarget {
public:
    // What the host offers; any of it may be missing (null).
    struct Host {
        LV2UI_Write_Function write = nullptr;
        LV2UI_Controller controller = nullptr;
        void* parent = nullptr;
        const LV2_URID_Map* map = nullptr;
        const LV2UI_Resize* resize = nullptr;
        const LV2UI_Touch* touch = nullptr;
    };

    // Opens the editor in the host's parent window, reading the artwork from the bundle's
    // Resources folder; check getWidget() for success (none without a parent window).
    OrvellaUi(const Host& host, const std::string& bundlePath);
    // Destroys the editor and its window.
    ~OrvellaUi() override;

    // The editor's X window inside the parent; null when it could not be opened.
    LV2UI_Widget getWidget() const { return widget; }
    // A control port's value, input or output, in the port's own units; anything else is
    // ignored.
    void portEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);
    // Shows recorded changes and handles window events; 0 while the window lives.
    int idle();

    // The editor's side of the effect.
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setParameterAutomated(VstInt32 index, float value) override;
    bool beginEdit(VstInt32 index) override;
    bool endEdit(VstInt32 index) override;
    // Asks the plug-in to arm or cancel learning, and shows the outline as the plug-in would.
    void handleSpecialClick(long tag) override;
    void processReplacing(float**, float**, VstInt32) override {}

private:
    void touch(VstInt32 index, bool grabbed);
    void sendLearn(int parameter);
    OrvellaEditor& editor();

    Host host;
    LV2UI_Widget widget = nullptr;
    std::array<float, kNumParams> values{};
    // Mirrors the plug-in's armed parameter, which it never reports: a learned controller
    // moving that parameter means learning is over.
    static constexpr int kNotArmed = -1;
    int armed = kNotArmed;
    // Without a URID map no learn message can be sent.
    std::optional<OrvellaPorts::Urids> urids;
};

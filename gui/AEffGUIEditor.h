#pragma once

#include "gui/GUIEditorInterface.h"
#include "plugin/AEffEditor.h"

#include <cstdint>

namespace GUI {
class CFrame;
}

// Editor base for views built on the GUI framework: answers the host's editor calls, idles
// the frame and forwards gestures to the effect. The derived editor builds its frame in
// open() and destroys it in close(). [main thread] = the host's ui thread, for every operation.
class AEffGUIEditor : public AEffEditor, public GUI::GUIEditorInterface {
public:
    // Registers itself as the effect's editor (the effect owns it from then on) and locates
    // the plug-in bundle.
    explicit AEffGUIEditor(AudioEffect* effect);
    // Closes a frame that is still open.
    ~AEffGUIEditor() override;

    bool getRect(ERect** rect) override;
    // Records the parent window and answers false; the derived editor answers true.
    bool open(void* parent) override;
    // Repaints dirty views and fires due timers while a frame exists.
    void idle() override;
    bool onKeyDown(VstKeyCode& key) override;
    bool onKeyUp(VstKeyCode& key) override;
    bool onWheel(float distance) override;
    // The knob mode is shared by every editor in the process.
    bool setKnobMode(VstInt32 mode) override;

    virtual void setParameter(long index, float value);
    // Paints `rect` (null: the whole frame) at once.
    virtual void draw(ERect* rect);
    virtual long mouse(long x, long y);
    // Idles at most about every 100 ms when called from a waiting loop.
    void doIdleStuff() override;
    int32_t getKnobMode() const override;
    void beginEdit(long index) override;
    void endEdit(long index) override;

    GUI::CFrame* getFrame() const { return frame; }

    // Milliseconds from a steady clock, wrapping in 32 bits.
    static uint32_t getTicks();
    // Reads window events for `ms` milliseconds.
    void wait(uint32_t ms);

protected:
    GUI::CFrame* frame = nullptr;
    ERect rect{};

private:
    uint32_t lLastTicks;
    bool inIdleStuff = false;
    static VstInt32 knobMode;
};

// The editor hook of the plug-in frame: the effect's dispatcher hands editor opcodes to an
// object of this kind. The GUI toolkit derives its editor base from it.
#pragma once

#include "plugin/VstInterface.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    virtual AudioEffect* getEffect() { return effect; }
    // [main thread] Points *rect at the editor's rectangle; false when there is none.
    virtual bool getRect(ERect** rect) {
        *rect = nullptr;
        return false;
    }
    // [main thread] parent is the host's window (an X11 window id on Linux).
    virtual bool open(void* parent) {
        systemWindow = parent;
        return false;
    }
    // [main thread]
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() { return systemWindow != nullptr; }
    // [main thread] Called by the host many times a second while the editor is open.
    virtual void idle() {}

    virtual void __drawDeprecated(ERect*) {}
    virtual VstInt32 __mouseDeprecated(VstInt32, VstInt32) { return 0; }
    virtual VstInt32 __keyDeprecated(VstInt32) { return 0; }
    virtual void __topDeprecated() {}
    virtual void __sleepDeprecated() {}

    // [main thread]
    virtual bool onKeyDown(VstKeyCode&) { return false; }
    virtual bool onKeyUp(VstKeyCode&) { return false; }
    virtual bool onWheel(float) { return false; }
    virtual bool setKnobMode(VstInt32) { return false; }

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
};

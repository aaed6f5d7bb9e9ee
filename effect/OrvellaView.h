// What the effect tells its editor, whatever draws it: a parameter's new value and where
// the learn outline goes. The effect sees its editor only through this, so it builds and
// runs without any windowing or drawing library.
#pragma once

class AudioEffect;

class OrvellaView {
public:
    // [any thread] Never allocates, locks or draws.
    virtual void setParameter(long index, float value) = 0;
    // [any thread] The learn outline on (on) or off the parameter's control. Never
    // allocates, locks or draws.
    virtual void highlightControl(long index, bool on) = 0;

protected:
    ~OrvellaView() = default;
};

// [main thread] Builds the effect's editor (no window yet), which registers itself with the
// effect as its AEffEditor and is owned by it from then on; null for none. Declared here,
// defined by whatever the effect is linked with: the editor in the bundle, a double in tests.
OrvellaView* createOrvellaEditor(AudioEffect* effect);

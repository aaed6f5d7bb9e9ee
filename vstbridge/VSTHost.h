// What a hosted effect asks of its host, answered by whoever owns the VSTPlugIn (the
// Audio Unit component, orvella-host). Each call comes from the effect through the
// host callback, on the thread the effect makes it from.
#pragma once

struct VstTimeInfo;
class VSTPlugIn;

class VSTHost {
public:
    virtual ~VSTHost() = default;

    // [main thread] Copies the host's vendor / product name into text (at most 63
    // characters and a zero).
    virtual void getVendor(VSTPlugIn& plugIn, char* text) = 0;
    virtual void getProduct(VSTPlugIn& plugIn, char* text) = 0;
    // [main thread] The host's version number.
    virtual int getVersion(VSTPlugIn& plugIn) = 0;
    // [main thread] Whether the host does what the text names.
    virtual bool canDo(VSTPlugIn& plugIn, const char* what) = 0;
    // [audio thread] The transport state, valid until the next call; may be null. Must
    // not block.
    virtual VstTimeInfo* getTimeInfo(VSTPlugIn& plugIn, int flags) = 0;
    // [any thread] An edit gesture on a parameter begins, moves it, ends.
    virtual void beginEdit(VSTPlugIn& plugIn, int parameter) = 0;
    virtual void automate(VSTPlugIn& plugIn, int parameter, float value) = 0;
    virtual void endEdit(VSTPlugIn& plugIn, int parameter) = 0;
    // [any thread] Whether an input pin (or an output pin) carries audio. Must not block.
    virtual bool isIOPinConnected(VSTPlugIn& plugIn, bool output, int pin) = 0;
    // [main thread] The effect asks to be idled now.
    virtual void idle(VSTPlugIn& plugIn) = 0;
    // [main thread] Names or values of parameters or programs changed.
    virtual void updateDisplay(VSTPlugIn& plugIn) = 0;
    // [main thread] The editor wants a window of this size.
    virtual void resizeWindow(VSTPlugIn& plugIn, int width, int height) = 0;
};

// A plug-in built on the frame that reports every operation it and its editor receive to
// the host (as an audioMasterVendorSpecific call with a text), so tests see the dispatch
// from the outside, exactly as a host would.
#include "plugin/AEffEditor.h"
#include "plugin/AudioEffectX.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr VstInt32 kReport = CCONST('L', 'o', 'g', ' ');

__attribute__((format(printf, 2, 3))) void report(AudioEffect* effect, const char* format, ...) {
    char text[128];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    static_cast<AudioEffectX*>(effect)->hostVendorSpecific(kReport, 0, text, 0);
}

class ProbeEditor final : public AEffEditor {
public:
    explicit ProbeEditor(AudioEffect* effect) : AEffEditor(effect) {}
    bool getRect(ERect** r) override { return (*r = &rect); }
    bool open(void* parent) override {
        report(effect, "editOpen %d", *static_cast<int*>(parent));
        return true;
    }
    void close() override { report(effect, "editClose"); }
    void idle() override { report(effect, "editIdle"); }
    bool onKeyDown(VstKeyCode& key) override { return onKey("keyDown", key); }
    bool onKeyUp(VstKeyCode& key) override { return onKey("keyUp", key); }
    bool setKnobMode(VstInt32 mode) override { return mode == 2; }

    ERect rect{0, 0, 386, 675};

private:
    bool onKey(const char* what, const VstKeyCode& key) {
        report(effect, "%s %d %d %d", what, key.character, key.virt, key.modifier);
        return key.virt == VKEY_UP;
    }
};

class ProbeEffect final : public AudioEffectX {
public:
    explicit ProbeEffect(audioMasterCallback master) : AudioEffectX(master, 10, 16) {
        setNumInputs(2);
        setUniqueID(CCONST('P', 'r', 'b', 'e'));
        setEditor(new ProbeEditor(this));
        // The host can ask for a failed construction, after the editor is made.
        char fail[] = "probeFailConstruction";
        if (canHostDo(fail)) throw std::bad_alloc();
    }
    ~ProbeEffect() override { report(this, "deleted"); }

    void open() override { report(this, "open"); }
    void close() override { report(this, "close"); }
    void suspend() override { report(this, "suspend"); }
    void resume() override {
        report(this, "resume");
        AudioEffectX::resume();
    }
    void setSampleRate(float rate) override { report(this, "setSampleRate %g", double(rate)); }
    void setBlockSize(VstInt32 size) override { report(this, "setBlockSize %d", size); }
    void processReplacing(float**, float** out, VstInt32 frames) override {
        for (VstInt32 i = 0; i < frames; ++i) out[0][i] = out[1][i] = 0.5f;
    }
    void setParameter(VstInt32 index, float value) override {
        report(this, "setParameter %d %g", index, double(value));
    }
    float getParameter(VstInt32 index) override { return float(index) / 100.0f; }
    void setProgram(VstInt32 program) override {
        AudioEffectX::setProgram(program);
        report(this, "setProgram %d", program);
    }
    void setProgramName(char* name) override { report(this, "setProgramName %s", name); }
    void getProgramName(char* name) override { vst_strncpy(name, "Probe", kVstMaxProgNameLen); }
    void getParameterLabel(VstInt32 index, char* text) override { text2(text, 'L', index); }
    void getParameterDisplay(VstInt32 index, char* text) override { text2(text, 'D', index); }
    void getParameterName(VstInt32 index, char* text) override { text2(text, 'N', index); }
    VstInt32 getChunk(void** data, bool isPreset) override {
        *data = chunk;
        return isPreset ? 4 : 8;
    }
    VstInt32 setChunk(void*, VstInt32 size, bool isPreset) override {
        report(this, "setChunk %d %d", size, int(isPreset));
        return size == 8;
    }
    VstInt32 processEvents(VstEvents* events) override {
        report(this, "processEvents %d", events->numEvents);
        return 1;
    }
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override {
        report(this, "getProgramNameIndexed %d %d", category, index);
        if (index < 0 || index >= 10) return false;
        std::snprintf(text, kVstMaxProgNameLen + 1, "Program %d", index);
        return true;
    }
    bool getEffectName(char* name) override {
        vst_strncpy(name, "Probe", kVstMaxEffectNameLen);
        return true;
    }
    VstInt32 getVendorVersion() override { return 1100; }
    VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void*, float opt) override {
        report(this, "vendorSpecific %d %ld %g", index, long(value), double(opt));
        return 7;
    }
    VstInt32 canDo(char* text) override { return std::strcmp(text, "receiveVstMidiEvent") == 0; }
    VstPlugCategory getPlugCategory() override { return kPlugCategEffect; }

    char chunk[8] = "chunk!!";

private:
    static void text2(char* text, char kind, VstInt32 index) {
        std::snprintf(text, kVstMaxParamStrLen + 1, "%c%d", kind, index);
    }
};

} // namespace

AudioEffect* createEffectInstance(audioMasterCallback master) {
    return new ProbeEffect(master);
}

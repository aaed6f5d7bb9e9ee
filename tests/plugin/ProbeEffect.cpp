// A plug-in built on the frame that reports every operation it receives to its host
// (as an audioMasterVendorSpecific call with a text), so tests see the dispatch from
// the outside, exactly as a host would.
#include "plugin/AEffEditor.h"
#include "plugin/AudioEffectX.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr VstInt32 kReport = CCONST('L', 'o', 'g', ' ');

class ProbeEditor final : public AEffEditor {
public:
    explicit ProbeEditor(AudioEffect* effect) : AEffEditor(effect) {}
    bool getRect(ERect** r) override {
        *r = &rect;
        return true;
    }
    bool open(void* parent) override {
        AEffEditor::open(parent);
        return true;
    }
    void idle() override { ++idles; }
    bool onKeyDown(VstKeyCode& key) override {
        lastKey = key;
        return key.virt == VKEY_UP;
    }
    bool setKnobMode(VstInt32 mode) override { return mode == 2; }

    ERect rect{0, 0, 386, 675};
    int idles = 0;
    VstKeyCode lastKey{};
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

    void report(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char text[128];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        hostVendorSpecific(kReport, 0, text, 0);
    }

    void open() override { report("open"); }
    void close() override { report("close"); }
    void suspend() override { report("suspend"); }
    void resume() override {
        report("resume");
        AudioEffectX::resume();
    }
    void setSampleRate(float rate) override {
        AudioEffectX::setSampleRate(rate);
        report("setSampleRate %g", double(rate));
    }
    void setBlockSize(VstInt32 size) override {
        AudioEffectX::setBlockSize(size);
        report("setBlockSize %d", size);
    }
    void processReplacing(float**, float** out, VstInt32 frames) override {
        for (VstInt32 i = 0; i < frames; ++i) out[0][i] = out[1][i] = 0.5f;
    }
    void setParameter(VstInt32 index, float value) override {
        report("setParameter %d %g", index, double(value));
    }
    float getParameter(VstInt32 index) override { return float(index) / 100.0f; }
    void setProgram(VstInt32 program) override {
        AudioEffectX::setProgram(program);
        report("setProgram %d", program);
    }
    void setProgramName(char* name) override { report("setProgramName %s", name); }
    void getProgramName(char* name) override { vst_strncpy(name, "Probe", kVstMaxProgNameLen); }
    void getParameterLabel(VstInt32 index, char* text) override {
        std::snprintf(text, kVstMaxParamStrLen + 1, "L%d", index);
    }
    void getParameterDisplay(VstInt32 index, char* text) override {
        std::snprintf(text, kVstMaxParamStrLen + 1, "D%d", index);
    }
    void getParameterName(VstInt32 index, char* text) override {
        std::snprintf(text, kVstMaxParamStrLen + 1, "N%d", index);
    }
    VstInt32 getChunk(void** data, bool isPreset) override {
        *data = chunk;
        return isPreset ? 4 : 8;
    }
    VstInt32 setChunk(void*, VstInt32 size, bool isPreset) override {
        report("setChunk %d %d", size, int(isPreset));
        return size == 8;
    }
    VstInt32 processEvents(VstEvents* events) override {
        report("processEvents %d", events->numEvents);
        return 1;
    }
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override {
        report("getProgramNameIndexed %d %d", category, index);
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
        report("vendorSpecific %d %ld %g", index, long(value), double(opt));
        return 7;
    }
    VstInt32 canDo(char* text) override { return std::strcmp(text, "receiveVstMidiEvent") == 0; }
    VstPlugCategory getPlugCategory() override { return kPlugCategEffect; }

    char chunk[8] = "chunk!!";
};

} // namespace

AudioEffect* createEffectInstance(audioMasterCallback master) {
    return new ProbeEffect(master);
}

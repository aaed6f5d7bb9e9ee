// The Orvella phase shifter: two swept six-stage sections, two generators, ten programs
// and MIDI-learnable parameters.
#pragma once

#include "dsp/gen_LFO.h"
#include "dsp/mod_lag.h"
#include "dsp/tqsp_filter_rbj.h"
#include "dsp/tqsp_filter_swept_phasor.h"
#include "effect/MidiAssignments.h"
#include "effect/MidiLearnTarget.h"
#include "effect/OrvellaProgram.h"
#include "plugin/AudioEffectX.h"

#include <atomic>
#include <memory>

class OrvellaParameterManager;
class OrvellaView;

class Orvella final : public AudioEffectX, public MidiLearnTarget {
public:
    // [main thread] Builds the effect with program 0 applied, resumed.
    explicit Orvella(audioMasterCallback audioMaster);
    ~Orvella() override;

    // [main thread] Never while a process call runs.
    void suspend() override;
    void resume() override;
    void setSampleRate(float rate) override;

    // [audio thread] Never allocates, locks or blocks.
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

    // [any thread] Indices outside 0..15 are ignored; values are clamped into 0..1.
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;

    // [main thread] Program operations; never while a process call runs.
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    // [main thread] text holds at least 11 bytes (whole value names are written).
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;

    // [audio thread] Control changes on any channel; called before processReplacing.
    VstInt32 processEvents(VstEvents* events) override;

    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return 1100; }
    // [any thread] 23456: host value to natural value; 12345: natural value to host value.
    VstIntPtr vendorSpecific(VstInt32 selector, VstIntPtr index, void* ptr, float value) override;
    VstInt32 canDo(char* text) override;
    VstPlugCategory getPlugCategory() override { return kPlugCategEffect; }

    // [main thread] Fills the ten programs from the factory tables.
    void initPresets();
    // [audio thread] One control-change message.
    void midiController(char controller, char value);
    // [ui thread] The learn gesture on the parameter whose index is tag.
    void handleSpecialClick(long tag) override;

    // Views for tests and the editor. [any thread]
    int learningParameter() const { return learnParameter.load(std::memory_order_relaxed); }
    int controllerOf(int parameter) const { return midiAssignments.controllerOf(parameter); }
    const OrvellaProgram& program(int n) const { return programs[n]; }
    OrvellaParameterManager& parameters() { return *paramManager; }

    static constexpr VstInt32 kSelectorNaturalFromHost = 23456;
    static constexpr VstInt32 kSelectorHostFromNatural = 12345;
    static constexpr int kNotLearning = -1;

private:
    void applyParameter(VstInt32 index, float value);
    void highlightControl(long tag, bool on);
    void storeController(int parameter, int8_t controller);
    template <int Routing, bool Stereo>
    void processSubBlock(const float* inL, const float* inR, float* outL, float* outR, int n);
    template <bool Stereo>
    void processRouted(int routing, const float* inL, const float* inR, float* outL, float* outR,
                       int n);

    OrvellaProgram programs[kNumPrograms];
    std::unique_ptr<OrvellaParameterManager> paramManager;
    OrvellaView* view = nullptr; // the editor, owned by the base as its AEffEditor
    MidiAssignments midiAssignments;
    // The armed parameter, or kNotLearning: one atomic, so a learn completed on the audio
    // thread and a gesture on the editor's thread never see a half-made state.
    std::atomic<int> learnParameter{kNotLearning};
    uint8_t lastCtrl = 255; // the last controller seen while armed; audio thread only

    tqsp_filter_swept_phasor phaserA;
    tqsp_filter_swept_phasor phaserB;
    tqsp_filter_rbj_low_pass lowPassA;
    tqsp_filter_rbj_low_pass lowPassB;
    tqsp_filter_rbj_high_pass highPassA;
    tqsp_filter_rbj_high_pass highPassB;
    gen_LFO_record gen1;
    gen_LFO_record gen2;
    mod_lag_record sweepLagA;
    mod_lag_record sweepLagB;
    std::atomic<float> manualSweep{0.0f};
    VstInt32 inputCount = 2;
    bool suspended = false;
};

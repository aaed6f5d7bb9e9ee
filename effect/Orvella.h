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

    // [main thread] Never while a process call runs. A resume starts from silent filters.
    void suspend() override;
    void resume() override;
    // [main thread] Never while a process call runs. Only rates above 0 are taken; every
    // generator, smoother and filter of this instance follows its own rate.
    void setSampleRate(float rate) override;

    // [audio thread] Never allocates, locks or blocks. Applies the parameter changes made
    // since the last call first; writes silence while suspended; a block that leaves a
    // non-finite or absurd value in the filters clears them at its end. The sweep moves every
    // eight frames of the stream, however the host cuts it into calls: a call of no frames
    // changes nothing.
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

    // [any thread] Never blocks. Indices outside 0..15 are ignored; values are clamped into
    // 0..1. The value is read back at once; the signal path takes it at its next block.
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;

    // [main thread] Program and chunk operations; may run while audio is processed, whose
    // thread takes the new values at its next block.
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    // [main thread] text holds 9 bytes: eight characters and the terminator.
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    // [main thread] The long name the editor shows, the short one, and whether it is a switch.
    bool getParameterProperties(VstInt32 index, VstParameterProperties* p) override;
    // The data stays valid and unchanged until the next getChunk.
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
    void applyPendingParameters();
    void applyParameter(VstInt32 index);
    // [audio thread] Takes the depths, sweep weights and routing into sweepSettings.
    void readSweepSettings();
    void clearFilters();
    // One program's values and controllers, stored whole where other threads may read them.
    static void storeProgram(OrvellaProgram& to, const OrvellaProgram& from);
    void highlightControl(long tag, bool on);
    void assignController(int parameter, int8_t controller);
    // [audio thread] The signal path, unsuspended.
    void processFrames(float** inputs, float** outputs, int frames);
    // The sweep position of each section, -1..+1, for one sub-block.
    struct Sweep {
        float a, b;
    };
    void setSweep(Sweep s);
    // The routings; nextSweep() gives the position for each new sub-block in turn. The first
    // starts at frame first, 0 to 7; the frames before it finish the one the filters hold.
    template <int Routing, bool Stereo, class NextSweep>
    void processSideBySide(const float* inL, const float* inR, float* outL, float* outR, int frames,
                           int first, NextSweep nextSweep);
    template <bool Stereo, class NextSweep>
    void processInSeries(const float* in, float* outL, float* outR, int frames, int first,
                         NextSweep nextSweep);
    template <class NextSweep>
    void processAlone(const float* in, float* out, int frames, int first, NextSweep nextSweep);

    OrvellaProgram programs[kNumPrograms];
    OrvellaProgram chunk[kNumPrograms]; // what getChunk last handed out
    // The program setParameter writes into, from any thread; curProgram is the main thread's.
    std::atomic<int> currentProgram{0};
    // Bit k: parameter k changed since the audio thread last applied it.
    std::atomic<uint32_t> pendingParameters{0};
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
    float manualSweep = 0.0f; // audio thread only
    // What the signal path reads per call, kept by the audio thread as the parameters change:
    // the parameter manager's maps cost more than a small call's frames.
    struct SweepSettings {
        float depthA = 0, depthB = 0;
        float wGen1A = 0, wManA = 0;             // A follows Gen 1 or the manual sweep
        float wGen1B = 0, wGen2B = 0, wManB = 0; // B any of the three, signed by its sync
        int routing = 0;                         // "Ph B Input"
    };
    SweepSettings sweepSettings;
    // Frames of the current sub-block already processed; audio thread only. Only a new
    // instance starts the grid afresh: the generators never restart either, and a resume,
    // a program or a rate change that moved the grid would make the sweep depend on when
    // the host happened to send them.
    int subBlockFrames = 0;
    VstInt32 inputCount = 2;
    bool suspended = false;
};

// One LV2 instance of the effect: the effect record driven as a VST host drives it, with the
// ports, the MIDI and learn events and the saved state translated to and from it.
#pragma once

#include "lv2/BankHandover.h"
#include "lv2/OrvellaPorts.h"
#include "plugin/VstInterface.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <atomic>
#include <cstdint>

class Orvella;

class OrvellaLV2 {
public:
    // [main thread] Null when the rate is not above zero. Without a host's URI map there is
    // no MIDI, no learning and no saved state: the ports alone.
    static OrvellaLV2* create(double rate, const LV2_Feature* const* features);
    ~OrvellaLV2();
    OrvellaLV2(const OrvellaLV2&) = delete;
    OrvellaLV2& operator=(const OrvellaLV2&) = delete;

    // [audio thread] Any port may stay unconnected or be connected to null.
    void connect(uint32_t port, void* data);
    // [main thread] activate starts from silent filters, as a VST host's resume does.
    void activate();
    void deactivate();
    // [audio thread] Never allocates, locks or blocks. Takes a restored bank first, then the
    // control ports that changed, then the events; a run of zero frames processes no audio.
    void run(uint32_t frames);

    // [main thread] May run while run() does. The bank (all programs, their names and
    // controllers) and the number of the program that plays.
    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
    // [main thread] May run while run() does: an active instance takes the bank at its next
    // run. A bank of the wrong type or size, or a bad program number, changes nothing.
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

private:
    OrvellaLV2(double rate, const LV2_URID_Map* map);

    static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt);
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0);
    void applyBank(const BankHandover::Bank& bank);
    void followControls();
    void passEvents();
    void flushMidi();
    void process(uint32_t frames);
    void reportParameters();

    static constexpr int kMidiBatch = 64;
    struct MidiBatch {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[kMidiBatch];
    };

    Orvella* effect = nullptr;
    AEffect* record = nullptr;
    const OrvellaPorts::Urids urids;
    const LV2_URID midiEvent, atomChunk, bankKey, programKey;

    float* audio[4] = {};
    const LV2_Atom_Sequence* events = nullptr;
    const float* controls[kNumParams] = {};
    float* reports[kNumParams] = {};
    float reported[kNumParams] = {}; // the host values the report ports show; -1: none yet
    // The bits of each control port's value last taken, so a value that stays is never
    // applied again over what a learned controller or a restored bank did since.
    uint32_t taken[kNumParams] = {};
    bool hasTaken[kNumParams] = {};
    // Set where a bank was applied off the audio thread: its next run takes the ports as
    // they stand, without applying them.
    std::atomic<bool> portsAreTaken{false};

    bool stereo = true; // what the effect is told of its second pins
    bool active = false;
    std::atomic<int> program{0};
    BankHandover handover;

    MidiBatch midiBatch{};
    VstMidiEvent midi[kMidiBatch]{};
};

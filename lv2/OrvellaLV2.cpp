#include "lv2/OrvellaLV2.h"

#include "effect/Orvella.h"

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

using OrvellaPorts::mapped;

constexpr const char* kBankUri = "urn:calderis:orvella#bank";
constexpr const char* kProgramUri = "urn:calderis:orvella#program";
constexpr uint32_t kStateFlags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;

const LV2_URID_Map* uridMap(const LV2_Feature* const* features) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, LV2_URID__map) == 0)
            return static_cast<const LV2_URID_Map*>((*features)->data);
    return nullptr;
}

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

OrvellaLV2* OrvellaLV2::create(double rate, const LV2_Feature* const* features) {
    if (!(rate > 0.0)) return nullptr;
    // The parameter rows are built here, never on the audio thread.
    OrvellaPorts::defaultValue(0);
    try {
        return new OrvellaLV2(rate, uridMap(features));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

OrvellaLV2::OrvellaLV2(double rate, const LV2_URID_Map* map)
    : urids(map), midiEvent(mapped(map, LV2_MIDI__MidiEvent)),
      atomChunk(mapped(map, LV2_ATOM__Chunk)), bankKey(mapped(map, kBankUri)),
      programKey(mapped(map, kProgramUri)) {
    // Built and set up in the order a VST host follows: the rate comes after construction.
    effect = new Orvella(hostCallback);
    record = effect->getAeffect();
    record->user = this;
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    for (int i = 0; i < kMidiBatch; ++i) {
        midi[i].type = kVstMidiType;
        midi[i].byteSize = sizeof midi[i];
        midiBatch.events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
    }
}

OrvellaLV2::~OrvellaLV2() {
    dispatch(effClose); // the effect deletes itself
}

VstIntPtr OrvellaLV2::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
}

// The effect's questions about its host. While it is being built it knows no instance yet,
// and is told the rate afterwards.
VstIntPtr OrvellaLV2::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr,
                                   void*, float) {
    const auto* self = effect ? static_cast<const OrvellaLV2*>(effect->user) : nullptr;
    switch (opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterPinConnected: // 0 means connected
        return index == 0 || !self || self->stereo ? 0 : 1;
    default:
        return 0;
    }
}

void OrvellaLV2::connect(uint32_t port, void* data) {
    using namespace OrvellaPorts;
    if (port < kEvents) {
        audio[port] = static_cast<float*>(data);
    } else if (port == kEvents) {
        events = static_cast<const LV2_Atom_Sequence*>(data);
    } else if (port < kFirstControlOutput) {
        controls[port - kFirstControlInput] = static_cast<const float*>(data);
    } else if (port < kNumPorts) {
        reports[port - kFirstControlOutput] = static_cast<float*>(data);
        reported[port - kFirstControlOutput] = -1.0f; // a new buffer holds nothing yet
    }
}

void OrvellaLV2::activate() {
    dispatch(effMainsChanged, 0, 1);
    active = true;
}

void OrvellaLV2::deactivate() {
    dispatch(effMainsChanged, 0, 0);
    active = false;
    // A bank restored while running that no run took is not lost.
    if (const BankHandover::Bank* bank = handover.take()) {
        applyBank(*bank);
        portsAreTaken.store(true, std::memory_order_release);
    }
}

void OrvellaLV2::run(uint32_t frames) {
    bool bankApplied = portsAreTaken.load(std::memory_order_relaxed) &&
                       portsAreTaken.exchange(false, std::memory_order_acquire);
    if (const BankHandover::Bank* bank = handover.take()) {
        applyBank(*bank);
        bankApplied = true;
    }
    if (bankApplied) {
        // The bank holds the session's values; the ports hold what the host showed before.
        for (int p = 0; p < kNumParams; ++p) {
            hasTaken[p] = controls[p] != nullptr;
            if (controls[p]) taken[p] = bitsOf(*controls[p]);
        }
    }
    followControls();
    passEvents();
    process(frames);
    reportParameters();
}

void OrvellaLV2::applyBank(const BankHandover::Bank& bank) {
    // The program first, so the bank's own values of it are the ones that play.
    dispatch(effSetProgram, 0, bank.program);
    dispatch(effSetChunk, 0, BankHandover::kBankBytes, const_cast<unsigned char*>(bank.chunk));
    program.store(bank.program, std::memory_order_relaxed);
}

void OrvellaLV2::followControls() {
    for (int p = 0; p < kNumParams; ++p) {
        if (!controls[p]) continue;
        const float value = *controls[p];
        const uint32_t bits = bitsOf(value);
        if (hasTaken[p] && taken[p] == bits) continue;
        taken[p] = bits;
        hasTaken[p] = true;
        record->setParameter(record, p, OrvellaPorts::hostValue(p, value));
    }
}

// MIDI goes to the effect as a VST host sends it, a batch before the block; learn requests
// go to the effect's own learn gesture.
void OrvellaLV2::passEvents() {
    if (!events || !midiEvent) return;
    midiBatch.numEvents = 0;
    LV2_ATOM_SEQUENCE_FOREACH(events, event) {
        const LV2_Atom& body = event->body;
        if (body.type == midiEvent) {
            if (body.size == 0 || body.size > 3) continue;
            VstMidiEvent& m = midi[midiBatch.numEvents];
            std::memset(m.midiData, 0, sizeof m.midiData);
            std::memcpy(m.midiData, LV2_ATOM_BODY_CONST(&body), body.size);
            if (++midiBatch.numEvents == kMidiBatch) flushMidi();
        } else if (body.type == urids.atomObject) {
            const int parameter = OrvellaPorts::learnedParameter(
                urids, &body, static_cast<uint32_t>(sizeof body) + body.size);
            if (parameter >= 0) effect->handleSpecialClick(parameter);
        }
    }
    flushMidi();
}

void OrvellaLV2::flushMidi() {
    if (midiBatch.numEvents == 0) return;
    static_assert(offsetof(MidiBatch, events) == offsetof(VstEvents, events));
    dispatch(effProcessEvents, 0, 0, &midiBatch);
    midiBatch.numEvents = 0;
}

// Both right-hand ports connected: stereo. Otherwise the effect's own mono path, the left
// input to the left output (and to the right one, where only that is connected).
void OrvellaLV2::process(uint32_t frames) {
    float* inL = audio[OrvellaPorts::kInputLeft];
    float* inR = audio[OrvellaPorts::kInputRight];
    float* outL = audio[OrvellaPorts::kOutputLeft];
    float* outR = audio[OrvellaPorts::kOutputRight];
    if (frames == 0) return;
    if (!inL || !outL) {
        for (float* out : {outL, outR})
            if (out) std::fill_n(out, frames, 0.0f);
        return;
    }
    const bool stereoNow = inR && outR;
    if (stereoNow != stereo) {
        stereo = stereoNow;
        dispatch(effMainsChanged, 0, 1); // the effect asks about its pins again
    }
    float* inputs[2] = {inL, inR};
    float* outputs[2] = {outL, outR};
    record->processReplacing(record, inputs, outputs, static_cast<VstInt32>(frames));
    if (!stereo && outR) std::copy_n(outL, frames, outR);
}

void OrvellaLV2::reportParameters() {
    for (int p = 0; p < kNumParams; ++p) {
        if (!reports[p]) continue;
        const float host = record->getParameter(record, p);
        if (host == reported[p]) continue; // converting costs more than comparing
        reported[p] = host;
        *reports[p] = OrvellaPorts::portValue(p, host);
    }
}

LV2_State_Status OrvellaLV2::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (!atomChunk) return LV2_STATE_ERR_NO_FEATURE;
    void* chunk = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &chunk);
    if (!chunk || size != static_cast<VstIntPtr>(BankHandover::kBankBytes))
        return LV2_STATE_ERR_UNKNOWN;
    const int32_t playing = program.load(std::memory_order_relaxed);
    const LV2_State_Status status =
        store(handle, bankKey, chunk, BankHandover::kBankBytes, atomChunk, kStateFlags);
    if (status != LV2_STATE_SUCCESS) return status;
    return store(handle, programKey, &playing, sizeof playing, urids.atomInt, kStateFlags);
}

LV2_State_Status OrvellaLV2::restore(LV2_State_Retrieve_Function retrieve,
                                     LV2_State_Handle handle) {
    if (!atomChunk) return LV2_STATE_ERR_NO_FEATURE;
    std::size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* chunk = retrieve(handle, bankKey, &size, &type, &flags);
    if (!chunk) return LV2_STATE_ERR_NO_PROPERTY;
    if (type != atomChunk) return LV2_STATE_ERR_BAD_TYPE;
    if (size != BankHandover::kBankBytes) return LV2_STATE_ERR_UNKNOWN;
    int32_t playing = 0; // a state without it plays the first program
    if (const void* number = retrieve(handle, programKey, &size, &type, &flags)) {
        if (type != urids.atomInt || size != sizeof playing) return LV2_STATE_ERR_BAD_TYPE;
        std::memcpy(&playing, number, sizeof playing);
        if (playing < 0 || playing >= kNumPrograms) return LV2_STATE_ERR_UNKNOWN;
    }
    BankHandover::Bank& bank = handover.toFill();
    bank.program = playing;
    std::memcpy(bank.chunk, chunk, BankHandover::kBankBytes);
    handover.publish();
    if (!active) { // no run would take it before the next save
        applyBank(*handover.take());
        portsAreTaken.store(true, std::memory_order_release);
    }
    return LV2_STATE_SUCCESS;
}

#pragma once

#include "params/tq_paramManager.h"

// The effect's parameters; the index is also the host's parameter number, the editor's
// control tag, the slot in a program and the key of a MIDI assignment.
enum OrvellaParameter : long {
    kGen1Rate = 0,
    kGen1RateCtrl,
    kGen1Shape,
    kGen2Rate,
    kGen2Shape,
    kPhaserADepth,
    kPhaserAFeedback,
    kPhaserASweepCtrl,
    kPhaserBInput,
    kPhaserBDepth,
    kPhaserBFeedback,
    kPhaserBSweepCtrl,
    kPhaserBSweepSync,
    kPhaserAActive,
    kPhaserBActive,
    kSweepControl,
    kNumParams
};

// The effect's sixteen parameters, their value names and the numbers the signal path uses.
// Complete when constructed; safe to share between threads from then on as long as only
// indices 0..15 are passed.
class OrvellaParameterManager final : public tq_paramManager {
public:
    // Allocates. [main thread]
    OrvellaParameterManager();
    ~OrvellaParameterManager() override;

    // Switch and list parameters show their value names, shortened or cut where longer than
    // maxLen; numbers keep at least "10.0". Never writes more than
    // max(maxLen + 1, kNumberTextBytes) bytes. [any thread]
    void getValueString(long index, char* text, int maxLen) override;
    // Rates in hertz, depths and feedback as gains, shapes as waveform numbers.
    // [audio thread] never allocates for indices 0..15.
    float dspValueFromNaturalValue(long index, float natural) override;

    static constexpr int kNumberTextBytes = 5; // "10.0" and its terminator
};

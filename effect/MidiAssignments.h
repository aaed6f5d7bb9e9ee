// The current program's controller assignments, shared by the editor's thread (learning)
// and the audio thread (applying control changes). One atomic byte per parameter: every
// change is a single store, so the audio thread never sees a half-made assignment, and
// walking the bytes visits parameters in ascending order.
#pragma once

#include "params/OrvellaParameterManager.h"

#include <atomic>
#include <cstdint>

class MidiAssignments {
public:
    static constexpr int8_t kNone = -1;

    MidiAssignments() { clear(); }

    // [any thread]
    void clear() {
        for (auto& c : slots) c.store(kNone, std::memory_order_relaxed);
    }
    // [any thread] controller 0..127, or kNone to forget the parameter's assignment.
    void assign(int parameter, int8_t controller) {
        slots[parameter].store(controller < 0 ? kNone : controller, std::memory_order_seq_cst);
    }
    // [any thread]
    int8_t controllerOf(int parameter) const {
        return slots[parameter].load(std::memory_order_seq_cst);
    }
    bool has(int parameter) const { return controllerOf(parameter) != kNone; }

    // [audio thread] Calls f(parameter) for each parameter on the controller, lowest first.
    template <class F> void forEachOn(int8_t controller, F&& f) const {
        for (int p = 0; p < kNumParams; ++p)
            if (slots[p].load(std::memory_order_relaxed) == controller) f(p);
    }

private:
    std::atomic<int8_t> slots[kNumParams];
};

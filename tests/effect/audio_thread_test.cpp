// The audio path may not allocate: count every allocation made while processing.
#include "effect/Orvella.h"
#include "tests/common/MidiMessage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* counted(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) {
    return counted(size);
}
void* operator new[](std::size_t size) {
    return counted(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

TEST(AudioThread, ProcessingAndControlChangesNeverAllocate) {
    Orvella effect(host);
    effect.setProgram(8); // controller 1 drives the sweep control
    std::vector<float> l(4096, 0.25f), r(4096, -0.25f);
    float* ins[] = {l.data(), r.data()};
    float* outs[] = {l.data(), r.data()};
    auto message = MidiMessage::controlChange(1, 0);

    counting = true;
    for (int block = 0; block < 200; ++block) {
        message.midi.midiData[2] = char(block % 128);
        effect.processEvents(&message.events);
        effect.setParameter(block % 16, float(block % 7) / 6.0f);
        effect.processReplacing(ins, outs, 1 + block * 20 % 4096);
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
}

} // namespace

// The audio path may not allocate: count every allocation made while processing.
#include "effect/Orvella.h"
#include "tests/common/AllocationCounter.h"
#include "tests/common/MidiMessage.h"

#include <gtest/gtest.h>

#include <vector>

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

    const long before = allocationCount();
    for (int block = 0; block < 200; ++block) {
        message.midi.midiData[2] = char(block % 128);
        effect.processEvents(&message.events);
        effect.setParameter(block % 16, float(block % 7) / 6.0f);
        effect.processReplacing(ins, outs, 1 + block * 20 % 4096);
    }
    EXPECT_EQ(allocationCount(), before);
}

} // namespace

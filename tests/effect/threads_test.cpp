// The audio thread's promises: it never allocates, and hosts set parameters from their
// interface and automation threads, and change programs and load chunks from the main
// thread, while it processes. Run under ThreadSanitizer by scripts/test: every change must
// cross threads without a race.
#include "effect/Orvella.h"
#include "tests/common/AllocationCounter.h"
#include "tests/common/MidiMessage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

TEST(AudioThread, ProcessingAndControlChangesNeverAllocate) {
    Orvella effect(quietHost);
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

TEST(Threads, ChangesFromEveryThreadWhileAudioRuns) {
    Orvella effect(quietHost);
    void* data = nullptr;
    ASSERT_EQ(effect.getChunk(&data, false), 1040);
    std::vector<char> bank(static_cast<char*>(data), static_cast<char*>(data) + 1040);

    std::atomic<bool> done{false};
    std::atomic<bool> finite{true};
    std::thread audio([&] {
        std::vector<float> l(64, 0.1f), r(64, -0.1f);
        float* ins[] = {l.data(), r.data()};
        float* outs[] = {l.data(), r.data()};
        for (int n = 0; n < 4000; ++n) {
            auto change = MidiMessage::controlChange(1, n % 128);
            effect.processEvents(&change.events);
            effect.processReplacing(ins, outs, 64);
            if (!std::isfinite(l[63]) || !std::isfinite(r[63])) finite = false;
            l.assign(64, 0.1f);
            r.assign(64, -0.1f);
        }
        done = true;
    });
    std::thread automation([&] {
        for (int i = 0; !done.load(); ++i) effect.setParameter(i % 16, float(i % 11) / 10.0f);
    });
    for (int i = 0; !done.load(); ++i) {
        if (i % 3 == 0)
            effect.setChunk(bank.data(), 1040, false);
        else
            effect.setProgram(i % 10);
        effect.getChunk(&data, i % 2 == 0);
    }
    audio.join();
    automation.join();
    EXPECT_TRUE(finite.load());
    effect.setParameter(6, 0.3f);
    EXPECT_EQ(effect.getParameter(6), 0.3f) << "read back at once";
}

} // namespace

// MIDI learning and the audio thread's promises, on an Orvella built in-process.
#include "effect/Orvella.h"
#include "tests/common/MidiMessage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct Midi {
    Orvella effect{quietHost};
    void cc(int controller, int value, int channel = 0) { send(0xB0 | channel, controller, value); }
    void send(int status, int data1, int data2) {
        MidiMessage message(status, data1, data2);
        effect.processEvents(&message.events);
    }
};

TEST(MidiLearn, ControlChangesMoveAssignedParametersOnAnyChannel) {
    Midi m;
    const float before = m.effect.getParameter(15);
    m.cc(1, 127); // program 0 assigns nothing
    EXPECT_EQ(m.effect.getParameter(15), before);

    m.effect.setProgram(8);
    EXPECT_EQ(m.effect.controllerOf(15), 1);
    for (int channel : {0, 9, 15}) {
        m.cc(1, 127, channel);
        EXPECT_EQ(m.effect.getParameter(15), 1.0f);
        m.cc(1, 0, channel);
        EXPECT_EQ(m.effect.getParameter(15), 0.0f);
    }
    m.cc(1, 64);
    EXPECT_EQ(m.effect.getParameter(15), float(64 / 127.0));

    m.send(0x90, 1, 127);
    EXPECT_EQ(m.effect.getParameter(15), float(64 / 127.0)) << "a note is no control change";
    m.send(0xB0, 1, 200); // a data byte above 127 is not MIDI
    EXPECT_EQ(m.effect.getParameter(15), float(64 / 127.0));
}

TEST(MidiLearn, SecondMessageFromTheSameControllerCompletesTheLearn) {
    Midi m;
    const float feedback = m.effect.getParameter(6);
    m.effect.handleSpecialClick(6);
    EXPECT_EQ(m.effect.learningParameter(), 6);
    m.cc(10, 30);
    EXPECT_EQ(m.effect.learningParameter(), 6);
    m.cc(10, 90);
    EXPECT_EQ(m.effect.learningParameter(), Orvella::kNotLearning);
    EXPECT_EQ(m.effect.controllerOf(6), 10);
    EXPECT_EQ(m.effect.program(0).controllers[6], 10);
    EXPECT_EQ(m.effect.getParameter(6), feedback) << "learning messages do not move the value";
    m.cc(10, 127);
    EXPECT_EQ(m.effect.getParameter(6), 1.0f);
}

TEST(MidiLearn, InterruptedLearnNeedsTheSameControllerTwiceInARow) {
    Midi m;
    m.effect.handleSpecialClick(9);
    m.cc(10, 1);
    m.cc(11, 1);
    m.cc(10, 1);
    EXPECT_EQ(m.effect.learningParameter(), 9);
    EXPECT_EQ(m.effect.controllerOf(9), -1);
    m.cc(10, 1);
    EXPECT_EQ(m.effect.controllerOf(9), 10);

    // The last controller seen survives a disarm: after re-arming, one message is enough.
    m.effect.handleSpecialClick(4);
    m.cc(20, 1);
    m.effect.handleSpecialClick(4);
    m.effect.handleSpecialClick(4);
    m.cc(20, 1);
    EXPECT_EQ(m.effect.controllerOf(4), 20);
}

TEST(MidiLearn, SecondClickCancelsAndForgetsClickElsewhereMovesTheArm) {
    Midi m;
    m.effect.handleSpecialClick(6);
    m.cc(10, 0);
    m.cc(10, 0);
    ASSERT_EQ(m.effect.controllerOf(6), 10);

    m.effect.handleSpecialClick(6);
    m.effect.handleSpecialClick(9);
    EXPECT_EQ(m.effect.learningParameter(), 9);
    m.effect.handleSpecialClick(6);
    EXPECT_EQ(m.effect.learningParameter(), 6);
    m.effect.handleSpecialClick(6);
    EXPECT_EQ(m.effect.learningParameter(), Orvella::kNotLearning);
    EXPECT_EQ(m.effect.controllerOf(6), -1);
    EXPECT_EQ(m.effect.program(0).controllers[6], -1);

    m.effect.handleSpecialClick(16);
    m.effect.handleSpecialClick(-1);
    EXPECT_EQ(m.effect.learningParameter(), Orvella::kNotLearning);
}

TEST(MidiLearn, OneControllerMovesSeveralParametersLowestFirst) {
    Midi m;
    for (int parameter : {12, 3}) {
        m.effect.handleSpecialClick(parameter);
        m.cc(7, 0);
        m.cc(7, 0);
    }
    m.cc(7, 127);
    EXPECT_EQ(m.effect.getParameter(3), 1.0f);
    EXPECT_EQ(m.effect.getParameter(12), 1.0f);
}

TEST(MidiLearn, AssignmentsBelongToTheirProgramAndTravelInChunks) {
    Midi m;
    m.effect.setProgram(2);
    m.effect.handleSpecialClick(5);
    m.cc(33, 0);
    m.cc(33, 0);
    void* bank = nullptr;
    ASSERT_EQ(m.effect.getChunk(&bank, false), 1040);
    std::vector<char> saved(static_cast<char*>(bank), static_cast<char*>(bank) + 1040);

    Midi other;
    other.effect.setChunk(saved.data(), 1040, false);
    EXPECT_EQ(other.effect.controllerOf(5), -1) << "program 0 is current and has none";
    other.effect.setProgram(2);
    other.cc(33, 127);
    EXPECT_EQ(other.effect.getParameter(5), 1.0f);
}

TEST(MidiLearn, LastControllerBelongsToEachInstance) {
    Midi a, b;
    a.effect.handleSpecialClick(1);
    b.effect.handleSpecialClick(1);
    a.cc(50, 0);
    b.cc(51, 0);
    a.cc(50, 0);
    EXPECT_EQ(a.effect.controllerOf(1), 50) << "another instance's traffic does not interfere";
}

// Learn gestures on one thread while another processes audio with control changes.
TEST(MidiLearn, GesturesAndAudioRunConcurrently) {
    Midi m;
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> l(64, 0.1f), r(64, 0.1f);
        float* ins[] = {l.data(), r.data()};
        float* outs[] = {l.data(), r.data()};
        for (int n = 0; n < 20000; ++n) {
            m.cc(n / 2 % 4, n % 128); // each controller twice in a row: learns complete
            m.effect.processReplacing(ins, outs, 64);
        }
        done = true;
    });
    // Arm and cancel every control in turn while the audio thread learns and applies.
    for (int i = 0; !done.load(); ++i) m.effect.handleSpecialClick(i / 2 % 16);
    audio.join();
    for (int p = 0; p < 16; ++p) {
        const int c = m.effect.controllerOf(p);
        EXPECT_TRUE(c == -1 || (c >= 0 && c < 4)) << p;
        EXPECT_EQ(c, m.effect.program(0).controllers[p]) << p;
    }
}

} // namespace

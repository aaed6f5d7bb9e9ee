// The built Orvella.so, loaded and driven only through its AEffect record, as a host does.
#include "params/OrvellaParameterManager.h"
#include "tests/common/MidiMessage.h"
#include "tests/common/TestHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <random>
#include <sstream>
#include <vector>

namespace {

const std::string bundlePath = builtModule("Orvella.vst/Contents/x86_64-linux/Orvella.so");

using Buffer = std::vector<float>;

Buffer noise(std::size_t n, unsigned seed = 1, float level = 0.5f) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> d(-level, level);
    Buffer b(n);
    for (float& x : b) x = d(rng);
    return b;
}

struct Plugin {
    explicit Plugin(std::function<VstIntPtr(const HostCall&)> answer = TestHost::defaultAnswer)
        : host(bundlePath) {
        host.answer = std::move(answer);
        effect = host.instantiate();
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0) {
        return TestHost::dispatch(effect, opcode, index, value, ptr, opt);
    }
    void set(VstInt32 index, float value) { effect->setParameter(effect, index, value); }
    float get(VstInt32 index) { return effect->getParameter(effect, index); }
    std::string text(VstInt32 opcode, VstInt32 index = 0) {
        char buffer[64];
        std::memset(buffer, 'x', sizeof buffer);
        buffer[63] = 0;
        dispatch(opcode, index, 0, buffer);
        return buffer;
    }
    // Processes in blocks of the given size; returns left and right outputs.
    std::pair<Buffer, Buffer> run(const Buffer& left, const Buffer& right, int block = 512) {
        Buffer outL(left.size()), outR(left.size());
        for (std::size_t at = 0; at < left.size(); at += std::size_t(block)) {
            const int n = int(std::min<std::size_t>(std::size_t(block), left.size() - at));
            float* ins[] = {const_cast<float*>(&left[at]), const_cast<float*>(&right[at])};
            float* outs[] = {&outL[at], &outR[at]};
            effect->processReplacing(effect, ins, outs, n);
        }
        return {outL, outR};
    }
    void controlChange(int channel, int controller, int value) {
        auto message = MidiMessage::controlChange(controller, value, channel);
        EXPECT_EQ(dispatch(effProcessEvents, 0, 0, &message.events), 1);
    }

    TestHost host;
    AEffect* effect = nullptr;
};

class Bundle : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(plugin.effect, nullptr) << "cannot load " << bundlePath; }
    Plugin plugin;
};

TEST_F(Bundle, IdentifiesItselfToTheHost) {
    AEffect* e = plugin.effect;
    EXPECT_EQ(e->numPrograms, 10);
    EXPECT_EQ(e->numParams, 16);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->uniqueID, 0x54516270);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->version, 1);
    EXPECT_TRUE(e->flags & effFlagsCanReplacing);
    EXPECT_TRUE(e->flags & effFlagsProgramChunks);
    EXPECT_FALSE(e->flags & effFlagsCanDoubleReplacing);
    EXPECT_EQ(plugin.text(effGetEffectName), "Orvella Phase Shifter");
    EXPECT_EQ(plugin.text(effGetVendorString), "Calderis, Inc.");
    EXPECT_EQ(plugin.text(effGetProductString), "Orvella");
    EXPECT_EQ(plugin.dispatch(effGetVendorVersion), 1100);
    EXPECT_EQ(plugin.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(plugin.dispatch(effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ(plugin.dispatch(effGetTailSize), 0);

    // Without the first a host sends no MIDI; abilities match whole words only.
    for (const auto& [ability, answer] : {std::pair{"receiveVstMidiEvent", 1}, {"2in2outX", 0}}) {
        char text[32];
        std::strcpy(text, ability);
        EXPECT_EQ(plugin.dispatch(effCanDo, 0, 0, text), answer) << ability;
    }
}

TEST_F(Bundle, ConvertsValuesForTheAdapter) {
    float f = -5;
    EXPECT_EQ(plugin.dispatch(effVendorSpecific, 12345, 5, &f, 10.0f), 1);
    EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(plugin.dispatch(effVendorSpecific, 23456, 5, &f, 0.0f), 1);
    EXPECT_EQ(f, 1.0f) << "the minimum natural value of Ph A Depth";
    EXPECT_EQ(plugin.dispatch(effVendorSpecific, 23456, 8, &f, 0.8f), 1);
    EXPECT_EQ(f, 2.0f);
    f = -5;
    EXPECT_EQ(plugin.dispatch(effVendorSpecific, 1, 0, &f, 0.0f), 0);
    EXPECT_EQ(plugin.dispatch(effVendorSpecific, 23456, 16, &f, 0.5f), 0);
    EXPECT_EQ(plugin.dispatch(effVendorSpecific, 12345, -1, &f, 0.5f), 0);
    EXPECT_EQ(f, -5.0f);
}

TEST_F(Bundle, FactoryProgramsHoldTheirTables) {
    char text[32] = "untouched";
    EXPECT_EQ(plugin.dispatch(effGetProgramNameIndexed, 10, 0, text), 0);
    EXPECT_EQ(plugin.dispatch(effGetProgramNameIndexed, -1, 0, text), 0);
    EXPECT_STREQ(text, "untouched");

    // Program 3 "Big And Bold": depth 10, routing "In B".
    plugin.dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(plugin.text(effGetProgramName), "Big And Bold");
    EXPECT_EQ(plugin.text(effGetParamDisplay, 8), "In B");
    EXPECT_EQ(plugin.text(effGetParamDisplay, 5), "10.0");
    EXPECT_EQ(plugin.text(effGetParamName, 0), "G1 Rate");
    EXPECT_EQ(plugin.text(effGetParamLabel, 0), "");

    // Every factory value, natural, by program and parameter.
    const float factory[10][16] = {
        {1.840037f, 0, 0, 2.631506f, 0, 9.999999f, 7.605414f, 0, 2, 8.843495f, 7.826989f, 1, 0, 1,
         1, 0},
        {3.283285f, 0, 0, 1, 0, 9.999999f, 0, 0, 0, 10, 0, 0, 1, 1, 1, 0},
        {2.876998f, 0, 0, 3.195149f, 0, 7.614498f, 2.130696f, 0, 1, 4.173147f, 5.702608f, 1, 0, 1,
         1, 0},
        {2.420468f, 0, 0, 2.771003f, 0, 10, 9.272081f, 0, 2, 10, 9.179025f, 1, 0, 1, 1, 0},
        {5.886405f, 0, 1, 5.29615f, 1, 4.44884f, 10, 0, 2, 3.752286f, 10, 0, 1, 1, 1, 0},
        {7.243525f, 0, 0, 8.605994f, 0, 7.674162f, 5.151319f, 0, 2, 8.082373f, 1.365551f, 1, 0, 1,
         1, 0},
        {2.600426f, 0, 0, 4.679215f, 0, 10, 5.196835f, 0, 1, 10, 5.07856f, 1, 0, 1, 1, 0},
        {10, 0, 0, 10, 1, 2.5f, 10, 0, 1, 1, 9.999999f, 1, 0, 1, 1, 0},
        {1, 1, 0, 2, 0, 9.917015f, 3.614616f, 1, 2, 10, 4.140793f, 0, 1, 1, 1, 0.165354f},
        {1, 0, 0, 1, 0, 5.5f, 10, 0, 0, 5.57342f, 10, 0, 1, 1, 1, 1}};
    OrvellaParameterManager ranges;
    for (int p = 0; p < 10; ++p) {
        plugin.dispatch(effSetProgram, 0, p);
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(plugin.get(k), ranges.VSTvalueFromNaturalValue(k, factory[p][k]))
                << "program " << p << " parameter " << k;
    }
}

TEST_F(Bundle, ProgramsKeepEditsAndNumberInitNames) {
    plugin.dispatch(effSetProgram, 0, 2);
    plugin.set(6, 0.25f);
    char init[] = "Init";
    plugin.dispatch(effSetProgramName, 0, 0, init);
    EXPECT_EQ(plugin.text(effGetProgramName), "Init 3");
    char indexed[32];
    plugin.dispatch(effGetProgramNameIndexed, 2, 0, indexed);
    EXPECT_STREQ(indexed, "Init");

    plugin.dispatch(effSetProgram, 0, 0);
    EXPECT_NE(plugin.get(6), 0.25f);
    plugin.dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(plugin.get(6), 0.25f) << "edits stay with the program left behind";

    char longName[] = "A name far longer than twenty-three characters";
    plugin.dispatch(effSetProgramName, 0, 0, longName);
    EXPECT_EQ(plugin.text(effGetProgramName), "A name far longer than ");
}

TEST_F(Bundle, HostilePointersIndicesAndValuesLeaveStateIntact) {
    plugin.set(16, 0.5f);
    plugin.set(-1, 0.5f);
    plugin.set(1 << 30, 0.5f);
    EXPECT_EQ(plugin.get(16), 0.0f);
    EXPECT_EQ(plugin.get(-7), 0.0f);
    EXPECT_EQ(plugin.text(effGetParamDisplay, 16), "");
    EXPECT_EQ(plugin.text(effGetParamName, -1), "");
    EXPECT_EQ(plugin.text(effGetParamLabel, 99), "");

    plugin.set(8, std::nanf(""));
    EXPECT_EQ(plugin.get(8), 0.0f);
    EXPECT_EQ(plugin.text(effGetParamDisplay, 8), "In A");
    plugin.set(11, 7.0f);
    EXPECT_EQ(plugin.get(11), 1.0f);
    EXPECT_EQ(plugin.text(effGetParamDisplay, 11), "Swp Ctrl");
    plugin.set(12, -3.0f);
    EXPECT_EQ(plugin.text(effGetParamDisplay, 12), "Normal");
    plugin.set(0, INFINITY);
    EXPECT_EQ(plugin.text(effGetParamDisplay, 0), "10.0");

    VstEvents none{};
    none.numEvents = -4;
    EXPECT_EQ(plugin.dispatch(effProcessEvents, 0, 0, &none), 1);
    VstEvents holes{};
    holes.numEvents = 2;
    EXPECT_EQ(plugin.dispatch(effProcessEvents, 0, 0, &holes), 1);
}

TEST_F(Bundle, ParameterPropertiesGiveTheLongNamesAndSwitches) {
    struct Case {
        VstInt32 index;
        VstIntPtr answer;
        const char *label, *shortLabel;
        VstInt32 flags;
    } cases[] = {{6, 1, "Ph A Feedback", "A Feedbk", 0},
                 {13, 1, "Ph A Active", "A Active", kVstParameterIsSwitch},
                 {8, 1, "Ph B Input", "B Input", 0},
                 {16, 0, "", "", 0},
                 {-1, 0, "", "", 0}};
    for (const Case& c : cases) {
        VstParameterProperties p{};
        EXPECT_EQ(plugin.dispatch(effGetParameterProperties, c.index, 0, &p), c.answer);
        EXPECT_STREQ(p.label, c.label) << c.index;
        EXPECT_EQ(std::string(p.shortLabel, strnlen(p.shortLabel, 8)), c.shortLabel);
        EXPECT_EQ(p.flags, c.flags);
    }
    // The short names and displays stay as hosts have always read them.
    EXPECT_EQ(plugin.text(effGetParamName, 6), "A Feedbk");
}

TEST_F(Bundle, ChunksCarryProgramsBetweenInstances) {
    void* data = nullptr;
    EXPECT_EQ(plugin.dispatch(effGetChunk, 1, 0, &data), 104);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(static_cast<char*>(data), "Slow Burn");
    EXPECT_EQ(plugin.dispatch(effGetChunk, 0, 0, &data), 1040);
    EXPECT_STREQ(static_cast<char*>(data) + 8 * 104, "Mod Wheel to CC");
    EXPECT_EQ(static_cast<int8_t*>(data)[8 * 104 + 88 + 15], 1);

    // Edit two programs, then move the bank to a fresh instance.
    plugin.dispatch(effSetProgram, 0, 4);
    plugin.set(9, 0.125f);
    char name[] = "Edited";
    plugin.dispatch(effSetProgramName, 0, 0, name);
    plugin.dispatch(effGetChunk, 0, 0, &data);
    std::vector<char> bank(static_cast<char*>(data), static_cast<char*>(data) + 1040);

    Plugin other;
    ASSERT_NE(other.effect, nullptr);
    EXPECT_EQ(other.dispatch(effSetChunk, 0, 1039, bank.data()), 0);
    EXPECT_EQ(other.dispatch(effSetChunk, 0, 1040, bank.data()), 1);
    other.dispatch(effSetProgram, 0, 4);
    EXPECT_EQ(other.text(effGetProgramName), "Edited");
    EXPECT_EQ(other.get(9), 0.125f);
    void* copied = nullptr;
    other.dispatch(effGetChunk, 0, 0, &copied);
    EXPECT_EQ(std::memcmp(copied, bank.data(), 1040), 0);

    // The assignment of program 8 arrives too: controller 1 moves the sweep control.
    other.dispatch(effSetProgram, 0, 8);
    other.controlChange(3, 1, 127);
    EXPECT_EQ(other.get(15), 1.0f);
}

TEST_F(Bundle, LoadedChunksAreSanitised) {
    std::vector<unsigned char> preset(104, 0);
    std::memset(preset.data(), 'N', 24); // no terminator within the name field
    const float values[16] = {
        2.0f, -1.0f, std::nanf(""), 0.5f, INFINITY, 0, 0, 0, 0.9f, 0, 0, 0, 0, 1, 1, 0};
    std::memcpy(preset.data() + 24, values, sizeof values);
    std::memset(preset.data() + 88, 0x90, 16); // negative: no controller

    EXPECT_EQ(plugin.dispatch(effSetChunk, 1, 103, preset.data()), 0);
    EXPECT_EQ(plugin.text(effGetProgramName), "Slow Burn") << "a wrong size changes nothing";
    EXPECT_EQ(plugin.dispatch(effSetChunk, 1, 104, preset.data()), 1);
    EXPECT_EQ(plugin.text(effGetProgramName), std::string(24, 'N'));
    EXPECT_EQ(plugin.get(0), 1.0f);
    EXPECT_EQ(plugin.get(1), 0.0f);
    EXPECT_EQ(plugin.get(2), 0.0f);
    EXPECT_EQ(plugin.get(4), 1.0f);
    EXPECT_EQ(plugin.text(effGetParamDisplay, 8), "In B");

    void* stored = nullptr;
    plugin.dispatch(effGetChunk, 1, 0, &stored);
    const auto* record = static_cast<const unsigned char*>(stored);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(record[88 + k], 0xFF) << k;
    float v;
    std::memcpy(&v, record + 24 + 2 * 4, 4);
    EXPECT_EQ(v, 0.0f);
}

// --- signal path ----------------------------------------------------------------------------

// One stream, with parameter and program changes at multiples of 512 frames, sounds the same
// to the bit however the host cuts it into calls, zero-frame calls included.
TEST_F(Bundle, AnyCuttingOfTheStreamSoundsAsWholeBlocks) {
    constexpr std::size_t kFrames = 8 * 512;
    const Buffer left = noise(kFrames, 5), right = noise(kFrames, 6);
    std::vector<std::vector<int>> cuts = {{1}, {3}, {7}, {33}, {441}, {4096}, {5, 0, 11, 0, 0, 2}};
    std::mt19937 rng(9);
    for (int pattern = 0; pattern < 4; ++pattern) {
        std::vector<int> sizes(50);
        for (int& n : sizes) n = std::uniform_int_distribution<int>(0, 700)(rng);
        cuts.push_back(sizes);
    }
    for (bool mono : {false, true}) {
        auto answer = [mono](const HostCall& c) -> VstIntPtr {
            if (c.opcode == audioMasterPinConnected) return mono && c.value == 0 && c.index == 1;
            return TestHost::defaultAnswer(c);
        };
        for (float routing : {0.0f, 0.5f, 1.0f}) {
            // Changes happen before the call at their frame; a call never spans one.
            auto render = [&](const std::vector<int>& sizes, bool inPlace) {
                Plugin p(answer);
                Buffer outL(kFrames), outR(kFrames);
                for (std::size_t at = 0, call = 0; at < kFrames; ++call) {
                    if (at % 512 == 0) {
                        const std::size_t block = at / 512;
                        if (block == 3) p.dispatch(effSetProgram, 0, 3);
                        if (block == 6) p.dispatch(effMainsChanged, 0, 0);
                        if (block == 6) p.dispatch(effMainsChanged, 0, 1);
                        p.set(kPhaserBInput, routing);
                        p.set(kGen1Rate, 0.2f + 0.1f * float(block));
                        p.set(kGen2Rate, 0.9f - 0.1f * float(block));
                        p.set(kPhaserBSweepCtrl, float(block % 3) / 2.0f);
                        p.set(kPhaserBSweepSync, float(block % 2));
                        p.set(kPhaserASweepCtrl, block == 4 ? 1.0f : 0.0f);
                        p.set(kSweepControl, 0.1f * float(block));
                        p.set(kPhaserBDepth, 1.0f - 0.1f * float(block));
                    }
                    const std::size_t next = (at / 512 + 1) * 512;
                    const auto n = std::min(std::size_t(sizes[call % sizes.size()]), next - at);
                    float* ins[] = {const_cast<float*>(&left[at]), const_cast<float*>(&right[at])};
                    float* outs[] = {&outL[at], &outR[at]};
                    for (int c = 0; inPlace && c < 2; ++c) std::copy_n(ins[c], n, outs[c]);
                    float* none[] = {nullptr, nullptr}; // what some hosts pass for no frames
                    p.effect->processReplacing(p.effect,
                                               n == 0    ? none
                                               : inPlace ? outs
                                                         : ins,
                                               n == 0 ? none : outs, int(n));
                    at += n;
                }
                return std::pair{outL, outR};
            };
            const auto expected = render({512}, false);
            for (const auto& sizes : cuts) {
                for (bool inPlace : {false, true}) {
                    SCOPED_TRACE(testing::Message() << "mono " << mono << " routing " << routing
                                                    << " in place " << inPlace << " sizes "
                                                    << sizes[0] << "," << sizes[1 % sizes.size()]);
                    const auto [l, r] = render(sizes, inPlace);
                    ASSERT_EQ(l, expected.first);
                    if (!mono) {
                        ASSERT_EQ(r, expected.second);
                    }
                }
            }
        }
    }
}

// With section A at rest from the start it passes its input on exactly, so "Out A" feeds B
// what "In A" does: the two routings must agree to the bit, whatever the block sizes, and
// after a rate change, a feedback change or a cleared filter in mid sub-block as well.
TEST_F(Bundle, SectionBInSeriesFollowsTheSweepLikeSectionBInParallel) {
    const Buffer in = noise(3000, 4), head(in.begin() + 3, in.end()); // ends in a sub-block
    Buffer spoiled = in;
    spoiled[1500] = NAN;
    const std::function<void(Plugin&)> changes[] = {
        [](Plugin&) {},
        [](Plugin& p) { p.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f); },
        [](Plugin& p) { p.set(kPhaserBFeedback, 0.3f); },
        [&](Plugin& p) { p.run(spoiled, spoiled, 1000); },
    };
    for (int block : {9, 1, 37}) {
        for (std::size_t change = 0; change < std::size(changes); ++change) {
            Plugin serial, parallel;
            std::pair<Buffer, Buffer> out[2];
            for (Plugin* p : {&serial, &parallel}) {
                p->set(kPhaserAActive, 0.0f);
                p->set(kPhaserBDepth, 1.0f);
                p->set(kPhaserBFeedback, 0.9f);
                p->set(kGen1Rate, 0.8f);
                p->set(kPhaserBInput, p == &serial ? 0.5f : 0.0f);
                p->run(head, head, block);
                changes[change](*p);
                out[p == &serial] = p->run(in, in, block);
            }
            EXPECT_EQ(out[0], out[1]) << "block " << block << " change " << change;
        }
    }
}

TEST_F(Bundle, MonoHostGetsTheUnhalvedSumOfBothSections) {
    auto monoHost = [](const HostCall& c) -> VstIntPtr {
        if (c.opcode == audioMasterPinConnected) return c.value == 0 && c.index == 1;
        return TestHost::defaultAnswer(c);
    };
    Plugin mono(monoHost), stereo;
    mono.set(8, 0.0f); // "In A"
    stereo.set(8, 0.0f);
    const Buffer in = noise(4096, 4);
    Buffer sentinel(in.size(), 42.0f);
    Buffer outL(in.size());
    for (std::size_t at = 0; at < in.size(); at += 256) {
        float* ins[] = {const_cast<float*>(&in[at]), nullptr};
        float* outs[] = {&outL[at], &sentinel[at]};
        mono.effect->processReplacing(mono.effect, ins, outs, 256);
    }
    EXPECT_EQ(sentinel, Buffer(in.size(), 42.0f)) << "the second output is never written";

    // The low pass is linear and both sections start alike: the mono output is the sum of
    // the stereo outputs, up to rounding.
    const auto [l, r] = stereo.run(in, in, 256);
    for (std::size_t i = 0; i < in.size(); ++i) ASSERT_NEAR(outL[i], l[i] + r[i], 1e-5f) << i;
}

TEST_F(Bundle, SuspendedEffectWritesSilence) {
    plugin.dispatch(effMainsChanged, 0, 0);
    const Buffer in = noise(64);
    Buffer outL(64, 7.0f), outR(64, 7.0f);
    float* ins[] = {const_cast<float*>(in.data()), const_cast<float*>(in.data())};
    float* outs[] = {outL.data(), outR.data()};
    plugin.effect->processReplacing(plugin.effect, ins, outs, 64);
    EXPECT_EQ(outL, Buffer(64, 0.0f));
    EXPECT_EQ(outR, Buffer(64, 0.0f));
    plugin.dispatch(effMainsChanged, 0, 1);
    plugin.effect->processReplacing(plugin.effect, ins, outs, 64);
    EXPECT_NE(outL, Buffer(64, 0.0f));
}

// A resume forgets the signal before it: silence after it stays at the level of the filters'
// own offsets, while without it the tail of the noise still rings.
TEST_F(Bundle, ResumeStartsFromSilentFilters) {
    const Buffer in = noise(2048, 10), silence(64, 0.0f);
    auto loudest = [](const Buffer& b) {
        return std::abs(*std::max_element(
            b.begin(), b.end(), [](float x, float y) { return std::abs(x) < std::abs(y); }));
    };
    for (float routing : {0.0f, 0.5f, 1.0f}) {
        SCOPED_TRACE(testing::Message() << "routing " << routing);
        Plugin ringing, resumed;
        for (Plugin* p : {&ringing, &resumed}) {
            p->set(kPhaserBInput, routing);
            p->set(kPhaserAFeedback, 1.0f);
            p->set(kPhaserBFeedback, 1.0f);
            p->run(in, in);
        }
        resumed.dispatch(effMainsChanged, 0, 0);
        resumed.dispatch(effMainsChanged, 0, 1);
        const auto [l, r] = resumed.run(silence, silence);
        EXPECT_LT(std::max(loudest(l), loudest(r)), 1e-9f);
        const auto tail = ringing.run(silence, silence);
        EXPECT_GT(std::min(loudest(tail.first), loudest(tail.second)), 1e-3f);
    }
}

// One bad sample in one block: the next block is finite again, and so is a resumed effect.
TEST_F(Bundle, NonFiniteOrAbsurdInputLeavesNoTrace) {
    const Buffer in = noise(256, 8);
    for (float routing : {0.0f, 0.5f, 1.0f}) {
        for (float bad : {NAN, INFINITY, -INFINITY, 3e38f}) {
            SCOPED_TRACE(testing::Message() << "routing " << routing << " sample " << bad);
            Plugin p;
            p.set(8, routing);
            p.run(in, in, 256);
            Buffer spoiled = in;
            spoiled[100] = bad;
            p.run(spoiled, spoiled, 256);
            const auto [l, r] = p.run(in, in, 256);
            const auto finite = [](const Buffer& b) {
                return std::all_of(b.begin(), b.end(), [](float x) { return std::isfinite(x); });
            };
            EXPECT_TRUE(finite(l) && finite(r));
            p.run(spoiled, spoiled, 256);
            p.dispatch(effMainsChanged, 0, 0);
            p.dispatch(effMainsChanged, 0, 1);
            const auto resumed = p.run(in, in, 256);
            EXPECT_TRUE(finite(resumed.first) && finite(resumed.second));
        }
    }
}

// Instances at 44.1 and 96 kHz, and one built while the host answered 0 for the rate, each
// moving its generators' rates, sound in one process exactly as each does alone.
TEST_F(Bundle, EveryInstanceKeepsItsOwnRate) {
    const struct {
        VstIntPtr answered;
        float rate;
    } setups[] = {{44100, 44100}, {96000, 96000}, {0, 48000}};
    auto build = [](VstIntPtr answered, float rate) {
        auto p = std::make_unique<Plugin>([answered](const HostCall& c) -> VstIntPtr {
            return c.opcode == audioMasterGetSampleRate ? answered : TestHost::defaultAnswer(c);
        });
        p->dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        p->dispatch(effSetProgram, 0, 5); // both generators sweep
        return p;
    };
    auto move = [](Plugin& p) {
        p.set(0, 0.7f);
        p.set(3, 0.3f);
    };
    const Buffer in = noise(8192, 9);
    std::vector<std::pair<Buffer, Buffer>> alone;
    for (const auto& s : setups) {
        auto p = build(s.answered, s.rate);
        move(*p);
        alone.push_back(p->run(in, in));
    }
    std::vector<std::unique_ptr<Plugin>> together;
    for (const auto& s : setups) together.push_back(build(s.answered, s.rate));
    for (auto& p : together) move(*p);
    for (std::size_t i = 0; i < together.size(); ++i)
        EXPECT_EQ(together[i]->run(in, in), alone[i]) << "instance " << i;
}

// Every text the host reads, into a buffer of exactly the interface's size for the call.
TEST_F(Bundle, TextsStayWithinTheInterfaceLimits) {
    const struct {
        VstInt32 opcode;
        std::size_t bytes;
    } calls[] = {{effGetParamDisplay, 9},   {effGetParamLabel, 9},         {effGetParamName, 9},
                 {effGetProgramName, 25},   {effGetEffectName, 33},        {effGetVendorString, 65},
                 {effGetProductString, 65}, {effGetProgramNameIndexed, 25}};
    char longName[] = "A name far longer than any limit";
    plugin.dispatch(effSetProgramName, 0, 0, longName);
    for (float value : {0.0f, 0.5f, 1.0f}) {
        for (VstInt32 index = 0; index < 16; ++index) {
            plugin.set(index, value);
            for (const auto& call : calls) {
                auto buffer = std::make_unique<char[]>(call.bytes + 8);
                std::memset(buffer.get(), '#', call.bytes + 8);
                plugin.dispatch(call.opcode, index, 0, buffer.get());
                EXPECT_EQ(std::string(buffer.get() + call.bytes, 8), std::string(8, '#'))
                    << "opcode " << call.opcode << " index " << index << " value " << value;
            }
        }
    }
}

// One fixed input, noise over a 25 Hz hum, through every factory program: the RMS of each
// channel over each quarter of a second, against what the effect gave when it was right.
TEST_F(Bundle, FactoryProgramsSoundAsTheyDid) {
    constexpr std::size_t kFrames = 44100, kQuarter = kFrames / 4;
    Buffer left = noise(kFrames, 21, 0.2f), right = noise(kFrames, 22, 0.2f);
    for (std::size_t i = 0; i < kFrames; ++i) {
        const auto hum = float(0.3 * std::sin(2 * std::numbers::pi * 25 * double(i) / 44100));
        left[i] += hum;
        right[i] -= hum;
    }
    const float golden[10][8] = {{0.163011342f, 0.162043482f, 0.164228678f, 0.162327722f,
                                  0.159175664f, 0.160757169f, 0.160315573f, 0.158147722f},
                                 {0.17512697f, 0.179774404f, 0.183336303f, 0.180489779f,
                                  0.177526072f, 0.178105667f, 0.179511055f, 0.178112119f},
                                 {0.171456948f, 0.170683846f, 0.172676086f, 0.170317948f,
                                  0.141193509f, 0.139384627f, 0.140602812f, 0.137919873f},
                                 {0.162500948f, 0.160995111f, 0.162304804f, 0.16035217f,
                                  0.161194116f, 0.161572561f, 0.161245376f, 0.158871204f},
                                 {0.15860793f, 0.158472583f, 0.161650106f, 0.160796255f,
                                  0.157109231f, 0.159400985f, 0.160653502f, 0.158050388f},
                                 {0.158167869f, 0.158675611f, 0.159750208f, 0.159451589f,
                                  0.170746207f, 0.174189925f, 0.174295053f, 0.172165155f},
                                 {0.164478078f, 0.163831457f, 0.165583208f, 0.16366978f,
                                  0.140753001f, 0.131401062f, 0.141607687f, 0.139976606f},
                                 {0.158197477f, 0.157760903f, 0.158138216f, 0.158917844f,
                                  0.14006786f, 0.137943983f, 0.137678668f, 0.138750374f},
                                 {0.165945038f, 0.165593624f, 0.167996436f, 0.16657187f,
                                  0.157792494f, 0.16042459f, 0.160495222f, 0.158585638f},
                                 {0.159598932f, 0.16138491f, 0.162746429f, 0.161702037f,
                                  0.155957088f, 0.157786459f, 0.157855719f, 0.15637517f}};
    for (int p = 0; p < 10; ++p) {
        Plugin played;
        played.dispatch(effSetProgram, 0, p);
        const auto [l, r] = played.run(left, right);
        std::ostringstream row;
        row.precision(9);
        bool same = true;
        for (int q = 0; q < 8; ++q) {
            const float* out = (q < 4 ? l : r).data() + std::size_t(q % 4) * kQuarter;
            double sum = 0;
            for (std::size_t i = 0; i < kQuarter; ++i) sum += double(out[i]) * out[i];
            const auto rms = float(std::sqrt(sum / kQuarter));
            same &= std::fabs(rms - golden[p][q]) <= 1e-6f * golden[p][q];
            row << rms << "f, ";
        }
        EXPECT_TRUE(same) << "program " << p << " now gives {" << row.str() << "}";
    }
}

TEST_F(Bundle, EveryProgramStaysFiniteAndBoundedAtEveryRate) {
#if defined(__SANITIZE_ADDRESS__)
    const double seconds = 3; // the instrumented build is many times slower
#else
    const double seconds = 60;
#endif
    for (int rate : {44100, 48000, 96000}) {
        for (int program = 0; program < 10; ++program) {
            Plugin p;
            p.dispatch(effSetSampleRate, 0, 0, nullptr, float(rate));
            p.dispatch(effSetProgram, 0, program);
            const std::size_t block = 512;
            const auto total = std::size_t(seconds * rate) / block;
            const Buffer in = noise(block * 64, unsigned(program + 10));
            const Buffer silence(block, 0.0f);
            Buffer outL(block), outR(block);
            float peak = 0, tailPeak = 0;
            for (std::size_t b = 0; b < total; ++b) {
                const bool quiet = b >= total / 2;
                const float* src = quiet ? silence.data() : &in[(b % 64) * block];
                float* ins[] = {const_cast<float*>(src), const_cast<float*>(src)};
                float* outs[] = {outL.data(), outR.data()};
                p.effect->processReplacing(p.effect, ins, outs, int(block));
                for (std::size_t i = 0; i < block; ++i) {
                    ASSERT_TRUE(std::isfinite(outL[i]) && std::isfinite(outR[i]))
                        << "program " << program << " at " << rate;
                    const float level = std::max(std::fabs(outL[i]), std::fabs(outR[i]));
                    peak = std::max(peak, level);
                    if (b > total - 16) tailPeak = std::max(tailPeak, level);
                }
            }
            EXPECT_LT(peak, 8.0f) << "program " << program << " at " << rate;
            EXPECT_LT(tailPeak, 1e-3f) << "program " << program << " rings on at " << rate;
        }
    }
}

} // namespace

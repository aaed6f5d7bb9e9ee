#include "plugin/AudioEffectX.h"
#include "tests/common/TestHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const std::string probePath = builtModule("tests/probe_effect.so");

std::vector<std::string> reports(const TestHost& host) {
    std::vector<std::string> texts;
    for (const HostCall& c : host.callsWith(audioMasterVendorSpecific)) texts.push_back(c.text);
    return texts;
}

struct Frame : ::testing::Test {
    TestHost host{probePath};
    AEffect* effect = nullptr;
    void SetUp() override {
        ASSERT_TRUE(host.loaded()) << probePath;
        effect = host.instantiate();
        ASSERT_NE(effect, nullptr);
        host.clearCalls();
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0) {
        return TestHost::dispatch(effect, opcode, index, value, ptr, opt);
    }
};

TEST(Entry, NullForAHostWithoutAVersionAndForAFailedConstruction) {
    for (const VstInt32 refused : {audioMasterVersion, audioMasterCanDo}) {
        TestHost host(probePath);
        // Version 0, or yes to the probe's "probeFailConstruction".
        host.answer = [refused](const HostCall& c) -> VstIntPtr {
            return c.opcode == refused ? refused == audioMasterCanDo : TestHost::defaultAnswer(c);
        };
        EXPECT_EQ(host.instantiate(), nullptr) << refused;
        if (refused == audioMasterVersion) { // nothing is built for a host that is not one
            EXPECT_EQ(host.allCalls().size(), 1u);
        }
    }
    TestHost host(probePath); // -1 is the host's "no"
    host.answer = [](const HostCall& c) -> VstIntPtr {
        return c.opcode == audioMasterCanDo ? -1 : TestHost::defaultAnswer(c);
    };
    EXPECT_NE(host.instantiate(), nullptr);
}

TEST(Entry, ExportsOnlyTheEntryPoints) {
    TestHost host(probePath);
    ASSERT_TRUE(host.loaded());
    for (const char* name : {"VSTPluginMain", "main"}) EXPECT_NE(host.symbol(name), nullptr);
    for (const char* name : {"_Z20createEffectInstancePFlP7AEffectiilPvfE", "_Z11vst_strncpyPcPKcm",
                             "_ZN11AudioEffect19dispatchEffectClassEP7AEffectiilPvf"})
        EXPECT_EQ(host.symbol(name), nullptr) << name;

    // Older hosts start through "main"; it builds the same record.
    auto legacy = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(host.symbol("main"));
    AEffect* e = legacy([](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
        return VstIntPtr(opcode == audioMasterVersion ? kVstVersion : 0);
    });
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->uniqueID, CCONST('P', 'r', 'b', 'e'));
    EXPECT_EQ(TestHost::dispatch(e, effClose), 1);
}

TEST_F(Frame, RecordIsFilledAsTheHostExpects) {
    const AEffect& e = *effect;
    EXPECT_EQ(e.magic, kEffectMagic);
    EXPECT_EQ((std::vector<VstInt32>{e.numPrograms, e.numParams, e.numInputs, e.numOutputs, e.flags,
                                     e.uniqueID, e.version}),
              (std::vector<VstInt32>{10, 16, 2, 2, effFlagsCanReplacing | effFlagsHasEditor,
                                     CCONST('P', 'r', 'b', 'e'), 1}));
    EXPECT_EQ(e.ioRatio, 1.0f);

    EXPECT_FLOAT_EQ(effect->getParameter(effect, 7), 0.07f);
    effect->setParameter(effect, 3, 0.25f);
    float left[4], right[4];
    float* outs[] = {left, right};
    effect->processReplacing(effect, outs, outs, 4);
    EXPECT_EQ(left[3], 0.5f);
    effect->process(effect, outs, outs, 4); // the accumulating entry does nothing
    double* doubles[] = {nullptr, nullptr};
    effect->processDoubleReplacing(effect, doubles, doubles, 4);
    EXPECT_EQ(reports(host), std::vector<std::string>{"setParameter 3 0.25"});
}

TEST_F(Frame, OpcodesReachTheirOperations) {
    char text[64], yes[] = "receiveVstMidiEvent", no[] = "sendVstMidiEvent";
    int parent = 42;
    VstEvents events{};
    events.numEvents = 3;
    struct Case {
        VstInt32 opcode, index;
        VstIntPtr value;
        void* ptr;
        float opt;
        VstIntPtr answer;
        const char* report = nullptr; // null: the operation reports nothing
        const char* writes = nullptr; // what ends up in text; null: left as it was
    } cases[] = {
        // clang-format off
        {effOpen, 0, 0, nullptr, 0, 0, "open"},
        {effSetProgram, 0, 3, nullptr, 0, 0, "setProgram 3"}, {effGetProgram, 0, 0, nullptr, 0, 3},
        {effSetProgramName, 0, 0, text, 0, 0, "setProgramName New name"},
        {effGetProgramName, 0, 0, text, 0, 0, nullptr, "Probe"},
        {effGetParamLabel, 4, 0, text, 0, 0, nullptr, "L4"},
        {effGetParamDisplay, 5, 0, text, 0, 0, nullptr, "D5"},
        {effGetParamName, 6, 0, text, 0, 0, nullptr, "N6"},
        {effSetSampleRate, 0, 0, nullptr, 48000, 0, "setSampleRate 48000"},
        {effSetBlockSize, 0, 256, nullptr, 0, 0, "setBlockSize 256"},
        {effMainsChanged, 0, 0, nullptr, 0, 0, "suspend"},
        {effEditOpen, 0, 0, &parent, 0, 1, "editOpen 42"},
        {effEditIdle, 0, 0, nullptr, 0, 0, "editIdle"},
        {effEditClose, 0, 0, nullptr, 0, 0, "editClose"},
        {effIdentify, 0, 0, nullptr, 0, CCONST('N', 'v', 'E', 'f')},
        {effSetChunk, 1, 8, text, 0, 1, "setChunk 8 1"},
        {effSetChunk, 0, 9, text, 0, 0, "setChunk 9 0"},
        {effProcessEvents, 0, 0, &events, 0, 1, "processEvents 3"},
        {effCanBeAutomated, 15, 0, nullptr, 0, 1},
        {effGetProgramNameIndexed, 2, 0, text, 0, 1, "getProgramNameIndexed 0 2", "Program 2"},
        {effGetProgramNameIndexed, 12, 0, text, 0, 0, "getProgramNameIndexed 0 12"},
        {effGetPlugCategory, 0, 0, nullptr, 0, kPlugCategEffect},
        {effGetEffectName, 0, 0, text, 0, 1, nullptr, "Probe"},
        {effGetVendorVersion, 0, 0, nullptr, 0, 1100},
        {effVendorSpecific, 12345, 6, text, 0.5f, 7, "vendorSpecific 12345 6 0.5"},
        {effCanDo, 0, 0, yes, 0, 1}, {effCanDo, 0, 0, no, 0, 0},
        {effGetVstVersion, 0, 0, nullptr, 0, 2400},
        // Character, virtual key (12 is up, 14 down) and modifiers (1 shift, 4 command).
        {effEditKeyDown, 'a', 12, nullptr, 1, 1, "keyDown 97 12 1"},
        {effEditKeyUp, 'b', 14, nullptr, 4, 0, "keyUp 98 14 4"},
        {effSetEditKnobMode, 0, 2, nullptr, 0, 1}, {effSetEditKnobMode, 0, 1, nullptr, 0, 0},
        {effSetTotalSampleToProcess, 0, 77, nullptr, 0, 77},
        {effGetVendorString, 0, 0, text, 0, 0}, {effGetTailSize, 0, 0, nullptr, 0, 0},
        {effGetCurrentMidiProgram, 0, 0, text, 0, -1}, {effSetBypass, 0, 1, nullptr, 0, 0},
        {effStartProcess, 0, 0, nullptr, 0, 0}, {effGetNumMidiInputChannels, 0, 0, nullptr, 0, 0},
        {effGetVu, 0, 0, nullptr, 0, 0}, {effGetNumMidiOutputChannels + 1, 0, 0, nullptr, 0, 0},
        {-1, 0, 0, nullptr, 0, 0},
        // clang-format on
    };
    for (const Case& c : cases) {
        host.clearCalls();
        std::strcpy(text, "New name");
        SCOPED_TRACE("opcode " + std::to_string(c.opcode));
        EXPECT_EQ(dispatch(c.opcode, c.index, c.value, c.ptr, c.opt), c.answer);
        const std::vector<std::string> got = reports(host);
        EXPECT_EQ(got, c.report ? std::vector<std::string>{c.report} : std::vector<std::string>{});
        EXPECT_STREQ(text, c.writes ? c.writes : "New name");
    }
}

TEST_F(Frame, ChunksRectAndArrangementsComeBackThroughPtr) {
    void* chunk = nullptr;
    EXPECT_EQ(dispatch(effGetChunk, 0, 0, &chunk), 8);
    EXPECT_STREQ(static_cast<char*>(chunk), "chunk!!");
    EXPECT_EQ(dispatch(effGetChunk, 1, 0, &chunk), 4);

    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 675);

    VstSpeakerArrangement arrangement{};
    VstSpeakerArrangement* in = &arrangement;
    VstSpeakerArrangement* out = &arrangement;
    EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0);
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);
}

TEST_F(Frame, NullPointersFromTheHostAreRefusedUntouched) {
    const VstInt32 opcodes[] = {
        effSetProgramName,     effGetProgramName,        effGetParamLabel, effGetParamDisplay,
        effGetParamName,       effEditGetRect,           effGetChunk,      effSetChunk,
        effProcessEvents,      effGetProgramNameIndexed, effGetEffectName, effGetVendorString,
        effGetProductString,   effVendorSpecific,        effCanDo,         effString2Parameter,
        effGetInputProperties, effGetSpeakerArrangement, effBeginLoadBank, effShellGetNextPlugin};
    for (VstInt32 opcode : opcodes) EXPECT_EQ(dispatch(opcode, 1, 8, nullptr, 0), 0) << opcode;
    EXPECT_TRUE(reports(host).empty());
}

TEST_F(Frame, ProgramNumbersOutsideTheBankAreIgnored) {
    dispatch(effSetProgram, 0, 3);
    for (VstIntPtr bad : {VstIntPtr(10), VstIntPtr(-1), VstIntPtr(1) << 40}) {
        dispatch(effSetProgram, 0, bad);
        EXPECT_EQ(dispatch(effGetProgram), 3);
    }
    dispatch(effSetProgram, 0, 9);
    EXPECT_EQ(dispatch(effGetProgram), 9);
}

TEST_F(Frame, ResumeAsksForMidiEveryTime) {
    dispatch(effMainsChanged, 0, 1);
    dispatch(effMainsChanged, 0, 1);
    const auto wants = host.callsWith(audioMasterWantMidi);
    ASSERT_EQ(wants.size(), 2u);
    for (const HostCall& w : wants) EXPECT_TRUE(w.value == 1 && w.effect == effect);
    EXPECT_EQ(reports(host), (std::vector<std::string>{"resume", "resume"}));
}

TEST_F(Frame, CloseDeletesTheEffectAndAnswersOne) {
    EXPECT_EQ(host.close(effect), 1);
    EXPECT_EQ(reports(host), (std::vector<std::string>{"close", "deleted"}));
}

// A frame on the host given, or on none.
class Detached final : public AudioEffectX {
public:
    explicit Detached(audioMasterCallback master = nullptr) : AudioEffectX(master, 1, 2) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

// Without a host every wrapper answers its default; a host's answer replaces a stored
// setting only when it is usable.
TEST(Wrappers, HostAnswersReplaceTheDefaultsOnlyWhenUsable) {
    Detached alone,
        hosted([](AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float) {
            if (opcode == audioMasterGetSampleRate) return VstIntPtr(96000);
            if (opcode == audioMasterPinConnected) // the second input is not connected
                return VstIntPtr(index == 1 && value == 0);
            return VstIntPtr(opcode == audioMasterBeginEdit); // and 0 for the block size
        });
    for (auto [effect, rate, connected] :
         {std::tuple{&alone, 44100.0, true}, {&hosted, 96000.0, false}}) {
        EXPECT_EQ(effect->updateSampleRate(), rate);
        EXPECT_EQ(effect->getSampleRate(), float(rate));
        EXPECT_EQ(effect->updateBlockSize(), 1024) << "a zero answer keeps the stored size";
        EXPECT_EQ(effect->isInputConnected(1), connected);
        EXPECT_TRUE(effect->isOutputConnected(1));
        EXPECT_EQ(effect->beginEdit(3), !connected);
        EXPECT_FALSE(effect->endEdit(3));
    }
    EXPECT_EQ(alone.getMasterVersion(), 1);
    EXPECT_EQ(alone.getTimeInfo(0), nullptr);
    alone.setParameterAutomated(0, 0.5f);
    alone.masterIdle();
    alone.resume();
    EXPECT_EQ(alone.getPlugCategory(), kPlugCategUnknown);
    alone.isSynth();
    EXPECT_EQ(alone.getPlugCategory(), kPlugCategSynth);
    EXPECT_EQ(alone.getAeffect()->flags, effFlagsCanReplacing | effFlagsIsSynth);
}

TEST(Wrappers, TextHelpersStayWithinTheirLength) {
    Detached effect;
    char text[16];
    std::memset(text, 'x', sizeof text);
    effect.int2string(123456789, text, 4);
    EXPECT_STREQ(text, "Larg");
    effect.int2string(42, text, 8);
    EXPECT_STREQ(text, "42");
    effect.dB2string(0, text, 8);
    EXPECT_STREQ(text, "-oo");
    effect.dB2string(1, text, 8);
    EXPECT_STREQ(text, "0.00");
    effect.float2string(-1234.567f, text, 5);
    EXPECT_STREQ(text, "-1234");
    effect.ms2string(441, text, 8);
    EXPECT_STREQ(text, "10.00");
}

} // namespace

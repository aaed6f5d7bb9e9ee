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

TEST(Entry, RefusesAHostThatDoesNotAnswerItsVersion) {
    TestHost host(probePath);
    host.answer = [](const HostCall& c) -> VstIntPtr {
        return c.opcode == audioMasterVersion ? 0 : TestHost::defaultAnswer(c);
    };
    EXPECT_EQ(host.instantiate(), nullptr);
    EXPECT_EQ(host.allCalls().size(), 1u) << "nothing is built for a host that is not one";
}

TEST(Entry, FailedConstructionGivesTheHostNullAndLeaksNothing) {
    TestHost host(probePath);
    host.answer = [](const HostCall& c) -> VstIntPtr {
        if (c.opcode == audioMasterCanDo && c.text == "probeFailConstruction") return 1;
        return TestHost::defaultAnswer(c);
    };
    EXPECT_EQ(host.instantiate(), nullptr);
}

TEST(Entry, ExportsOnlyTheEntryPoints) {
    TestHost host(probePath);
    ASSERT_TRUE(host.loaded());
    EXPECT_NE(host.symbol("VSTPluginMain"), nullptr);
    EXPECT_NE(host.symbol("main"), nullptr);
    EXPECT_EQ(host.symbol("_Z20createEffectInstancePFlP7AEffectiilPvfE"), nullptr);
    EXPECT_EQ(host.symbol("_Z11vst_strncpyPcPKcm"), nullptr);
    EXPECT_EQ(host.symbol("_ZN11AudioEffect19dispatchEffectClassEP7AEffectiilPvf"), nullptr);

    // Older hosts start through "main"; it builds the same kind of record.
    using Entry = AEffect* (*)(audioMasterCallback);
    auto legacy = reinterpret_cast<Entry>(host.symbol("main"));
    AEffect* e = host.instantiate();
    ASSERT_NE(e, nullptr);
    EXPECT_NE(legacy, nullptr);
}

TEST_F(Frame, RecordIsFilledAsTheHostExpects) {
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->numPrograms, 10);
    EXPECT_EQ(effect->numParams, 16);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, effFlagsCanReplacing | effFlagsHasEditor);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_EQ(effect->uniqueID, CCONST('P', 'r', 'b', 'e'));
    EXPECT_EQ(effect->version, 1);
    EXPECT_NE(effect->object, nullptr);
    EXPECT_EQ(effect->user, nullptr);

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
    char name[64] = "New name";
    VstEvents events{};
    events.numEvents = 3;
    struct Case {
        VstInt32 opcode, index;
        VstIntPtr value;
        void* ptr;
        float opt;
        VstIntPtr answer;
        const char* report; // null: the operation reports nothing
    } cases[] = {
        {effOpen, 0, 0, nullptr, 0, 0, "open"},
        {effSetProgram, 0, 3, nullptr, 0, 0, "setProgram 3"},
        {effGetProgram, 0, 0, nullptr, 0, 3, nullptr},
        {effSetProgramName, 0, 0, name, 0, 0, "setProgramName New name"},
        {effSetSampleRate, 0, 0, nullptr, 48000, 0, "setSampleRate 48000"},
        {effSetBlockSize, 0, 256, nullptr, 0, 0, "setBlockSize 256"},
        {effMainsChanged, 0, 0, nullptr, 0, 0, "suspend"},
        {effIdentify, 0, 0, nullptr, 0, CCONST('N', 'v', 'E', 'f'), nullptr},
        {effSetChunk, 1, 8, name, 0, 1, "setChunk 8 1"},
        {effSetChunk, 0, 9, name, 0, 0, "setChunk 9 0"},
        {effProcessEvents, 0, 0, &events, 0, 1, "processEvents 3"},
        {effCanBeAutomated, 15, 0, nullptr, 0, 1, nullptr},
        {effGetProgramNameIndexed, 2, 0, name, 0, 1, "getProgramNameIndexed 0 2"},
        {effGetProgramNameIndexed, 12, 0, name, 0, 0, "getProgramNameIndexed 0 12"},
        {effGetPlugCategory, 0, 0, nullptr, 0, kPlugCategEffect, nullptr},
        {effGetVendorVersion, 0, 0, nullptr, 0, 1100, nullptr},
        {effVendorSpecific, 12345, 6, name, 0.5f, 7, "vendorSpecific 12345 6 0.5"},
        {effGetVstVersion, 0, 0, nullptr, 0, 2400, nullptr},
        {effGetTailSize, 0, 0, nullptr, 0, 0, nullptr},
        {effSetTotalSampleToProcess, 0, 77, nullptr, 0, 77, nullptr},
        {effGetCurrentMidiProgram, 0, 0, name, 0, -1, nullptr},
        {effSetBypass, 0, 1, nullptr, 0, 0, nullptr},
        {effStartProcess, 0, 0, nullptr, 0, 0, nullptr},
        {effGetNumMidiInputChannels, 0, 0, nullptr, 0, 0, nullptr},
        {effGetVu, 0, 0, nullptr, 0, 0, nullptr},
        {effGetNumMidiOutputChannels + 1, 0, 0, nullptr, 0, 0, nullptr},
        {-1, 0, 0, nullptr, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        host.clearCalls();
        SCOPED_TRACE("opcode " + std::to_string(c.opcode));
        EXPECT_EQ(dispatch(c.opcode, c.index, c.value, c.ptr, c.opt), c.answer);
        const std::vector<std::string> got = reports(host);
        if (c.report)
            EXPECT_EQ(got, std::vector<std::string>{c.report});
        else
            EXPECT_TRUE(got.empty());
    }
}

TEST_F(Frame, TextAndChunkOpcodesWriteThroughPtr) {
    char text[64];
    dispatch(effGetProgramName, 0, 0, text);
    EXPECT_STREQ(text, "Probe");
    dispatch(effGetParamLabel, 4, 0, text);
    EXPECT_STREQ(text, "L4");
    dispatch(effGetParamDisplay, 5, 0, text);
    EXPECT_STREQ(text, "D5");
    dispatch(effGetParamName, 6, 0, text);
    EXPECT_STREQ(text, "N6");
    EXPECT_EQ(dispatch(effGetEffectName, 0, 0, text), 1);
    EXPECT_STREQ(text, "Probe");
    EXPECT_EQ(dispatch(effGetVendorString, 0, 0, text), 0);

    void* chunk = nullptr;
    EXPECT_EQ(dispatch(effGetChunk, 0, 0, &chunk), 8);
    EXPECT_STREQ(static_cast<char*>(chunk), "chunk!!");
    EXPECT_EQ(dispatch(effGetChunk, 1, 0, &chunk), 4);

    char yes[] = "receiveVstMidiEvent", no[] = "sendVstMidiEvent";
    EXPECT_EQ(dispatch(effCanDo, 0, 0, yes), 1);
    EXPECT_EQ(dispatch(effCanDo, 0, 0, no), 0);

    VstSpeakerArrangement arrangement{};
    VstSpeakerArrangement* in = &arrangement;
    VstSpeakerArrangement* out = &arrangement;
    EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0);
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);
}

TEST_F(Frame, NullPointersFromTheHostAreRefusedUntouched) {
    for (VstInt32 opcode : {effSetProgramName,
                            effGetProgramName,
                            effGetParamLabel,
                            effGetParamDisplay,
                            effGetParamName,
                            effEditGetRect,
                            effGetChunk,
                            effSetChunk,
                            effProcessEvents,
                            effGetProgramNameIndexed,
                            effGetEffectName,
                            effGetVendorString,
                            effGetProductString,
                            effVendorSpecific,
                            effCanDo,
                            effString2Parameter,
                            effGetInputProperties,
                            effGetSpeakerArrangement,
                            effBeginLoadBank,
                            effShellGetNextPlugin}) {
        SCOPED_TRACE(opcode);
        EXPECT_EQ(dispatch(opcode, 1, 8, nullptr, 0), 0);
    }
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
    for (int round = 0; round < 2; ++round) {
        host.clearCalls();
        dispatch(effMainsChanged, 0, 1);
        const auto wants = host.callsWith(audioMasterWantMidi);
        ASSERT_EQ(wants.size(), 1u);
        EXPECT_EQ(wants[0].value, 1);
        EXPECT_EQ(wants[0].effect, effect);
        EXPECT_EQ(reports(host), std::vector<std::string>{"resume"});
    }
}

TEST_F(Frame, EditorOpcodesReachTheEditor) {
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 675);
    EXPECT_EQ(rect->bottom, 386);
    int parent = 0;
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parent), 1);
    dispatch(effEditIdle);
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', VKEY_UP, nullptr, MODIFIER_SHIFT), 1);
    EXPECT_EQ(dispatch(effEditKeyUp, 'a', VKEY_DOWN), 0);
    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 1), 0);
    EXPECT_EQ(dispatch(effEditClose), 0);
}

TEST_F(Frame, CloseDeletesTheEffectAndAnswersOne) {
    EXPECT_EQ(host.close(effect), 1);
    EXPECT_EQ(reports(host), std::vector<std::string>{"close"});
}

// A frame without a host callback: every wrapper answers its default.
class Detached final : public AudioEffectX {
public:
    explicit Detached(audioMasterCallback master = nullptr) : AudioEffectX(master, 1, 2) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

TEST(Wrappers, AnswerDefaultsWithoutAHost) {
    Detached effect;
    EXPECT_TRUE(effect.isInputConnected(1));
    EXPECT_TRUE(effect.isOutputConnected(1));
    EXPECT_EQ(effect.updateSampleRate(), 44100.0);
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    EXPECT_EQ(effect.getMasterVersion(), 1);
    EXPECT_EQ(effect.getTimeInfo(0), nullptr);
    EXPECT_FALSE(effect.beginEdit(0));
    EXPECT_FALSE(effect.endEdit(0));
    effect.setParameterAutomated(0, 0.5f);
    effect.masterIdle();
    effect.resume();
    EXPECT_EQ(effect.getPlugCategory(), kPlugCategUnknown);
    effect.isSynth();
    EXPECT_EQ(effect.getPlugCategory(), kPlugCategSynth);
    EXPECT_EQ(effect.getAeffect()->flags, effFlagsCanReplacing | effFlagsIsSynth);
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

VstIntPtr answeringHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float) {
    switch (opcode) {
    case audioMasterGetSampleRate:
        return 96000;
    case audioMasterPinConnected:
        return index == 1 && value == 0; // the second input is not connected
    case audioMasterBeginEdit:
        return 1;
    default:
        return 0;
    }
}

TEST(Wrappers, HostAnswersReplaceStoredSettingsOnlyWhenUsable) {
    Detached effect(answeringHost);
    EXPECT_EQ(effect.updateSampleRate(), 96000.0);
    EXPECT_EQ(effect.getSampleRate(), 96000.0f);
    EXPECT_EQ(effect.updateBlockSize(), 1024) << "a zero answer keeps the stored size";
    EXPECT_FALSE(effect.isInputConnected(1));
    EXPECT_TRUE(effect.isOutputConnected(1));
    EXPECT_TRUE(effect.beginEdit(3));
    EXPECT_FALSE(effect.endEdit(3));
}

} // namespace

#include "params/OrvellaParameterManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

namespace {

constexpr char kCanary = 0x55;

TEST(OrvellaParams, DeclaredAtTheirDefaults) {
    struct Expected {
        const char* shortName;
        const char* name;
        tq_paramTypes type;
        float natural;
    };
    const Expected expected[kNumParams] = {
        {"G1 Rate", "Gn 1 Rate", kParamLinear, 1},
        {"G1 RtCtl", "Gn 1 Rate Ctrl", kParamOnOff, 0},
        {"G1 Shape", "Gn 1 Shape", kParamOnOff, 0},
        {"G2 Rate", "Gn 2 Rate", kParamLinear, 1},
        {"G2 Shape", "Gn 2 Shape", kParamOnOff, 0},
        {"A Depth", "Ph A Depth", kParamLinear, 1},
        {"A Feedbk", "Ph A Feedback", kParamLinear, 0},
        {"A SwpCtl", "Ph A Swp Ctrl", kParamOnOff, 0},
        {"B Input", "Ph B Input", kParamInteger, 0},
        {"B Depth", "Ph B Depth", kParamLinear, 1},
        {"B Feedbk", "Ph B Feedback", kParamLinear, 0},
        {"B SwpCtl", "Ph B Swp Ctrl", kParamInteger, 0},
        {"B SwpSnc", "Ph B Swp Sync", kParamOnOff, 0},
        {"A Active", "Ph A Active", kParamOnOff, 1},
        {"B Active", "Ph B Active", kParamOnOff, 1},
        {"Sweep CC", "Sweep Control", kParamLinear, 0},
    };
    OrvellaParameterManager m;
    EXPECT_EQ(kNumParams, m.getParameterCount());
    for (long i = 0; i < kNumParams; ++i) {
        SCOPED_TRACE(i);
        char text[32];
        m.getName(i, text, 8);
        EXPECT_STREQ(expected[i].shortName, text);
        EXPECT_EQ(expected[i].name, m.getName(i));
        m.getUnitsName(i, text, 8);
        EXPECT_STREQ("", text);
        EXPECT_EQ(expected[i].type, m.getType(i));
        EXPECT_EQ(expected[i].natural, m.getNaturalValue(i));
        EXPECT_EQ(expected[i].natural, m.getDefaultValue(i));
        EXPECT_EQ(i == kPhaserAActive || i == kPhaserBActive ? 1.0f : 0.0f, m.getVSTvalue(i));
        EXPECT_TRUE(m.canRandomize(i));
        EXPECT_FALSE(m.getHostSynced(i));
    }
    EXPECT_EQ(kNumParams, m.getParameterCount());
}

TEST(OrvellaParams, DSPvalues) {
    struct Dsp {
        long index;
        float natural;
        float dsp;
    };
    const Dsp cases[] = {
        {kGen1Rate, 10, 19.693f},     {kGen1Rate, 1, 0.01f},           {kGen2Rate, 10, 19.693f},
        {kSweepControl, 1, 20.0f},    {kSweepControl, 0.5f, 2.50875f}, {kSweepControl, 0, 0.01f},
        {kPhaserADepth, 10, 0.999f},  {kPhaserBDepth, 1, 0.0999f},     {kPhaserAFeedback, 10, 0.9f},
        {kPhaserBFeedback, 0, 0.0f},  {kGen1Shape, 0, 72.0f},          {kGen2Shape, 1, 71.0f},
        {kGen2Shape, 0.5f, 71.0f},    {kPhaserAActive, 1, 1.0f},       {kPhaserBInput, 2, 2.0f},
        {kPhaserBSweepCtrl, 5, 2.0f}, {kGen1RateCtrl, -1, 0.0f},
    };
    OrvellaParameterManager m;
    for (const Dsp& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << " at " << c.natural);
        m.setNaturalValue(c.index, c.natural);
        EXPECT_FLOAT_EQ(c.dsp, m.getDSPValue(c.index));
    }
    // Depth and feedback are multiplied in double precision.
    EXPECT_EQ(0.999f, m.dspValueFromNaturalValue(kPhaserADepth, 10));
    EXPECT_EQ(0.9f, m.dspValueFromNaturalValue(kPhaserAFeedback, 10));
}

struct Display {
    long index;
    float natural;
    int maxLen;
    const char* text;
};

TEST(OrvellaParams, DisplayTextsAndListWidths) {
    const Display cases[] = {
        {kGen1Rate, 10, 8, "10.0"},
        {kGen1Rate, 1, 8, "1.0"},
        {kGen1Rate, 7, 3, " 7"},
        {kSweepControl, 0.5f, 4, "0.5"},
        {kGen1RateCtrl, 1, 8, "Sweep Ctrl"},
        {kGen1RateCtrl, 1, 7, "Sweep Ctrl"},
        {kGen1RateCtrl, 1, 6, "Sweep "},
        {kGen1RateCtrl, 0, 1, "M"},
        {kGen1Shape, 0, 8, "Sine"},
        {kGen2Shape, 1, 6, "Square"},
        {kPhaserASweepCtrl, 1, 6, "Sweep Ctrl"},
        {kPhaserASweepCtrl, 1, 5, "Sweep"},
        {kPhaserBInput, 1, 5, "Out A"},
        {kPhaserBInput, 1, 4, "Out "},
        {kPhaserBSweepCtrl, 2, 8, "Sweep Ctrl"},
        {kPhaserBSweepCtrl, 1, 3, "Gen"},
        {kPhaserBSweepSync, 1, 8, "Reverse"},
        {kPhaserBSweepSync, 1, 7, "Reverse"},
        {kPhaserBSweepSync, 0, 3, "Nor"},
        {kPhaserAActive, 1, 8, "On"},
        {kPhaserBActive, 0, 8, "Off"},
    };
    OrvellaParameterManager m;
    for (const Display& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.index << " at " << c.natural << " maxLen " << c.maxLen);
        m.setNaturalValue(c.index, c.natural);
        char text[32];
        m.getValueString(c.index, text, c.maxLen);
        EXPECT_STREQ(c.text, text);
    }
}

TEST(OrvellaParams, ListThresholdsFromHostValues) {
    const std::pair<float, const char*> inputs[] = {
        {0.24f, "In A"},
        {0.25f, "Out A"},
        {0.6f, "Out A"},
        {0.74f, "Out A"},
        {0.75f, "In B"},
        // Beyond the host range the list is clamped, never overrun.
        {7.0f, "In B"},
        {-3.0f, "In A"},
        {NAN, "In A"},
    };
    OrvellaParameterManager m;
    for (const auto& [vst, name] : inputs) {
        SCOPED_TRACE(vst);
        m.setVSTvalue(kPhaserBInput, vst);
        char text[32];
        m.getValueString(kPhaserBInput, text, 8);
        EXPECT_STREQ(name, text);
    }
    char text[32];
    m.setNaturalValue(kPhaserBSweepSync, 1e9f);
    m.getValueString(kPhaserBSweepSync, text, 8);
    EXPECT_STREQ("Reverse", text);
    m.setNaturalValue(kPhaserBSweepCtrl, -1e9f);
    m.getValueString(kPhaserBSweepCtrl, text, 8);
    EXPECT_STREQ("Gen 1", text);
}

// Every text writer keeps to max(maxLen + 1, 11) bytes; the text-entry form to maxLen + 1.
TEST(OrvellaParams, TextWritersStayInsideTheirBuffers) {
    OrvellaParameterManager m;
    const float naturals[] = {0.0f, 1.0f, 2.0f, 7.0f, 10.0f, 1e30f, -1e30f, NAN};
    for (long index = 0; index < kNumParams; ++index) {
        for (float natural : naturals) {
            m.setNaturalValue(index, natural);
            for (int maxLen = 0; maxLen <= 12; ++maxLen) {
                SCOPED_TRACE(testing::Message()
                             << index << " at " << natural << " maxLen " << maxLen);
                char text[40];
                std::memset(text, kCanary, sizeof text);
                m.getValueString(index, text, maxLen);
                const int limit = std::max(maxLen + 1, tq_paramManager::kValueTextMinBytes);
                for (int i = limit; i < 40; ++i) ASSERT_EQ(kCanary, text[i]) << "byte " << i;

                std::memset(text, kCanary, sizeof text);
                m.getTextEditString(index, text, maxLen);
                ASSERT_LE(std::strlen(text), static_cast<size_t>(maxLen));
                EXPECT_EQ(nullptr, std::strchr(text, ' '));
                for (int i = maxLen + 1; i < 40; ++i) ASSERT_EQ(kCanary, text[i]) << "byte " << i;
            }
        }
    }
    m.setNaturalValue(kGen1RateCtrl, 1);
    char text[16];
    m.getTextEditString(kGen1RateCtrl, text, 8);
    EXPECT_STREQ("SweepCtr", text);
    m.setNaturalValue(kGen1Rate, 7);
    m.getTextEditString(kGen1Rate, text, 3);
    EXPECT_STREQ("7", text);
}

} // namespace

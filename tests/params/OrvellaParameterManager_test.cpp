#include "params/OrvellaParameterManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr char kCanary = 0x55;

TEST(OrvellaParams, DeclaredAtTheirDefaults) {
    const struct {
        const char *shortName, *name;
        tq_paramTypes type;
        float natural;
    } expected[kNumParams] = {
        // clang-format off
        {"G1 Rate", "Gn 1 Rate", kParamLinear, 1},      {"G1 RtCtl", "Gn 1 Rate Ctrl", kParamOnOff, 0},
        {"G1 Shape", "Gn 1 Shape", kParamOnOff, 0},     {"G2 Rate", "Gn 2 Rate", kParamLinear, 1},
        {"G2 Shape", "Gn 2 Shape", kParamOnOff, 0},     {"A Depth", "Ph A Depth", kParamLinear, 1},
        {"A Feedbk", "Ph A Feedback", kParamLinear, 0}, {"A SwpCtl", "Ph A Swp Ctrl", kParamOnOff, 0},
        {"B Input", "Ph B Input", kParamInteger, 0},    {"B Depth", "Ph B Depth", kParamLinear, 1},
        {"B Feedbk", "Ph B Feedback", kParamLinear, 0}, {"B SwpCtl", "Ph B Swp Ctrl", kParamInteger, 0},
        {"B SwpSnc", "Ph B Swp Sync", kParamOnOff, 0},  {"A Active", "Ph A Active", kParamOnOff, 1},
        {"B Active", "Ph B Active", kParamOnOff, 1},    {"Sweep CC", "Sweep Control", kParamLinear, 0}
        // clang-format on
    };
    OrvellaParameterManager m;
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
        EXPECT_EQ(i == kPhaserAActive || i == kPhaserBActive ? 1.0f : 0.0f, m.getVSTvalue(i));
        EXPECT_TRUE(m.canRandomize(i));
        EXPECT_FALSE(m.getHostSynced(i));
    }
    EXPECT_EQ(kNumParams, m.getParameterCount());
}

TEST(OrvellaParams, DSPvalues) {
    const struct {
        long index;
        float natural, dsp;
    } cases[] = {
        // clang-format off
        {kGen1Rate, 10, 19.693f}, {kGen1Rate, 1, 0.01f}, {kGen2Rate, 10, 19.693f},
        {kSweepControl, 1, 20}, {kSweepControl, 0.5f, 2.50875f}, {kSweepControl, 0, 0.01f},
        {kPhaserADepth, 10, 0.999f}, {kPhaserBDepth, 1, 0.0999f}, {kPhaserAFeedback, 10, 0.9f},
        {kPhaserBFeedback, 0, 0}, {kGen1Shape, 0, 72}, {kGen2Shape, 1, 71}, {kGen2Shape, 0.5f, 71},
        {kPhaserAActive, 1, 1}, {kPhaserBInput, 2, 2}, {kPhaserBSweepCtrl, 5, 2}, {kGen1RateCtrl, -1, 0}
        // clang-format on
    };
    OrvellaParameterManager m;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << " at " << c.natural);
        m.setNaturalValue(c.index, c.natural);
        EXPECT_FLOAT_EQ(c.dsp, m.getDSPValue(c.index));
    }
    // Multiplied in double precision: exactly the nearest float.
    EXPECT_EQ(0.999f, m.dspValueFromNaturalValue(kPhaserADepth, 10));
    EXPECT_EQ(0.9f, m.dspValueFromNaturalValue(kPhaserAFeedback, 10));
}

// Whole value names once maxLen reaches the list's width, else cut to maxLen characters.
TEST(OrvellaParams, DisplayTextsAndListWidths) {
    const struct {
        long index;
        float natural;
        int maxLen;
        const char* text;
    } cases[] = {
        // clang-format off
        {kGen1Rate, 10, 8, "10.0"}, {kGen1Rate, 1, 8, "1.0"}, {kGen1Rate, 7, 3, " 7"},
        {kSweepControl, 0.5f, 4, "0.5"}, {kGen1RateCtrl, 1, 7, "Sweep Ctrl"},
        {kGen1RateCtrl, 1, 6, "Sweep "}, {kGen1RateCtrl, 0, 1, "M"}, {kGen1Shape, 0, 8, "Sine"},
        {kGen2Shape, 1, 6, "Square"}, {kPhaserASweepCtrl, 1, 6, "Sweep Ctrl"},
        {kPhaserASweepCtrl, 1, 5, "Sweep"}, {kPhaserBInput, 1, 5, "Out A"}, {kPhaserBInput, 1, 4, "Out "},
        {kPhaserBSweepCtrl, 2, 8, "Sweep Ctrl"}, {kPhaserBSweepCtrl, 1, 3, "Gen"},
        {kPhaserBSweepSync, 1, 8, "Reverse"}, {kPhaserBSweepSync, 0, 7, "Normal"},
        {kPhaserAActive, 1, 8, "On"}, {kPhaserBActive, 0, 8, "Off"}
        // clang-format on
    };
    OrvellaParameterManager m;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.index << " at " << c.natural << " maxLen " << c.maxLen);
        m.setNaturalValue(c.index, c.natural);
        char text[32];
        m.getValueString(c.index, text, c.maxLen);
        EXPECT_STREQ(c.text, text);
    }
}

TEST(OrvellaParams, ListPositionsFromHostValuesAreClampedIntoTheList) {
    const std::pair<float, const char*> inputs[] = {
        {0.24f, "In A"}, {0.25f, "Out A"}, {0.74f, "Out A"}, {0.75f, "In B"},
        {7.0f, "In B"},  {-3.0f, "In A"},  {NAN, "In A"}};
    OrvellaParameterManager m;
    char text[32];
    for (const auto& [vst, name] : inputs) {
        SCOPED_TRACE(vst);
        m.setVSTvalue(kPhaserBInput, vst);
        m.getValueString(kPhaserBInput, text, 8);
        EXPECT_STREQ(name, text);
    }
    m.setNaturalValue(kPhaserBSweepSync, 1e9f);
    m.getValueString(kPhaserBSweepSync, text, 8);
    EXPECT_STREQ("Reverse", text);
}

// Value texts keep to max(maxLen + 1, 11) bytes, text-entry forms to maxLen + 1.
TEST(OrvellaParams, TextWritersStayInsideTheirBuffers) {
    OrvellaParameterManager m;
    for (long index = 0; index < kNumParams; ++index) {
        for (float natural : {0.0f, 1.0f, 2.0f, 7.0f, 10.0f, 1e30f, -1e30f, NAN}) {
            m.setNaturalValue(index, natural);
            for (int maxLen = 0; maxLen <= 12; ++maxLen) {
                SCOPED_TRACE(testing::Message()
                             << index << " at " << natural << " maxLen " << maxLen);
                char text[40];
                std::memset(text, kCanary, sizeof text);
                m.getValueString(index, text, maxLen);
                const int limit = std::max(maxLen + 1, tq_paramManager::kValueTextMinBytes);
                ASSERT_EQ(std::string(40 - limit, kCanary), std::string(text + limit, 40 - limit));

                std::memset(text, kCanary, sizeof text);
                m.getTextEditString(index, text, maxLen);
                ASSERT_LE(std::strlen(text), static_cast<size_t>(maxLen));
                ASSERT_EQ(nullptr, std::strchr(text, ' '));
                ASSERT_EQ(std::string(39 - maxLen, kCanary),
                          std::string(text + maxLen + 1, 39 - maxLen));
            }
        }
    }
    char text[16];
    m.setNaturalValue(kGen1RateCtrl, 1);
    m.getTextEditString(kGen1RateCtrl, text, 8);
    EXPECT_STREQ("SweepCtr", text);
    m.setNaturalValue(kGen1Rate, 7);
    m.getTextEditString(kGen1Rate, text, 3);
    EXPECT_STREQ("7", text);
}

} // namespace

#include "params/OrvellaParameterManager.h"
#include "tests/common/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <string>

namespace {

constexpr char kCanary = 0x55;

// A host lists parameters by their short names: distinct, each within its 8 characters.
// Both sections start active, everything else at the bottom of its range.
TEST(OrvellaParams, ShortNamesAreDistinctAndDefaultsAtTheBottom) {
    OrvellaParameterManager m;
    std::set<std::string> names;
    for (long i = 0; i < kNumParams; ++i) {
        char text[32];
        m.getName(i, text, 8);
        EXPECT_TRUE(names.insert(text).second && *text && std::strlen(text) <= 8) << text;
        EXPECT_EQ(i == kPhaserAActive || i == kPhaserBActive ? 1.0f : 0.0f, m.getVSTvalue(i));
    }
}

// Whole value names once maxLen reaches the list's width and holds them, else shortened
// or cut to maxLen characters.
TEST(OrvellaParams, DSPvaluesAndDisplayTexts) {
    const struct {
        long index;
        float natural, dsp;
        int maxLen;
        const char* text;
    } cases[] = {
        // clang-format off
        {kGen1Rate, 10, 19.693f, 8, "10.0"}, {kGen1Rate, 1, 0.01f, 8, "1.0"}, {kGen1Rate, 7, 5.842f, 3, " 7"},
        {kGen2Rate, 10, 19.693f, 8, "10.0"}, {kSweepControl, 1, 20, 8, "1.0"},
        {kSweepControl, 0.5f, 2.50875f, 4, "0.5"}, {kSweepControl, 0, 0.01f, 8, "0.0"},
        {kPhaserADepth, 10, 0.999f, 8, "10.0"}, {kPhaserBDepth, 1, 0.0999f, 8, "1.0"},
        {kPhaserAFeedback, 10, 0.9f, 8, "10.0"}, {kPhaserBFeedback, 0, 0, 8, "0.0"},
        {kGen1RateCtrl, 1, 1, 7, "Sweep C"}, {kGen1RateCtrl, 1, 1, 6, "Sweep "},
        {kGen1RateCtrl, 0, 0, 1, "M"}, {kGen1RateCtrl, -1, 0, 8, "Manual"},
        {kGen1Shape, 0, 72, 8, "Sine"}, {kGen2Shape, 1, 71, 6, "Square"}, {kGen2Shape, 0.5f, 71, 8, "Sine"},
        {kPhaserASweepCtrl, 1, 1, 6, "Sweep "}, {kPhaserASweepCtrl, 1, 1, 5, "Sweep"},
        {kPhaserBInput, 1, 1, 5, "Out A"}, {kPhaserBInput, 1, 1, 4, "Out "}, {kPhaserBInput, 2, 2, 8, "In B"},
        {kPhaserBSweepCtrl, 2, 2, 8, "Swp Ctrl"}, {kPhaserBSweepCtrl, 1, 1, 3, "Gen"},
        {kPhaserBSweepCtrl, 5, 2, 12, "Sweep Ctrl"}, {kPhaserBSweepSync, 1, 1, 8, "Reverse"},
        {kPhaserBSweepSync, 0, 0, 7, "Normal"}, {kPhaserBSweepSync, 1e9f, 1, 8, "Reverse"},
        {kPhaserAActive, 1, 1, 8, "On"}, {kPhaserBActive, 0, 0, 8, "Off"}
        // clang-format on
    };
    OrvellaParameterManager m;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.index << " at " << c.natural << " maxLen " << c.maxLen);
        m.setNaturalValue(c.index, c.natural);
        EXPECT_FLOAT_EQ(c.dsp, m.getDSPValue(c.index));
        char text[32];
        m.getValueString(c.index, text, c.maxLen);
        EXPECT_STREQ(c.text, text);
    }
    // Multiplied in double precision: exactly the nearest float.
    EXPECT_EQ(0.999f, m.dspValueFromNaturalValue(kPhaserADepth, 10));
    EXPECT_EQ(0.9f, m.dspValueFromNaturalValue(kPhaserAFeedback, 10));

    const std::pair<float, const char*> inputs[] = {
        {0.24f, "In A"}, {0.25f, "Out A"}, {0.74f, "Out A"}, {0.75f, "In B"},
        {7.0f, "In B"},  {-3.0f, "In A"},  {NAN, "In A"}};
    for (const auto& [vst, name] : inputs) {
        char text[32];
        m.setVSTvalue(kPhaserBInput, vst); // host values land on the list's nearest end
        m.getValueString(kPhaserBInput, text, 8);
        EXPECT_STREQ(name, text) << vst;
    }
}

// Value texts keep to max(maxLen + 1, 5) bytes (a host gives 9), text-entry forms to
// maxLen + 1.
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
                const int limit = std::max(maxLen + 1, OrvellaParameterManager::kNumberTextBytes);
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
    EXPECT_STREQ("SwpCtrl", text);
}

// What the effect does from host and audio threads must never allocate.
TEST(OrvellaParams, DeclaredParametersAreReadAndWrittenWithoutAllocating) {
    OrvellaParameterManager m;
    char text[32];
    const long before = allocationCount();
    for (long index = 0; index < kNumParams; ++index) {
        m.setVSTvalue(index, 0.75f);
        m.getDSPValue(index);
        m.getNaturalValue(index);
        m.getVSTvalue(index);
        m.getName(index, text, 8);
        m.getValueString(index, text, 8);
        m.getUnitsName(index, text, 8);
        m.VSTvalueFromNaturalValue(index, 3.0f);
        m.naturalValueFromVSTvalue(index, 0.3f);
    }
    EXPECT_EQ(before, allocationCount());
}

} // namespace

#include "tests/params/param_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr char kCanary = 0x55;

// Value texts never touch a byte at or past maxLen.
TEST(ParamText, ValueTextByTypeAndLength) {
    const OneParam wide{kParamLinear, 0, 9999}, syncedTime{kParamSyncTime, 10, 1000, true};
    const struct {
        OneParam param;
        float natural;
        int maxLen;
        const char* text;
    } cases[] = {
        // clang-format off
        {kOnOff, 0.5f, 8, "Off"}, {kOnOff, 0.51f, 8, "On"}, {kOnOff, 0, 3, "Of"}, {kOnOff, 1, 1, ""},
        {kInteger, 7, 8, "   7"}, {kPercent, 50, 8, "  50"}, {kFine, 0.5f, 8, "0.500"},
        {kFine, 5, 8, "5.00"}, {kFine, 50, 8, "50.0"}, {kFine, 500, 8, " 500"},
        {kFine, -0.25f, 8, "-0.250"}, {kLog, 5, 8, "5.00"}, {kBeat, 3, 8, "1/8 T"},
        {kBeat, 3, 5, "1/8 "}, {syncedTime, 7, 8, "1/8. "}, {syncedTime, 99, 8, "1/1  "},
        {kTime, 250, 8, " 250"}, {kRateSynced, 0, 8, "1/32 "}, {kRate, 5, 8, "5.00"},
        {kTimeNormSynced, 1, 8, "1/1  "}, {kTimeNorm, 0.5f, 8, " 505"},
        {kRateNormSynced, 1, 8, "1/32 "}, {kNote, 60, 8, "C3"}, {kNote, 61, 8, "C#3"},
        {kNote, 0, 8, "C-2"}, {kNote, 127, 8, "G8"}, {kNote, -1, 8, "B-3"}, {kNote, -13, 8, "B-4"},
        {wide, 1234, 8, "1234"}, {wide, 1234, 5, "1234"}, {wide, 1234, 3, "12"}, {wide, 1234, 1, ""}
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << c.param.type << " n " << c.natural << " maxLen " << c.maxLen);
        char text[64];
        std::memset(text, kCanary, sizeof text);
        makeManager(c.param)->getValueStringFromNaturalValue(0, text, c.natural, c.maxLen);
        EXPECT_STREQ(c.text, text);
        EXPECT_EQ(std::string(64 - c.maxLen, kCanary), std::string(text + c.maxLen, 64 - c.maxLen));
    }
}

TEST(ParamText, FixedFormsStayInsideTheirBuffers) {
    auto beat = makeManager(kBeat, 3);
    char text[40];
    const auto fresh = [&] { std::memset(text, kCanary, sizeof text); };
    beat->getTextEditString(0, text, 8);
    EXPECT_STREQ("1/8T", text);
    fresh();
    beat->getTextEditString(0, text, 0);
    EXPECT_EQ(std::string("\0\x55", 2), std::string(text, 2));
    fresh();
    beat->getTextEditString(0, text, -1);
    EXPECT_EQ(kCanary, text[0]);
    beat->getValueStringFromVSTvalue(0, text, 0.0f, 40); // formatted like a host text
    EXPECT_STREQ("1/32 ", text);
    EXPECT_EQ(kCanary, text[8]);
    fresh();
    beat->getValueStringFromVSTvalue(0, text, 0.0f, 3);
    EXPECT_EQ(std::string("1/\0\x55", 4), std::string(text, 4));

    auto m = makeManager({kParamLinear, 0, 1});
    m->setVSTvalue(0, 0.5f);
    m->getVSTvalueString(0, text);
    EXPECT_STREQ("0.500000", text);
    m->setVSTvalue(0, 1e30f); // prints far more than the work buffer holds
    fresh();
    m->getVSTvalueString(0, text);
    EXPECT_EQ(std::string("10000000\0\x55", 10), std::string(text, 10));
    m->floatToTimeStr(text, 250.0f, 8);
    EXPECT_STREQ("250", text);
    m->floatToTimeStr(text, 1500.0f, 8);
    EXPECT_STREQ("1.500", text);
    fresh();
    m->floatToTimeStr(text, 1500.0f, 3);
    EXPECT_EQ(std::string("1.5\0\x55", 5), std::string(text, 5));
}

TEST(ParamText, NamesAndUnitsArePaddedToMaxLen) {
    const struct {
        OneParam param;
        int maxLen;
        const char* text;
    } cases[] = {
        // clang-format off
        {kTime, 4, "ms"}, {kTime, 5, "msec"}, {kTime, 1, "m"}, {kTimeSynced, 8, ""},
        {kTimeNorm, 8, "msec"}, {kRate, 8, "Hz"}, {kRateNormSynced, 8, ""}, {kLinear, 1, "d"}
        // clang-format on
    };
    char text[32];
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.param.type << " maxLen " << c.maxLen);
        std::memset(text, kCanary, sizeof text);
        makeManager(c.param)->getUnitsName(0, text, c.maxLen);
        EXPECT_STREQ(c.text, text);
        EXPECT_EQ(kCanary, text[c.maxLen + 1]);
    }
    tq_paramManager m;
    m.newParameter(0, "Gn 1 Rate", "G1 Rate", "", 1, 10, 1, kParamLinear);
    m.getName(0, text, 8);
    EXPECT_STREQ("G1 Rate", text);
    m.getName(0, text, 4);
    EXPECT_STREQ("G1 R", text);
    std::memset(text, kCanary, sizeof text);
    m.getName(0, text, 20);
    EXPECT_EQ(std::string("Gn 1 Rate") + std::string(12, '\0') + kCanary, std::string(text, 22));

    m.newParameter(1, "Input", "In", "", 0, 2, 0, kParamInteger);
    std::vector<std::string> list{"old"};
    m.getAllValueStrings(1, list);
    EXPECT_EQ((std::vector<std::string>{"0", "1", "2"}), list);
    m.getAllValueStrings(0, list); // not an integer: left alone
    EXPECT_EQ(3u, list.size());
}

TEST(ParamText, ParsesMetricalNamesAndNumbersThenClamps) {
    const OneParam time{kParamSyncTime, 0, 1000, true}, rate{kParamSyncRate, 0.1f, 20, true};
    const struct {
        OneParam param;
        const char* text;
        float before;
        bool ok;
        float after;
    } cases[] = {
        // clang-format off
        {kBeat, "1/8T", 0, true, 3}, {kBeat, "1/8 T", 0, true, 3}, {kBeat, " 1/16.", 0, true, 4},
        {kBeat, "1/8t", 99, false, 14}, {kBeat, "1/64", -5, false, 0}, {time, "1/4", 0, true, 8},
        {kTimeSynced, "1/4", 0, true, 10}, {kTime, "250", 0, true, 250}, {rate, "1/32", 0, true, 14},
        {rate, "1/4.", 0, true, 4}, {kLinear, "12.5", 0, true, 10}, {kLinear, "abc", 3, false, 3},
        {kLinear, "nan", 3, false, 3}, {kOnOff, "1", 0, false, 0}
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.param.type << " text " << c.text);
        float n = c.before;
        EXPECT_EQ(c.ok, makeManager(c.param)->naturalValueFromString(0, c.text, n));
        EXPECT_FLOAT_EQ(c.after, n);
    }
}

} // namespace

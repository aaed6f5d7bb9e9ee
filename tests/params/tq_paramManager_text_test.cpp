#include "tests/params/param_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr char kCanary = 0x55;

struct ValueText {
    OneParam param;
    float natural;
    int maxLen;
    const char* text;
};

TEST(ParamText, ValueTextByTypeAndLength) {
    const ValueText cases[] = {
        {{kParamOnOff, 0, 1}, 0.5f, 8, "Off"},
        {{kParamOnOff, 0, 1}, 0.51f, 8, "On"},
        {{kParamOnOff, 0, 1}, 0.0f, 3, "Of"},
        {{kParamOnOff, 0, 1}, 1.0f, 1, ""},
        {{kParamInteger, 0, 10}, 7.0f, 8, "   7"},
        {{kParamLinearFine, -1, 1000}, 0.5f, 8, "0.500"},
        {{kParamLinearFine, -1, 1000}, 5.0f, 8, "5.00"},
        {{kParamLinearFine, -1, 1000}, 50.0f, 8, "50.0"},
        {{kParamLinearFine, -1, 1000}, 500.0f, 8, " 500"},
        {{kParamLinearFine, -1, 1000}, -0.25f, 8, "-0.250"},
        {{kParamLog, 0.1f, 1000}, 5.0f, 8, "5.00"},
        {{kParamBeatDivision, 0, 14}, 3.0f, 8, "1/8 T"},
        {{kParamBeatDivision, 0, 14}, 3.0f, 5, "1/8 "},
        {{kParamSyncTime, 10, 1000, true}, 7.0f, 8, "1/8. "},
        {{kParamSyncTime, 10, 1000, true}, 99.0f, 8, "1/1  "},
        {{kParamSyncTime, 10, 1000}, 250.0f, 8, " 250"},
        {{kParamSyncRate, 0.1f, 10, true}, 0.0f, 8, "1/32 "},
        {{kParamSyncRate, 0.1f, 10}, 5.0f, 8, "5.00"},
        {{kParamSyncTimeNormalized, 10, 1000, true}, 1.0f, 8, "1/1  "},
        {{kParamSyncTimeNormalized, 10, 1000}, 0.5f, 8, " 505"},
        {{kParamSyncRateNormalized, 0.1f, 10, true}, 1.0f, 8, "1/32 "},
        {{kParamNote, 0, 127}, 60.0f, 8, "C3"},
        {{kParamNote, 0, 127}, 61.0f, 8, "C#3"},
        {{kParamNote, 0, 127}, 0.0f, 8, "C-2"},
        {{kParamNote, 0, 127}, 127.0f, 8, "G8"},
        {{kParamNote, 0, 127}, -1.0f, 8, "B-3"},
        {{kParamNote, 0, 127}, -13.0f, 8, "B-4"},
        {{kParamPercent, 0, 100}, 50.0f, 8, "  50"},
        {{kParamLinear, 0, 9999}, 1234.0f, 8, "1234"},
        {{kParamLinear, 0, 9999}, 1234.0f, 5, "1234"},
        {{kParamLinear, 0, 9999}, 1234.0f, 3, "12"},
        {{kParamLinear, 0, 9999}, 1234.0f, 1, ""},
    };
    for (const ValueText& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << c.param.type << " n " << c.natural << " maxLen " << c.maxLen);
        auto m = makeManager(c.param, c.param.minimum);
        char text[64];
        std::memset(text, kCanary, sizeof text);
        m->getValueStringFromNaturalValue(0, text, c.natural, c.maxLen);
        EXPECT_STREQ(c.text, text);
        for (size_t i = static_cast<size_t>(c.maxLen); i < sizeof text; ++i)
            ASSERT_EQ(kCanary, text[i]) << "byte " << i;
    }
}

TEST(ParamText, GetValueStringUsesTheStoredNaturalValue) {
    auto m = makeManager({kParamBeatDivision, 0, 14});
    m->setVSTvalue(0, 1.0f);
    char text[16];
    m->getValueString(0, text, 8);
    EXPECT_STREQ("1/1  ", text);
    // Formats like a host text, however long the caller says its buffer is.
    std::memset(text, kCanary, sizeof text);
    m->getValueStringFromVSTvalue(0, text, 0.0f, 40);
    EXPECT_STREQ("1/32 ", text);
    EXPECT_EQ(kCanary, text[8]);
    std::memset(text, kCanary, sizeof text);
    m->getValueStringFromVSTvalue(0, text, 0.0f, 3);
    EXPECT_STREQ("1/", text);
    EXPECT_EQ(kCanary, text[3]);
}

TEST(ParamText, VSTvalueStringHasEightCharacters) {
    auto m = makeManager({kParamLinear, 0, 1});
    char text[16];
    m->setVSTvalue(0, 0.5f);
    m->getVSTvalueString(0, text);
    EXPECT_STREQ("0.500000", text);
    m->setVSTvalue(0, 1e30f); // prints far more than the work buffer holds
    std::memset(text, kCanary, sizeof text);
    m->getVSTvalueString(0, text);
    EXPECT_EQ(8u, std::strlen(text));
    EXPECT_EQ(kCanary, text[9]);
}

TEST(ParamText, TextEditStringDropsSpacesAndStaysInItsBuffer) {
    auto integer = makeManager({kParamInteger, 0, 10}, 7.0f);
    auto beat = makeManager({kParamBeatDivision, 0, 14}, 3.0f);
    char text[32];
    integer->getTextEditString(0, text, 8);
    EXPECT_STREQ("7", text);
    beat->getTextEditString(0, text, 8);
    EXPECT_STREQ("1/8T", text);
    std::memset(text, kCanary, sizeof text);
    beat->getTextEditString(0, text, 0);
    EXPECT_STREQ("", text);
    EXPECT_EQ(kCanary, text[1]);
    std::memset(text, kCanary, sizeof text);
    beat->getTextEditString(0, text, -1);
    EXPECT_EQ(kCanary, text[0]);
    EXPECT_EQ(kCanary, text[1]);
}

TEST(ParamText, UnitsByTypeAndMode) {
    struct Units {
        OneParam param;
        int maxLen;
        const char* text;
    };
    const Units cases[] = {
        {{kParamSyncTime, 10, 1000}, 4, "ms"},
        {{kParamSyncTime, 10, 1000}, 5, "msec"},
        {{kParamSyncTime, 10, 1000}, 1, "m"},
        {{kParamSyncTime, 10, 1000, true}, 8, ""},
        {{kParamSyncTimeNormalized, 10, 1000}, 8, "msec"},
        {{kParamSyncRate, 0.1f, 10}, 8, "Hz"},
        {{kParamSyncRateNormalized, 0.1f, 10, true}, 8, ""},
        {{kParamLinear, 0, 1}, 8, "dB"},
        {{kParamLinear, 0, 1}, 1, "d"},
    };
    for (const Units& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.param.type << " maxLen " << c.maxLen);
        auto m = makeManager(c.param, c.param.minimum);
        char text[16];
        std::memset(text, kCanary, sizeof text);
        m->getUnitsName(0, text, c.maxLen);
        EXPECT_STREQ(c.text, text);
        EXPECT_EQ(kCanary, text[c.maxLen + 1]);
    }
}

TEST(ParamText, NamesPickShortOrLongByLength) {
    tq_paramManager m;
    m.newParameter(0, "Gn 1 Rate", "G1 Rate", "", 1, 10, 1, kParamLinear);
    char text[32];
    m.getName(0, text, 8);
    EXPECT_STREQ("G1 Rate", text);
    m.getName(0, text, 9);
    EXPECT_STREQ("Gn 1 Rate", text);
    m.getName(0, text, 4);
    EXPECT_STREQ("G1 R", text);
    std::memset(text, kCanary, sizeof text);
    m.getName(0, text, 20);
    EXPECT_STREQ("Gn 1 Rate", text);
    for (int i = 9; i <= 20; ++i) EXPECT_EQ(0, text[i]);
    EXPECT_EQ(kCanary, text[21]);
}

TEST(ParamText, FloatToTimeStrAndValueLists) {
    tq_paramManager m;
    char text[16];
    m.floatToTimeStr(text, 250.0f, 8);
    EXPECT_STREQ("250", text);
    m.floatToTimeStr(text, 1500.0f, 8);
    EXPECT_STREQ("1.500", text);
    std::memset(text, kCanary, sizeof text);
    m.floatToTimeStr(text, 1500.0f, 3);
    EXPECT_STREQ("1.5", text);
    EXPECT_EQ(kCanary, text[4]);

    m.newParameter(0, "Input", "In", "", 0, 2, 0, kParamInteger);
    m.newParameter(1, "Level", "Lv", "", 0, 2, 0, kParamLinear);
    std::vector<std::string> list{"old"};
    m.getAllValueStrings(0, list);
    EXPECT_EQ((std::vector<std::string>{"0", "1", "2"}), list);
    m.getAllValueStrings(1, list);
    EXPECT_EQ(3u, list.size());
    EXPECT_EQ(nullptr, m.getMetricalNames());
}

struct Parse {
    OneParam param;
    const char* text;
    float before;
    bool ok;
    float after;
};

TEST(ParamParse, MetricalNamesAndNumbersThenClamp) {
    const Parse cases[] = {
        {{kParamBeatDivision, 0, 14}, "1/8T", 0, true, 3},
        {{kParamBeatDivision, 0, 14}, "1/8 T", 0, true, 3},
        {{kParamBeatDivision, 0, 14}, " 1/16.", 0, true, 4},
        {{kParamBeatDivision, 0, 14}, "1/8t", 99, false, 14},
        {{kParamBeatDivision, 0, 14}, "1/8t", -5, false, 0},
        {{kParamSyncTime, 0, 1000, true}, "1/4", 0, true, 8},
        {{kParamSyncTime, 10, 1000, true}, "1/4", 0, true, 10},
        {{kParamSyncTime, 10, 1000}, "250", 0, true, 250},
        {{kParamSyncRate, 0.1f, 20, true}, "1/32", 0, true, 14},
        {{kParamSyncRate, 0.1f, 20, true}, "1/4.", 0, true, 4},
        {{kParamLinear, 0, 10}, "12.5", 0, true, 10},
        {{kParamLinear, 0, 10}, "abc", 3, false, 3},
        {{kParamLinear, 0, 10}, "nan", 3, false, 3},
        {{kParamOnOff, 0, 1}, "1", 0, false, 0},
    };
    for (const Parse& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.param.type << " text " << c.text);
        auto m = makeManager(c.param, c.param.minimum);
        float n = c.before;
        EXPECT_EQ(c.ok, m->naturalValueFromString(0, c.text, n));
        EXPECT_FLOAT_EQ(c.after, n);
    }
    tq_paramManager m;
    int index = -7;
    EXPECT_FALSE(m.matchMetricalStr("1/64", index));
    EXPECT_EQ(-7, index);
    EXPECT_TRUE(m.matchMetricalStr("1/1", index));
    EXPECT_EQ(14, index);
}

} // namespace

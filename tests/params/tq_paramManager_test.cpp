#include "params/tq_paramManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// One parameter at index 0 of a fresh manager.
struct OneParam {
    tq_paramTypes type;
    float minimum;
    float maximum;
    bool synced = false;
};

constexpr OneParam kLinear{kParamLinear, 1, 10}, kOnOff{kParamOnOff, 0, 1},
    kPercent{kParamPercent, 0, 100}, kFine{kParamLinearFine, -1, 1000}, kLog{kParamLog, 20, 20000},
    kDecibel{kParamDecibel, -60, 6}, kInteger{kParamInteger, 0, 2},
    kBeat{kParamBeatDivision, 0, 14}, kTime{kParamSyncTime, 10, 1000},
    kTimeSynced{kParamSyncTime, 10, 1000, true}, kRate{kParamSyncRate, 0.1f, 10},
    kRateSynced{kParamSyncRate, 0.1f, 10, true}, kTimeNorm{kParamSyncTimeNormalized, 10, 1000},
    kTimeNormSynced{kParamSyncTimeNormalized, 10, 1000, true},
    kRateNorm{kParamSyncRateNormalized, 0.1f, 10},
    kRateNormSynced{kParamSyncRateNormalized, 0.1f, 10, true}, kNote{kParamNote, 0, 127},
    kUnknown{static_cast<tq_paramTypes>(42), 0, 10};

std::unique_ptr<tq_paramManager> makeManager(const OneParam& p, float initial = 0.0f) {
    auto manager = std::make_unique<tq_paramManager>();
    manager->newParameter(0, "Parameter", "Param", "dB", p.minimum, p.maximum, initial, p.type);
    if (p.synced) manager->setHostSynced(0, true);
    return manager;
}

constexpr char kCanary = 0x55;

// Host value in; natural and DSP values out (tolerance 0: a few ulps of the DSP value).
// The decibel type's bottom is table entry 0, silence, not -60 dB.
TEST(ParamConversion, FromVSTvalueByType) {
    const struct {
        OneParam param;
        float v, natural, dsp, tolerance;
    } cases[] = {
        // clang-format off
        {kLinear, 0.5f, 5.5f, 5.5f, 0}, {kOnOff, 0.5f, 0, 0, 0}, {kOnOff, 0.500001f, 1, 1, 0},
        {kPercent, 0.5f, 50, 0.5f, 0}, {kFine, 0.5f, 499.5f, 499.5f, 0},
        {kLog, 0.5f, 632.46f, 632.46f, 0.05f}, {kLog, 1, 20000, 20000, 0},
        {kDecibel, 1, 6, 1.99526f, 1e-5f}, {kDecibel, 0, -60, 0, 0}, {kInteger, 0.24f, 0, 0, 0},
        {kInteger, 0.25f, 1, 1, 0}, {kNote, 0.5f, 64, 64, 0}, {kBeat, 1, 14, 4, 0},
        {kBeat, 0, 0, 0.125f, 0}, {kTime, 0.5f, 505, 505, 0}, {kTimeSynced, 1, 15, 4, 0},
        {kTimeSynced, 0.5f, 7, 0.75f, 0}, {kRate, 1, 10, 10, 0}, {kRateSynced, 1, 0, 8, 0},
        {kRateSynced, 0, 15, 0.25f, 0}, {kTimeNorm, 0.5f, 0.5f, 505, 0},
        {kTimeNormSynced, 0.5f, 0.5f, 0.75f, 0}, {kRateNorm, 0.5f, 0.5f, 1, 1e-4f},
        {kRateNormSynced, 1, 1, 8, 0}, {kUnknown, 0.5f, 5, 5, 0}
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.param.type << " v " << c.v);
        auto m = makeManager(c.param, c.param.minimum);
        m->setVSTvalue(0, c.v);
        EXPECT_EQ(c.v, m->getVSTvalue(0));
        const float tolerance = c.tolerance > 0 ? c.tolerance : 4e-7f * std::fabs(c.dsp);
        EXPECT_NEAR(c.natural, m->getNaturalValue(0), tolerance);
        EXPECT_NEAR(c.dsp, m->getDSPValue(0), tolerance);
    }
}

// Natural value in; host value (always clamped) and DSP value out.
TEST(ParamConversion, FromNaturalValueByType) {
    const struct {
        OneParam param;
        float natural, v, dsp;
    } cases[] = {
        {kLinear, 12, 1, 10},   {kLinear, -3, 0, 1},        {kLinear, NAN, 0, 1},
        {kLog, 5, 0, 20},       {kBeat, 14, 14.0f / 15, 4}, {kBeat, 40, 1, 4},
        {kBeat, -3, 0, 0.125f}, {kTime, 2000, 1, 2000},     {kTimeSynced, 7, 7.0f / 15, 0.75f},
        {kRate, 1, 0.5f, 1},    {kRate, 50, 1, 50},         {kRateSynced, 15, 0, 0.25f},
        {kNote, 200, 1, 127},   {kOnOff, NAN, 0, 0},        {kDecibel, -27, 0.5f, 0.0446684f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.param.type << " n " << c.natural);
        auto m = makeManager(c.param, c.param.minimum);
        m->setNaturalValue(0, c.natural);
        EXPECT_NEAR(c.v, m->getVSTvalue(0), 1e-6f);
        EXPECT_NEAR(c.dsp, m->getDSPValue(0), 2e-5f * std::fabs(c.dsp));
    }
    EXPECT_NEAR(0.5f, makeManager(kLog)->VSTvalueFromNaturalValue(0, 632.456f), 1e-5f);
}

TEST(ParamConversion, ModulationAndHostSyncKeepTheStoredVSTvalue) {
    auto m = makeManager(kLinear), time = makeManager(kTimeSynced);
    m->setVSTvalue(0, 0.5f);
    EXPECT_EQ(10.0f, m->getModulatedDSPValue(0, 0.7f));
    EXPECT_EQ(1.0f, m->getModulatedDSPValue(0, -0.9f));
    EXPECT_EQ(5.5f, m->getNaturalValue(0));
    m->setHostSynced(0, true); // not a sync type
    m->setAuxValue(0, 1);
    EXPECT_FALSE(m->getHostSynced(0));
    time->setVSTvalue(0, 0.5f);
    time->setHostSynced(0, false);
    EXPECT_EQ(0.5f, time->getVSTvalue(0));
    EXPECT_EQ(505.0f, time->getNaturalValue(0));
    time->setAuxValue(0, 5); // the flag, but the natural value waits for setVSTvalue
    EXPECT_TRUE(time->getHostSynced(0));
    EXPECT_EQ(505.0f, time->getNaturalValue(0));
}

TEST(ParamConversion, StepsWrapOrStopByType) {
    const struct {
        OneParam param;
        float from;
        bool up;
        float to;
    } cases[] = {{kInteger, 2, true, 0},    {kInteger, 0, false, 2}, {kBeat, 14, true, 0},
                 {kBeat, 0, false, 14},     {kNote, 127, true, 0},   {kNote, 0, false, 0},
                 {kOnOff, 0.7f, true, 0},   {kOnOff, 0, false, 1},   {kLinear, 9.5f, true, 10},
                 {kLinear, 1.5f, false, 1}, {kLinear, 5, true, 6},   {kLog, 20.5f, false, 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.param.type << " from " << c.from);
        auto m = makeManager(c.param, c.from);
        c.up ? m->incrementNaturalValue(0) : m->decrementNaturalValue(0);
        EXPECT_FLOAT_EQ(c.to, m->getNaturalValue(0));
        EXPECT_FLOAT_EQ(m->VSTvalueFromNaturalValue(0, c.to), m->getVSTvalue(0));
    }
}

TEST(ParamConversion, RandomizeGivesEndsToBinaryTypesAndUnitValuesToOthers) {
    std::srand(7);
    auto onOff = makeManager(kOnOff), binary = makeManager({kParamInteger, 0, 1});
    auto linear = makeManager(kLinear);
    for (int i = 0; i < 100; ++i) {
        for (auto* m : {onOff.get(), binary.get(), linear.get()}) m->randomize(0);
        EXPECT_EQ(onOff->getVSTvalue(0), std::round(onOff->getVSTvalue(0)));
        EXPECT_EQ(binary->getVSTvalue(0), std::round(binary->getVSTvalue(0)));
        EXPECT_TRUE(linear->getVSTvalue(0) >= 0.0f && linear->getVSTvalue(0) <= 1.0f);
    }
    linear->setVSTvalue(0, 0.25f);
    linear->setRandomizeable(0, false);
    linear->randomize(0);
    EXPECT_EQ(0.25f, linear->getVSTvalue(0));
}

TEST(ParamRegistry, UndeclaredReadsInsertZeroAndRedeclarationReplacesEverything) {
    tq_paramManager m;
    m.newParameter(3, "Three", "3", "", 0, 1, 1, kParamOnOff);
    EXPECT_TRUE(m.canRandomize(3));
    EXPECT_FALSE(m.canRandomize(9));
    EXPECT_EQ("", m.getName(9));
    EXPECT_EQ(1, m.getParameterCount()); // only reads of the host value count
    EXPECT_EQ(0.0f, m.getVSTvalue(9));
    EXPECT_EQ(2, m.getParameterCount());

    m.newParameter(0, "Freq", "F", "Hz", 20, 20000, 20000, kParamLog);
    EXPECT_EQ(1.0f, m.getVSTvalue(0));
    m.newParameter(0, "Gain", "G", "", 0, 4, 2, kParamLinear);
    EXPECT_EQ(3, m.getParameterCount());
    EXPECT_EQ("Gain", m.getName(0));
    EXPECT_EQ(0.5f, m.getControlValue(0));
    EXPECT_EQ(2.0f, m.getNaturalValue(0));
}

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

TEST(ParamText, FixedFormsNamesAndUnitsStayInsideTheirBuffers) {
    auto beat = makeManager(kBeat, 3), linear = makeManager({kParamLinear, 0, 1});
    char text[40];
    const auto expectText = [&](const std::string& expected) { // then the untouched canary
        EXPECT_EQ(expected + kCanary, std::string(text, expected.size() + 1));
        std::memset(text, kCanary, sizeof text);
    };
    std::memset(text, kCanary, sizeof text);
    beat->getTextEditString(0, text, -1);
    expectText("");
    beat->getTextEditString(0, text, 0);
    expectText(std::string(1, '\0'));
    beat->getTextEditString(0, text, 8);
    expectText(std::string("1/8T\0", 5));
    beat->getValueStringFromVSTvalue(0, text, 0.0f, 40); // formatted like a host text
    expectText(std::string("1/32 \0\0\0", 8));
    beat->getValueStringFromVSTvalue(0, text, 0.0f, 3);
    expectText(std::string("1/\0", 3));
    linear->setVSTvalue(0, 1e30f); // prints far more than the work buffer holds
    linear->getVSTvalueString(0, text);
    expectText(std::string("10000000\0", 9));
    linear->floatToTimeStr(text, 1500.0f, 3);
    expectText(std::string("1.5\0", 4));
    linear->floatToTimeStr(text, 250.0f, 8);
    expectText(std::string("250\0", 4));

    const struct {
        OneParam param;
        int maxLen;
        const char* text;
    } units[] = {{kTime, 4, "ms"},         {kTime, 5, "msec"},     {kTime, 1, "m"},
                 {kTimeSynced, 8, ""},     {kTimeNorm, 8, "msec"}, {kRate, 8, "Hz"},
                 {kRateNormSynced, 8, ""}, {kLinear, 1, "d"}};
    for (const auto& u : units) {
        makeManager(u.param)->getUnitsName(0, text, u.maxLen);
        expectText(u.text + std::string(u.maxLen + 1 - std::strlen(u.text), '\0'));
    }
    tq_paramManager m;
    m.newParameter(0, "Gn 1 Rate", "G1 Rate", "", 1, 10, 1, kParamLinear);
    m.getName(0, text, 8);
    expectText(std::string("G1 Rate\0\0", 9));
    m.getName(0, text, 4);
    expectText(std::string("G1 R\0", 5));
    m.getName(0, text, 20);
    expectText(std::string("Gn 1 Rate") + std::string(12, '\0'));

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

TEST(ParamStates, RecordRestoreAndMementos) {
    tq_paramManager m;
    for (long i = 0; i < 6; ++i) m.newParameter(i, "P", "P", "", 0, 10, i, kParamLinear);
    std::set<unsigned int> two{2}, fiveTwo{5, 2};
    EXPECT_EQ(0, m.createState(fiveTwo));
    EXPECT_EQ(1, m.createState(two));
    std::unique_ptr<tq_paramManager::paramMemento> taken(m.createMemento());
    const auto& states = taken->getState(); // every host value, then the states
    ASSERT_EQ(3u, states.size());
    EXPECT_EQ(6u, states[0].size());
    ASSERT_EQ(2u, states[1].size());
    EXPECT_EQ(2u, states[1][0].index); // ascending indices
    EXPECT_FLOAT_EQ(0.2f, states[1][0].value);
    EXPECT_EQ(5u, states[1][1].index);

    m.setVSTvalue(2, 0.9f);
    m.saveState(1);
    m.setVSTvalue(2, 0.1f);
    m.restoreState(1);
    EXPECT_FLOAT_EQ(9.0f, m.getNaturalValue(2));
    m.saveState(7); // numbers never handed out are ignored rather than read
    m.restoreState(-1);
    m.restoreState(2);
    EXPECT_FLOAT_EQ(0.9f, m.getVSTvalue(2));

    m.createState(two);
    m.setMemento(taken.get()); // values back, and exactly its states
    for (long i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(static_cast<float>(i), m.getNaturalValue(i));
    EXPECT_EQ(2, m.createState(two));
    m.setVSTvalue(3, 0.7f);
    m.setMemento(nullptr);
    char data[4] = {};
    taken->restore(data, 1000);
    EXPECT_TRUE(taken->getState().empty());
    m.setMemento(taken.get());
    EXPECT_FLOAT_EQ(0.7f, m.getVSTvalue(3));
    EXPECT_EQ(3, m.createState(two));

    m.newParameter(-2, "Neg", "N", "", 0, 1, 0.25f, kParamLinear);
    taken.reset(m.createMemento());
    m.setVSTvalue(-2, 0.75f);
    m.setMemento(taken.get());
    EXPECT_FLOAT_EQ(0.25f, m.getVSTvalue(-2));
    EXPECT_EQ(7, m.getParameterCount());
}

} // namespace

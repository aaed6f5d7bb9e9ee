#include "tests/params/param_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr OneParam kLinear{kParamLinear, 1.0f, 10.0f};
constexpr OneParam kOnOff{kParamOnOff, 0.0f, 1.0f};
constexpr OneParam kPercent{kParamPercent, 0.0f, 100.0f};
constexpr OneParam kFine{kParamLinearFine, 0.0f, 2.0f};
constexpr OneParam kLog{kParamLog, 20.0f, 20000.0f};
constexpr OneParam kDecibel{kParamDecibel, -60.0f, 6.0f};
constexpr OneParam kInteger{kParamInteger, 0.0f, 2.0f};
constexpr OneParam kBeat{kParamBeatDivision, 0.0f, 14.0f};
constexpr OneParam kTime{kParamSyncTime, 10.0f, 1000.0f};
constexpr OneParam kTimeSynced{kParamSyncTime, 10.0f, 1000.0f, true};
constexpr OneParam kRate{kParamSyncRate, 0.1f, 10.0f};
constexpr OneParam kRateSynced{kParamSyncRate, 0.1f, 10.0f, true};
constexpr OneParam kTimeNorm{kParamSyncTimeNormalized, 10.0f, 1000.0f};
constexpr OneParam kTimeNormSynced{kParamSyncTimeNormalized, 10.0f, 1000.0f, true};
constexpr OneParam kRateNorm{kParamSyncRateNormalized, 0.1f, 10.0f};
constexpr OneParam kRateNormSynced{kParamSyncRateNormalized, 0.1f, 10.0f, true};
constexpr OneParam kNote{kParamNote, 0.0f, 127.0f};
constexpr OneParam kUnknownType{static_cast<tq_paramTypes>(42), 0.0f, 10.0f};

struct Conversion {
    OneParam param;
    float in;
    float out;
    float tolerance = 0.0f;
};

void expectConversions(const Conversion* cases, size_t count,
                       float (tq_paramManager::*convert)(long, float)) {
    for (size_t i = 0; i < count; ++i) {
        const Conversion& c = cases[i];
        SCOPED_TRACE(testing::Message() << "case " << i << " type " << c.param.type);
        auto m = makeManager(c.param, c.param.minimum);
        const float result = ((*m).*convert)(0, c.in);
        if (c.tolerance > 0.0f)
            EXPECT_NEAR(c.out, result, c.tolerance);
        else
            EXPECT_FLOAT_EQ(c.out, result);
    }
}

TEST(ParamConversion, NaturalFromVSTvalueByType) {
    const Conversion cases[] = {
        {kLinear, 0.5f, 5.5f},         {kOnOff, 0.5f, 0.0f},         {kOnOff, 0.500001f, 1.0f},
        {kPercent, 0.25f, 25.0f},      {kFine, 0.5f, 1.0f},          {kLog, 0.0f, 20.0f},
        {kLog, 1.0f, 20000.0f},        {kLog, 0.5f, 632.46f, 0.05f}, {kDecibel, 1.0f, 6.0f},
        {kDecibel, 0.0f, -60.0f},      {kInteger, 0.24f, 0.0f},      {kInteger, 0.25f, 1.0f},
        {kInteger, 1.0f, 2.0f},        {kNote, 0.5f, 64.0f},         {kBeat, 1.0f, 14.0f},
        {kBeat, 0.0f, 0.0f},           {kTime, 0.5f, 505.0f},        {kTimeSynced, 1.0f, 15.0f},
        {kTimeSynced, 0.5f, 7.0f},     {kRateSynced, 1.0f, 0.0f},    {kRateSynced, 0.0f, 15.0f},
        {kRate, 0.0f, 0.1f},           {kRate, 1.0f, 10.0f},         {kTimeNorm, 0.3f, 0.3f},
        {kRateNormSynced, 0.3f, 0.3f}, {kUnknownType, 0.5f, 5.0f},
    };
    expectConversions(cases, std::size(cases), &tq_paramManager::naturalValueFromVSTvalue);
}

TEST(ParamConversion, VSTvalueFromNaturalIsClampedToUnit) {
    const Conversion cases[] = {
        {kLinear, 5.5f, 0.5f},
        {kLinear, 12.0f, 1.0f},
        {kLinear, -3.0f, 0.0f},
        {kLinear, NAN, 0.0f},
        {kOnOff, 1.0f, 1.0f},
        {kLog, 632.456f, 0.5f, 1e-5f},
        {kLog, 5.0f, 0.0f},
        {kDecibel, -27.0f, 0.5f},
        {kBeat, 14.0f, 0.9333333f},
        {kTime, 505.0f, 0.5f},
        {kTimeSynced, 7.0f, 7.0f / 15.0f},
        {kRate, 1.0f, 0.5f, 1e-6f},
        {kRateSynced, 0.0f, 1.0f},
        {kRateSynced, 15.0f, 0.0f},
        {kRateNorm, 0.3f, 0.3f},
        {kTimeNormSynced, 1.7f, 1.0f},
        {kNote, 127.0f, 1.0f},
    };
    expectConversions(cases, std::size(cases), &tq_paramManager::VSTvalueFromNaturalValue);
}

TEST(ParamConversion, DSPvalueFromNaturalByType) {
    const Conversion cases[] = {
        {kLinear, 12.0f, 10.0f},        {kLinear, 0.0f, 1.0f},
        {kPercent, 50.0f, 0.5f},        {kDecibel, 6.0f, 1.99526f, 1e-5f},
        {kDecibel, -60.0f, 0.0f},       {kBeat, 14.0f, 4.0f},
        {kBeat, 0.0f, 0.125f},          {kBeat, 40.0f, 4.0f},
        {kBeat, -3.0f, 0.125f},         {kBeat, NAN, 0.125f},
        {kTimeSynced, 15.0f, 4.0f},     {kTimeSynced, 7.0f, 0.75f},
        {kTime, 2000.0f, 2000.0f},      {kRateSynced, 0.0f, 8.0f},
        {kRateSynced, 15.0f, 0.25f},    {kRate, 50.0f, 50.0f},
        {kTimeNormSynced, 1.0f, 4.0f},  {kTimeNormSynced, 0.5f, 0.75f},
        {kTimeNorm, 0.5f, 505.0f},      {kRateNormSynced, 1.0f, 8.0f},
        {kRateNormSynced, 0.0f, 0.25f}, {kRateNorm, 0.5f, 1.0f, 1e-4f},
        {kNote, 200.0f, 127.0f},        {kOnOff, NAN, 0.0f},
    };
    expectConversions(cases, std::size(cases), &tq_paramManager::dspValueFromNaturalValue);
}

TEST(ParamConversion, DecibelDSPvalueReadsTheTableAtTheStoredVSTvalue) {
    auto m = makeManager(kDecibel);
    m->setVSTvalue(0, 1.0f);
    EXPECT_NEAR(1.9952623f, m->getDSPValue(0), 1e-6f);
    m->setVSTvalue(0, 0.0f);
    EXPECT_EQ(0.0f, m->getDSPValue(0)); // entry 0, not 10^(-60/20)
}

TEST(ParamConversion, SettersStoreTheirArgumentAndDeriveTheOther) {
    auto m = makeManager(kLinear, 1.0f);
    m->setNaturalValue(0, 12.0f);
    EXPECT_EQ(12.0f, m->getNaturalValue(0));
    EXPECT_EQ(1.0f, m->getVSTvalue(0));
    EXPECT_EQ(10.0f, m->getDSPValue(0));

    auto onOff = makeManager(kOnOff);
    onOff->setVSTvalue(0, 0.5f);
    EXPECT_EQ(0.5f, onOff->getVSTvalue(0));
    EXPECT_EQ(0.0f, onOff->getNaturalValue(0));
}

TEST(ParamConversion, ModulatedDSPvalueClampsAndStoresNothing) {
    auto m = makeManager(kLinear);
    m->setVSTvalue(0, 0.5f);
    EXPECT_EQ(10.0f, m->getModulatedDSPValue(0, 0.7f));
    EXPECT_EQ(1.0f, m->getModulatedDSPValue(0, -0.9f));
    EXPECT_EQ(0.5f, m->getVSTvalue(0));
    EXPECT_EQ(5.5f, m->getNaturalValue(0));
}

TEST(ParamConversion, HostSyncSwitchKeepsTheVSTvalue) {
    auto m = makeManager(kTime);
    EXPECT_FALSE(m->getHostSynced(0));
    m->setHostSynced(0, true);
    m->setVSTvalue(0, 0.5f);
    EXPECT_EQ(7.0f, m->getNaturalValue(0));
    m->setHostSynced(0, false);
    EXPECT_EQ(0.5f, m->getVSTvalue(0));
    EXPECT_EQ(505.0f, m->getNaturalValue(0));

    // The aux entry is the flag, but only setVSTvalue re-derives the natural value.
    m->setAuxValue(0, 5);
    EXPECT_EQ(5, m->getAuxValue(0));
    EXPECT_TRUE(m->getHostSynced(0));
    EXPECT_EQ(505.0f, m->getNaturalValue(0));

    auto linear = makeManager(kLinear);
    linear->setVSTvalue(0, 0.5f);
    linear->setHostSynced(0, true);
    linear->setAuxValue(0, 1);
    EXPECT_FALSE(linear->getHostSynced(0));
    EXPECT_EQ(5.5f, linear->getNaturalValue(0));
}

struct Step {
    OneParam param;
    float from;
    bool up;
    float to;
};

TEST(ParamStepping, StepsWrapOrStopByType) {
    const Step cases[] = {
        {kInteger, 2.0f, true, 0.0f}, {kInteger, 0.0f, false, 2.0f},
        {kInteger, 1.0f, true, 2.0f}, {kBeat, 14.0f, true, 0.0f},
        {kBeat, 0.0f, false, 14.0f},  {kNote, 127.0f, true, 0.0f},
        {kNote, 0.0f, false, 0.0f},   {kNote, 60.0f, false, 59.0f},
        {kOnOff, 0.0f, true, 1.0f},   {kOnOff, 1.0f, false, 0.0f},
        {kOnOff, 0.7f, true, 0.0f},   {kLinear, 9.5f, true, 10.0f},
        {kLinear, 1.5f, false, 1.0f}, {kLinear, 5.0f, true, 6.0f},
        {kLog, 20.5f, false, 20.0f},  {kTimeSynced, 15.0f, true, 16.0f},
    };
    for (const Step& s : cases) {
        SCOPED_TRACE(testing::Message() << "type " << s.param.type << " from " << s.from);
        auto m = makeManager(s.param, s.param.minimum);
        m->setNaturalValue(0, s.from);
        if (s.up)
            m->incrementNaturalValue(0);
        else
            m->decrementNaturalValue(0);
        EXPECT_FLOAT_EQ(s.to, m->getNaturalValue(0));
        EXPECT_FLOAT_EQ(m->VSTvalueFromNaturalValue(0, s.to), m->getVSTvalue(0));
    }
}

TEST(ParamRandomize, BinaryTypesGetEndsOthersStayInRange) {
    std::srand(7);
    auto onOff = makeManager(kOnOff);
    auto binaryInteger = makeManager({kParamInteger, 0.0f, 1.0f});
    auto linear = makeManager(kLinear);
    for (int i = 0; i < 200; ++i) {
        onOff->randomize(0);
        binaryInteger->randomize(0);
        linear->randomize(0);
        EXPECT_TRUE(onOff->getVSTvalue(0) == 0.0f || onOff->getVSTvalue(0) == 1.0f);
        EXPECT_TRUE(binaryInteger->getVSTvalue(0) == 0.0f || binaryInteger->getVSTvalue(0) == 1.0f);
        EXPECT_GE(linear->getVSTvalue(0), 0.0f);
        EXPECT_LE(linear->getVSTvalue(0), 1.0f);
    }
    linear->setVSTvalue(0, 0.25f);
    linear->setRandomizeable(0, false);
    EXPECT_FALSE(linear->canRandomize(0));
    linear->randomize(0);
    EXPECT_EQ(0.25f, linear->getVSTvalue(0));
}

TEST(ParamRegistry, UndeclaredReadsInsertZeroIntoTheMapRead) {
    tq_paramManager m;
    m.newParameter(3, "Three", "3", "", 0.0f, 1.0f, 1.0f, kParamOnOff);
    EXPECT_EQ(1, m.getParameterCount());
    EXPECT_EQ(1.0f, m.getNaturalValue(3));
    EXPECT_EQ(1.0f, m.getVSTvalue(3));
    EXPECT_TRUE(m.canRandomize(3));

    EXPECT_EQ(kParamLinear, m.getType(9));
    EXPECT_EQ(0.0f, m.getMaximumValue(9));
    EXPECT_EQ("", m.getName(9));
    EXPECT_FALSE(m.canRandomize(9));
    EXPECT_EQ(1, m.getParameterCount());
    EXPECT_EQ(0.0f, m.getVSTvalue(9));
    EXPECT_EQ(2, m.getParameterCount());
}

TEST(ParamRegistry, RedeclarationReplacesEverything) {
    tq_paramManager m;
    m.newParameter(0, "Freq", "F", "Hz", 20.0f, 20000.0f, 1000.0f, kParamLog);
    m.newParameter(0, "Freq", "F", "Hz", 20.0f, 20000.0f, 20000.0f, kParamLog);
    EXPECT_EQ(1.0f, m.getVSTvalue(0));
    m.newParameter(0, "Gain", "G", "", 0.0f, 4.0f, 2.0f, kParamLinear);
    EXPECT_EQ(1, m.getParameterCount());
    EXPECT_EQ(kParamLinear, m.getType(0));
    EXPECT_EQ("Gain", m.getName(0));
    EXPECT_EQ(0.5f, m.getVSTvalue(0));
    EXPECT_EQ(2.0f, m.getDefaultValue(0));
    EXPECT_EQ(0.0f, m.getMinimumValue(0));
    EXPECT_EQ(m.getVSTvalue(0), m.getControlValue(0));
}

} // namespace

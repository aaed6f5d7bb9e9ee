#include "tests/params/param_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

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
    auto m = makeManager(kLinear);
    m->setVSTvalue(0, 0.5f);
    EXPECT_EQ(10.0f, m->getModulatedDSPValue(0, 0.7f));
    EXPECT_EQ(1.0f, m->getModulatedDSPValue(0, -0.9f));
    EXPECT_EQ(5.5f, m->getNaturalValue(0));
    m->setHostSynced(0, true);
    m->setAuxValue(0, 1);
    EXPECT_FALSE(m->getHostSynced(0));

    auto time = makeManager(kTimeSynced);
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
        onOff->randomize(0);
        binary->randomize(0);
        linear->randomize(0);
        EXPECT_EQ(onOff->getVSTvalue(0), std::round(onOff->getVSTvalue(0)));
        EXPECT_EQ(binary->getVSTvalue(0), std::round(binary->getVSTvalue(0)));
        EXPECT_TRUE(linear->getVSTvalue(0) >= 0.0f && linear->getVSTvalue(0) <= 1.0f);
    }
    linear->setVSTvalue(0, 0.25f);
    linear->setRandomizeable(0, false);
    linear->randomize(0);
    EXPECT_EQ(0.25f, linear->getVSTvalue(0));
}

TEST(ParamRegistry, UndeclaredReadsInsertZeroIntoTheMapReadOnly) {
    tq_paramManager m;
    m.newParameter(3, "Three", "3", "", 0, 1, 1, kParamOnOff);
    EXPECT_EQ(1.0f, m.getVSTvalue(3));
    EXPECT_TRUE(m.canRandomize(3));
    EXPECT_EQ(kParamLinear, m.getType(9));
    EXPECT_EQ("", m.getName(9));
    EXPECT_FALSE(m.canRandomize(9));
    EXPECT_EQ(1, m.getParameterCount());
    EXPECT_EQ(0.0f, m.getVSTvalue(9));
    EXPECT_EQ(2, m.getParameterCount());
}

TEST(ParamRegistry, RedeclarationReplacesEverything) {
    tq_paramManager m;
    m.newParameter(0, "Freq", "F", "Hz", 20, 20000, 1000, kParamLog);
    m.newParameter(0, "Freq", "F", "Hz", 20, 20000, 20000, kParamLog);
    EXPECT_EQ(1.0f, m.getVSTvalue(0));
    m.newParameter(0, "Gain", "G", "", 0, 4, 2, kParamLinear);
    EXPECT_EQ(1, m.getParameterCount());
    EXPECT_EQ("Gain", m.getName(0));
    EXPECT_EQ(0.5f, m.getControlValue(0));
    EXPECT_EQ(2.0f, m.getNaturalValue(0));
}

} // namespace

#include "params/tq_paramManager.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ParamStates : public testing::Test {
protected:
    void SetUp() override {
        for (long i = 0; i < 6; ++i) m.newParameter(i, "P", "P", "", 0, 10, i, kParamLinear);
    }
    std::unique_ptr<tq_paramManager::paramMemento> memento() {
        return std::unique_ptr<tq_paramManager::paramMemento>(m.createMemento());
    }
    tq_paramManager m;
    std::set<unsigned int> two{2}, fiveTwo{5, 2};
};

TEST_F(ParamStates, StatesRecordAscendingIndicesAndRestoreThroughVSTvalues) {
    EXPECT_EQ(0, m.createState(fiveTwo));
    EXPECT_EQ(1, m.createState(two));
    const auto states = memento()->getState();
    ASSERT_EQ(3u, states.size());
    ASSERT_EQ(2u, states[1].size());
    EXPECT_EQ(2u, states[1][0].index);
    EXPECT_FLOAT_EQ(0.2f, states[1][0].value);
    EXPECT_EQ(5u, states[1][1].index);

    m.setVSTvalue(2, 0.9f);
    m.saveState(1);
    m.setVSTvalue(2, 0.1f);
    m.restoreState(1);
    EXPECT_FLOAT_EQ(9.0f, m.getNaturalValue(2));
    // Numbers never handed out are ignored rather than read.
    m.saveState(7);
    m.restoreState(-1);
    m.restoreState(2);
    EXPECT_FLOAT_EQ(0.9f, m.getVSTvalue(2));
}

TEST_F(ParamStates, MementoPutsBackValuesAndExactlyItsStates) {
    m.createState(two);
    m.createState(fiveTwo);
    const auto taken = memento();
    EXPECT_EQ(6u, taken->getState()[0].size());
    for (long i = 0; i < 6; ++i) m.setVSTvalue(i, 1.0f);
    m.createState(two);
    m.setMemento(taken.get());
    for (long i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(static_cast<float>(i), m.getNaturalValue(i));
    EXPECT_EQ(2, m.createState(two));
}

TEST_F(ParamStates, EmptyOrMissingMementosChangeNothing) {
    m.createState(two);
    m.setVSTvalue(3, 0.7f);
    m.setMemento(nullptr);
    const auto emptied = memento();
    char data[4] = {};
    emptied->restore(data, 1000);
    EXPECT_TRUE(emptied->getState().empty());
    m.setMemento(emptied.get());
    EXPECT_FLOAT_EQ(0.7f, m.getVSTvalue(3));
    EXPECT_EQ(1, m.createState(two));
}

TEST(ParamMemento, NegativeIndicesRoundTrip) {
    tq_paramManager m;
    m.newParameter(-2, "Neg", "N", "", 0, 1, 0.25f, kParamLinear);
    std::unique_ptr<tq_paramManager::paramMemento> memento(m.createMemento());
    m.setVSTvalue(-2, 0.75f);
    m.setMemento(memento.get());
    EXPECT_FLOAT_EQ(0.25f, m.getVSTvalue(-2));
    EXPECT_EQ(1, m.getParameterCount());
}

} // namespace

#include "params/tq_paramManager.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ParamStates : public testing::Test {
protected:
    void SetUp() override {
        for (long i = 0; i < 6; ++i)
            m.newParameter(i, "P", "P", "", 0.0f, 10.0f, static_cast<float>(i), kParamLinear);
    }
    tq_paramManager m;
};

TEST_F(ParamStates, CreateStateRecordsAscendingIndices) {
    std::set<unsigned int> indices{5, 2};
    EXPECT_EQ(0, m.createState(indices));
    EXPECT_EQ(1, m.createState(indices));
    std::unique_ptr<tq_paramManager::paramMemento> memento(m.createMemento());
    const auto& states = memento->getState();
    ASSERT_EQ(3u, states.size());
    ASSERT_EQ(2u, states[1].size());
    EXPECT_EQ(2u, states[1][0].index);
    EXPECT_FLOAT_EQ(0.2f, states[1][0].value);
    EXPECT_EQ(5u, states[1][1].index);
    EXPECT_FLOAT_EQ(0.5f, states[1][1].value);
}

TEST_F(ParamStates, SaveAndRestoreRederiveNaturalValues) {
    std::set<unsigned int> indices{2};
    const int state = m.createState(indices);
    m.setVSTvalue(2, 0.9f);
    m.saveState(state);
    m.setVSTvalue(2, 0.1f);
    m.restoreState(state);
    EXPECT_FLOAT_EQ(0.9f, m.getVSTvalue(2));
    EXPECT_FLOAT_EQ(9.0f, m.getNaturalValue(2));
    // Numbers never handed out are ignored rather than read.
    m.saveState(7);
    m.restoreState(-1);
    m.restoreState(1);
    EXPECT_FLOAT_EQ(0.9f, m.getVSTvalue(2));
}

TEST_F(ParamStates, MementoRestoresValuesAndStates) {
    std::set<unsigned int> first{1}, second{3, 4};
    m.createState(first);
    m.createState(second);
    std::unique_ptr<tq_paramManager::paramMemento> memento(m.createMemento());
    ASSERT_EQ(3u, memento->getState().size());
    EXPECT_EQ(6u, memento->getState()[0].size());

    for (long i = 0; i < 6; ++i) m.setVSTvalue(i, 1.0f);
    m.createState(first);
    m.setMemento(memento.get());
    for (long i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(static_cast<float>(i) / 10.0f, m.getVSTvalue(i));
        EXPECT_FLOAT_EQ(static_cast<float>(i), m.getNaturalValue(i));
    }
    // Exactly the two stored states of the memento: a third number is unknown again.
    m.setVSTvalue(1, 1.0f);
    m.restoreState(0);
    EXPECT_FLOAT_EQ(0.1f, m.getVSTvalue(1));
    EXPECT_EQ(2, m.createState(first));
}

TEST_F(ParamStates, EmptyOrMissingMementosChangeNothing) {
    std::set<unsigned int> indices{0};
    m.createState(indices);
    m.setVSTvalue(3, 0.7f);
    m.setMemento(nullptr);
    std::unique_ptr<tq_paramManager::paramMemento> memento(m.createMemento());
    char data[4] = {};
    memento->restore(data, 1000);
    EXPECT_TRUE(memento->getState().empty());
    m.setMemento(memento.get());
    EXPECT_FLOAT_EQ(0.7f, m.getVSTvalue(3));
    EXPECT_EQ(1, m.createState(indices));
}

TEST(ParamMemento, NegativeIndicesRoundTrip) {
    tq_paramManager m;
    m.newParameter(-2, "Neg", "N", "", 0.0f, 1.0f, 0.25f, kParamLinear);
    std::unique_ptr<tq_paramManager::paramMemento> memento(m.createMemento());
    m.setVSTvalue(-2, 0.75f);
    m.setMemento(memento.get());
    EXPECT_FLOAT_EQ(0.25f, m.getVSTvalue(-2));
    EXPECT_EQ(1, m.getParameterCount());
}

} // namespace

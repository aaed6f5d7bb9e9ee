#include "dsp/table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

struct Table {
    explicit Table(int n) { table_init(&t, n); }
    ~Table() { table_free(&t); }
    float operator[](int i) const { return t.data[i]; }
    _table_struct t{};
};

TEST(Table, ExponentialCheckpointsAndInverse) {
    Table e(5);
    table_fill(&e.t, 800, 20.0f, 20000.0f);
    for (int i = 0; i < 6; ++i) { // 20, 112.47, 632.46, 3556.6, 20000 and the guard
        const double expected = 20 * std::pow(1000.0, std::min(i, 4) / 4.0);
        EXPECT_NEAR(e[i], expected, expected * 1e-6) << i;
    }
    EXPECT_EQ(e.t.output, 20.0f);
    EXPECT_EQ(table_lookup(&e.t, 1.0f), 20000.0f);
    EXPECT_EQ(e.t.output, 20000.0f);
    EXPECT_NEAR(table_lookup(&e.t, 0.125f), (e[0] + e[1]) / 2, 1e-4);
    EXPECT_NEAR(table_inverse_calculate(800, 632.5f, 20.0f, 20000.0f), 0.5f, 1e-4);
}

TEST(Table, CurveKinds) {
    const struct {
        int kind;
        float lo, hi, first, middle, last;
    } rows[] = {
        {810, 0, 0, 0, float(std::log10(0.55) + 1), 1},
        {810, 0, 2, 0, float((std::log10(0.55) + 1) * 2), 2},
        {812, -60, 0, 0, 0.0316228f, 1},
        {820, 0, 0, 1, 0.707107f, 0},
        {821, 0, 0, 0, 0.707107f, 1},
        {830, 1, 60, 0, float(20 * std::log10(0.5) / 60 + 1), 1},
        {840, 0, 0, -1, 0, 1},
        {842, 0, 0, 0, 0.707107f, 1},
        {843, 0, 0, 1, 0.707107f, 0},
        {845, 0, 0, 0, 0.5f, 1},
    };
    for (const auto& r : rows) {
        Table t(11);
        table_fill(&t.t, r.kind, r.lo, r.hi);
        EXPECT_NEAR(t[0], r.first, 1e-6) << r.kind;
        EXPECT_NEAR(t[5], r.middle, 1e-6) << r.kind;
        EXPECT_NEAR(t[10], r.last, 1e-6) << r.kind;
        EXPECT_EQ(t[11], t[10]) << r.kind;
        EXPECT_EQ(t.t.output, t[0]) << r.kind;
    }
}

TEST(Table, UnknownKindAndDegenerateTables) {
    Table t(4);
    t.t.data[0] = 2.0f;
    t.t.data[3] = 7.0f;
    table_fill(&t.t, 899, 1, 2); // no curve, but the guard and the output
    EXPECT_EQ(t[1], 0.0f);
    EXPECT_EQ(t[4], 7.0f);
    EXPECT_EQ(t.t.output, 2.0f);

    _table_struct none{3, nullptr, 5.0f};
    table_fill(&none, 800, 1, 2);
    EXPECT_EQ(none.output, 5.0f);

    Table one(1);
    table_fill(&one.t, 800, 20, 200);
    EXPECT_EQ(table_lookup(&one.t, 0.7f), 20.0f);
    EXPECT_EQ(table_inverse_lookup(&one.t, 20.0f), 0.0f);
    Table zero(0);
    table_fill(&zero.t, 800, 20, 200);
    EXPECT_EQ(table_lookup(&zero.t, 1.0f), 0.0f);
}

TEST(Table, LookupsStayInsideTheTable) {
    Table t(9);
    table_fill(&t.t, 840, 0, 0);
    EXPECT_EQ(table_lookup_clip(&t.t, 1.7f), table_lookup(&t.t, 1.0f));
    EXPECT_EQ(table_lookup_clip_bipolar(&t.t, 0.0f), table_lookup(&t.t, 0.5f));
    EXPECT_EQ(table_lookup_clip_bipolar(&t.t, -2.0f), t[0]);
    EXPECT_EQ(table_lookup(&t.t, -3.0f), t[0]);
    EXPECT_EQ(table_lookup(&t.t, NAN), t[0]);
}

TEST(Table, Inverses) {
    Table t(8);
    for (int i = 0; i <= 8; ++i) t.t.data[i] = static_cast<float>(i);
    // Probes 4, 6, 5: the last probe over n, not over n - 1.
    EXPECT_EQ(table_inverse_lookup(&t.t, 5.5f), 0.625f);
    EXPECT_EQ(table_inverse_lookup(&t.t, 100.0f), 0.875f);

    Table log(101);
    table_fill(&log.t, 810, 0, 3);
    EXPECT_NEAR(table_inverse_calculate(810, log[40], 0, 3), 0.4f, 1e-5);
    EXPECT_EQ(table_inverse_calculate(842, 0.5f, 0, 1), -999.9f);
}

TEST(Table, QuarterSine) {
    EXPECT_EQ(quarterSine[1], 0.012272f);
    EXPECT_EQ(quarterSine[127], 0.999981f);
    for (int i = 0; i < 127; ++i) EXPECT_NEAR(quarterSine[i], std::sin(i * M_PI / 256), 6e-7);
}

} // namespace

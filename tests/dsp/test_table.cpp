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

// Entries 0, 5 and 10 of an eleven-point table; the guard repeats the last.
TEST(Table, CurveKinds) {
    const struct {
        int kind;
        float lo, hi, first, middle, last;
    } rows[] = {
        // clang-format off
        {800, 20, 20000, 20, 632.45553f, 20000}, {810, 0, 0, 0, float(std::log10(0.55) + 1), 1},
        {810, 0, 2, 0, float((std::log10(0.55) + 1) * 2), 2}, {812, -60, 0, 0, 0.0316228f, 1},
        {820, 0, 0, 1, 0.707107f, 0}, {821, 0, 0, 0, 0.707107f, 1},
        {830, 1, 60, 0, float(20 * std::log10(0.5) / 60 + 1), 1}, {840, 0, 0, -1, 0, 1},
        {842, 0, 0, 0, 0.707107f, 1}, {843, 0, 0, 1, 0.707107f, 0}, {845, 0, 0, 0, 0.5f, 1},
        // clang-format on
    };
    for (const auto& r : rows) {
        Table t(11);
        table_fill(&t.t, r.kind, r.lo, r.hi);
        const double tolerance = 1e-6 * std::max(1.0f, r.last);
        EXPECT_NEAR(t[0], r.first, tolerance) << r.kind;
        EXPECT_NEAR(t[5], r.middle, tolerance) << r.kind;
        EXPECT_NEAR(t[10], r.last, tolerance) << r.kind;
        EXPECT_EQ(t[11], t[10]) << r.kind;
        EXPECT_EQ(t.t.output, t[0]) << r.kind;
    }
}

TEST(Table, LookupsStayInsideEvenDegenerateTables) {
    Table e(5);
    table_fill(&e.t, TABLE_EXPONENTIAL, 20.0f, 20000.0f);
    EXPECT_EQ(table_lookup(&e.t, 1.0f), 20000.0f);
    EXPECT_NEAR(table_lookup(&e.t, 0.125f), (e[0] + e[1]) / 2, 1e-4);
    EXPECT_EQ(table_lookup_clip(&e.t, 1.7f), 20000.0f);
    EXPECT_EQ(table_lookup_clip_bipolar(&e.t, 0.0f), e[2]);
    for (float x : {-3.0f, NAN}) EXPECT_EQ(table_lookup(&e.t, x), e[0]);
    EXPECT_EQ(table_lookup_clip_bipolar(&e.t, -2.0f), e[0]);

    Table t(4), one(1), zero(0);
    t.t.data[0] = 2.0f;
    t.t.data[3] = 7.0f;
    table_fill(&t.t, 899, 1, 2); // no curve, but the guard and the output
    EXPECT_EQ(t[1], 0.0f);
    EXPECT_EQ(t[4], 7.0f);
    EXPECT_EQ(t.t.output, 2.0f);
    _table_struct none{3, nullptr, 5.0f};
    table_fill(&none, TABLE_EXPONENTIAL, 1, 2);
    EXPECT_EQ(none.output, 5.0f);
    table_fill(&one.t, TABLE_EXPONENTIAL, 20, 200);
    EXPECT_EQ(table_lookup(&one.t, 0.7f), 20.0f);
    EXPECT_EQ(table_inverse_lookup(&one.t, 20.0f), 0.0f);
    table_fill(&zero.t, TABLE_EXPONENTIAL, 20, 200);
    EXPECT_EQ(table_lookup(&zero.t, 1.0f), 0.0f);
}

TEST(Table, InversesAndQuarterSine) {
    Table t(8);
    for (int i = 0; i <= 8; ++i) t.t.data[i] = static_cast<float>(i);
    // Probes 4, 6, 5: the last probe over n, not over n - 1.
    EXPECT_EQ(table_inverse_lookup(&t.t, 5.5f), 0.625f);
    EXPECT_EQ(table_inverse_lookup(&t.t, 100.0f), 0.875f);
    Table log(101);
    table_fill(&log.t, TABLE_LOGARITHMIC, 0, 3);
    EXPECT_NEAR(table_inverse_calculate(TABLE_LOGARITHMIC, log[40], 0, 3), 0.4f, 1e-5);
    EXPECT_NEAR(table_inverse_calculate(TABLE_EXPONENTIAL, 632.5f, 20, 20000), 0.5f, 1e-4);
    EXPECT_EQ(table_inverse_calculate(TABLE_QUARTER_SINE, 0.5f, 0, 1), -999.9f);

    for (int i = 0; i < 127; ++i) EXPECT_NEAR(quarterSine[i], std::sin(i * M_PI / 256), 6e-7);
}

} // namespace

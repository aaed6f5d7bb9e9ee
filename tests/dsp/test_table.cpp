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
    for (int i = 0; i < 6; ++i) {
        const double expected = 20 * std::pow(1000.0, std::min(i, 4) / 4.0);
        EXPECT_NEAR(e[i], expected, expected * 1e-6) << i;
    }
    EXPECT_NEAR(e[2], 632.456, 1e-3);
    EXPECT_EQ(e.t.output, 20.0f);
    EXPECT_EQ(table_lookup(&e.t, 1.0f), 20000.0f);
    EXPECT_EQ(e.t.output, 20000.0f);
    EXPECT_NEAR(table_inverse_calculate(800, 632.5f, 20.0f, 20000.0f), 0.5f, 1e-4);
    EXPECT_NEAR(table_lookup(&e.t, 0.125f), (20.0f + 112.47f) / 2, 0.01);
}

TEST(Table, CurveKindsHitTheirEnds) {
    struct {
        int kind;
        float lo, hi, first, last;
    } rows[] = {
        {810, 0, 0, 0, 1}, {810, 0, 50, 0, 50}, {812, -60, 0, 0, 1}, {820, 0, 0, 1, 0},
        {821, 0, 0, 0, 1}, {830, 1, 60, 0, 1},  {840, 0, 0, -1, 1},  {842, 0, 0, 0, 1},
        {843, 0, 0, 1, 0}, {845, 0, 0, 0, 1},
    };
    for (const auto& r : rows) {
        Table t(33);
        table_fill(&t.t, r.kind, r.lo, r.hi);
        EXPECT_NEAR(t[0], r.first, 1e-6) << r.kind;
        EXPECT_NEAR(t[32], r.last, 1e-6) << r.kind;
        EXPECT_EQ(t[33], t[32]) << r.kind;
        EXPECT_EQ(t.t.output, t[0]) << r.kind;
    }
}

TEST(Table, CurveShapes) {
    Table fader(11), fade(11), half(11);
    table_fill(&fader.t, 830, 1.0f, 60.0f); // 60 dB range
    EXPECT_NEAR(fader[5], 20 * std::log10(0.5) / 60 + 1, 1e-6);
    table_fill(&fade.t, 820, 0, 0);
    Table rising(11);
    table_fill(&rising.t, 821, 0, 0);
    for (int i = 0; i <= 10; ++i) // equal power: the squares sum to 1
        EXPECT_NEAR(fade[i] * fade[i] + rising[i] * rising[i], 1.0, 1e-6);
    table_fill(&half.t, 840, 0, 0);
    EXPECT_NEAR(half[5], 0.0, 1e-7);
    Table log(11);
    table_fill(&log.t, 810, 0, 2);
    EXPECT_NEAR(log[5], (std::log10(0.55) + 1) * 2, 1e-6);
}

TEST(Table, UnknownKindAndEmptyTables) {
    Table t(4);
    t.t.data[3] = 7.0f;
    t.t.data[0] = 2.0f;
    table_fill(&t.t, 899, 1, 2);
    EXPECT_EQ(t[1], 0.0f);
    EXPECT_EQ(t[4], 7.0f);
    EXPECT_EQ(t.t.output, 2.0f);

    _table_struct none{3, nullptr, 5.0f};
    table_fill(&none, 800, 1, 2);
    EXPECT_EQ(none.output, 5.0f);

    Table one(1);
    table_fill(&one.t, 800, 20, 200);
    EXPECT_EQ(one[0], 20.0f);
    EXPECT_EQ(table_lookup(&one.t, 0.7f), 20.0f);
    EXPECT_EQ(table_inverse_lookup(&one.t, 20.0f), 0.0f);

    Table zero(0); // nothing to read, nothing to write outside the single entry
    table_fill(&zero.t, 800, 20, 200);
    EXPECT_EQ(table_lookup(&zero.t, 1.0f), 0.0f);
}

TEST(Table, ClippedLookups) {
    Table t(9);
    table_fill(&t.t, 840, 0, 0);
    EXPECT_EQ(table_lookup_clip(&t.t, 1.7f), table_lookup(&t.t, 1.0f));
    EXPECT_EQ(table_lookup_clip(&t.t, -3.0f), t[0]);
    EXPECT_EQ(table_lookup_clip_bipolar(&t.t, 0.0f), table_lookup(&t.t, 0.5f));
    EXPECT_EQ(table_lookup_clip_bipolar(&t.t, -2.0f), t[0]);
    EXPECT_EQ(table_lookup(&t.t, NAN), t[0]);
}

TEST(Table, InverseLookupBisects) {
    Table t(8);
    for (int i = 0; i <= 8; ++i) t.t.data[i] = static_cast<float>(i);
    // Probes 4, 6, 5: the answer is the last probe over n, not over n - 1.
    EXPECT_EQ(table_inverse_lookup(&t.t, 5.5f), 0.625f);
    EXPECT_EQ(table_inverse_lookup(&t.t, -1.0f), 0.125f);
    EXPECT_EQ(table_inverse_lookup(&t.t, 100.0f), 0.875f);
}

TEST(Table, InverseFormulas) {
    Table log(101);
    table_fill(&log.t, 810, 0, 3);
    EXPECT_NEAR(table_inverse_calculate(810, log[40], 0, 3), 0.4f, 1e-5);
    EXPECT_EQ(table_inverse_calculate(842, 0.5f, 0, 1), -999.9f);
}

TEST(Table, QuarterSine) {
    EXPECT_EQ(quarterSine[0], 0.0f);
    EXPECT_EQ(quarterSine[1], 0.012272f);
    EXPECT_EQ(quarterSine[127], 0.999981f);
    for (int i = 0; i < 127; ++i) EXPECT_NEAR(quarterSine[i], std::sin(i * M_PI / 256), 6e-7);
}

} // namespace

#include "memory/MemoryFigures.h"

#include <gtest/gtest.h>

#include <string>

using purgix::memory::FigureText;
using purgix::memory::MemoryFigures;
using purgix::memory::NumberSeparators;

namespace {

MemoryFigures Derive(std::uint64_t totalPhys, std::uint64_t availPhys, NumberSeparators sep = {}) {
    purgix::memory::MemoryStatus r;
    r.totalPhys = totalPhys;
    r.availPhys = availPhys;
    r.totalPageFile = 2 * totalPhys;
    r.availPageFile = totalPhys;
    r.totalVirtual = 4 * totalPhys;
    r.availVirtual = 3 * totalPhys;
    MemoryFigures f;
    purgix::memory::DeriveFigures(r, sep, f);
    return f;
}

}  // namespace

// The physical row: kilobytes rounded halves away from zero, percentages from
// the rounded counts, the user's separators, totals of zero without a fault.
TEST(MemoryFigures, PhysicalRowTexts) {
    const struct {
        std::uint64_t total, avail;
        NumberSeparators sep;
        const char *totalText, *availText, *availPercent, *usedPercent;
    } rows[] = {
        {268435456, 110727168, {",", "."}, "262,144", "108,132", "41.25%", "58.75%"},
        {268435456, 110727168, {".", ","}, "262.144", "108.132", "41,25%", "58,75%"},
        {268435456, 110727168, {"\u00a0", "."}, "262\u00a0144", "108\u00a0132", "41.25%", "58.75%"},
        {268435456, 110727168, {"", "."}, "262144", "108132", "41.25%", "58.75%"},
        {3071, 1535, {",", "."}, "3", "1", "33.33%", "66.67%"},  // 1 KB of 3 KB, not 49.98 %
        {3071, 1536, {",", "."}, "3", "2", "66.67%", "33.33%"},  // exactly 1.5 KB rounds up
        {1 << 30, 1 << 30, {",", "."}, "1,048,576", "1,048,576", "100.00%", "0.00%"},
        {64ull << 30, 5ull << 30, {",", "."}, "67,108,864", "5,242,880", "7.81%", "92.19%"},
        {0, 0, {",", "."}, "0", "0", "0.00%", "0.00%"},
        {511, 100, {",", "."}, "0", "0", "0.00%", "0.00%"},  // under half a kilobyte: a total of 0 KB
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.totalText);
        const MemoryFigures f = Derive(r.total, r.avail, r.sep);
        EXPECT_EQ(f.totalPhysText.View(), r.totalText);
        EXPECT_EQ(f.availPhysText.View(), r.availText);
        EXPECT_EQ(f.availPhysPercentText.View(), r.availPercent);
        EXPECT_EQ(f.usedPhysPercentText.View(), r.usedPercent);
    }
    EXPECT_EQ(Derive(0, 0).availFraction, 0.0);
    EXPECT_EQ(Derive(0, 0).availPageFilePercentText.View(), "0.00%");
    FigureText t;
    purgix::memory::FormatGrouped(purgix::memory::Kilobytes(~0ull), ",", t);
    EXPECT_EQ(t.View(), "18,014,398,509,481,984");
}

TEST(MemoryFigures, ComparedPercentIsRoundedToFifteenDigits) {
    EXPECT_EQ(purgix::memory::RoundSignificant15(14.999999999999998), 15.0);
    // 29 / 100 * 100 computes to 28.999999999999996 in doubles.
    const MemoryFigures f = Derive(100 * 1024, 29 * 1024);
    EXPECT_EQ(f.comparedPercent, 29.0);
    EXPECT_EQ(Derive(268435456, 110727168).availFraction, 0.412490844726562);  // 108,132 / 262,144 to 15 digits
    EXPECT_EQ(f.availPhysPercentText.View(), "29.00%");
}

TEST(MemoryFigures, TwoDecimalsRoundHalvesAwayOnTheDecimalValue) {
    const struct {
        double value;
        const char* text;
    } rows[] = {{41.245, "41.25"}, {2.675, "2.68"}, {0.005, "0.01"}, {0.0049, "0.00"},
                {0.0004, "0.00"},  {99.995, "100.00"}, {0, "0.00"}};
    for (const auto& r : rows) {
        FigureText t;
        purgix::memory::FormatFixed2(r.value, ".", t);
        EXPECT_EQ(t.View(), r.text) << r.value;
    }
}

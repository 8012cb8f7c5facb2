#include "memory/MemoryFigures.h"

#include <gtest/gtest.h>

#include <string>

using purgix::memory::DeriveFigures;
using purgix::memory::FigureText;
using purgix::memory::MemoryFigures;
using purgix::platform::MemoryStatus;
using purgix::platform::NumberSeparators;

namespace {

MemoryFigures Derive(std::uint64_t totalPhys, std::uint64_t availPhys, NumberSeparators sep = {}) {
    MemoryStatus r;
    r.totalPhys = totalPhys;
    r.availPhys = availPhys;
    r.totalPageFile = 2 * totalPhys;
    r.availPageFile = totalPhys;
    r.totalVirtual = 4 * totalPhys;
    r.availVirtual = 3 * totalPhys;
    MemoryFigures f;
    DeriveFigures(r, sep, f);
    return f;
}

std::string Fixed2(double v, std::string_view dec = ".") {
    FigureText t;
    purgix::memory::FormatFixed2(v, dec, t);
    return std::string(t.View());
}

}  // namespace

TEST(MemoryFigures, WorkedExampleGivesEveryText) {
    const MemoryFigures f = Derive(268435456, 110727168);
    EXPECT_EQ(f.totalPhysText.View(), "262,144");
    EXPECT_EQ(f.availPhysText.View(), "108,132");
    EXPECT_EQ(f.availPhysPercentText.View(), "41.25%");
    EXPECT_EQ(f.usedPhysPercentText.View(), "58.75%");
    EXPECT_EQ(f.popupStatus.View(), "Available: 41.25%");
    EXPECT_EQ(f.graphCaption.View(), "Available: 41.25%     Used: 58.75%");
    EXPECT_EQ(f.totalPageFileText.View(), "524,288");
    EXPECT_EQ(f.availPageFilePercentText.View(), "50.00%");
    EXPECT_EQ(f.totalVirtualText.View(), "1,048,576");
    EXPECT_EQ(f.availVirtualPercentText.View(), "75.00%");
    EXPECT_EQ(f.availFraction, 0.412490844726562);  // 108,132 / 262,144 to 15 digits
}

TEST(MemoryFigures, KilobytesRoundHalvesAwayFromZeroAndPercentagesUseTheRoundedCounts) {
    EXPECT_EQ(Derive(3071, 1535).availPhysText.View(), "1");
    EXPECT_EQ(Derive(3071, 1536).availPhysText.View(), "2");
    // 1 KB of 3 KB, not 1535 / 3071 bytes (which would be 49.98%).
    EXPECT_EQ(Derive(3071, 1535).availPhysPercentText.View(), "33.33%");
    EXPECT_EQ(Derive(3071, 1535).usedPhysPercentText.View(), "66.67%");
    EXPECT_EQ(purgix::memory::Kilobytes(511), 0u);
    EXPECT_EQ(purgix::memory::Kilobytes(512), 1u);
}

TEST(MemoryFigures, AllAvailableShowsFullAndNoneUsed) {
    const MemoryFigures f = Derive(1 << 30, 1 << 30);
    EXPECT_EQ(f.availPhysPercentText.View(), "100.00%");
    EXPECT_EQ(f.usedPhysPercentText.View(), "0.00%");
    EXPECT_EQ(f.availFraction, 1.0);
}

TEST(MemoryFigures, UsesTheUsersSeparators) {
    EXPECT_EQ(Derive(268435456, 110727168, {".", ","}).totalPhysText.View(), "262.144");
    EXPECT_EQ(Derive(268435456, 110727168, {".", ","}).availPhysPercentText.View(), "41,25%");
    EXPECT_EQ(Derive(268435456, 110727168, {" ", ","}).totalPhysText.View(), "262 144");
    EXPECT_EQ(Derive(268435456, 110727168, {"\u00a0", "."}).totalPhysText.View(), "262\u00a0144");
    EXPECT_EQ(Derive(268435456, 110727168, {"", "."}).totalPhysText.View(), "262144");
}

TEST(MemoryFigures, TotalsOfZeroShowZeroWithoutFaulting) {
    const MemoryFigures f = Derive(0, 0);
    EXPECT_EQ(f.totalPhysText.View(), "0");
    EXPECT_EQ(f.availPhysPercentText.View(), "0.00%");
    EXPECT_EQ(f.usedPhysPercentText.View(), "0.00%");
    EXPECT_EQ(f.availPageFilePercentText.View(), "0.00%");
    EXPECT_EQ(f.availFraction, 0.0);
    EXPECT_EQ(f.comparedPercent, 0.0);
    // Below 512 bytes the total rounds to 0 KB too.
    EXPECT_EQ(Derive(511, 100).availPhysPercentText.View(), "0.00%");
}

TEST(MemoryFigures, CountsPastFourGibibytesAreExact) {
    const MemoryFigures f = Derive(64ull << 30, 5ull << 30);
    EXPECT_EQ(f.totalPhysText.View(), "67,108,864");
    EXPECT_EQ(f.totalVirtualText.View(), "268,435,456");
    EXPECT_EQ(f.availPhysPercentText.View(), "7.81%");
    FigureText t;
    purgix::memory::FormatGrouped(purgix::memory::Kilobytes(~0ull), ",", t);
    EXPECT_EQ(t.View(), "18,014,398,509,481,984");
}

TEST(MemoryFigures, ComparedPercentIsRoundedToFifteenDigits) {
    EXPECT_EQ(purgix::memory::RoundSignificant15(14.999999999999998), 15.0);
    // 29 / 100 * 100 computes to 28.999999999999996 in doubles.
    const MemoryFigures f = Derive(100 * 1024, 29 * 1024);
    EXPECT_EQ(f.comparedPercent, 29.0);
    EXPECT_EQ(f.availPhysPercentText.View(), "29.00%");
    EXPECT_EQ(purgix::memory::RoundSignificant15(0.123456789012345678), 0.123456789012346);
}

TEST(MemoryFigures, TwoDecimalsRoundHalvesAwayOnTheDecimalValue) {
    EXPECT_EQ(Fixed2(41.245), "41.25");  // stored as 41.2449999...
    EXPECT_EQ(Fixed2(2.675), "2.68");
    EXPECT_EQ(Fixed2(0.005), "0.01");
    EXPECT_EQ(Fixed2(0.0049), "0.00");
    EXPECT_EQ(Fixed2(0.0004), "0.00");
    EXPECT_EQ(Fixed2(99.995), "100.00");
    EXPECT_EQ(Fixed2(0), "0.00");
    EXPECT_EQ(Fixed2(7.5, ","), "7,50");
}

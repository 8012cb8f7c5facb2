#include "text/Decimal.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

using purgix::text::Fixed;
using purgix::text::ParseDecimal;
using purgix::text::Scientific;

// The C library here (glibc) converts exactly, halves to even, as MinGW's did
// in Purgix.exe: it is the reference.
namespace {

std::string Printf(const char* format, double v) {
    char buf[400];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// Ties, carries, both ends of the range, subnormals, and the program's own figures.
const double kEdges[] = {0.0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.125, 0.375, 0.005, 0.0049, 99.995, 41.245, 2.675,
                         9.9999999999999995, 1000000000000005.0, 1000000000000015.0, 999999999999999.5,
                         9007199254740993.0, 1e22, 1e23, 18446744073709551616.0, DBL_MAX, DBL_MIN,
                         std::nextafter(DBL_MIN, 0.0), std::numeric_limits<double>::denorm_min(), 1e-320,
                         -0.001, 0.412490844726562, 14.999999999999998, 28.999999999999996, 51.2, 1.005};

std::vector<double> Samples() {
    std::vector<double> v(std::begin(kEdges), std::end(kEdges));
    std::mt19937_64 random(2024);
    for (int i = 0; i < 1000; ++i) {
        const double any = std::bit_cast<double>(random());
        if (std::isfinite(any)) v.push_back(any);
        v.push_back(static_cast<double>(random() % 100000) / static_cast<double>(random() % 100000 + 1) * 100);
    }
    return v;
}

}  // namespace

TEST(Decimal, FormatsAsPrintfDoes) {
    for (double v : Samples()) {
        SCOPED_TRACE(Printf("%.17g", v));
        EXPECT_EQ(Scientific(v, 14), Printf("%.14e", v));
        EXPECT_EQ(Fixed(v, 2), Printf("%.2f", v));
        EXPECT_EQ(Fixed(v, 0), Printf("%.0f", v));
    }
    EXPECT_EQ(Scientific(0.5, 0), "5e-01");
    EXPECT_EQ(Fixed(-HUGE_VAL, 2), "-inf");
}

TEST(Decimal, ParsesAsStrtodDoes) {
    std::vector<std::string> texts = {
        "0", "-0", "+0.000", "007", "-.5", "5.", "1e0", "1E+2", "2.5e-1",
        "2.4703282292062327e-324",  // exactly half the smallest subnormal: to even, zero
        "2.4703282292062328e-324", "4.9406564584124654e-324", "2.2250738585072011e-308",
        "1.7976931348623157e308", "1.7976931348623158e308", "9007199254740993", "9007199254740995",
        "0.1000000000000000055511151231257827021181583404541015625", "0.10000000000000000555111512312578270211815834045410156251",
        "123456789012345678901234567890e-10", "1e-400", "-1e-9999999999999999999", "32767.49999999999999999999"};
    std::mt19937_64 random(7);
    for (double v : Samples()) {
        texts.push_back(Printf("%.17g", v));
        texts.push_back(Printf("%.14e", v));
    }
    for (int i = 0; i < 2000; ++i) {
        std::string t = std::to_string(random()) + "." + std::to_string(random());
        texts.push_back(t + "e" + std::to_string(static_cast<int>(random() % 630) - 350));
    }
    // Past the largest double: strtod's infinity, and a failure.
    for (const char* t : {"1.797693134862315808e308", "-1e309", "1e9999999999"}) texts.push_back(t);
    for (const std::string& t : texts) {
        double got = -1;
        const double expected = std::strtod(t.c_str(), nullptr);
        EXPECT_EQ(ParseDecimal(t, got), std::isfinite(expected)) << t;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(expected)) << t;
    }
}

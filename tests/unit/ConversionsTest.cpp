// The conversions of texts and numbers: stored settings, skin colours and picture
// names, the memory figures, the release's size.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <string>
#include <utility>

#include "Decimal.h"
#include "memory/MemoryFigures.h"
#include "memory/Release.h"
#include "settings/Settings.h"
#include "settings/StartWithWindows.h"
#include "skins/ColorNumber.h"
#include "skins/PicturePath.h"

using namespace purgix::settings;
using purgix::memory::FigureText;
using purgix::memory::ReleaseCharacters;
using purgix::memory::MemoryFigures;
using purgix::skins::IsPlainRelativeName;

namespace {

MemoryFigures Derive(std::uint64_t totalPhys, std::uint64_t availPhys, purgix::memory::NumberSeparators sep = {}) {
    const purgix::memory::MemoryStatus r{.totalPhys = totalPhys, .availPhys = availPhys, .totalPageFile = 2 * totalPhys,
                                         .availPageFile = totalPhys, .totalVirtual = 4 * totalPhys, .availVirtual = 3 * totalPhys};
    MemoryFigures f;
    purgix::memory::DeriveFigures(r, sep, f);
    return f;
}

}  // namespace

TEST(Settings, NumericTextBecomesASixteenBitIntegerRoundedHalvesToEvenAndBooleanTextTrueFalseOrANumber) {
    for (const auto& [text, value] : std::initializer_list<std::pair<const char*, int>>{
             {"15", 15}, {" 40 ", 40}, {"+7", 7}, {"-3", -3}, {"15.4", 15}, {"15.6", 16}, {"2.5", 2}, {"3.5", 4},
             {".9", 1}, {"1e1", 10}, {"32767", 32767}, {"-32768", -32768}})
        EXPECT_EQ(ToInteger16(text), value) << '"' << text << '"';
    for (const char* bad : {"", " ", "abc", "1x", "0x10", "inf", "nan", ".", "1e", "--1", "1,5", "32768", "-32769", "1e400"})
        EXPECT_THROW(ToInteger16(bad), ConversionError) << '"' << bad << '"';
    // A Boolean is True or False in any case, or a number.
    for (const auto& [text, value] : std::initializer_list<std::pair<const char*, bool>>{
             {"True", true}, {"tRUE", true}, {"False", false}, {"false", false}, {"0", false}, {"0.0", false},
             {"-1", true}, {"1", true}, {"70000", true}})
        EXPECT_EQ(ToBoolean(text), value) << text;
    for (const char* bad : {"", "yes", "T", "Truee", "on"}) EXPECT_THROW(ToBoolean(bad), ConversionError) << bad;
}

// The stored numbers' conversion against the C library's strtod: exact ties and their neighbours, the edges of the
// subnormal and finite ranges, and random texts of 1 to 25 digits, leading zeros, a point anywhere, every exponent.
TEST(Settings, DecimalTextsReadAsTheLibrarysStrtodReadsThem) {
    std::vector<std::string> texts = {"0", "-0", "9007199254740993", "9007199254740995", "9007199254740993.0000000000001",
                                      "2.4703282292062327e-324", "2.4703282292062328e-324", "4.9406564584124654e-324",
                                      "2.2250738585072011e-308", "1.7976931348623158e308", "1.7976931348623159e308", "1e23",
                                      "8.5e-323", "123456789012345678e-10", "0.000000000000000000000000000001e30", "1e-400"};
    std::uint64_t state = 0x2545F4914F6CDD1Dull;
    auto next = [&state] { return state ^= state << 13, state ^= state >> 7, state ^= state << 17; };
    for (int i = 0; i < 20000; ++i) {
        std::string t = next() % 2 ? "-" : "";
        const int digits = 1 + static_cast<int>(next() % (i % 4 ? 19 : 25)), point = static_cast<int>(next() % (digits + 1));
        for (int k = 0; k < digits; ++k) t += (k == point ? "." : "") + std::string(1, static_cast<char>('0' + next() % (k < 2 && i % 3 == 0 ? 1 : 10)));
        t += "e" + std::to_string(static_cast<int>(next() % 700) - 360);
        texts.push_back(t);
    }
    // Points halfway between two doubles written out in full (up to 767 significant digits: the tie goes to the even
    // neighbour), and the same with a 1 far past the 768th digit (up, then).
    for (long double tie : {(0x1p53L - 3) * 0x1p-1075L, (0x1p53L + 1) * 0x1p-1000L, (0x1p54L - 1) * 0x1p970L}) {
        char full[1200];
        std::snprintf(full, sizeof full, "%.1000Le", tie);
        texts.push_back(full);
        full[900] = '1';
        texts.push_back(full);
    }
    for (const std::string& t : texts) {
        const double expected = std::strtod(t.c_str(), nullptr), got = purgix::DecimalTextToDouble(t);
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << t << ": " << got << " against " << expected;
    }
}

// The command always names the title, whatever the executable is called; a drive root keeps one "\".
TEST(Settings, IdentityValuesComeFromTheExecutablePath) {
    for (const auto& [got, expected] : std::initializer_list<std::pair<std::string, const char*>>{
             {ExecutableName("C:\\Tools\\Purgix.exe"), "Purgix"}, {ExecutableName("C:\\Tools\\My.Purgix.EXE"), "My.Purgix"},
             {ProgramFolder("C:\\Tools\\Purgix.exe"), "C:\\Tools"}, {ProgramFolder("D:\\Purgix.exe"), "D:\\"},
             {ProgramFolder("\\\\server\\share\\Purgix.exe"), "\\\\server\\share"},
             {StartCommand(ProgramFolder("C:\\Tools\\Renamed.exe"), "Purgix"), "C:\\Tools\\Purgix.exe"},
             {StartCommand(ProgramFolder("D:\\Purgix.exe"), "Purgix"), "D:\\Purgix.exe"}})
        EXPECT_EQ(got, expected);
}

TEST(ColorNumbers, DecimalAndHexadecimalTextUpToTheFirstNul) {
    using purgix::skins::ColorNumber;
    const std::pair<std::string, purgix::ui::Color> good[] = {
        {"255", 255}, {"&HFF", 255}, {"&hff", 255}, {std::string("7") + '\0' + "99", 7}, {"16777215", 0xFFFFFF},
        {"&H80000005", purgix::ui::SystemColor(5)}, {"-1", -1}, {"&HFFFFFFFF", -1}, {" 12 ", 12}, {"&H000000000FF", 255},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
    };
    for (const auto& [text, value] : good) EXPECT_EQ(ColorNumber(text), value) << text;
    const std::string bad[] = {"", std::string("\0" "255", 4), "red", "&H", "&HFG", "&H100000000", "2147483648", "-2147483649",
                               "1e10", "&H-1", "0x10"};
    for (const auto& text : bad) EXPECT_THROW(ColorNumber(text), purgix::settings::ConversionError) << text;
}

TEST(PicturePath, OnlyNamesThatStayInsideTheFolderPass) {
    for (const char* name : {"back.bmp", "Sub/./b.png", "Sub\\..\\c.png", "Sub/..\\Sub/../d.gif", "Console.bmp", "COM0.bmp", "lpt10.png", "x..bmp"})
        EXPECT_TRUE(IsPlainRelativeName(name)) << name;
    const std::string refused[] = {
        "", "..\\x.bmp", "../x.bmp", "Sub\\..\\..\\x.bmp",
        "Sub/../../Skin/x.bmp",  // back in by name, but it left on the way
        "...\\x.bmp", "Sub\\.. \\..\\x.bmp", ". .\\x.bmp",
        // Roots, shares, device paths, drives and streams.
        "\\Skin\\x.bmp", "/Skin/x.bmp", "\\\\server\\share\\x.bmp", "\\\\?\\C:\\x.bmp", "//./C:/x.bmp", "C:x.bmp", "C:\\x.bmp", "x.bmp:alt",
        "x*.bmp", "x?.bmp", "\"x\".bmp", "x<y>.bmp", "x|y.bmp", std::string("a.png\0.txt", 10), "a\tb.png",
        // Devices, in any case, folder and extension, whatever follows the first dot.
        "NUL", "nul", "CON.bmp", "Sub/prn/x.bmp", "aux.png", "com1 .png", "LpT9.gif", "conin$", "CONOUT$.bmp", "con.txt.d\\x.bmp",
    };
    for (const auto& name : refused) EXPECT_FALSE(IsPlainRelativeName(name)) << "[" << name << "]";
}

// The physical row: kilobytes rounded halves away from zero, percentages from the rounded counts and rounded
// to 15 digits for the threshold, the user's separators, totals of zero without a fault.
TEST(MemoryFigures, PhysicalRowTextsAndTwoDecimalsRoundedHalvesAwayOnTheDecimalValue) {
    using Row = std::tuple<std::uint64_t, std::uint64_t, const char*, const char*, const char*>;  // total, available, separators, texts
    for (const auto& [total, avail, thousands, decimal, texts] : std::initializer_list<Row>{
             {268435456, 110727168, ",", ".", "262,144 108,132 41.25% 58.75%"}, {268435456, 110727168, ".", ",", "262.144 108.132 41,25% 58,75%"},
             {268435456, 110727168, "\u00a0", ".", "262\u00a0144 108\u00a0132 41.25% 58.75%"}, {268435456, 110727168, "", ".", "262144 108132 41.25% 58.75%"},
             {3071, 1535, ",", ".", "3 1 33.33% 66.67%"},  // 1 KB of 3 KB, not 49.98 %
             {3071, 1536, ",", ".", "3 2 66.67% 33.33%"},  // exactly 1.5 KB rounds up
             {1 << 30, 1 << 30, ",", ".", "1,048,576 1,048,576 100.00% 0.00%"}, {64ull << 30, 5ull << 30, ",", ".", "67,108,864 5,242,880 7.81% 92.19%"},
             {0, 0, ",", ".", "0 0 0.00% 0.00%"}, {511, 100, ",", ".", "0 0 0.00% 0.00%"}}) {  // under half a kilobyte: a total of 0 KB
        const MemoryFigures f = Derive(total, avail, {thousands, decimal});
        EXPECT_EQ(std::string(f.totalPhysText.View()) + " " + std::string(f.availPhysText.View()) + " " + std::string(f.availPhysPercentText.View()) +
                      " " + std::string(f.usedPhysPercentText.View()), texts);
    }
    EXPECT_EQ(std::tuple(Derive(0, 0).availFraction, Derive(0, 0).availPageFilePercentText.View()), std::tuple(0.0, "0.00%"));
    FigureText t;
    purgix::memory::FormatGrouped(purgix::memory::Kilobytes(~0ull), ",", t);
    EXPECT_EQ(t.View(), "18,014,398,509,481,984");
    // 29 / 100 * 100 computes to 28.999999999999996 in doubles; 108,132 / 262,144 to 15 digits.
    EXPECT_EQ(std::tuple(Derive(100 * 1024, 29 * 1024).comparedPercent, Derive(268435456, 110727168).availFraction), std::tuple(29.0, 0.412490844726562));
    // Two decimals round halves away on the decimal value, not on the double's.
    for (const auto& [value, text] : std::initializer_list<std::pair<double, const char*>>{
             {41.245, "41.25"}, {2.675, "2.68"}, {0.005, "0.01"}, {0.0049, "0.00"}, {0.0004, "0.00"}, {99.995, "100.00"}, {0, "0.00"}}) {
        FigureText fixed;
        purgix::memory::FormatFixed2(value, ".", fixed);
        EXPECT_EQ(fixed.View(), text) << value;
    }
}

// The program's own 15 significant digits against the C library's "%.14e", which rounds the exact binary value:
// every binary exponent (subnormals, the largest double, exact ties of sixteen digits, nines that carry into a new
// power) and random values between.
TEST(Figures, FifteenSignificantDigitsAreThoseOfTheLibrarysScientificPrinting) {
    std::vector<double> values = {0.5, 1e22, 1e23, 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 999999999999999.5,
                                  9.999999999999995, 1234567890123455.0, 1234567890123465.0, 0.1, 41.245, 0.412490844726562};
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 5000; ++i) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        const std::uint64_t bits = state & 0x7FEFFFFFFFFFFFFFull;  // finite and not negative
        double v = 0;
        std::memcpy(&v, &bits, sizeof v);
        values.push_back(v);
    }
    for (double v : values) {
        char expected[40];
        std::snprintf(expected, sizeof expected, "%.14e", v);
        const purgix::memory::Significant15 s = purgix::memory::Digits15(v);
        char got[40];
        std::snprintf(got, sizeof got, "%c.%.14se%+03d", s.digits[0], s.digits.data() + 1, s.exponent);
        ASSERT_STREQ(got, expected);
        ASSERT_EQ(purgix::memory::RoundSignificant15(v), std::strtod(expected, nullptr)) << expected;
    }
}

TEST(ReleaseSize, RoundsToTheNearestCharacterHalvesToEvenAndRefusesWhatCannotBeAddressed) {
    for (const auto& [percent, total, characters] : std::initializer_list<std::tuple<int, std::uint64_t, std::int64_t>>{
             {40, 268435456, 107374182}, {10, 268435456, 26843546},  // .4 down, .6 up
             {50, 5, 2}, {50, 7, 4}, {10, 5, 0}, {25, 1ull << 63, std::int64_t{1} << 61}})
        EXPECT_EQ(ReleaseCharacters(percent, total), characters) << percent << " % of " << total;
    EXPECT_THROW(ReleaseCharacters(50, 1ull << 63), purgix::memory::ReleaseSizeError);  // 2^62 characters
    EXPECT_THROW(ReleaseCharacters(-10, 268435456), purgix::memory::ReleaseSizeError);
}

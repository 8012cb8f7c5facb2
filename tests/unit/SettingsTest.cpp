#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <utility>

#include "settings/StartWithWindows.h"

using namespace purgix::settings;

TEST(Settings, NumericTextBecomesASixteenBitIntegerWithFractionsRoundedHalvesToEven) {
    for (const auto& [text, value] : std::initializer_list<std::pair<const char*, int>>{
             {"15", 15}, {" 40 ", 40}, {"+7", 7}, {"-3", -3}, {"15.4", 15}, {"15.6", 16}, {"2.5", 2}, {"3.5", 4},
             {".9", 1}, {"1e1", 10}, {"32767", 32767}, {"-32768", -32768}})
        EXPECT_EQ(ToInteger16(text), value) << '"' << text << '"';
    for (const char* bad : {"", " ", "abc", "1x", "0x10", "inf", "nan", ".", "1e", "--1", "1,5", "32768", "-32769", "1e400"})
        EXPECT_THROW(ToInteger16(bad), ConversionError) << '"' << bad << '"';
}

TEST(Settings, BooleanTextIsTrueOrFalseInAnyCaseOrANumber) {
    for (const auto& [text, value] : std::initializer_list<std::pair<const char*, bool>>{
             {"True", true}, {"tRUE", true}, {"False", false}, {"false", false}, {"0", false}, {"0.0", false},
             {"-1", true}, {"1", true}, {"70000", true}})
        EXPECT_EQ(ToBoolean(text), value) << text;
    for (const char* bad : {"", "yes", "T", "Truee", "on"}) EXPECT_THROW(ToBoolean(bad), ConversionError) << bad;
}

TEST(Settings, IdentityValuesComeFromTheExecutablePath) {
    EXPECT_EQ(ExecutableName("C:\\Tools\\Purgix.exe"), "Purgix");
    EXPECT_EQ(ExecutableName("C:\\Tools\\My.Purgix.EXE"), "My.Purgix");
    EXPECT_EQ(ProgramFolder("C:\\Tools\\Purgix.exe"), "C:\\Tools");
    EXPECT_EQ(ProgramFolder("D:\\Purgix.exe"), "D:\\");
    EXPECT_EQ(ProgramFolder("\\\\server\\share\\Purgix.exe"), "\\\\server\\share");
    // The command always names the title, whatever the executable is called; a drive root keeps one "\".
    EXPECT_EQ(StartCommand(ProgramFolder("C:\\Tools\\Renamed.exe"), "Purgix"), "C:\\Tools\\Purgix.exe");
    EXPECT_EQ(StartCommand(ProgramFolder("D:\\Purgix.exe"), "Purgix"), "D:\\Purgix.exe");
}

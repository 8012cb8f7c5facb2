#include "settings/Settings.h"

#include <gtest/gtest.h>

#include "settings/StartWithWindows.h"

using purgix::settings::ConversionError;
using purgix::settings::ToBoolean;
using purgix::settings::ToInteger16;

TEST(Settings, NumericTextBecomesASixteenBitIntegerWithFractionsRounded) {
    EXPECT_EQ(ToInteger16("15"), 15);
    EXPECT_EQ(ToInteger16(" 40 "), 40);
    EXPECT_EQ(ToInteger16("+7"), 7);
    EXPECT_EQ(ToInteger16("-3"), -3);
    EXPECT_EQ(ToInteger16("15.4"), 15);
    EXPECT_EQ(ToInteger16("15.6"), 16);
    EXPECT_EQ(ToInteger16("2.5"), 2);  // halves go to the even neighbour
    EXPECT_EQ(ToInteger16("3.5"), 4);
    EXPECT_EQ(ToInteger16(".9"), 1);
    EXPECT_EQ(ToInteger16("1e1"), 10);
    EXPECT_EQ(ToInteger16("32767"), 32767);
    EXPECT_EQ(ToInteger16("-32768"), -32768);
    for (const char* bad : {"", " ", "abc", "1x", "0x10", "inf", "nan", ".", "1e", "--1", "1,5", "32768", "-32769", "1e400"})
        EXPECT_THROW(ToInteger16(bad), ConversionError) << '"' << bad << '"';
}

TEST(Settings, BooleanTextIsTrueOrFalseInAnyCaseOrANumber) {
    EXPECT_TRUE(ToBoolean("True"));
    EXPECT_TRUE(ToBoolean("tRUE"));
    EXPECT_FALSE(ToBoolean("False"));
    EXPECT_FALSE(ToBoolean("false"));
    EXPECT_FALSE(ToBoolean("0"));
    EXPECT_FALSE(ToBoolean("0.0"));
    EXPECT_TRUE(ToBoolean("-1"));
    EXPECT_TRUE(ToBoolean("1"));
    EXPECT_TRUE(ToBoolean("70000"));
    for (const char* bad : {"", "yes", "T", "Truee", "on"}) EXPECT_THROW(ToBoolean(bad), ConversionError) << bad;
}

TEST(Settings, IdentityValuesComeFromTheExecutablePath) {
    using purgix::settings::ExecutableName;
    using purgix::settings::ProgramFolder;
    using purgix::settings::StartCommand;
    EXPECT_EQ(ExecutableName("C:\\Tools\\Purgix.exe"), "Purgix");
    EXPECT_EQ(ExecutableName("C:\\Tools\\My.Purgix.EXE"), "My.Purgix");
    EXPECT_EQ(ProgramFolder("C:\\Tools\\Purgix.exe"), "C:\\Tools");
    EXPECT_EQ(ProgramFolder("D:\\Purgix.exe"), "D:\\");
    EXPECT_EQ(ProgramFolder("\\\\server\\share\\Purgix.exe"), "\\\\server\\share");
    // The file name in the command is always the title, whatever the executable is called.
    EXPECT_EQ(StartCommand(ProgramFolder("C:\\Tools\\Renamed.exe"), "Purgix"), "C:\\Tools\\Purgix.exe");
    EXPECT_EQ(StartCommand(ProgramFolder("D:\\Purgix.exe"), "Purgix"), "D:\\Purgix.exe");
}

#include "skins/PicturePath.h"

#include <gtest/gtest.h>

#include <string>

TEST(PicturePath, OnlyNamesThatStayInsideTheFolderPass) {
    const struct {
        std::string name;
        bool plain;
    } rows[] = {
        {"back.bmp", true},
        {"Sub/./b.png", true},
        {"Sub\\..\\c.png", true},
        {"Sub/..\\Sub/../d.gif", true},
        {"con.txt.d\\x.bmp", false},  // a device, whatever follows its first dot
        {"Console.bmp", true},
        {"COM0.bmp", true},
        {"lpt10.png", true},
        {"x..bmp", true},
        {"", false},
        {"..\\x.bmp", false},
        {"../x.bmp", false},
        {"Sub\\..\\..\\x.bmp", false},
        {"Sub/../../Skin/x.bmp", false},  // back in by name, but it left on the way
        {"...\\x.bmp", false},
        {"Sub\\.. \\..\\x.bmp", false},
        {". .\\x.bmp", false},
        {"\\Skin\\x.bmp", false},
        {"/Skin/x.bmp", false},
        {"\\\\server\\share\\x.bmp", false},
        {"\\\\?\\C:\\x.bmp", false},
        {"//./C:/x.bmp", false},
        {"C:x.bmp", false},
        {"C:\\x.bmp", false},
        {"x.bmp:alt", false},
        {"x*.bmp", false},
        {"x?.bmp", false},
        {"\"x\".bmp", false},
        {"x<y>.bmp", false},
        {"x|y.bmp", false},
        {"NUL", false},
        {"nul", false},
        {"CON.bmp", false},
        {"Sub/prn/x.bmp", false},
        {"aux.png", false},
        {"com1 .png", false},
        {"LpT9.gif", false},
        {"conin$", false},
        {"CONOUT$.bmp", false},
        {std::string("a.png\0.txt", 10), false},
        {"a\tb.png", false},
    };
    for (const auto& row : rows) EXPECT_EQ(purgix::skins::IsPlainRelativeName(row.name), row.plain) << "[" << row.name << "]";
}

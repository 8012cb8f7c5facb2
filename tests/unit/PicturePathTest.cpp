#include "skins/PicturePath.h"

#include <gtest/gtest.h>

#include <string>

using purgix::skins::IsPlainRelativeName;

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

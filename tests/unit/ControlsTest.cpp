// The toolkit rules that behaviour relies on but the main window does not show.
#include <gtest/gtest.h>

#include "ui/Controls.h"
#include "ui/PictureBox.h"

using namespace purgix::ui;

TEST(FileListBox, SettingTheIndexRaisesClickEvenWhenUnchanged) {
    FileListBox list("File1", {}, "*.ini", [](const std::string&, const std::string&) {
        return std::vector<std::string>{"a.ini", "b.ini"};
    });
    int clicks = 0;
    list.Click = [&] { ++clicks; };
    list.SetPath("C:\\Skin");
    EXPECT_EQ(list.ListIndex(), -1);
    list.SetListIndex(1);
    list.SetListIndex(1);
    EXPECT_EQ(clicks, 2);
    EXPECT_THROW(list.SetListIndex(2), InvalidValue);
    EXPECT_EQ(list.List(0), "a.ini");
}

TEST(PictureBox, RealCoordinatesRoundToPixelCentresAndClip) {
    PictureBox box("PicGrpPro", {0, 0, 17, 65}, kWindowBackground);
    // A box from y = 32.4 covers rows 32..64; from 32.5, rows 33..64.
    box.FilledBox(0, 32.4, 17, 65, kBlack);
    EXPECT_EQ(box.Drawing().At(16, 32), kBlack);
    box.Cls();
    box.FilledBox(0, 32.5, 17, 65, kBlack);
    EXPECT_EQ(box.Drawing().At(0, 32), kWindowBackground);
    EXPECT_EQ(box.Drawing().At(0, 33), kBlack);
    // Outside the box nothing happens and nothing faults.
    box.VerticalLine(500, -10, 1000, kBlack);
    box.VerticalLine(-3, -10, 1000, kBlack);
    box.FilledBox(0, 0, 0, 0, kBlack);
}

#include "app/FrmMain.h"

#include <gtest/gtest.h>

#include "FakePlatform.h"

using purgix::app::FrmMain;
using purgix::testing::FakePlatform;
using purgix::ui::Color;

namespace {

class FrmMainTest : public ::testing::Test {
protected:
    // Pixel rows of one graph column drawn in the colour, from the bottom up.
    static int ColumnHeight(const purgix::ui::PictureBox& box, int x, Color c) {
        int n = 0;
        for (int y = box.Drawing().Height() - 1; y >= 0 && box.Drawing().At(x, y) == c; --y) ++n;
        return n;
    }
    FakePlatform fake;
    FrmMain frm{fake.platform};
};

}  // namespace

TEST_F(FrmMainTest, OneTickFillsEachFigureFromItsOwnFieldAndTheStatusLineAndCaption) {
    EXPECT_EQ(frm.lblTotPhys.Caption(), "Tot");  // nothing is sampled before the first tick
    frm.Timer1.Tick();
    EXPECT_EQ(fake.samples, 1);
    for (const auto& [label, text] : std::vector<std::pair<const purgix::ui::Label*, std::string>>{
             {&frm.lblTotPhys, "262,144"}, {&frm.lblAvailPhys, "108,132"}, {&frm.lblPercPhysical, "41.25%"},
             {&frm.lblTotalPageFile, "1,048,576"}, {&frm.lblAvailPageFile, "393,216"}, {&frm.lblPercPage, "37.50%"},
             {&frm.lblTotalVirtual, "2,097,152"}, {&frm.lblAvailVirtual, "1,572,864"}, {&frm.lblPercVirtual, "75.00%"},
             {&frm.lblGraphPer, "Available: 41.25%     Used: 58.75%"}})
        EXPECT_EQ(label->Caption(), text) << label->Name();
    EXPECT_EQ(frm.mStPOP->Caption(), "Available: 41.25%");
}

TEST_F(FrmMainTest, GraphColumnAndLevelBoxAreFTimesHHighInTheColumnColour) {
    frm.Timer1.Tick();
    EXPECT_EQ(frm.GraphX(), 1);
    // f = 0.41249..., H = 65: the line runs from y = 38.19 to 65, rows 38..64.
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 1, purgix::ui::kBlack), 27);
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 0, purgix::ui::kBlack), 0);
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 2, purgix::ui::kBlack), 0);
    for (int x = 0; x < 17; ++x) EXPECT_EQ(ColumnHeight(frm.PicGrpPro, x, purgix::ui::kBlack), 27) << x;

    // A new column colour applies to the next line and the whole level box.
    const Color red = purgix::ui::Rgb(255, 0, 0);
    frm.SetColumnColor(red);
    fake.memory.availPhys = fake.memory.totalPhys;  // f = 1: up to the top edge
    frm.Timer1.Tick();
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 2, red), 65);
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 1, purgix::ui::kBlack), 27);
    EXPECT_EQ(ColumnHeight(frm.PicGrpPro, 16, red), 65);

    fake.memory.availPhys = 0;  // f = 0: nothing drawn, the level box is empty
    frm.Timer1.Tick();
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 3, red), 0);
    EXPECT_EQ(ColumnHeight(frm.PicGrpPro, 0, red), 0);
    EXPECT_EQ(frm.PicGrpPro.Drawing().At(0, 64), purgix::ui::kWindowBackground);
}

TEST_F(FrmMainTest, GraphWrapsAfterItsWidthAndThenUsesColumnZero) {
    for (int i = 0; i < 273; ++i) frm.Timer1.Tick();
    EXPECT_EQ(frm.GraphX(), 273);
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 272, purgix::ui::kBlack), 27);
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 0, purgix::ui::kBlack), 0);
    frm.Timer1.Tick();  // 274th sample: the box is cleared and x = 0 is drawn
    EXPECT_EQ(frm.GraphX(), 0);
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 0, purgix::ui::kBlack), 27);
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 1, purgix::ui::kBlack), 0);
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 272, purgix::ui::kBlack), 0);
    frm.Timer1.Tick();
    EXPECT_EQ(frm.GraphX(), 1);
    // A box made narrower than the position restarts at the left edge too.
    for (int i = 0; i < 20; ++i) frm.Timer1.Tick();
    auto b = frm.PicGraph.Bounds();
    frm.PicGraph.SetBounds({b.left, b.top, 10, b.height});
    frm.Timer1.Tick();
    EXPECT_EQ(frm.GraphX(), 0);
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 0, purgix::ui::kBlack), 27);
}

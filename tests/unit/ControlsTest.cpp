#include <gtest/gtest.h>

#include "ui/Controls.h"
#include "ui/PictureBox.h"

using namespace purgix::ui;

namespace {
struct CountingPeer : Peer {
    int syncs = 0;
    Rect lastDrawn{};
    void Sync(Change) override { ++syncs; }
    void Drawn(const Rect& r) override { lastDrawn = r; }
};
}  // namespace

TEST(ScrollBar, RaisesChangeOnlyForANewValueAndNeverLeavesItsBounds) {
    VScrollBar bar("VScroll3", {}, 10, 100, 92, 5);
    int changes = 0;
    bar.Change = [&] { ++changes; };
    bar.SetValue(92);
    EXPECT_EQ(changes, 0);
    EXPECT_THROW(bar.SetValue(101), InvalidValue);
    EXPECT_THROW(bar.SetValue(9), InvalidValue);
    bar.Arrow(true);
    EXPECT_EQ(bar.Value(), 97);
    bar.Arrow(true);  // stops at the bound rather than stepping past it
    EXPECT_EQ(bar.Value(), 100);
    bar.Arrow(true);
    EXPECT_EQ(changes, 2);
    for (int i = 0; i < 30; ++i) bar.Arrow(false);
    EXPECT_EQ(bar.Value(), 10);
}

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

TEST(PictureBox, KeepsWhatWasDrawnUntilCleared) {
    PictureBox box("PicGraph", {0, 0, 10, 8}, kWindowBackground);
    CountingPeer peer;
    box.Attach(&peer);
    box.VerticalLine(3, 8 - 0.5 * 8, 8, kBlack);
    EXPECT_EQ(peer.lastDrawn, (Rect{3, 4, 1, 4}));
    EXPECT_EQ(box.Drawing().At(3, 4), kBlack);
    EXPECT_EQ(box.Drawing().At(3, 3), kWindowBackground);
    EXPECT_EQ(box.Drawing().At(2, 7), kWindowBackground);
    box.VerticalLine(5, 0, 8, Rgb(255, 0, 0));
    EXPECT_EQ(box.Drawing().At(3, 4), kBlack);  // earlier drawing stays
    box.Cls();
    EXPECT_EQ(box.Drawing().At(3, 4), kWindowBackground);
    EXPECT_EQ(box.Drawing().At(5, 0), kWindowBackground);
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

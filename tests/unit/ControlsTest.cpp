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

TEST(ScrollBar, RaisesChangeOnlyForANewValueWithinBounds) {
    VScrollBar bar("VScroll2", {}, 1, 40, 15);
    int changes = 0;
    bar.Change = [&] { ++changes; };
    bar.SetValue(15);
    EXPECT_EQ(changes, 0);
    bar.SetValue(40);
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(bar.SetValue(41), InvalidValue);
    EXPECT_THROW(bar.SetValue(0), InvalidValue);
    EXPECT_EQ(bar.Value(), 40);
    EXPECT_EQ(changes, 1);
}

TEST(ScrollBar, ArrowsStepAndStopAtTheBoundsWithoutChange) {
    VScrollBar bar("VScroll3", {}, 10, 100, 92, 5);
    int changes = 0;
    bar.Change = [&] { ++changes; };
    bar.Arrow(true);
    EXPECT_EQ(bar.Value(), 97);
    bar.Arrow(true);
    EXPECT_EQ(bar.Value(), 100);
    bar.Arrow(true);
    EXPECT_EQ(changes, 2);
    for (int i = 0; i < 30; ++i) bar.Arrow(false);
    EXPECT_EQ(bar.Value(), 10);
}

TEST(CheckBox, AcceptsClearTickedAndGreyOnly) {
    CheckBox box("Check1", {});
    box.SetValue(2);
    EXPECT_EQ(box.Value(), 2);
    EXPECT_THROW(box.SetValue(3), InvalidValue);
    EXPECT_THROW(box.SetValue(-1), InvalidValue);
    box.UserClick();
    EXPECT_EQ(box.Value(), 1);
    box.UserClick();
    EXPECT_EQ(box.Value(), 0);
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

TEST(Container, StacksFrontToBackAndHitsOnlyVisibleFrontChildren) {
    Container form("Form", Kind::Form, {0, 0, 100, 100});
    Label top("top", {0, 0, 50, 50}, "");
    Label below("below", {10, 10, 20, 20}, "");
    form.Add(top);
    form.Add(below);
    auto any = [](const Control&) { return true; };
    EXPECT_EQ(form.ChildAt(15, 15, any), &top);
    below.ZOrder();
    EXPECT_EQ(form.Children().front(), &below);
    EXPECT_EQ(form.ChildAt(15, 15, any), &below);
    below.SetVisible(false);
    EXPECT_EQ(form.ChildAt(15, 15, any), &top);
    EXPECT_EQ(form.ChildAt(60, 60, any), nullptr);
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

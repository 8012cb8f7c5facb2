// The tray icon class: its record, what reaches the shell,
// and the decoding of the shell's notifications into events.
#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "tray/CTray.h"

using purgix::tray::CTray;
using Strings = std::vector<std::string>;

namespace {

class Tray : public ::testing::Test {
protected:
    Tray() {
        box.SetHandle(0x4242);
        box.SetPicture(std::make_shared<purgix::testing::FakePicture>("tray", 16, 16));
        for (auto [event, name] : {std::pair{&CTray::LButtonDown, "LButtonDown"}, {&CTray::LButtonUp, "LButtonUp"},
                                   {&CTray::LButtonDblClick, "LButtonDblClick"}, {&CTray::RButtonDown, "RButtonDown"},
                                   {&CTray::RButtonUp, "RButtonUp"}, {&CTray::RButtonDblClick, "RButtonDblClick"}})
            tray.*event = [this, name] { raised.push_back(name); };
    }
    // The shell's callback as the picture box reports it: a move whose x is the code, in twips.
    void Notify(double twips) { box.MouseMove(0, 0, twips, 0); }

    purgix::testing::FakePlatform fake;
    purgix::ui::PictureBox box{"PicTray", {336, 0, 33, 33}, purgix::ui::kButtonFace};
    CTray tray{fake.platform.tray, fake};
    Strings raised;
};

}  // namespace

TEST_F(Tray, ABoundBoxShowsTheIconItsMouseCodesRaiseEventsButNotWhileAHandlerRunsAndItsTipAtMost63Characters) {
    EXPECT_FALSE(tray.ShowIcon());
    tray.PicBox(box);
    EXPECT_TRUE(tray.ShowIcon());
    const auto& record = fake.trayCalls.back().second;
    EXPECT_EQ(std::pair(record.window, record.icon), std::pair(purgix::ui::WindowHandle{0x4242}, box.Picture().get()));
    box.SetPicture(std::make_shared<purgix::testing::FakePicture>("other", 16, 16));  // the shell takes a new picture at once
    EXPECT_EQ(std::pair(fake.trayCalls.back().first, fake.trayCalls.back().second.icon), std::pair(purgix::platform::kNimModify, box.Picture().get()));
    for (const auto& [twips, event] : std::vector<std::pair<double, std::string>>{
             {513 * 15, "LButtonDown"}, {514 * 15, "LButtonUp"}, {515 * 15, "LButtonDblClick"}, {516 * 15, "RButtonDown"},
             {517 * 15, "RButtonUp"}, {518 * 15, "RButtonDblClick"},
             {513 * 15 + 7, "LButtonDown"}, {512 * 15 + 8, "LButtonDown"},  // rounded to the nearest pixel
             {512 * 15, ""}, {519 * 15, ""}, {0, ""}}) {                    // a plain move, the middle button
        raised.clear();
        Notify(twips);
        EXPECT_EQ(raised, event.empty() ? Strings{} : Strings{event}) << twips;
    }
    raised.clear();
    tray.RButtonDown = [&] { Notify(513 * 15); };  // a click on the icon while the pop-up menu is open
    Notify(516 * 15);
    EXPECT_TRUE(raised.empty());
    Notify(513 * 15);  // once the handler has returned, events flow again
    EXPECT_EQ(raised, Strings{"LButtonDown"});
    {
        CTray other{fake.platform.tray, fake};
        other.PicBox(box);
    }
    EXPECT_EQ(fake.Calls("ShellNotifyIcon"), (Strings{"ShellNotifyIcon(0)", "ShellNotifyIcon(1)", "ShellNotifyIcon(2)"}));
    EXPECT_FALSE(box.MouseMove);
    // The tip field keeps 64 characters; the shell shows at most 63 of it (its last place is the NUL's), and the
    // same text again once the icon comes back (Explorer restarted).
    for (auto [length, shown] : {std::pair{62u, 62u}, {63u, 63u}, {64u, 63u}, {70u, 63u}}) {
        tray.TipText(std::string(length, 'x'));
        EXPECT_EQ(purgix::platform::ShownTip(fake.trayCalls.back().second), std::string(shown, 'x')) << length;
    }
    tray.DeleteIcon();
    tray.ShowIcon();
    EXPECT_EQ(std::pair(fake.trayCalls.back().first, std::string(purgix::platform::ShownTip(fake.trayCalls.back().second))),
              std::pair(purgix::platform::kNimAdd, std::string(70, 'x').substr(0, 63)));
}


// The tray icon class: its record and tooltip field, what reaches the shell,
// and the decoding of the shell's notifications into events.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "FakePlatform.h"
#include "tray/CTray.h"

using purgix::tray::CTray;

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
    CTray tray{fake.platform.tray};
    std::vector<std::string> raised;
};

TEST_F(Tray, TheTooltipFieldIsTheTextANulAndBlankPaddingCutAtSixtyFour) {
    const std::string t63(63, 'x'), t64(64, 'y'), t70(70, 'z');
    for (const auto& [text, field] : {std::pair{std::string("abc"), std::string("abc") + '\0' + std::string(60, ' ')},
                                      {t63, t63 + '\0'}, {t64, t64}, {t70, t70.substr(0, 64)}}) {
        tray.TipText(text);
        EXPECT_EQ(tray.TipText(), field) << text.size();
    }
    // Every write is a modify call with the record as it now stands, even before the icon exists.
    ASSERT_EQ(fake.trayCalls.size(), 4u);
    EXPECT_EQ(fake.trayCalls[3].first, purgix::platform::kNimModify);
    EXPECT_EQ(fake.trayCalls[3].second.tip, t70.substr(0, 64));
}

TEST_F(Tray, ShowIconNeedsABoundBoxAndSendsTheWholeRecord) {
    EXPECT_FALSE(tray.ShowIcon());
    EXPECT_TRUE(fake.trayCalls.empty());
    tray.TipText("tip");
    tray.PicBox(box);
    EXPECT_EQ(fake.trayCalls.size(), 1u) << "binding does not call the shell";
    EXPECT_TRUE(tray.ShowIcon());
    const auto& [op, record] = fake.trayCalls.back();
    EXPECT_EQ(op, purgix::platform::kNimAdd);
    EXPECT_EQ(std::pair(record.window, record.icon), std::pair(purgix::ui::WindowHandle{0x4242}, box.Picture().get()));
    EXPECT_EQ(record.tip.substr(0, 4), std::string("tip") + '\0');

    // Taken away and shown again: the same tooltip comes back.
    tray.DeleteIcon();
    tray.ShowIcon();
    ASSERT_EQ(fake.trayCalls.size(), 4u);
    EXPECT_EQ(fake.trayCalls[2].first, purgix::platform::kNimDelete);
    EXPECT_EQ(fake.trayCalls[3].first, purgix::platform::kNimAdd);
    EXPECT_EQ(fake.trayCalls[3].second.tip, fake.trayCalls[1].second.tip);
}

TEST_F(Tray, EachMouseCodeRaisesItsEventAndOthersNothing) {
    tray.PicBox(box);
    const struct {
        double twips;
        const char* event;
    } cases[] = {
        {513 * 15, "LButtonDown"}, {514 * 15, "LButtonUp"},       {515 * 15, "LButtonDblClick"},
        {516 * 15, "RButtonDown"}, {517 * 15, "RButtonUp"},       {518 * 15, "RButtonDblClick"},
        {513 * 15 + 7, "LButtonDown"},  // rounded to the nearest pixel
        {512 * 15 + 8, "LButtonDown"},
        {512 * 15, ""},  // a plain move over the icon
        {519 * 15, ""},  // the middle button
        {0, ""},
    };
    for (const auto& c : cases) {
        raised.clear();
        Notify(c.twips);
        EXPECT_EQ(raised, c.event[0] ? std::vector<std::string>{c.event} : std::vector<std::string>{}) << c.twips;
    }
}

TEST_F(Tray, ANotificationWhileAHandlerRunsIsDropped) {
    tray.PicBox(box);
    int nested = 0;
    tray.RButtonDown = [&] {
        ++nested;
        Notify(513 * 15);  // a click on the icon while the pop-up menu is open
    };
    Notify(516 * 15);
    EXPECT_EQ(nested, 1);
    EXPECT_TRUE(raised.empty());
    Notify(513 * 15);  // once the handler has returned, events flow again
    EXPECT_EQ(raised, std::vector<std::string>{"LButtonDown"});
}

TEST_F(Tray, ANewPictureUpdatesTheIconAndRebindingLeavesTheOldBox) {
    tray.PicBox(box);
    auto next = std::make_shared<purgix::testing::FakePicture>("other", 16, 16);
    box.SetPicture(next);
    ASSERT_EQ(fake.trayCalls.size(), 1u);
    EXPECT_EQ(fake.trayCalls[0].first, purgix::platform::kNimModify);
    EXPECT_EQ(fake.trayCalls[0].second.icon, next.get());

    purgix::ui::PictureBox other{"Other", {0, 0, 1, 1}, purgix::ui::kButtonFace};
    other.SetHandle(0x77);
    tray.PicBox(other);
    EXPECT_FALSE(box.MouseMove) << "the old box's events are no longer received";
    EXPECT_EQ(tray.Record().window, 0x77u);
    tray.PicBox(box);  // the tray must not outlive the box it is bound to
}

TEST(TrayLifetime, DestructionTakesTheIconAwayAndUnbinds) {
    purgix::testing::FakePlatform fake;
    purgix::ui::PictureBox box{"PicTray", {0, 0, 1, 1}, purgix::ui::kButtonFace};
    {
        CTray tray{fake.platform.tray};
        tray.PicBox(box);
        tray.ShowIcon();
    }
    ASSERT_EQ(fake.trayCalls.size(), 2u);
    EXPECT_EQ(fake.trayCalls[1].first, purgix::platform::kNimDelete);
    EXPECT_FALSE(box.MouseMove);
}

}  // namespace

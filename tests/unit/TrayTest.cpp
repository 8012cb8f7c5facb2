// The tray icon class: its record and tooltip field, what reaches the shell,
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
    std::vector<int> Operations() const {
        std::vector<int> ops;
        for (const auto& call : fake.trayCalls) ops.push_back(call.first);
        return ops;
    }

    purgix::testing::FakePlatform fake;
    purgix::ui::PictureBox box{"PicTray", {336, 0, 33, 33}, purgix::ui::kButtonFace};
    CTray tray{fake.platform.tray};
    Strings raised;
};

}  // namespace

TEST_F(Tray, TheTooltipFieldIsTheTextANulAndBlankPaddingCutAtSixtyFourAndEachWriteIsAModify) {
    const std::string t63(63, 'x'), t64(64, 'y'), t70(70, 'z');
    for (const auto& [text, field] : {std::pair{std::string("abc"), std::string("abc") + '\0' + std::string(60, ' ')},
                                      {t63, t63 + '\0'}, {t64, t64}, {t70, t70.substr(0, 64)}}) {
        tray.TipText(text);
        EXPECT_EQ(tray.TipText(), field) << text.size();
        EXPECT_EQ(fake.trayCalls.back().second.tip, field) << "the record as it now stands";
    }
    EXPECT_EQ(Operations(), std::vector<int>(4, purgix::platform::kNimModify)) << "even before the icon exists";
}

TEST_F(Tray, ShowIconNeedsABoundBoxAndSendsItsRecordAndDestructionTakesTheIconAwayAndUnbinds) {
    EXPECT_FALSE(tray.ShowIcon());
    tray.PicBox(box);
    EXPECT_TRUE(tray.ShowIcon());
    const auto& record = fake.trayCalls.back().second;
    EXPECT_EQ(std::pair(record.window, record.icon), std::pair(purgix::ui::WindowHandle{0x4242}, box.Picture().get()));
    {
        CTray other{fake.platform.tray};
        other.PicBox(box);
    }
    EXPECT_EQ(Operations(), (std::vector<int>{purgix::platform::kNimAdd, purgix::platform::kNimDelete}));
    EXPECT_FALSE(box.MouseMove);
}

TEST_F(Tray, EachMouseCodeRaisesItsEventOthersNothingAndOneWhileAHandlerRunsIsDropped) {
    tray.PicBox(box);
    const std::pair<double, const char*> cases[] = {
        {513 * 15, "LButtonDown"},     {514 * 15, "LButtonUp"}, {515 * 15, "LButtonDblClick"}, {516 * 15, "RButtonDown"},
        {517 * 15, "RButtonUp"},       {518 * 15, "RButtonDblClick"},
        {513 * 15 + 7, "LButtonDown"}, {512 * 15 + 8, "LButtonDown"},  // rounded to the nearest pixel
        {512 * 15, ""},  {519 * 15, ""}, {0, ""},                       // a plain move, the middle button
    };
    for (const auto& [twips, event] : cases) {
        raised.clear();
        Notify(twips);
        EXPECT_EQ(raised, *event ? Strings{event} : Strings{}) << twips;
    }
    raised.clear();
    tray.RButtonDown = [&] { Notify(513 * 15); };  // a click on the icon while the pop-up menu is open
    Notify(516 * 15);
    EXPECT_TRUE(raised.empty());
    Notify(513 * 15);  // once the handler has returned, events flow again
    EXPECT_EQ(raised, Strings{"LButtonDown"});
}

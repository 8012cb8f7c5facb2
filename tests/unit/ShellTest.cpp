// The program as a whole over fakes: start-up and shutdown order, the tray
// icon's two buttons, the window commands, help and links.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "app/FrmMain.h"

using purgix::app::FrmMain;
using purgix::ui::Change;

namespace {

// Stands in for the native window: records what the form asked of it.
struct FormLog : purgix::ui::Peer {
    void Sync(Change what) override {
        if (what == Change::ZOrder) log.push_back("front");
        if (what == Change::Close) log.push_back("close");
        if (what == Change::Visible) log.push_back("visible");
    }
    void Popup(const purgix::ui::MenuItem& menu) override {
        log.push_back("popup " + menu.Name());
        if (onPopup) onPopup();
    }
    std::vector<std::string> log;
    std::function<void()> onPopup;
};

class Shell : public ::testing::Test {
protected:
    FrmMain& Start(const std::map<std::string, std::string>& stored = {}) {
        for (const auto& [key, value] : stored) fake.store["purgix\\options\\" + purgix::testing::Lower(key)] = value;
        frm.emplace(fake.platform);
        frm->form.SetHandle(0x99);
        frm->PicTray.SetHandle(0x98);
        frm->form.Attach(&peer);
        frm->Load();
        return *frm;
    }
    void ClickIcon(int code) { frm->PicTray.MouseMove(0, 0, code * 15.0, 0); }
    std::vector<std::string> Runs() const {
        std::vector<std::string> out;
        std::copy_if(fake.calls.begin(), fake.calls.end(), std::back_inserter(out), [](const std::string& c) { return c.rfind("Run(", 0) == 0; });
        return out;
    }

    purgix::testing::FakePlatform fake;
    FormLog peer;
    std::optional<FrmMain> frm;
};

TEST_F(Shell, StartUpPutsTheIconUpFirstWithTheCaptionAsTooltip) {
    Start();
    ASSERT_GE(fake.journal.size(), 2u);
    EXPECT_EQ(fake.journal[0], "tray 1") << "the tooltip goes in before the icon exists";
    EXPECT_EQ(fake.journal[1], "tray 0");
    const auto& record = fake.trayCalls[1].second;
    EXPECT_EQ(record.window, 0x98u) << "the hidden picture box receives the notifications";
    EXPECT_EQ(record.icon, frm->PicTray.Picture().get());
    EXPECT_EQ(record.tip, std::string("--- Zarvex RAM Purgix 2.00 ---") + '\0' + std::string(33, ' '));
}

// Each store stops start-up at one step; the steps after it never run.
TEST_F(Shell, AFailedStepEndsStartUpThereAndTheProgramRunsOn) {
    fake.folders["C:\\Tools\\Skin"] = {"Blue.ini"};
    fake.profiles["c:\\tools\\config.inf"]["configskin"]["skin"] = "Blue.ini";
    const struct {
        std::map<std::string, std::string> stored;
        bool hidden, topmost, indicator, skinItems;
    } cases[] = {
        {{{"LessC", "x"}}, false, false, false, false},
        {{{"Minimized", "1"}, {"StayOnTop", "maybe"}}, true, false, false, false},
        {{{"StayOnTop", "False"}}, false, false, true, true},
        {{}, false, true, true, true},
    };
    for (const auto& c : cases) {
        frm.reset();
        fake.calls.clear();
        fake.trayCalls.clear();
        Start(c.stored);
        SCOPED_TRACE(c.stored.empty() ? "empty store" : c.stored.begin()->first);
        EXPECT_EQ(fake.trayCalls.size(), 2u) << "the icon is up before any setting is read";
        EXPECT_EQ(!frm->form.Visible(), c.hidden);
        EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "SetWindowPos(-1,3)"), c.topmost ? 1 : 0);
        EXPECT_EQ(frm->ImgLstView.Picture() != nullptr, c.indicator);
        EXPECT_EQ(frm->mSSkin[0]->Caption(), c.skinItems ? "Blue.ini" : "Skin1");
        fake.store.clear();
    }
}

TEST_F(Shell, ShutdownWritesSettingsThenRunValueThenSkinThenRemovesTheIcon) {
    Start();
    frm->Check4.SetValue(1);
    fake.journal.clear();
    frm->form.Unload();
    const std::vector<std::string> expected = {
        "setting LessC", "setting Less",      "setting intervalC", "setting interval", "setting Precent",
        "setting StayOnTop", "setting Minimized", "set value Purgix",  "delete value Purgix",  // the user's copy of the Run value goes
        "profile SKIN", "tray 2"};
    EXPECT_EQ(fake.journal, expected);
    EXPECT_EQ(fake.trayCalls.back().second.window, 0x98u) << "the same icon that was added";
}

TEST_F(Shell, TrayButtonsShowTheWindowOrOpenThePopUp) {
    Start({{"Minimized", "1"}});
    ASSERT_FALSE(frm->form.Visible());
    peer.log.clear();
    // A right press opens the menu and leaves the window hidden; releases and double clicks do
    // nothing; a left press shows the window, then brings it forward.
    for (int code : {516, 514, 515, 517, 518}) ClickIcon(code);
    EXPECT_FALSE(frm->form.Visible());
    ClickIcon(513);
    EXPECT_EQ(peer.log, (std::vector<std::string>{"popup mPOP", "visible", "front"}));
    EXPECT_TRUE(frm->form.Visible());
}

TEST_F(Shell, StayOnTopTwiceReturnsToWhereItStarted) {
    Start();
    ASSERT_TRUE(frm->mStayOnTop->Checked());
    fake.calls.clear();
    frm->mStayOnTop->Click();
    EXPECT_EQ((std::pair<bool, int>(frm->mStayOnTop->Checked(), frm->strNotAlwaysOnTop)), std::pair(false, -1));
    frm->mStayOnTop->Click();
    EXPECT_EQ((std::pair<bool, int>(frm->mStayOnTop->Checked(), frm->strNotAlwaysOnTop)), std::pair(true, 0));
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"SetWindowPos(-2,3)", "SetWindowPos(-1,3)"}));
}

TEST_F(Shell, HelpAndLinksRunTheirCommandLinesAndFailSilently) {
    fake.modulePath = "C:\\Program Files\\Purgix\\Purgix.exe";
    Start();
    frm->mContents->Click();
    frm->mWeb->Click();
    frm->mWebPOP->Click();
    frm->ImgWebLink.Click();
    frm->mDloadSkin->Click();
    const std::string home = "Run(explorer.exe https://www.quenlor.com/purgix/,0)";
    EXPECT_EQ(Runs(), (std::vector<std::string>{"Run(HH.exe \"C:\\Program Files\\Purgix\\Help.chm\",2)", home, home, home,
                                                "Run(explorer.exe https://www.quenlor.com/purgix/skins/,0)"}));
    // Beside a program at a drive root the help file is not quoted; a failed start shows nothing.
    fake.modulePath = "D:\\Purgix.exe";
    fake.runFails = true;
    Start();
    fake.calls.clear();
    frm->mContents->Click();
    EXPECT_EQ(fake.calls, std::vector<std::string>{"Run(HH.exe D:\\Help.chm,2)"});
}

struct Repaints : purgix::ui::Peer {
    void Sync(Change) override { ++count; }
    void Drawn(const purgix::ui::Rect&) override { ++count; }
    int count = 0;
};

TEST_F(Shell, ATickRepaintsOnlyWhatChanged) {
    Start();
    Repaints bar, label, graph;
    frm->PicGrpPro.Attach(&bar);
    frm->lblAvailPhys.Attach(&label);
    frm->PicGraph.Attach(&graph);
    frm->RefreshMEM();
    const int first = bar.count + label.count;
    frm->RefreshMEM();
    EXPECT_EQ(bar.count + label.count, first) << "the same figures and level repaint nothing";
    EXPECT_EQ(graph.count, 2) << "the graph moves on every tick";
    fake.memory.availPhys /= 2;
    frm->RefreshMEM();
    EXPECT_GT(bar.count, 0);
    EXPECT_GT(label.count, first - bar.count);
    // The bar holds the level in the column colour below and the background above.
    const int level = 65 - static_cast<int>(65.0 * fake.memory.availPhys / fake.memory.totalPhys + 0.5);
    EXPECT_EQ(frm->PicGrpPro.Drawing().At(8, level - 1), frm->PicGrpPro.BackColor());
    EXPECT_EQ(frm->PicGrpPro.Drawing().At(8, level), 0);
    frm->PicGrpPro.Attach(nullptr);
    frm->lblAvailPhys.Attach(nullptr);
    frm->PicGraph.Attach(nullptr);
}

}  // namespace

// The main window over fakes: a tick's figures and graph, start-up and shutdown
// over the settings store, the options page, help and links, and skins.
#include "app/FrmMain.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "FakePlatform.h"
#include "settings/Settings.h"

using purgix::app::FrmMain;
using purgix::testing::FakePicture;
using purgix::ui::Color;
using Strings = std::vector<std::string>;

namespace {

struct Repaints : purgix::ui::Peer {
    void Sync(purgix::ui::Change) override { ++count; }
    int count = 0;
};

// What a tick may repaint, watched while this lives: the nine figures, the graph's caption, the graph and the level bar.
struct TickWatch {
    explicit TickWatch(FrmMain& f)
        : controls{&f.lblTotPhys, &f.lblAvailPhys, &f.lblPercPhysical, &f.lblTotalPageFile, &f.lblAvailPageFile, &f.lblPercPage,
                   &f.lblTotalVirtual, &f.lblAvailVirtual, &f.lblPercVirtual, &f.lblGraphPer, &f.PicGraph, &f.PicGrpPro} {
        for (std::size_t i = 0; i < controls.size(); ++i) controls[i]->Attach(&peers[i]);
    }
    ~TickWatch() { for (auto* c : controls) c->Attach(nullptr); }
    // The names of those repainted since the last call.
    std::string Repainted() {
        std::string names;
        for (std::size_t i = 0; i < controls.size(); ++i)
            if (std::exchange(peers[i].count, 0) > 0) names += controls[i]->Name() + " ";
        return names;
    }
    std::array<purgix::ui::Control*, 12> controls;
    std::array<Repaints, 12> peers;
};

class FrmMainTest : public ::testing::Test {
protected:
    FrmMain& Start(const std::map<std::string, std::string>& stored = {}) {
        for (const auto& [key, value] : stored) fake.store["purgix\\options\\" + purgix::testing::Lower(key)] = value;
        frm.emplace(fake.platform, fake);
        frm->PicTray.SetHandle(0x98);
        frm->Load();
        return *frm;
    }
    // Pixel rows of graph columns drawn in the colour, from the bottom up.
    static std::vector<int> Heights(const purgix::ui::PictureBox& box, Color c, std::initializer_list<int> columns) {
        std::vector<int> heights;
        for (int x : columns) {
            int n = 0;
            for (int y = box.Drawing().Height() - 1; y >= 0 && box.Drawing().At(x, y) == c; --y) ++n;
            heights.push_back(n);
        }
        return heights;
    }
    // The options controls, then how far start-up got: stay-on-top, the window, the page indicator, the skin menu.
    std::string State() const {
        const FrmMain& f = *frm;
        std::ostringstream s;
        s << "checks " << f.Check1.Value() << f.Check2.Value() << f.Check3.Value() << f.Check4.Value() << ", scrolls " << f.VScroll1.Value()
          << "/" << f.VScroll2.Value() << "/" << f.VScroll3.Value() << ", texts " << f.Text1.Text() << "/" << f.Text2.Text() << "/"
          << f.Text3.Text() << ", on top " << f.mStayOnTop->Checked() << " (" << fake.Calls("SetWindowPos(-1,3)").size() << " calls), "
          << (f.form.Visible() ? "shown" : "hidden") << (f.ImgLstView.Picture() ? ", ran to its end, " : ", stopped, ") << f.mSSkin[0]->Caption();
        return s.str();
    }
    // The Setup menu's three switches: the load in the tray, the notice, F9.
    std::string Switches() const { return std::string{char('0' + frm->mTrayLoad->Checked()), char('0' + frm->mNotify->Checked()), char('0' + frm->mHotKey->Checked())}; }
    // Shuts down and checks that exactly these values were ever written, in this order (the Setup menu's three
    // switches after the seven, their defaults when not given).
    void ExpectShutdownWrites(const Strings& values) {
        frm->form.Unload();
        const char* keys[] = {"LessC", "Less", "intervalC", "interval", "Precent", "StayOnTop", "Minimized", "TrayLoad", "Notify", "HotKey"};
        std::vector<std::pair<std::string, std::string>> expected;
        Strings all = values;
        if (all.size() == 7) all.insert(all.end(), {"0", "0", "1"});
        for (std::size_t i = 0; i < all.size(); ++i) expected.emplace_back(std::string("Purgix\\Options\\") + keys[i], all[i]);
        EXPECT_EQ(fake.storeWrites, expected);
    }

    purgix::testing::FakePlatform fake;
    std::optional<FrmMain> frm;
};

constexpr const char* kSkinDir = "C:\\Tools\\Skin";
constexpr const char* kConfig = "c:\\tools\\config.inf";

class Skins : public FrmMainTest {
protected:
    Skins() {
        fake.folders[kSkinDir] = {"aurora.ini", "Graphite.ini", "Meadow.ini"};  // the lister's order
        Skin("aurora.ini", "&HF0F0F0", "16777215", "&H00C08040", "aurora.bmp");
        Skin("Graphite.ini", "3355443", "&H202020", "255", "graphite.png");
        Skin("Meadow.ini", "&H80000005", "0", "&HFF", "");
    }
    void Skin(const std::string& file, const std::string& obj3d, const std::string& back, const std::string& column, const std::string& bg) {
        auto& section = fake.profiles[purgix::testing::Lower(std::string(kSkinDir) + "\\" + file)]["skin"];
        for (const auto& [key, value] : {std::pair{"color_obj3d", obj3d}, {"color_back", back}, {"color_column", column}, {"bg", bg}})
            if (!value.empty()) section[key] = value;
        if (!bg.empty()) fake.pictureFiles[std::string(kSkinDir) + "\\" + bg] = std::make_shared<FakePicture>(bg, 480, 210);
    }
    FrmMain& StartWith(const std::string& saved) {
        fake.profiles[kConfig]["configskin"]["skin"] = saved;
        return Start();
    }
    std::string Picture() const {
        auto* p = dynamic_cast<const FakePicture*>(frm->form.Picture().get());
        return p ? p->what : "none";
    }
};

}  // namespace

// Nothing is sampled before the first tick; later samples repaint only what changed: the same figures none but
// the graph's new column; less physical memory available, its two figures, the caption, the graph and the bar.
TEST_F(FrmMainTest, OneTickFillsEachFigureFromItsOwnFieldAndTheStatusLineAndCaptionAndRepaintsOnlyWhatChanged) {
    TickWatch watch(Start());
    std::string shown = frm->lblTotPhys.Caption() + " | ";
    frm->Timer1.Tick();
    shown += std::to_string(fake.samples) + " sample: ";
    for (std::size_t i = 0; i < 10; ++i) shown += static_cast<purgix::ui::Label*>(watch.controls[i])->Caption() + " | ";
    EXPECT_EQ(shown + frm->mStPOP->Caption(), "Tot | 1 sample: 262,144 | 108,132 | 41.25% | 1,048,576 | 393,216 | 37.50% | 2,097,152 | "
                                              "1,572,864 | 75.00% | Available: 41.25%     Used: 58.75% | Available: 41.25%");
    watch.Repainted();
    frm->RefreshMEM();
    EXPECT_EQ(watch.Repainted(), "PicGraph ");
    fake.memory.availPhys /= 2;
    frm->RefreshMEM();
    EXPECT_EQ(watch.Repainted(), "lblAvailPhys lblPercPhysical lblGraphPer PicGraph PicGrpPro ");
}

// A hidden window is the usual state of a tray program: its ticks touch no control but the pop-up's status line
// (and that only when its text changes), and showing it brings up what a window shown all along would show.
TEST_F(FrmMainTest, AHiddenTickTouchesNoControlAndShowingTheWindowBringsEverythingUpAtOnce) {
    purgix::testing::FakePlatform alongFake;
    FrmMain along(alongFake.platform, alongFake);  // shown all along
    along.Load();
    Start().mHide_Click();
    std::optional<TickWatch> watch(std::in_place, *frm);
    Repaints status;
    frm->mStPOP->Attach(&status);
    // 300 samples wrap the 273-pixel graph round once; the level changes every tenth.
    for (int i = 0; i < 300; ++i) {
        fake.memory.availPhys = alongFake.memory.availPhys = fake.memory.totalPhys / 100 * static_cast<std::uint64_t>(20 + i / 10 % 50);
        frm->Timer1.Tick();
        along.Timer1.Tick();
    }
    EXPECT_EQ(std::pair(watch->Repainted(), status.count), std::pair(std::string(), 30));
    frm->mStPOP->Attach(nullptr);
    watch.reset();
    frm->PicTray.MouseMove(0, 0, 515 * 15, 0);  // a double click's second press alone shows nothing
    EXPECT_FALSE(frm->form.Visible());
    frm->PicTray.MouseMove(0, 0, 513 * 15, 0);  // a left click on the icon
    const auto pixels = [](const purgix::ui::PictureBox& box) {
        std::vector<Color> all;
        for (int y = 0; y < box.Drawing().Height(); ++y)
            for (int x = 0; x < box.Drawing().Width(); ++x) all.push_back(box.Drawing().At(x, y));
        return all;
    };
    EXPECT_TRUE(frm->form.Visible());
    EXPECT_EQ(std::pair(frm->GraphX(), frm->lblAvailPhys.Caption() + frm->lblPercVirtual.Caption() + frm->lblGraphPer.Caption()),
              std::pair(along.GraphX(), along.lblAvailPhys.Caption() + along.lblPercVirtual.Caption() + along.lblGraphPer.Caption()));
    EXPECT_TRUE(pixels(frm->PicGraph) == pixels(along.PicGraph) && pixels(frm->PicGrpPro) == pixels(along.PicGrpPro))
        << "the graph and the level bar as a window shown all along has them";
}

TEST_F(FrmMainTest, GraphColumnAndLevelBoxAreFTimesHHighInTheColumnColourAndTheGraphWrapsAtItsWidth) {
    using V = std::vector<int>;
    const Color red = purgix::ui::Rgb(255, 0, 0);
    Start().RefreshMEM();
    // f = 0.41249...: the line runs from y = 38.19 to 65, rows 38..64, in the first colour, black.
    EXPECT_EQ(std::pair(Heights(frm->PicGraph, purgix::ui::kBlack, {0, 1, 2}), Heights(frm->PicGrpPro, purgix::ui::kBlack, {0, 8, 16})),
              std::pair(V{0, 27, 0}, V{27, 27, 27}));
    // A new column colour applies to the next line and the whole level box. f = 1 reaches the top edge, f = 0
    // draws nothing, f = 1/4 from y = 48.75: a pixel is covered when its centre is, rows 49..64.
    frm->SetColumnColor(red);
    for (auto [f, column, height] : {std::tuple{4, 2, 65}, {0, 3, 0}, {1, 4, 16}}) {
        fake.memory.availPhys = fake.memory.totalPhys / 4 * static_cast<std::uint64_t>(f);
        frm->RefreshMEM();
        EXPECT_EQ(std::pair(Heights(frm->PicGraph, red, {1, column}), Heights(frm->PicGrpPro, red, {0, 16})), std::pair(V{0, height}, V{height, height}))
            << f << " quarters";
    }
    fake.memory.availPhys = fake.memory.totalPhys;
    for (int i = 4; i < 273; ++i) frm->RefreshMEM();
    EXPECT_EQ(std::pair(frm->GraphX(), Heights(frm->PicGraph, red, {0, 272})), std::pair(273, V{0, 65}));
    frm->RefreshMEM();  // the 274th sample: the box is cleared and x = 0 is drawn
    EXPECT_EQ(std::pair(frm->GraphX(), Heights(frm->PicGraph, red, {0, 1, 272})), std::pair(0, V{65, 0, 0}));
    // A box made narrower than the position restarts at the left edge too.
    for (int i = 0; i < 20; ++i) frm->RefreshMEM();
    const auto b = frm->PicGraph.Bounds();
    frm->PicGraph.SetBounds({b.left, b.top, 10, b.height});
    frm->RefreshMEM();
    EXPECT_EQ(frm->GraphX(), 0);
}

// The options in their order, then the Run value (machine, then user), then stay-on-top. The icon goes up first,
// its tooltip set before it exists; shutdown writes the settings, the Run value and the skin, then takes the
// same icon away.
TEST_F(FrmMainTest, AnEmptyStoreGivesTheDefaultsInTheReadingOrderAndShutdownWritesThemBack) {
    Start();
    EXPECT_EQ(State(), "checks 1100, scrolls 5/15/30, texts 5/15%/30%, on top 1 (1 calls), shown, ran to its end, Skin1");
    EXPECT_EQ(fake.reads, (Strings{"TrayLoad", "Notify", "HotKey", "LessC", "Less", "intervalC", "interval", "Precent", "Minimized", "Purgix",
                                   "Purgix", "StayOnTop"}));
    const auto& record = fake.trayCalls.at(1).second;  // so there are two calls at least
    EXPECT_EQ(Strings(fake.calls.begin(), fake.calls.begin() + 2), (Strings{"ShellNotifyIcon(1)", "ShellNotifyIcon(0)"}));
    EXPECT_EQ(std::tuple(record.window, record.icon, record.tip), std::tuple(purgix::ui::WindowHandle{0x98}, frm->PicTray.Picture().get(),
                                                                            "--- Zarvex RAM Purgix 2.00 ---" + std::string(1, '\0') + std::string(33, ' ')));
    frm->Check4.SetValue(1);
    fake.calls.clear();
    ExpectShutdownWrites({"1", "15", "1", "5", "30", "True", "0"});
    EXPECT_EQ(fake.calls, (Strings{"SaveSetting(LessC)", "SaveSetting(Less)", "SaveSetting(intervalC)", "SaveSetting(interval)",
                                   "SaveSetting(Precent)", "SaveSetting(StayOnTop)", "SaveSetting(Minimized)", "SaveSetting(TrayLoad)",
                                   "SaveSetting(Notify)", "SaveSetting(HotKey)", "SetValue(Purgix)",
                                   "DeleteValue(Purgix)",  // the user's copy of the Run value goes
                                   "WriteProfile(CONFIGSKIN,SKIN,,C:\\Tools\\Config.inf)", "ShellNotifyIcon(2)"}));
    EXPECT_EQ(fake.trayCalls.back().second.window, 0x98u);
}

// Shutdown's writes that the system refuses leave a trace each and the shutdown goes on: a settings store that cannot
// be written, the machine's Run key (refused to most users, so the user's takes the value), a Run value that
// cannot be deleted (one that is not there is no failure), and a skin choice that fits neither beside the program
// nor in the user's own copy.
TEST_F(FrmMainTest, EveryRefusedWriteOfTheShutdownLeavesATraceAndTheShutdownGoesOn) {
    fake.folders["C:\\Tools\\Skin"] = {};
    fake.settingsRefused = fake.refuseMachineWrites = true;
    fake.readOnlyFolders = {"c:\\tools", purgix::testing::Lower(fake.userDataFolder)};
    fake.Put(purgix::platform::kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Purgix", std::string("x\0", 2));
    fake.Put(purgix::platform::kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Other", std::string("y\0", 2));
    Start();
    frm->form.Unload();
    Strings expected;
    for (const char* key : {"LessC = 1", "Less = 15", "intervalC = 1", "interval = 5", "Precent = 30", "StayOnTop = True", "Minimized = 0",
                            "TrayLoad = 0", "Notify = 0", "HotKey = 1"})
        expected.push_back(std::string("settings: ") + key + " could not be saved");
    expected.push_back("registry: deleting HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Purgix: error 5");
    expected.push_back("skin choice: could not be written to C:\\Tools\\Config.inf nor to the user's own copy");
    EXPECT_EQ(fake.traces, expected);
    EXPECT_EQ(fake.calls.back(), "ShellNotifyIcon(2)") << "the icon still goes";
    fake.traces.clear();
    frm->Check4.SetValue(1);
    frm->form.Unload();
    EXPECT_EQ(fake.traces.at(10), "registry: writing HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Purgix: error 5");
}

// The notification area refuses icons while the taskbar starts (at log-on) and Explorer restarts: a refused icon is
// offered again every 2 s, each refusal traced, until it is taken; after a minute of refusals the program gives up,
// says so in a trace, and runs on. Shutdown stops the offers.
TEST_F(FrmMainTest, ARefusedTrayIconIsOfferedAgainEveryTwoSecondsForAMinute) {
    const std::string refused = "tray icon: the notification area refused the icon";
    fake.folders["C:\\Tools\\Skin"] = {};
    fake.trayAddsRefused = 2;
    Start();
    EXPECT_EQ(std::pair(frm->TrayTimer.Enabled(), frm->TrayTimer.Interval()), std::pair(true, 2000u));
    frm->TrayTimer.Tick();
    EXPECT_TRUE(frm->TrayTimer.Enabled());
    frm->TrayTimer.Tick();
    EXPECT_FALSE(frm->TrayTimer.Enabled());
    EXPECT_EQ(fake.Calls("ShellNotifyIcon(0)").size(), 3u);
    EXPECT_EQ(fake.traces, Strings(2, refused));

    fake.traces.clear();
    fake.trayAddsRefused = 1000;
    frm->form.TaskbarCreated();
    for (int tick = 1; tick <= 30; ++tick) {
        EXPECT_TRUE(frm->TrayTimer.Enabled()) << tick;
        frm->TrayTimer.Tick();
    }
    EXPECT_FALSE(frm->TrayTimer.Enabled());
    EXPECT_EQ(fake.traces.size(), 32u);
    EXPECT_EQ(fake.traces.back(), "tray icon: still refused after a minute: the program runs on without it");

    frm->form.TaskbarCreated();
    frm->form.Unload();
    EXPECT_FALSE(frm->TrayTimer.Enabled());
}

// A grey box stays grey; a scroll bar takes the number rounded and its text box shows that number in the box's
// own form, as exit writes it. An arrow rewrites its text; one at a bound changes and rewrites nothing (up, down
// twice, up).
TEST_F(FrmMainTest, StoredNumbersShowAsExitWritesThemAndShutdownWritesTheControlValuesAfterTheSpinners) {
    Start({{"LessC", "2"}, {"Less", "2.0"}, {"intervalC", "0"}, {"interval", " 20"}, {"Precent", "99.6"}, {"Minimized", "1"},
           {"StayOnTop", "False"}});
    EXPECT_EQ(State(), "checks 0210, scrolls 20/2/100, texts 20/2%/100%, on top 0 (0 calls), hidden, ran to its end, Skin1");
    for (auto [scroll, up] : {std::pair{&frm->VScroll1, true}, {&frm->VScroll2, false}, {&frm->VScroll2, false}, {&frm->VScroll3, true}})
        scroll->Arrow(up);
    EXPECT_EQ(State(), "checks 0210, scrolls 20/1/100, texts 20/1%/100%, on top 0 (0 calls), hidden, ran to its end, Skin1");
    for (int i = 0; i < 20; ++i) frm->VScroll3.Arrow(false);
    EXPECT_EQ(frm->Text3.Text(), "10%");
    ExpectShutdownWrites({"2", "1", "0", "20", "10", "False", "1"});
}

// A value that does not convert, or that its control refuses, ends start-up silently at its step: what each
// store's failing step leaves is the settings read before it, the design's values after it. The Setup menu's three
// switches are read first, "1" and "0" as stored and anything else their default, and end nothing; shutdown writes
// them back as they are.
TEST_F(FrmMainTest, AFailedStepEndsStartUpThereAndTheProgramRunsOn) {
    fake.folders["C:\\Tools\\Skin"] = {"Blue.ini"};
    // The boxes show their spinners' values, the design's 10 for the release percent included; a spinner's number
    // out of bounds is moved to the nearer one before its step fails, a text that is no number shows the default,
    // and a number in another notation ends nothing.
    const std::string design = "scrolls 5/15/10, texts 5/15%/10%, ", read = "scrolls 5/15/30, texts 5/15%/30%, ";
    for (const auto& [stored, outcome] : std::vector<std::pair<std::map<std::string, std::string>, std::string>>{
             {{{"TrayLoad", "2"}, {"Notify", "yes"}, {"HotKey", "true"}}, "checks 1100, " + read + "on top 1 (1 calls), shown, ran to its end, Blue.ini"},
             {{{"TrayLoad", "1"}, {"Notify", "1"}, {"HotKey", "0"}, {"Less", "41"}},
              "110 checks 0100, scrolls 5/40/10, texts 5/40%/10%, on top 0 (0 calls), shown, stopped, Skin1"},
             {{{"LessC", "3"}}, "checks 0000, " + design + "on top 0 (0 calls), shown, stopped, Skin1"},
             {{{"interval", "0"}}, "checks 1100, scrolls 1/15/10, texts 1/15%/10%, on top 0 (0 calls), shown, stopped, Skin1"},
             {{{"Precent", "9"}}, "checks 1100, " + design + "on top 0 (0 calls), shown, stopped, Skin1"},
             {{{"Precent", "abc"}}, "checks 1100, " + read + "on top 0 (0 calls), shown, stopped, Skin1"},
             {{{"Precent", "999999999999"}}, "checks 1100, scrolls 5/15/100, texts 5/15%/100%, on top 0 (0 calls), shown, stopped, Skin1"},
             {{{"Precent", "1e2"}}, "checks 1100, scrolls 5/15/100, texts 5/15%/100%, on top 1 (1 calls), shown, ran to its end, Blue.ini"},
             {{{"StayOnTop", "maybe"}}, "checks 1100, " + read + "on top 0 (0 calls), shown, stopped, Skin1"},
             {{{"Minimized", "1"}, {"StayOnTop", "maybe"}}, "checks 1110, " + read + "on top 0 (0 calls), hidden, stopped, Skin1"},
             {{{"StayOnTop", "-1"}}, "checks 1100, " + read + "on top 1 (1 calls), shown, ran to its end, Blue.ini"}}) {
        frm.reset();  // its icon goes before the count starts
        fake.calls.clear();
        fake.trayCalls.clear();
        Start(stored);
        // The switches' default "001" unless the row says otherwise.
        const std::string shown = outcome.starts_with("110 ") ? outcome : "001 " + outcome, what = stored.rbegin()->first + "=" + stored.rbegin()->second;
        EXPECT_EQ(Switches() + " " + State(), shown) << what;
        EXPECT_EQ(fake.trayCalls.size(), 2u) << "the icon is up before any setting is read";
        fake.storeWrites.clear();
        frm->form.Unload();
        ASSERT_EQ(fake.storeWrites.size(), 10u) << what;
        EXPECT_EQ(fake.storeWrites[7].second + fake.storeWrites[8].second + fake.storeWrites[9].second, shown.substr(0, 3)) << what;
        fake.store.clear();
    }
}

// The keyboard reaches what the mouse does: the options only on their page, a greyed spinner not at all.
TEST_F(FrmMainTest, TabCyclesThreePagesWithTheIndicatorBesideTheShownOneAndTheKeyboardReachesOnlyWhatShows) {
    FrmMain& f = Start({{"intervalC", "0"}});
    f.Timer1.Tick();  // greys the interval's spinner
    const auto reached = [&f] {
        std::string names;
        for (const purgix::ui::Control* c : f.form.TabOrder()) names += c->Name() + " ";
        return names;
    };
    const std::string areas = "ImgOptimize ImgTab ImgWebLink ";
    EXPECT_EQ(reached(), areas);
    for (const auto& [page, top, cover, order] : std::vector<std::tuple<int, int, purgix::ui::PictureBox*, std::string>>{
             {1, 144, &f.PicChart, areas}, {2, 128, nullptr, areas + "Check1 Check2 VScroll2 VScroll3 Check4 Check3 "}, {0, 88, &f.PicTable, areas}}) {
        f.ImgTab.Click();
        EXPECT_EQ(std::tuple(f.PageIndex(), f.ImgLstView.Picture(), f.ImgLstView.Bounds().top, f.PicChart.Visible(), f.PicTable.Visible()),
                  std::tuple(page, f.ImgLst[static_cast<std::size_t>(page)].Picture(), top, cover == &f.PicChart, cover == &f.PicTable));
        EXPECT_TRUE(cover == nullptr || f.form.Children()[0] == cover) << page << ": the covering box is not in front";
        EXPECT_EQ(reached(), order) << page;
    }
}

// Beside a program at a drive root the help file is not quoted; a failed start shows nothing. A second
// About only raises the first.
TEST_F(FrmMainTest, HelpAndLinksRunTheirCommandLinesAndFailSilentlyAndThereIsOneAboutWindow) {
    fake.modulePath = "C:\\Program Files\\Purgix\\Purgix.exe";
    Start();
    for (auto* item : {frm->mContents, frm->mWeb, frm->mWebPOP, frm->mDloadSkin}) item->Click();
    frm->ImgWebLink.Click();
    const std::string home = "Run(explorer.exe https://www.quenlor.com/purgix/,0)";
    EXPECT_EQ(fake.Calls("Run("), (Strings{"Run(HH.exe \"C:\\Program Files\\Purgix\\Help.chm\",2)", home, home,
                                           "Run(explorer.exe https://www.quenlor.com/purgix/skins/,0)", home}));
    fake.modulePath = "D:\\Purgix.exe";
    fake.runFails = true;
    Start();
    fake.calls.clear();
    frm->mContents->Click();
    EXPECT_EQ(fake.calls, Strings{"Run(HH.exe D:\\Help.chm,2)"});
    frm->mAbout->Click();
    frm->mAbout->Click();
    EXPECT_EQ(fake.Calls("CreateFormWindow").size(), 1u);
    EXPECT_NE(frm->About(), nullptr);
}

TEST_F(Skins, TheMenuListsTheSkinsOnlyASavedNameOfTheSameLetterCaseIsAppliedAndThePlaceholderChangesNothing) {
    StartWith("Graphite.ini");
    std::string menu;
    for (auto* item : frm->mSSkin) menu += item->Caption() + " ";
    EXPECT_EQ(std::tuple(menu, frm->File1.ListIndex(), frm->form.BackColor(), frm->PicChart.Drawing().At(0, 0), frm->ShpColumn.BackColor(), Picture()),
              std::tuple("aurora.ini Graphite.ini Meadow.ini ", 1, 3355443, 0x202020, 255, "graphite.png"));
    StartWith("graphite.ini");
    EXPECT_EQ(std::tuple(frm->File1.ListIndex(), frm->form.BackColor(), Picture()), std::tuple(-1, purgix::ui::kButtonFace, "none"));
    frm->form.Unload();
    EXPECT_EQ(fake.profiles[kConfig]["configskin"]["skin"], "") << "no skin chosen: the key is written empty";
    // The placeholder or a missing folder changes nothing.
    fake.folders[kSkinDir] = {};
    fake.calls.clear();
    StartWith("Graphite.ini").mSSkin[0]->Click();
    EXPECT_EQ(std::pair(frm->mSSkin[0]->Caption(), frm->File1.ListIndex()), std::pair(std::string("Skin1"), -1));
    fake.folders.clear();
    EXPECT_EQ(StartWith("Graphite.ini").mSkin->Items().size(), 1u);
    EXPECT_EQ(fake.Calls("LoadPicture"), Strings{});
}

// A missing colour, or a skin file that lies outside the folder: the colours stay, the picture is not loaded, the
// graph was cleared. No picture, or one that does not load: the new colours show over the previous picture.
TEST_F(Skins, AChosenSkinRestartsTheGraphAndAFailingStepKeepsWhatTheStepsBeforeItDid) {
    Skin("NoColumn.ini", "1", "2", "", "nocolumn.bmp");
    Skin("NoBg.ini", "&H111111", "&H222222", "&H333333", "");
    Skin("BadBg.ini", "&H444444", "&H555555", "&H666666", "missing.bmp");
    Skin("Linked.ini", "4", "5", "6", "linked.bmp");
    fake.linkedOutside.insert("c:\\tools\\skin\\linked.ini");
    fake.pictureFiles.erase(std::string(kSkinDir) + "\\missing.bmp");
    fake.folders[kSkinDir] = {"BadBg.ini", "Graphite.ini", "Linked.ini", "NoBg.ini", "NoColumn.ini"};
    StartWith("Graphite.ini").RefreshMEM();
    for (std::size_t item : {4, 2}) {
        frm->mSSkin[item]->Click();
        EXPECT_EQ(std::tuple(frm->GraphX(), frm->PicGraph.Drawing().At(1, 60), frm->form.BackColor(), frm->ShpColumn.BackColor(), Picture()),
                  std::tuple(0, purgix::ui::kWindowBackground, 3355443, 255, "graphite.png")) << item;
    }
    for (auto [item, column] : {std::pair{3, 0x333333}, {0, 0x666666}}) {
        frm->mSSkin[static_cast<std::size_t>(item)]->Click();
        frm->RefreshMEM();
        EXPECT_EQ(std::tuple(frm->ShpColumn.BackColor(), frm->PicGraph.Drawing().At(1, 64), Picture()),
                  std::tuple(column, column, std::string("graphite.png")));
    }
    frm->mSSkin[0]->Click();
    EXPECT_EQ(frm->GraphX(), 0) << "chosen again, applied again";
}

// The next start reads the user's copy first, and writes there again.
TEST_F(Skins, AReadOnlyProgramFolderKeepsTheChoiceInTheUsersOwnCopy) {
    fake.readOnlyFolders.insert("c:\\tools");
    Start().mSSkin[2]->Click();
    frm->form.Unload();
    const auto& user = fake.profiles[purgix::testing::Lower(fake.userDataFolder + "\\Config.inf")]["configskin"]["skin"];
    EXPECT_EQ(std::pair(user, fake.Calls("CreateUserDataFolder").size()), std::pair(std::string("Meadow.ini"), std::size_t{1}));
    fake.readOnlyFolders.clear();
    EXPECT_EQ(StartWith("aurora.ini").File1.ListIndex(), 2);
    frm->mSSkin[0]->Click();
    frm->form.Unload();
    EXPECT_EQ(user, "aurora.ini");
}

TEST_F(Skins, EveryNameComesBackAsChosenAndTheMenuShowsItsAmpersandsAsThemselves) {
    fake.folders[kSkinDir] = {" lead.ini", "Rock&Roll.ini", "trail .ini", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.ini"};
    for (const auto& name : fake.folders[kSkinDir]) Skin(name, "1", "2", "3", "");
    Start();
    std::string menu;
    for (auto* item : frm->mSSkin) menu += item->Caption() + "|";
    EXPECT_EQ(menu, " lead.ini|Rock&&Roll.ini|trail .ini|\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.ini|");
    for (int chosen = 0; chosen < 4; ++chosen) {
        frm->mSSkin[static_cast<std::size_t>(chosen)]->Click();
        frm->form.Unload();
        EXPECT_EQ(Start().File1.ListIndex(), chosen) << fake.profiles[kConfig]["configskin"]["skin"];
    }
}


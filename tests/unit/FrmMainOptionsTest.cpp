// Start-up and shutdown over the settings store and the Run value, page
// switching and the spinners of the options page.
#include <gtest/gtest.h>

#include <map>

#include "FakePlatform.h"
#include "app/FrmMain.h"
#include "settings/StartWithWindows.h"

using purgix::app::FrmMain;
using purgix::platform::kHkeyCurrentUser;
using purgix::platform::kHkeyLocalMachine;
using purgix::settings::kRunKey;
using purgix::testing::FakePlatform;

namespace {

class FrmMainOptions : public ::testing::Test {
protected:
    void Store(const std::map<std::string, std::string>& values) {
        for (const auto& [key, value] : values) fake.store["purgix\\options\\" + purgix::testing::Lower(key)] = value;
    }
    // The seven keys in the order shutdown wrote them.
    std::vector<std::pair<std::string, std::string>> Written() const { return fake.storeWrites; }
    static std::vector<std::pair<std::string, std::string>> Expected(const char* lessC, const char* less, const char* intervalC,
                                                                     const char* interval, const char* precent, const char* onTop,
                                                                     const char* minimized) {
        const std::string at = "Purgix\\Options\\";
        return {{at + "LessC", lessC},   {at + "Less", less},           {at + "intervalC", intervalC}, {at + "interval", interval},
                {at + "Precent", precent}, {at + "StayOnTop", onTop}, {at + "Minimized", minimized}};
    }
    int TopmostCalls() const {
        int n = 0;
        for (const auto& c : fake.calls) n += c == "SetWindowPos(-1,3)";
        return n;
    }
    FakePlatform fake;
};

}  // namespace

TEST_F(FrmMainOptions, AnEmptyStoreGivesTheDefaultsAndNothingIsWrittenBeforeShutdown) {
    FrmMain frm(fake.platform);
    frm.Load();
    EXPECT_EQ(frm.Check1.Value(), 1);
    EXPECT_EQ(frm.Check2.Value(), 1);
    EXPECT_EQ(frm.Check3.Value(), 0);
    EXPECT_EQ(frm.Check4.Value(), 0);
    EXPECT_EQ(frm.VScroll1.Value(), 5);
    EXPECT_EQ(frm.Text1.Text(), "5");
    EXPECT_EQ(frm.VScroll2.Value(), 15);
    EXPECT_EQ(frm.Text2.Text(), "15%");
    EXPECT_EQ(frm.VScroll3.Value(), 30);
    EXPECT_EQ(frm.Text3.Text(), "30%");
    EXPECT_TRUE(frm.mStayOnTop->Checked());
    EXPECT_EQ(TopmostCalls(), 1);
    EXPECT_TRUE(frm.form.Visible());
    EXPECT_TRUE(fake.storeWrites.empty());

    frm.form.Unload();
    EXPECT_EQ(Written(), Expected("1", "15", "1", "5", "30", "True", "0"));
}

TEST_F(FrmMainOptions, StoredValuesReachTheControlsAndGoBackAsStored) {
    Store({{"LessC", "2"}, {"Less", "40"}, {"intervalC", "0"}, {"interval", "20"}, {"Precent", "100"}, {"Minimized", "0"},
           {"StayOnTop", "False"}});
    FrmMain frm(fake.platform);
    frm.Load();
    EXPECT_EQ(frm.Check2.Value(), 2);  // a grey box from a hand-edited store is kept
    EXPECT_EQ(frm.VScroll2.Value(), 40);
    EXPECT_EQ(frm.Text2.Text(), "40%");
    EXPECT_EQ(frm.Check1.Value(), 0);
    EXPECT_EQ(frm.VScroll1.Value(), 20);
    EXPECT_EQ(frm.Text1.Text(), "20");
    EXPECT_EQ(frm.Text3.Text(), "100%");
    EXPECT_FALSE(frm.mStayOnTop->Checked());
    EXPECT_EQ(TopmostCalls(), 0);
    EXPECT_EQ(frm.ImgLstView.Picture(), frm.ImgLst[0].Picture()) << "start-up did not run to its end";
    frm.form.Unload();
    EXPECT_EQ(Written(), Expected("2", "40", "0", "20", "100", "False", "0"));
}

TEST_F(FrmMainOptions, TextBoxesShowTheStoredTextWhileScrollBarsTakeItRounded) {
    Store({{"Less", "15.4"}, {"interval", " 7"}});
    FrmMain frm(fake.platform);
    frm.Load();
    EXPECT_EQ(frm.VScroll2.Value(), 15);
    EXPECT_EQ(frm.Text2.Text(), "15.4%");
    EXPECT_EQ(frm.VScroll1.Value(), 7);
    EXPECT_EQ(frm.Text1.Text(), " 7");
}

TEST_F(FrmMainOptions, StayOnTopReadsTrueFalseInAnyCaseOrANumber) {
    for (const auto& [text, onTop] : std::vector<std::pair<std::string, bool>>{{"0", false}, {"false", false}, {"-1", true}, {"True", true}}) {
        FakePlatform f;
        f.store["purgix\\options\\stayontop"] = text;
        FrmMain frm(f.platform);
        frm.Load();
        EXPECT_EQ(frm.mStayOnTop->Checked(), onTop) << text;
        EXPECT_EQ(std::count(f.calls.begin(), f.calls.end(), "SetWindowPos(-1,3)"), onTop ? 1 : 0) << text;
    }
}

TEST_F(FrmMainOptions, AValueItsControlRefusesEndsStartUpThereAndShutdownWritesDesignValues) {
    Store({{"LessC", "0"}, {"Less", "41"}, {"intervalC", "0"}, {"interval", "9"}, {"Precent", "50"}, {"Minimized", "1"}});
    fake.PutString(kHkeyLocalMachine, kRunKey, "Purgix", "C:\\Tools\\Purgix.exe");
    FrmMain frm(fake.platform);
    frm.Load();
    EXPECT_EQ(frm.Check2.Value(), 0);  // read before the failure
    EXPECT_EQ(frm.VScroll2.Value(), 15);
    EXPECT_EQ(frm.Text2.Text(), "15%");
    EXPECT_EQ(frm.Check1.Value(), 0);
    EXPECT_EQ(frm.VScroll1.Value(), 5);
    EXPECT_EQ(frm.Text1.Text(), "5");
    EXPECT_EQ(frm.VScroll3.Value(), 10);
    EXPECT_EQ(frm.Text3.Text(), "40%");
    EXPECT_EQ(frm.Check3.Value(), 0);
    EXPECT_EQ(frm.Check4.Value(), 0);
    EXPECT_FALSE(frm.mStayOnTop->Checked());
    EXPECT_EQ(TopmostCalls(), 0);
    EXPECT_EQ(frm.ImgLstView.Picture(), nullptr);
    EXPECT_TRUE(frm.form.Visible()) << "the program runs on with its window";

    frm.form.Unload();
    EXPECT_EQ(Written(), Expected("0", "15", "0", "5", "10", "False", "0"));
    EXPECT_EQ(fake.FindValue(kHkeyLocalMachine, kRunKey, "Purgix"), nullptr) << "a clear box removes the entry";
}

TEST_F(FrmMainOptions, TextsThatDoNotConvertEndStartUpToo) {
    for (const auto& [key, text] : std::vector<std::pair<std::string, std::string>>{
             {"LessC", "3"}, {"LessC", "yes"}, {"interval", "0"}, {"Precent", "9"}, {"Minimized", "-1"}, {"StayOnTop", "maybe"}}) {
        FakePlatform f;
        f.store["purgix\\options\\" + purgix::testing::Lower(key)] = text;
        FrmMain frm(f.platform);
        frm.Load();
        EXPECT_EQ(frm.ImgLstView.Picture(), nullptr) << key << "=" << text;
        EXPECT_EQ(std::count(f.calls.begin(), f.calls.end(), "SetWindowPos(-1,3)"), 0) << key << "=" << text;
    }
}

TEST_F(FrmMainOptions, StartMinimizedKeepsTheWindowHidden) {
    Store({{"Minimized", "1"}});
    FrmMain frm(fake.platform);
    frm.Load();
    EXPECT_FALSE(frm.form.Visible());
    EXPECT_EQ(frm.ImgLstView.Picture(), frm.ImgLst[0].Picture());
    frm.form.Unload();
    EXPECT_EQ(Written().back().second, "1");
}

TEST_F(FrmMainOptions, ARootFolderProgramWritesItsCommandAndFindsItAtTheNextStart) {
    fake.modulePath = "D:\\Purgix.exe";
    {
        FrmMain frm(fake.platform);
        frm.Load();
        EXPECT_EQ(frm.Check4.Value(), 0);
        frm.Check4.UserClick();
        frm.form.Unload();
    }
    const auto* v = fake.FindValue(kHkeyLocalMachine, kRunKey, "Purgix");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(std::string(v->bytes.begin(), v->bytes.end()), std::string("D:\\Purgix.exe\0", 14));
    FrmMain again(fake.platform);
    again.Load();
    EXPECT_EQ(again.Check4.Value(), 1);
}

TEST_F(FrmMainOptions, WithoutMachineRightsTheEntryLandsInTheUsersKeyAndTicksTheBox) {
    fake.refuseMachineWrites = true;
    fake.modulePath = "C:\\Program Files\\Purgix\\Purgix.exe";
    {
        FrmMain frm(fake.platform);
        frm.Load();
        frm.Check4.SetValue(1);
        frm.form.Unload();
    }
    EXPECT_EQ(fake.FindValue(kHkeyLocalMachine, kRunKey, "Purgix"), nullptr);
    ASSERT_NE(fake.FindValue(kHkeyCurrentUser, kRunKey, "Purgix"), nullptr);
    EXPECT_EQ(std::count_if(fake.calls.begin(), fake.calls.end(), [](const std::string& c) { return c.rfind("ShowMessage", 0) == 0; }), 0);
    FrmMain again(fake.platform);
    again.Load();
    EXPECT_EQ(again.Check4.Value(), 1);
    again.Check4.UserClick();
    again.form.Unload();
    EXPECT_EQ(fake.FindValue(kHkeyCurrentUser, kRunKey, "Purgix"), nullptr);
}

TEST_F(FrmMainOptions, TabCyclesThreePagesAndOnlyTheOptionsPageLeavesItsControlsReachable) {
    FrmMain frm(fake.platform);
    frm.Load();
    auto windowed = [](const purgix::ui::Control& c) { return !c.IsGraphical(); };
    const std::vector<purgix::ui::Control*> options = {&frm.Check1, &frm.Check2, &frm.Check3, &frm.Check4, &frm.Text1, &frm.Text2,
                                                        &frm.Text3, &frm.VScroll1, &frm.VScroll2, &frm.VScroll3};
    auto hitAll = [&](purgix::ui::Control* expected) {
        for (purgix::ui::Control* c : options) {
            const auto& b = c->Bounds();
            purgix::ui::Control* hit = frm.form.ChildAt(b.left + b.width / 2, b.top + b.height / 2, windowed);
            EXPECT_EQ(hit, expected == nullptr ? c : expected) << c->Name() << " on page " << frm.PageIndex();
        }
    };
    EXPECT_EQ(frm.PageIndex(), 0);
    hitAll(&frm.PicTable);

    frm.ImgTab.Click();
    EXPECT_EQ(frm.PageIndex(), 1);
    EXPECT_EQ(frm.form.Children()[0], &frm.PicChart);
    EXPECT_TRUE(frm.PicChart.Visible());
    EXPECT_FALSE(frm.PicTable.Visible());
    EXPECT_EQ(frm.ImgLstView.Picture(), frm.ImgLst[1].Picture());
    EXPECT_EQ(frm.ImgLstView.Bounds().top, 144);
    hitAll(&frm.PicChart);

    frm.ImgTab.Click();
    EXPECT_EQ(frm.PageIndex(), 2);
    EXPECT_FALSE(frm.PicChart.Visible());
    EXPECT_FALSE(frm.PicTable.Visible());
    EXPECT_EQ(frm.ImgLstView.Picture(), frm.ImgLst[2].Picture());
    EXPECT_EQ(frm.ImgLstView.Bounds().top, 128);
    hitAll(nullptr);

    frm.ImgTab.Click();
    EXPECT_EQ(frm.PageIndex(), 0);
    EXPECT_EQ(frm.form.Children()[0], &frm.PicTable);
    EXPECT_TRUE(frm.PicTable.Visible());
    EXPECT_FALSE(frm.PicChart.Visible());
    EXPECT_EQ(frm.ImgLstView.Picture(), frm.ImgLst[0].Picture());
    EXPECT_EQ(frm.ImgLstView.Bounds().top, 88);
    hitAll(&frm.PicTable);
    frm.ImgTab.Click();
    EXPECT_EQ(frm.PageIndex(), 1);
}

TEST_F(FrmMainOptions, SpinnerArrowsRewriteTheirTextsAndStopAtTheBounds) {
    Store({{"interval", "19"}, {"Less", "2"}, {"Precent", "98"}});
    FrmMain frm(fake.platform);
    frm.Load();
    frm.VScroll1.Arrow(true);
    EXPECT_EQ(frm.Text1.Text(), "20");
    frm.VScroll2.Arrow(false);
    EXPECT_EQ(frm.Text2.Text(), "1%");
    frm.VScroll3.Arrow(true);  // 98 + 5 stops at 100
    EXPECT_EQ(frm.VScroll3.Value(), 100);
    EXPECT_EQ(frm.Text3.Text(), "100%");

    // At a bound the arrow past it changes nothing and rewrites nothing.
    for (purgix::ui::TextBox* t : {&frm.Text1, &frm.Text2, &frm.Text3}) t->SetText("mark");
    frm.VScroll1.Arrow(true);
    frm.VScroll2.Arrow(false);
    frm.VScroll3.Arrow(true);
    EXPECT_EQ(frm.VScroll1.Value(), 20);
    EXPECT_EQ(frm.VScroll2.Value(), 1);
    EXPECT_EQ(frm.VScroll3.Value(), 100);
    for (purgix::ui::TextBox* t : {&frm.Text1, &frm.Text2, &frm.Text3}) EXPECT_EQ(t->Text(), "mark") << t->Name();

    frm.VScroll3.Arrow(false);
    EXPECT_EQ(frm.Text3.Text(), "95%");
    for (int i = 0; i < 30; ++i) frm.VScroll3.Arrow(false);
    EXPECT_EQ(frm.VScroll3.Value(), 10);
    EXPECT_EQ(frm.Text3.Text(), "10%");
    EXPECT_TRUE(frm.Text1.readOnly && frm.Text2.readOnly && frm.Text3.readOnly);
}

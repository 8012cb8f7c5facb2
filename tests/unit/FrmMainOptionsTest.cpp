// Start-up and shutdown over the settings store and the Run value, page
// switching and the spinners of the options page.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <sstream>

#include "FakePlatform.h"
#include "app/FrmMain.h"
#include "settings/StartWithWindows.h"

using purgix::app::FrmMain;
using purgix::platform::kHkeyLocalMachine;
using purgix::settings::kRunKey;

namespace {

class FrmMainOptions : public ::testing::Test {
protected:
    FrmMain& Start(const std::map<std::string, std::string>& stored = {}) {
        for (const auto& [key, value] : stored) fake.store["purgix\\options\\" + purgix::testing::Lower(key)] = value;
        frm.emplace(fake.platform);
        frm->Load();
        return *frm;
    }
    // Shuts down and checks that exactly these seven values were ever written, in this order.
    void ExpectShutdownWrites(const std::vector<std::string>& values) {
        frm->form.Unload();
        const char* keys[] = {"LessC", "Less", "intervalC", "interval", "Precent", "StayOnTop", "Minimized"};
        std::vector<std::pair<std::string, std::string>> expected;
        for (std::size_t i = 0; i < values.size(); ++i) expected.emplace_back(std::string("Purgix\\Options\\") + keys[i], values[i]);
        EXPECT_EQ(fake.storeWrites, expected);
    }
    long TopmostCalls() const { return std::count(fake.calls.begin(), fake.calls.end(), "SetWindowPos(-1,3)"); }
    // The options controls and what start-up did, in one line.
    std::string State() const {
        const FrmMain& f = *frm;
        std::ostringstream s;
        s << "checks " << f.Check1.Value() << f.Check2.Value() << f.Check3.Value() << f.Check4.Value() << ", scrolls " << f.VScroll1.Value()
          << "/" << f.VScroll2.Value() << "/" << f.VScroll3.Value() << ", texts " << f.Text1.Text() << "/" << f.Text2.Text() << "/"
          << f.Text3.Text() << ", on top " << f.mStayOnTop->Checked() << " (" << TopmostCalls() << " calls), "
          << (f.form.Visible() ? "shown" : "hidden") << (f.ImgLstView.Picture() == f.ImgLst[0].Picture() ? ", ran to its end" : ", stopped");
        return s.str();
    }
    purgix::testing::FakePlatform fake;
    std::optional<FrmMain> frm;
};

}  // namespace

TEST_F(FrmMainOptions, AnEmptyStoreGivesTheDefaultsInTheReadingOrderAndShutdownWritesThemBack) {
    Start();
    EXPECT_EQ(State(), "checks 1100, scrolls 5/15/30, texts 5/15%/30%, on top 1 (1 calls), shown, ran to its end");
    // The options in their order, then the Run value (machine, then user), then stay-on-top.
    EXPECT_EQ(fake.reads, (std::vector<std::string>{"LessC", "Less", "intervalC", "interval", "Precent", "Minimized", "Purgix",
                                                    "Purgix", "StayOnTop"}));
    ExpectShutdownWrites({"1", "15", "1", "5", "30", "True", "0"});
}

TEST_F(FrmMainOptions, StoredValuesReachTheControlsAndShutdownWritesTheControlValues) {
    Start({{"LessC", "2"}, {"Less", "40"}, {"intervalC", "0"}, {"interval", "20"}, {"Precent", "99.6"}, {"Minimized", "1"},
           {"StayOnTop", "False"}});
    // A grey box stays grey; a scroll bar takes the number rounded while its text box shows the text as stored.
    EXPECT_EQ(State(), "checks 0210, scrolls 20/40/100, texts 20/40%/99.6%, on top 0 (0 calls), hidden, ran to its end");
    ExpectShutdownWrites({"2", "40", "0", "20", "100", "False", "1"});
}

TEST_F(FrmMainOptions, StayOnTopReadsTrueFalseOrANumberAndAnyTextThatDoesNotConvertEndsStartUp) {
    for (const auto& [key, text, onTop] : std::vector<std::tuple<std::string, std::string, std::optional<bool>>>{
             {"StayOnTop", "0", false}, {"StayOnTop", "false", false}, {"StayOnTop", "-1", true}, {"StayOnTop", "True", true},
             {"LessC", "3", {}}, {"LessC", "yes", {}}, {"interval", "0", {}}, {"Precent", "9", {}}, {"Minimized", "-1", {}},
             {"StayOnTop", "maybe", {}}}) {
        fake.store.clear();
        fake.calls.clear();
        FrmMain& f = Start({{key, text}});
        EXPECT_EQ(f.ImgLstView.Picture() != nullptr, onTop.has_value()) << key << "=" << text << ": start-up ran to its end";
        EXPECT_EQ(f.mStayOnTop->Checked(), onTop.value_or(false)) << key << "=" << text;
        EXPECT_EQ(TopmostCalls(), onTop.value_or(false) ? 1 : 0) << key << "=" << text;
    }
}

TEST_F(FrmMainOptions, ATickedBoxWritesTheStartCommandOfARootFolderProgramAndReadsTickedNextTime) {
    fake.modulePath = "D:\\Purgix.exe";
    Start().Check4.UserClick();
    frm->form.Unload();
    const auto* v = fake.FindValue(kHkeyLocalMachine, kRunKey, "Purgix");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(std::string(v->bytes.begin(), v->bytes.end()), std::string("D:\\Purgix.exe\0", 14));
    EXPECT_EQ(Start().Check4.Value(), 1);
}

TEST_F(FrmMainOptions, TabCyclesThreePagesAndOnlyTheOptionsPageLeavesItsControlsUncovered) {
    FrmMain& f = Start();
    const std::vector<purgix::ui::Control*> options = {&f.Check1, &f.Check2, &f.Check3, &f.Check4, &f.Text1,
                                                        &f.Text2,  &f.Text3,  &f.VScroll1, &f.VScroll2, &f.VScroll3};
    auto expectCoveredBy = [&](purgix::ui::Control* cover) {
        for (purgix::ui::Control* c : options) {
            const auto& b = c->Bounds();
            const auto* hit = f.form.ChildAt(b.left + b.width / 2, b.top + b.height / 2, [](const auto& w) { return !w.IsGraphical(); });
            EXPECT_EQ(hit, cover == nullptr ? c : cover) << c->Name() << " on page " << f.PageIndex();
        }
    };
    EXPECT_EQ(f.PageIndex(), 0);
    expectCoveredBy(&f.PicTable);
    for (const auto& [page, top, cover] : std::vector<std::tuple<int, int, purgix::ui::PictureBox*>>{
             {1, 144, &f.PicChart}, {2, 128, nullptr}, {0, 88, &f.PicTable}}) {
        f.ImgTab.Click();
        EXPECT_EQ(f.PageIndex(), page);
        EXPECT_EQ(f.ImgLstView.Picture(), f.ImgLst[static_cast<std::size_t>(page)].Picture()) << page;
        EXPECT_EQ(f.ImgLstView.Bounds().top, top) << page;
        EXPECT_EQ(f.PicChart.Visible(), cover == &f.PicChart) << page;
        EXPECT_EQ(f.PicTable.Visible(), cover == &f.PicTable) << page;
        EXPECT_TRUE(cover == nullptr || f.form.Children()[0] == cover) << page << ": the covering box is not in front";
        expectCoveredBy(cover);
    }
}

TEST_F(FrmMainOptions, SpinnerArrowsRewriteTheirTextsAndAtTheBoundsChangeAndRewriteNothing) {
    FrmMain& f = Start({{"interval", " 19"}, {"Less", "2.0"}, {"Precent", "98"}});
    EXPECT_EQ(std::make_tuple(f.Text1.Text(), f.Text2.Text()), std::make_tuple(" 19", "2.0%")) << "texts as stored, not as converted";
    auto arrowsTowardsTheBounds = [&] {
        f.VScroll1.Arrow(true);
        f.VScroll2.Arrow(false);
        f.VScroll3.Arrow(true);
    };
    arrowsTowardsTheBounds();  // 98 + 5 stops at 100
    EXPECT_EQ(std::make_tuple(f.Text1.Text(), f.Text2.Text(), f.Text3.Text()), std::make_tuple("20", "1%", "100%"));

    for (purgix::ui::TextBox* t : {&f.Text1, &f.Text2, &f.Text3}) t->SetText("mark");
    arrowsTowardsTheBounds();
    EXPECT_EQ(std::make_tuple(f.VScroll1.Value(), f.VScroll2.Value(), f.VScroll3.Value()), std::make_tuple(20, 1, 100));
    EXPECT_EQ(std::make_tuple(f.Text1.Text(), f.Text2.Text(), f.Text3.Text()), std::make_tuple("mark", "mark", "mark"));

    for (int i = 0; i < 20; ++i) f.VScroll3.Arrow(false);
    EXPECT_EQ(f.Text3.Text(), "10%");
    EXPECT_TRUE(f.Text1.readOnly && f.Text2.readOnly && f.Text3.readOnly);
}

// Skins: the list and the menu, applying a skin with its partial results, the
// colour numbers, and the saved choice in Config.inf.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "FakePlatform.h"
#include "app/FrmMain.h"
#include "settings/Settings.h"
#include "skins/ColorNumber.h"

using purgix::app::FrmMain;
using purgix::skins::ColorNumber;
using purgix::testing::FakePicture;

namespace {

constexpr const char* kSkinDir = "C:\\Tools\\Skin";
constexpr const char* kConfig = "c:\\tools\\config.inf";

class Skins : public ::testing::Test {
protected:
    Skins() {
        fake.folders[kSkinDir] = {"Meadow.ini", "aurora.ini", "Graphite.ini", "notes.txt"};
        Skin("aurora.ini", "&HF0F0F0", "16777215", "&H00C08040", "aurora.bmp");
        Skin("Graphite.ini", "3355443", "&H202020", "255", "graphite.png");
        Skin("Meadow.ini", "&H80000005", "0", "&HFF", "");
    }
    void Skin(const std::string& file, const std::string& obj3d, const std::string& back, const std::string& column, const std::string& bg) {
        auto& section = fake.profiles[purgix::testing::Lower(std::string(kSkinDir) + "\\" + file)]["skin"];
        if (!obj3d.empty()) section["color_obj3d"] = obj3d;
        if (!back.empty()) section["color_back"] = back;
        if (!column.empty()) section["color_column"] = column;
        if (!bg.empty()) {
            section["bg"] = bg;
            fake.pictureFiles[std::string(kSkinDir) + "\\" + bg] = std::make_shared<FakePicture>(bg, 480, 210);
        }
    }
    FrmMain& Start(const std::string& saved = "") {
        if (!saved.empty()) fake.profiles[kConfig]["configskin"]["skin"] = saved;
        frm.emplace(fake.platform);
        frm->Load();
        return *frm;
    }
    std::string Picture() const {
        auto* p = dynamic_cast<const FakePicture*>(frm->form.Picture().get());
        return p ? p->what : "none";
    }
    std::string Saved() { return fake.profiles[kConfig]["configskin"]["skin"]; }

    purgix::testing::FakePlatform fake;
    std::optional<FrmMain> frm;
};

TEST_F(Skins, TheMenuListsTheSkinsInOrderAndTheSavedOneIsApplied) {
    Start("Graphite.ini");
    std::vector<std::string> captions;
    for (auto* item : frm->mSSkin) captions.push_back(item->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{"aurora.ini", "Graphite.ini", "Meadow.ini"}));
    // The other two colours read from a saved skin are pinned by AFailingStep; the saving is the end-to-end tier's.
    EXPECT_EQ(std::tuple(frm->mSkin->Items().size(), frm->File1.ListIndex(), frm->PicChart.BackColor(), Picture()),
              std::tuple(3u, 1, 0x202020, "graphite.png"));
}

TEST_F(Skins, ASavedNameMatchesOnlyWithTheSameLetterCase) {
    Start("graphite.ini");
    EXPECT_EQ(std::tuple(frm->File1.ListIndex(), frm->form.BackColor(), Picture()), std::tuple(-1, purgix::ui::kButtonFace, "none"));
    frm->form.Unload();
    EXPECT_EQ(Saved(), "") << "no skin chosen: the key is written empty";
}

TEST_F(Skins, ChoosingFromTheMenuAppliesAndRestartsTheGraph) {
    Start();
    for (int i = 0; i < 3; ++i) frm->RefreshMEM();
    ASSERT_EQ(frm->GraphX(), 3);
    frm->mSSkin[0]->Click();
    EXPECT_EQ(std::tuple(frm->GraphX(), frm->PicGraph.Drawing().At(1, 60), frm->form.BackColor(), Picture()),
              std::tuple(0, purgix::ui::kWindowBackground, 0xF0F0F0, "aurora.bmp")) << "applied, and the graph cleared";
    // The graph and the level bar draw in the new column colour from the next tick.
    frm->RefreshMEM();
    EXPECT_EQ(std::pair(frm->PicGrpPro.Drawing().At(8, 64), frm->PicGraph.Drawing().At(1, 64)), std::pair(0xC08040, 0xC08040));
    // Choosing it again applies it again.
    frm->form.SetPicture(nullptr);
    frm->mSSkin[0]->Click();
    EXPECT_EQ(Picture(), "aurora.bmp");
}

TEST_F(Skins, AFailingStepKeepsWhatTheStepsBeforeItDid) {
    Skin("NoColumn.ini", "1", "2", "", "nocolumn.bmp");
    Skin("NoBg.ini", "&H111111", "&H222222", "&H333333", "");
    Skin("BadBg.ini", "&H444444", "&H555555", "&H666666", "");
    fake.profiles["c:\\tools\\skin\\badbg.ini"]["skin"]["bg"] = "missing.bmp";
    fake.folders[kSkinDir] = {"BadBg.ini", "Graphite.ini", "NoBg.ini", "NoColumn.ini"};
    Start("Graphite.ini");
    // A missing colour: the three colours stay, the picture is not loaded, the graph was cleared.
    frm->RefreshMEM();
    frm->mSSkin[3]->Click();
    EXPECT_EQ(std::tuple(frm->GraphX(), frm->form.BackColor(), frm->ShpColumn.BackColor(), Picture()), std::tuple(0, 3355443, 255, "graphite.png"));
    // No picture, or one that does not load: the new colours show over the previous picture.
    for (int i : {2, 0}) {
        frm->mSSkin[static_cast<std::size_t>(i)]->Click();
        EXPECT_EQ(frm->ShpColumn.BackColor(), i == 2 ? 0x333333 : 0x666666);
        EXPECT_EQ(Picture(), "graphite.png");
    }
}

TEST_F(Skins, ThePlaceholderOrAMissingFolderChangesNothing) {
    fake.folders[kSkinDir] = {};
    Start("Graphite.ini");
    frm->mSSkin[0]->Click();
    EXPECT_EQ(frm->mSSkin[0]->Caption(), "Skin1");
    EXPECT_EQ(frm->File1.ListIndex(), -1);

    fake.folders.clear();
    fake.calls.clear();
    Start("Graphite.ini");
    EXPECT_EQ(frm->mSkin->Items().size(), 1u);
    EXPECT_TRUE(std::none_of(fake.calls.begin(), fake.calls.end(), [](const std::string& c) { return c.rfind("LoadPicture", 0) == 0; }));
}

TEST_F(Skins, AReadOnlyProgramFolderKeepsTheChoiceInTheUsersOwnCopy) {
    fake.readOnlyFolders.insert("c:\\tools");
    Start();
    frm->mSSkin[2]->Click();
    frm->form.Unload();
    const std::string user = purgix::testing::Lower(fake.userDataFolder + "\\Config.inf");
    EXPECT_EQ(fake.profiles[user]["configskin"]["skin"], "Meadow.ini");
    EXPECT_NE(std::find(fake.calls.begin(), fake.calls.end(), "CreateUserDataFolder"), fake.calls.end());
    // The next start reads the user's copy first, and writes there again.
    fake.profiles[kConfig]["configskin"]["skin"] = "aurora.ini";
    fake.readOnlyFolders.clear();
    Start();
    EXPECT_EQ(frm->File1.ListIndex(), 2);
    frm->mSSkin[0]->Click();
    frm->form.Unload();
    EXPECT_EQ(fake.profiles[user]["configskin"]["skin"], "aurora.ini");
}

TEST(ColorNumbers, DecimalAndHexadecimalTextUpToTheFirstNul) {
    const struct {
        std::string text;
        purgix::ui::Color value;
    } good[] = {
        {"255", 255}, {"&HFF", 255}, {"&hff", 255}, {std::string("7") + '\0' + "99", 7}, {"16777215", 0xFFFFFF},
        {"&H80000005", purgix::ui::SystemColor(5)}, {"-1", -1}, {"&HFFFFFFFF", -1}, {" 12 ", 12}, {"&H000000000FF", 255},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
    };
    for (const auto& c : good) EXPECT_EQ(ColorNumber(c.text), c.value) << c.text;
    const std::string bad[] = {"", std::string("\0" "255", 4), "red", "&H", "&HFG", "&H100000000", "2147483648", "-2147483649",
                               "1e10", "&H-1", "0x10"};
    for (const auto& text : bad) EXPECT_THROW(ColorNumber(text), purgix::settings::ConversionError) << text;
}

}  // namespace

// The About window: what it draws, its link regions and its button.
#include <gtest/gtest.h>

#include <tuple>

#include "FakePlatform.h"
#include "about/FrmAbout.h"

namespace {

class About : public ::testing::Test {
protected:
    About() { fake.CreateFormWindow(about.form); about.Form_Load(); }
    purgix::testing::FakePlatform fake;
    purgix::ui::PicturePtr icon = std::make_shared<purgix::testing::FakePicture>("icon", 32, 32);
    purgix::ui::PicturePtr hand = std::make_shared<purgix::testing::FakePicture>("hand", 32, 32);
    purgix::about::FrmAbout about{fake.platform, "Purgix", icon, hand};
};

}  // namespace

TEST_F(About, LoadDrawsTheLinesTheIconAndStaysOnTop) {
    const std::string in(25, ' ');
    std::string printed;
    for (const auto& l : about.form.Printed()) printed += std::to_string(l.y) + (l.color == purgix::ui::kButtonText ? ":" : " blue:") + l.text + "\n";
    EXPECT_EQ(printed, "0:\n13:" + in + "Version (Zarvex)2.0.0\n26:" + in + "Purgix\n39:" + in + "Copyright (C) Quenlor. All rights reserved.\n52:\n" +
                           "65 blue:" + in + "purgix@quenlor.com\n78 blue:" + in + "https://www.quenlor.com/purgix/\n");
    const auto& pictures = about.form.DrawnPictures();
    EXPECT_EQ(std::tuple(about.form.Caption(), pictures.size(), pictures.at(0).x, pictures.at(0).y, fake.calls.back(), about.form.Icon()),
              std::tuple("--- About Purgix ---", 1u, 20, 13, "SetWindowPos(-1,3)", nullptr));
    about.form.Activate();
    EXPECT_EQ(about.form.Icon(), icon);
}

TEST_F(About, LinksAnswerInsideTheirStrictRegionsToAnyButton) {
    const std::string mail = "Run(explorer.exe mailto: purgix@quenlor.com?subject=Purgix%202.00,0)";
    const std::string home = "Run(explorer.exe https://www.quenlor.com/purgix/,0)";
    for (const auto& [x, y, button, shows, opens] : std::vector<std::tuple<double, double, int, bool, std::string>>{
             {651, 1001, 1, true, mail}, {2649, 1199, 2, true, mail}, {1000, 1100, 4, true, mail}, {651, 1201, 1, true, home},
             {2649, 1399, 2, true, home}, {1000, 1200, 1, true, ""},  // between the two lines: the hand, but no link
             {650, 1100, 1, false, ""}, {2650, 1100, 1, false, ""}, {1000, 1000, 1, false, ""}, {1000, 1400, 1, false, ""}}) {
        fake.calls.clear();
        about.form.MouseMove(0, 0, x, y);
        const auto pointer = std::pair(about.form.Pointer(), about.form.MouseIcon());
        about.form.MouseUp(button, 0, x, y);
        EXPECT_EQ(std::tuple(pointer, fake.calls), std::tuple(std::pair(shows ? purgix::ui::MousePointer::Custom : purgix::ui::MousePointer::Default,
                                                                        shows ? hand : nullptr),
                                                              opens.empty() ? std::vector<std::string>{} : std::vector<std::string>{opens}))
            << x << "," << y;
    }
    fake.runFails = true;
    EXPECT_NO_THROW(about.form.MouseUp(1, 0, 1000, 1100));
}

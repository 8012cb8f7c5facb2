// The About window: what it draws, its link regions and its button.
#include <gtest/gtest.h>

#include <tuple>

#include "FakePlatform.h"
#include "about/FrmAbout.h"

namespace {

class About : public ::testing::Test {
protected:
    About() {
        fake.CreateFormWindow(about.form);
        about.Form_Load();
    }
    purgix::testing::FakePlatform fake;
    purgix::ui::PicturePtr icon = std::make_shared<purgix::testing::FakePicture>("icon", 32, 32);
    purgix::ui::PicturePtr hand = std::make_shared<purgix::testing::FakePicture>("hand", 32, 32);
    purgix::about::FrmAbout about{fake.platform, "Purgix", icon, hand};
};

}  // namespace

TEST_F(About, LoadDrawsTheLinesTheIconAndStaysOnTop) {
    EXPECT_EQ(about.form.Caption(), "--- About Purgix ---");
    const std::string indent(25, ' ');
    const std::string texts[] = {"", indent + "Version (Zarvex)2.0.0", indent + "Purgix", indent + "Copyright (C) Quenlor. All rights reserved.",
                                 "", indent + "purgix@quenlor.com", indent + "https://www.quenlor.com/purgix/"};
    const auto& lines = about.form.Printed();
    ASSERT_EQ(lines.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ(std::tuple(lines[i].text, lines[i].y, lines[i].color),
                  std::tuple(texts[i], 13 * static_cast<int>(i), i < 5 ? purgix::ui::kButtonText : purgix::ui::Rgb(0, 0, 255)));
    ASSERT_EQ(about.form.DrawnPictures().size(), 1u);
    EXPECT_EQ(std::pair(about.form.DrawnPictures()[0].x, about.form.DrawnPictures()[0].y), std::pair(20, 13));
    EXPECT_EQ(fake.calls.back(), "SetWindowPos(-1,3)");
    EXPECT_EQ(about.form.Icon(), nullptr);
    about.form.Activate();
    EXPECT_EQ(about.form.Icon(), icon);
}

TEST_F(About, LinksAnswerInsideTheirStrictRegionsToAnyButton) {
    const std::string mail = "Run(explorer.exe mailto: purgix@quenlor.com?subject=Purgix%202.00,0)";
    const std::string home = "Run(explorer.exe https://www.quenlor.com/purgix/,0)";
    const struct {
        double x, y;
        int button;
        bool hand;
        std::string opens;
    } cases[] = {
        {651, 1001, 1, true, mail}, {2649, 1199, 2, true, mail}, {1000, 1100, 4, true, mail},
        {651, 1201, 1, true, home}, {2649, 1399, 2, true, home},
        {1000, 1200, 1, true, ""},  // between the two lines: the hand, but no link
        {650, 1100, 1, false, ""},  {2650, 1100, 1, false, ""}, {1000, 1000, 1, false, ""}, {1000, 1400, 1, false, ""},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        about.form.MouseMove(0, 0, c.x, c.y);
        EXPECT_EQ(std::pair(about.form.Pointer(), about.form.MouseIcon()),
                  std::pair(c.hand ? purgix::ui::MousePointer::Custom : purgix::ui::MousePointer::Default, c.hand ? hand : nullptr))
            << c.x << "," << c.y;
        about.form.MouseUp(c.button, 0, c.x, c.y);
        EXPECT_EQ(fake.calls, c.opens.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.opens}) << c.x << "," << c.y;
    }
    fake.runFails = true;
    EXPECT_NO_THROW(about.form.MouseUp(1, 0, 1000, 1100));
}

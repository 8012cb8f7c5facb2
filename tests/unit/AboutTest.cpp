// The About window: what it draws, its link regions and its button.
#include <gtest/gtest.h>

#include <regex>
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

// The lines as the window prints them: two empty ones framing the version, the title and a notice naming the
// maker, then the mail and home addresses in blue; each written line 25 blanks in, one line height apart.
TEST_F(About, LoadDrawsTheLinesTheIconAndStaysOnTopAndTheLinksAnswerInsideTheirStrictRegionsToAnyButton) {
    const auto& lines = about.form.Printed();
    ASSERT_EQ(lines.size(), 7u);
    const std::regex shapes[] = {std::regex(""), std::regex(R"( {25}Version \(Zarvex\)2\.0\.0)"), std::regex(" {25}Purgix"),
                                 std::regex(" {25}\\S.*Quenlor.*"), std::regex(""), std::regex(" {25}[^ @]+@[^ @]+"),
                                 std::regex(" {25}https?://\\S+")};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_TRUE(std::regex_match(lines[i].text, shapes[i])) << i << ": " << lines[i].text;
        EXPECT_EQ(std::tuple(lines[i].x, lines[i].y, lines[i].color), std::tuple(0, lines[0].y + 13 * static_cast<int>(i),
                                                                                 i >= 5 ? purgix::ui::Rgb(0, 0, 255) : purgix::ui::kButtonText));
    }
    const auto& pictures = about.form.DrawnPictures();
    EXPECT_EQ(std::tuple(about.form.Caption(), pictures.size(), pictures.at(0).x, pictures.at(0).y, fake.calls.back(), about.form.Icon()),
              std::tuple("--- About Purgix ---", 1u, 20, 13, "SetWindowPos(-1,3)", nullptr));
    about.form.Activate();
    EXPECT_EQ(about.form.Icon(), icon);
    EXPECT_EQ(about.form.TabOrder(), std::vector<purgix::ui::Control*>{&about.Command1}) << "Tab reaches OK, and only OK";
    // The links answer inside their strict regions, to any button.
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

#include "about/FrmAbout.h"

#include <exception>
#include <string>

#include "settings/Addresses.h"

namespace purgix::about {

namespace {

// One printed line of MS Sans Serif 8 pt is 13 pixels high at 96 dots per inch.
constexpr int kLineHeight = 13;
const std::string kIndent(25, ' ');
constexpr ui::Color kBlue = ui::Rgb(0, 0, 255);

// The link area lies over the two blue lines; comparisons are strict on both sides.
bool InLinks(double x, double y) { return x > 650 && x < 2650 && y > 1000 && y < 1400; }
bool OnMailLine(double x, double y) { return InLinks(x, y) && y < 1200; }
bool OnHomeLine(double x, double y) { return InLinks(x, y) && y > 1200; }

}  // namespace

FrmAbout::FrmAbout(platform::Platform& platform, const char* appTitle, ui::PicturePtr mainIcon, ui::PicturePtr hand)
    : form("FrmAbout", "", 376, 110),
      Command1("Command1", {280, 8, 81, 25}, "&OK"),
      platform_(platform),
      appTitle_(appTitle),
      mainIcon_(std::move(mainIcon)),
      hand_(std::move(hand)) {
    form.borderStyle = ui::BorderStyle::FixedDialog;
    form.minButton = false;
    form.showInTaskbar = false;
    form.centered = false;
    form.scaleMode = ui::ScaleMode::Twip;
    form.Add(Command1);
    // Enter, Space and Esc close the window; screen readers find the button first.
    Command1.isDefault = true;
    Command1.isCancel = true;
    Command1.tabIndex = 0;
    form.Activate = [this] { Form_Activate(); };
    form.MouseMove = [this](int b, int s, double x, double y) { Form_MouseMove(b, s, x, y); };
    form.MouseUp = [this](int b, int s, double x, double y) { Form_MouseUp(b, s, x, y); };
    form.Unload = [this] { unloaded_ = true; };
    Command1.Click = [this] { Command1_Click(); };
}

void FrmAbout::Form_Load() {
    form.font.name = "MS Sans Serif";
    form.font.points = 8;
    form.SetCaption(std::string("--- About ") + appTitle_ + " ---");
    // (300, 200) twips.
    form.PaintPicture(mainIcon_, 300 / ui::kTwipsPerPixel, 200 / ui::kTwipsPerPixel);
    const std::string lines[] = {
        "",
        kIndent + "Version (Zarvex)" + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
            std::to_string(kVersionRevision),
        kIndent + appTitle_,
        kIndent + "Copyright (C) Quenlor. All rights reserved.",
        "",
    };
    int y = 0;
    for (const std::string& text : lines) {
        form.Print({0, y, text, ui::kButtonText});
        y += kLineHeight;
    }
    form.Print({0, y, kIndent + settings::kContactEmail, kBlue});
    y += kLineHeight;
    form.Print({0, y, kIndent + settings::kHomePage, kBlue});
    platform_.zOrder.SetWindowPos(form.Handle(), platform::kHwndTopmost, 0, 0, 0, 0, platform::kSwpNoSizeNoMove);
}

void FrmAbout::Form_Activate() { form.SetIcon(mainIcon_); }

void FrmAbout::Form_MouseMove(int, int, double x, double y) {
    if (InLinks(x, y))
        form.SetMousePointer(ui::MousePointer::Custom, hand_);
    else
        form.SetMousePointer(ui::MousePointer::Default);
}

void FrmAbout::Form_MouseUp(int, int, double x, double y) {
    std::string command;
    if (OnMailLine(x, y))
        command = std::string("explorer.exe mailto: ") + settings::kMailLink;
    else if (OnHomeLine(x, y))
        command = std::string("explorer.exe ") + settings::kHomePage;
    if (!command.empty()) platform::RunQuietly(platform_, "About link", command, platform::kSwHide);
}

void FrmAbout::Command1_Click() { form.Close(); }

}  // namespace purgix::about

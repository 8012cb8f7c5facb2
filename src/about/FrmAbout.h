#pragma once
// The About window: version, title, the maker's notice and two links, drawn
// once into the window's persistent image, and an OK button.
#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace purgix::about {

inline constexpr int kVersionMajor = 2, kVersionMinor = 0, kVersionRevision = 0;

class FrmAbout {
public:
    // The main window's icon and the hand cursor come from the main window.
    FrmAbout(platform::Platform& platform, const char* appTitle, ui::PicturePtr mainIcon, ui::PicturePtr hand);
    FrmAbout(const FrmAbout&) = delete;
    FrmAbout& operator=(const FrmAbout&) = delete;

    void Form_Load();
    void Form_Activate();
    // Positions in twips from the client's top-left corner; any button counts.
    void Form_MouseMove(int button, int shift, double x, double y);
    void Form_MouseUp(int button, int shift, double x, double y);
    void Command1_Click();

    // Once unloaded the window is gone; the next About opens a new one.
    bool Unloaded() const { return unloaded_; }

    ui::Form form;
    ui::CommandButton Command1;

private:
    platform::Platform& platform_;
    const char* appTitle_;
    ui::PicturePtr mainIcon_;
    ui::PicturePtr hand_;
    bool unloaded_ = false;
};

}  // namespace purgix::about

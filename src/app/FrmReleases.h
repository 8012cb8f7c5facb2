#pragma once
// The release log's window: this run's releases, newest first, one line each,
// to read by keyboard or screen reader, copy as text and close.
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace purgix::app {

inline constexpr char kReleasesCaption[] = "Purgix releases";
inline constexpr char kNoReleaseYet[] = "No release yet since Purgix started.";

class FrmReleases {
public:
    FrmReleases(platform::Platform& platform, ui::PicturePtr icon);
    FrmReleases(const FrmReleases&) = delete;
    FrmReleases& operator=(const FrmReleases&) = delete;

    // The log's lines, newest first; shown at once while the window is open.
    void SetLines(std::vector<std::string> lines);
    void cmdCopy_Click();
    // Once unloaded the window is gone; the next "Release log..." opens a new one.
    bool Unloaded() const { return unloaded_; }

    ui::Form form;
    ui::ListBox lstReleases;
    ui::CommandButton cmdCopy;
    ui::CommandButton cmdClose;

private:
    platform::Platform& platform_;
    std::vector<std::string> lines_;
    bool unloaded_ = false;
};

}  // namespace purgix::app

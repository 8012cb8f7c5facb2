#include "app/FrmReleases.h"

#include <exception>

namespace purgix::app {

FrmReleases::FrmReleases(platform::Platform& platform, ui::PicturePtr icon)
    : form("FrmReleases", kReleasesCaption, 440, 220),
      lstReleases("lstReleases", {8, 8, 424, 172}),
      cmdCopy("cmdCopy", {270, 189, 75, 23}, "&Copy"),
      cmdClose("cmdClose", {357, 189, 75, 23}, "Close"),
      platform_(platform) {
    form.borderStyle = ui::BorderStyle::FixedDialog;
    form.minButton = false;
    form.showInTaskbar = false;
    form.SetIcon(std::move(icon));
    form.Add(lstReleases);
    form.Add(cmdCopy);
    form.Add(cmdClose);
    lstReleases.accessibleName = "Releases";
    lstReleases.accessibleDescription = "This run's releases, the newest first";
    lstReleases.tabIndex = 0;
    cmdCopy.tabIndex = 1;
    cmdClose.tabIndex = 2;
    // Enter and Esc close the window wherever the focus is, but on Copy.
    cmdClose.isDefault = true;
    cmdClose.isCancel = true;
    cmdCopy.Click = [this] { cmdCopy_Click(); };
    cmdClose.Click = [this] { form.Close(); };
    form.Unload = [this] { unloaded_ = true; };
    SetLines({});
}

void FrmReleases::SetLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    lstReleases.SetItems(lines_.empty() ? std::vector<std::string>{kNoReleaseYet} : lines_);
}

// The lines as a user pastes them: one a line, Windows' line ends, the last one ended too.
void FrmReleases::cmdCopy_Click() {
    if (lines_.empty()) return;  // what the user had on the clipboard stays
    std::string text;
    for (const std::string& line : lines_) text += line + "\r\n";
    try {
        platform_.shell.CopyText(text);
    } catch (const std::exception& e) {
        platform_.diagnostics.Trace("release log", e.what());
    }
}

}  // namespace purgix::app

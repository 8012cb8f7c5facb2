#pragma once
// One icon in the notification area: its record, its tooltip, and the shell's
// mouse notifications turned into six events.
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "ui/PictureBox.h"

namespace purgix::tray {

class CTray {
public:
    // What the shell refuses is traced through `diagnostics`.
    CTray(platform::NotifyArea& shell, platform::Diagnostics& diagnostics) : shell_(shell), diagnostics_(diagnostics) {}
    // Takes the icon away and lets go of the picture box.
    ~CTray();
    CTray(const CTray&) = delete;
    CTray& operator=(const CTray&) = delete;

    // Binds the picture box whose window receives the notifications and whose
    // picture is the icon. Does not call the shell.
    void PicBox(ui::PictureBox& box);

    // The 64-character field exactly as kept: the text, a NUL, blank padding.
    std::string TipText() const { return record_.tip; }
    // Stores the text and tells the shell (refused before the icon exists,
    // which is harmless: the text stays in the record for ShowIcon).
    void TipText(std::string_view text);

    // Whether the shell took the icon: false, and no shell call, until a
    // picture box is bound; false while the notification area refuses it.
    bool ShowIcon();
    // The shell takes the record again (the icon drawn anew).
    void ModifyIcon();
    void DeleteIcon();

    // The load drawn in place of the picture (nothing: the picture again).
    // The shell hears of it only when the figure or its level changes.
    void ShowLoad(const std::optional<platform::TrayLoad>& load);
    // A notice beside the icon, without sound and not in the user's quiet
    // hours; a newer one replaces it.
    void Notice(std::string_view text, std::string_view title);

    const platform::NotifyIconData& Record() const { return record_; }

    ui::Event RButtonDown, RButtonUp, RButtonDblClick, LButtonDown, LButtonUp, LButtonDblClick;

private:
    void mPic_MouseMove(double x);
    void mPic_Change();
    void Unbind();
    // One call to the shell; a refusal is traced once the icon is meant to be there.
    bool Tell(int operation);

    platform::NotifyArea& shell_;
    platform::Diagnostics& diagnostics_;
    bool shown_ = false;  // the shell took the icon and has not been told to take it away
    platform::NotifyIconData record_;
    ui::PictureBox* mPic = nullptr;
    bool busy_ = false;
};

}  // namespace purgix::tray

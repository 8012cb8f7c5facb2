#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/Controls.h"
#include "ui/Menu.h"
#include "ui/Picture.h"

namespace purgix::ui {

using WindowHandle = std::uintptr_t;

// A top-level window: its client area is the container of its controls.
class Form : public Container {
public:
    Form(std::string name, std::string caption, int clientWidth, int clientHeight)
        : Container(std::move(name), Kind::Form, {0, 0, clientWidth, clientHeight}), caption_(std::move(caption)), menu_("", "") {
        SetVisible(false);  // shown once its load handler has run
    }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color c);
    const PicturePtr& Picture() const { return picture_; }
    void SetPicture(PicturePtr p);
    const PicturePtr& Icon() const { return icon_; }
    void SetIcon(PicturePtr p) { icon_ = std::move(p); }

    // The menu bar: items whose Visible is false stay out of the bar (pop-up menus).
    MenuItem& Menu() { return menu_; }
    const MenuItem& Menu() const { return menu_; }
    std::vector<Timer*>& Timers() { return timers_; }

    // Set by the native window once it exists.
    WindowHandle Handle() const { return handle_; }
    void SetHandle(WindowHandle h) { handle_ = h; }

    // Raised when the window is closed, before it goes.
    Event Unload;

private:
    std::string caption_;
    Color backColor_ = kButtonFace;
    PicturePtr picture_;
    PicturePtr icon_;
    MenuItem menu_;
    std::vector<Timer*> timers_;
    WindowHandle handle_ = 0;
};

}  // namespace purgix::ui

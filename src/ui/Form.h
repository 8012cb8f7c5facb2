#pragma once
#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/Controls.h"
#include "ui/Menu.h"
#include "ui/Picture.h"

namespace purgix::ui {

// How a form's window is framed and placed.
enum class BorderStyle { FixedSingle, FixedDialog };

// Text printed into a form's persistent image, one line at a time.
struct PrintedLine {
    int x = 0, y = 0;  // pixels
    std::string text;
    Color color = kButtonText;
};

struct DrawnPicture {
    int x = 0, y = 0;  // pixels
    PicturePtr picture;
};

// A top-level window: its client area is the container of its controls.
class Form : public Container {
public:
    Form(const char* name, const char* caption, int clientWidth, int clientHeight);
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color c);
    const PicturePtr& Picture() const { return picture_; }
    void SetPicture(PicturePtr p);
    const PicturePtr& Icon() const { return icon_; }
    void SetIcon(PicturePtr p);

    // Window design values, read when the native window is created.
    BorderStyle borderStyle = BorderStyle::FixedSingle;
    bool minButton = true;
    bool showInTaskbar = true;
    bool centered = true;  // otherwise the system's default position
    Font font;

    // The persistent image: what was printed and drawn stays until the form goes.
    const std::vector<PrintedLine>& Printed() const { return printed_; }
    const std::vector<DrawnPicture>& DrawnPictures() const { return drawn_; }
    void Print(PrintedLine line);
    void PaintPicture(PicturePtr picture, int x, int y);

    // The pointer over the client area (a custom one shows the mouse icon).
    MousePointer Pointer() const { return pointer_; }
    const PicturePtr& MouseIcon() const { return mouseIcon_; }
    void SetMousePointer(MousePointer pointer, PicturePtr icon = nullptr);

    // Opens one of the menu bar's menus (a hidden one too) at the mouse position;
    // returns once it has closed.
    void PopupMenu(const MenuItem& menu);
    // Closes the window as its close box would (Unload is raised).
    void Close() { Notify(Change::Close); }

    // The menu bar: items whose Visible is false stay out of the bar (pop-up menus).
    MenuItem& Menu() { return menu_; }
    const MenuItem& Menu() const { return menu_; }
    std::vector<Timer*>& Timers() { return timers_; }

    // Raised when the window is closed, before it goes.
    Event Unload;
    // Raised each time the window becomes the active one.
    Event Activate;
    // Another start of the program asks the running one to show itself: true
    // when it did, false when it is closing (the new start then waits for it).
    std::function<bool()> ShowRequested;
    // The shell's notification area was created anew (Explorer restarted).
    Event TaskbarCreated;
    // The window went over to a display of another density.
    Event ScaleChanged;

private:
    std::string caption_;
    Color backColor_ = kButtonFace;
    PicturePtr picture_;
    PicturePtr icon_;
    MenuItem menu_;
    std::vector<Timer*> timers_;
    std::vector<PrintedLine> printed_;
    std::vector<DrawnPicture> drawn_;
    MousePointer pointer_ = MousePointer::Default;
    PicturePtr mouseIcon_;
};

// A native window for a form that behaviour opens at run time (the About
// window). Destroying it destroys the window; the form model stays.
class NativeWindow {
public:
    virtual ~NativeWindow() = default;
};

class WindowFactory {
public:
    virtual ~WindowFactory() = default;
    // Creates the window with the form's design values and binds the form to it.
    virtual std::unique_ptr<NativeWindow> CreateFormWindow(Form& form) = 0;
};

}  // namespace purgix::ui

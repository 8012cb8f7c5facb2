#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Color.h"
#include "ui/WindowHandle.h"

namespace purgix::ui {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

// What changed in a model, so that its native peer can follow.
enum class Change { Caption, Bounds, Visible, Enabled, ZOrder, Value, Colors, Picture, Drawing, Cursor, Close, Icon };

class MenuItem;

// The native side of a model (a child window, a menu item, a timer). Models
// push every change through Sync; drawing surfaces also say which pixels moved.
class Peer {
public:
    virtual ~Peer() = default;
    virtual void Sync(Change what) = 0;
    virtual void Drawn(const Rect& /*pixels*/) { Sync(Change::Drawing); }
    // A form's peer opens one of its menus as a pop-up at the mouse position and
    // returns when it closes (the chosen item's Click has run by then).
    virtual void Popup(const MenuItem& /*menu*/) {}
};

using Event = std::function<void()>;
// Mouse events carry the button and shift masks and the position in the
// container's scale (pixels or twips).
using MouseEvent = std::function<void(int button, int shift, double x, double y)>;

enum class ScaleMode { Pixel, Twip };
inline constexpr int kTwipsPerPixel = 15;  // at the design's 96 dots per inch

enum class Kind { Form, PictureBox, Label, Line, Shape, Image, CheckBox, TextBox, VScrollBar, FileListBox, CommandButton, ListBox };

using platform::MousePointer;

class Container;

class Control {
public:
    // Out of line, from the texts' bare pointers: a form builds dozens of controls in one constructor.
    Control(const char* name, Kind kind, Rect bounds);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    Kind GetKind() const { return kind_; }
    // Lines, shapes and images have no window of their own: their container draws them.
    bool IsGraphical() const { return kind_ == Kind::Line || kind_ == Kind::Shape || kind_ == Kind::Image; }

    Container* Parent() const { return parent_; }
    const Rect& Bounds() const { return bounds_; }
    void SetBounds(const Rect& r);
    void SetTop(int top) { SetBounds({bounds_.left, top, bounds_.width, bounds_.height}); }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    bool Visible() const { return visible_; }
    void SetVisible(bool on);

    // Brings the control to the front of its container's stacking order; a
    // form, to the front of the screen's.
    void ZOrder();

    // The native window of a windowed control, set by its peer; 0 for none.
    WindowHandle Handle() const { return handle_; }
    void SetHandle(WindowHandle h) { handle_ = h; }

    void Attach(Peer* peer) { peer_ = peer; }
    Peer* GetPeer() const { return peer_; }

    // What a screen reader says of the control: its name (a label's is put
    // before its caption) and what it does.
    std::string accessibleName;
    std::string accessibleDescription;
    // Its place in the Tab order; -1 for none.
    int tabIndex = -1;
    // True when the user can reach it: shown, with every container up to the
    // form shown and enabled, and no picture box above it over its centre.
    bool Reachable() const;

protected:
    void Notify(Change what) {
        if (peer_ != nullptr) peer_->Sync(what);
    }

private:
    friend class Container;
    std::string name_;
    Kind kind_;
    Rect bounds_;
    bool enabled_ = true;
    bool visible_ = true;
    Container* parent_ = nullptr;
    Peer* peer_ = nullptr;
    WindowHandle handle_ = 0;
};

// A control that holds others. Children are kept front to back: the one
// added first lies above the ones added after it.
class Container : public Control {
public:
    using Control::Control;
    void Add(Control& child);
    void BringToFront(Control& child);
    const std::vector<Control*>& Children() const { return children_; }
    // Front-most visible child at a point (container coordinates) that passes
    // the filter, or nullptr.
    Control* ChildAt(int x, int y, const std::function<bool(const Control&)>& accept) const;
    // The reachable controls inside, at any depth, in Tab order.
    std::vector<Control*> TabOrder() const;

    // The unit of its mouse events' coordinates.
    ScaleMode scaleMode = ScaleMode::Pixel;
    MouseEvent MouseMove;
    MouseEvent MouseUp;

private:
    std::vector<Control*> children_;
};

}  // namespace purgix::ui

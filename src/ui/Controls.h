#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Error.h"
#include "ui/Control.h"
#include "ui/Picture.h"

namespace purgix::ui {

// Raised when code gives a control a value it does not accept (a scroll bar
// value outside its bounds, a check state other than 0, 1 or 2, a list index
// past the end). Start-up's single trap catches it.
class InvalidValue : public Error {
public:
    using Error::Error;
};

struct Font {
    std::string name = "MS Sans Serif";
    double points = 8.25;
    bool bold = false;
};

enum class Align { Left, Right, Center };

class Label : public Control {
public:
    Label(const char* name, Rect r, const char* caption);
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string_view text);

    Align alignment = Align::Left;
    std::optional<Color> backColor;  // none: the container shows through
    Color foreColor = kButtonText;
    Font font;
    // Alt and this letter of the caption (underlined when keyboard cues show)
    // reach the control the label names: a check box is toggled as well.
    char accessKey = 0;
    Control* labelFor = nullptr;

private:
    std::string caption_;
};

class CheckBox : public Control {
public:
    CheckBox(const char* name, Rect r) : Control(name, Kind::CheckBox, r) {}
    int Value() const { return value_; }
    void SetValue(int v);  // 0 clear, 1 ticked, 2 grey; anything else throws
    void UserClick() { SetValue(value_ == 1 ? 0 : 1); }

private:
    int value_ = 0;
};

class TextBox : public Control {
public:
    TextBox(const char* name, Rect r, const char* text);
    const std::string& Text() const { return text_; }
    void SetText(std::string_view text);
    bool readOnly = true;

private:
    std::string text_;
};

// A vertical scroll bar used as a spinner: only its arrows are operated.
class VScrollBar : public Control {
public:
    VScrollBar(const char* name, Rect r, int min, int max, int value, int arrowStep = 1);
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    int ArrowStep() const { return step_; }
    // Throws InvalidValue outside the bounds; raises Change only for a new value.
    void SetValue(int v);
    // The user clicked an arrow; the upper one raises the value. Stays in bounds.
    void Arrow(bool up);

    Event Change;

private:
    int min_, max_, value_, step_;
};

class Line : public Control {
public:
    Line(const char* name, int x1, int y1, int x2, int y2);
    int x1, y1, x2, y2;
    Color borderColor = kWindowText;
};

class Shape : public Control {
public:
    Shape(const char* name, Rect r, Color back) : Control(name, Kind::Shape, r), backColor_(back) {}
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color c);

private:
    Color backColor_;
};

// A windowless picture or click area.
class Image : public Control {
public:
    Image(const char* name, Rect r);
    const PicturePtr& Picture() const { return picture_; }
    void SetPicture(PicturePtr p);
    MousePointer Pointer() const { return pointer_; }
    const PicturePtr& MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(PicturePtr icon, MousePointer pointer = MousePointer::Custom);

    Event Click;

private:
    PicturePtr picture_;
    PicturePtr mouseIcon_;
    MousePointer pointer_ = MousePointer::Default;
};

class CommandButton : public Control {
public:
    CommandButton(const char* name, Rect r, const char* text);
    std::string caption;
    // Enter clicks the default button of its form, Esc the cancel button.
    bool isDefault = false;
    bool isCancel = false;
    Event Click;
};

// A list of the files of one folder that match a pattern, in the order the
// lister gives them. Setting the selected index raises Click, even when the
// index does not change.
class FileListBox : public Control {
public:
    using Lister = std::function<std::vector<std::string>(const std::string& folder, const std::string& pattern)>;
    FileListBox(const char* name, Rect r, const char* pattern, Lister lister);
    const std::string& Path() const { return path_; }
    void SetPath(const std::string& folder);  // the lister throws for a missing folder
    int ListCount() const { return static_cast<int>(entries_.size()); }
    const std::string& List(int i) const;
    int ListIndex() const { return index_; }
    void SetListIndex(int i);

    Event Click;

private:
    std::string pattern_;
    Lister lister_;
    std::string path_;
    std::vector<std::string> entries_;
    int index_ = -1;
};

// Lines of text the user reads and moves through; the program replaces them whole.
class ListBox : public Control {
public:
    ListBox(const char* name, Rect r) : Control(name, Kind::ListBox, r) {}
    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items);

private:
    std::vector<std::string> items_;
};

class Timer {
public:
    Timer(const char* name, unsigned intervalMs, bool enabled);
    const std::string& Name() const { return name_; }
    unsigned Interval() const { return interval_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    void Attach(Peer* p) { peer_ = p; }
    Peer* GetPeer() const { return peer_; }

    Event Tick;

private:
    std::string name_;
    unsigned interval_;
    bool enabled_;
    Peer* peer_ = nullptr;
};

}  // namespace purgix::ui

#pragma once
// Shared by the files of the form window: FormWindow.cpp (the window and its
// message dispatch), FormWindowPeers.cpp (one peer per kind of control),
// FormWindowMenus.cpp (menus and shortcuts) and FormWindowPaint.cpp (painting
// and font fitting). Nothing outside these files includes it.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/win32/window/Accessible.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/window/FormWindow.h"
#include "platform/win32/Gdi.h"
#include "ui/Form.h"
#include "ui/PictureBox.h"

namespace purgix::win32 {

// What a colour paints: a ground, text and lines, or a mark (the graph, the level, the heading band).
enum class Ink { Ground, Text, Mark };
// A design colour (plain, or a system colour by index) as the screen shows it
// now; in high contrast a plain one gives way to the user's colour for its ink.
COLORREF Resolve(ui::Color c, Ink ink = Ink::Text);
// Whether high contrast is on, as last seen (RefreshHighContrast reads the system's setting again).
bool HighContrast();
void RefreshHighContrast();
// The frame of a form's window.
DWORD FrameStyle(const ui::Form& f);

// Brushes and fonts made once per window and kept until it goes.
class GdiCache {
public:
    HBRUSH Brush(ui::Color c, Ink ink);
    // The design's font at the DPI: a bitmap face has no sizes beyond 96 dpi's,
    // so there its TrueType kin draws, as sharp at 200 % as at 100 %.
    HFONT Font(const ui::Font& f, const Scale& scale);
    // Ever smaller sizes (step 0 is the largest) for a text too wide for its label.
    static constexpr int kSmallerSizes = 4;
    HFONT SmallerFont(const ui::Font& f, int step, const Scale& scale);

private:
    HFONT FontAt(const std::string& name, int pixels, bool bold, const Scale& scale);
    std::map<COLORREF, gdi::Brush> brushes_;
    std::map<std::tuple<std::string, int, bool>, gdi::Font> fonts_;
};

class ContainerPeer;
class ControlPeer;

// Every window of ours keeps its peer in its user data, as a ControlPeer
// whatever its kind, so that the form's and picture boxes' own procedure and
// the one in front of every control read the same pointer.
void SetPeerOf(HWND h, ControlPeer* peer);
ControlPeer* PeerOf(HWND h);

// The native side of one control. Windowed controls own a child window and
// answer the notifications their container reflects back to them.
class ControlPeer : public ui::Peer {
public:
    ControlPeer(FormWindow::Impl& owner, ui::Control& model) : impl(owner), control(model) {}
    ~ControlPeer() override { Detach(); }
    ControlPeer(const ControlPeer&) = delete;
    ControlPeer& operator=(const ControlPeer&) = delete;

    // Makes the control's window under its container's; graphical controls have none.
    virtual void Create(HWND parent, int id) = 0;
    // The window's DPI changed: place and fonts anew.
    virtual void Rescale();
    // The model forgets this peer and its window (unless a newer window has taken them).
    void Detach();

    void Sync(ui::Change what) override;
    // Notifications the container reflects back to the control that sent them;
    // a brush of 0 leaves the colours to Windows.
    virtual LRESULT ReflectedCtlColor(HDC /*dc*/) { return 0; }
    virtual void ReflectedCommand(UINT /*code*/) {}
    virtual void ReflectedVScroll(UINT /*code*/) {}
    virtual void ReflectedDrawItem(const DRAWITEMSTRUCT& /*item*/) {}

    // What assistive programs are told of the control.
    virtual AccessibleFacts Facts() const;
    // Native controls that draw no focus of their own get a rectangle: round
    // the caption that names them, as Windows does for a check box, or round them.
    virtual bool ShowsFocus() const { return false; }
    // The label whose caption names the control, if any.
    const ui::Label* Caption() const;
    // The pointer over the control's window; nullptr for its class's.
    virtual HCURSOR Cursor() const { return nullptr; }

    ContainerPeer* Container() const;
    // The procedure of the control's window class, which the peer's stands in front of.
    WNDPROC ClassProc() const { return classProc_; }

    FormWindow::Impl& impl;
    ui::Control& control;
    HWND hwnd = nullptr;
    HFONT font = nullptr;  // the font the window has now

protected:
    // Changes beyond place, visibility, enabling and stacking.
    virtual void SyncOwn(ui::Change /*what*/) {}
    void CreateChild(const wchar_t* windowClass, DWORD style, DWORD exStyle, const wchar_t* text, HWND parent, int id,
                     void* createParam = nullptr);
    // The control's place in its container's client area, in device pixels.
    RECT DeviceRect() const;

private:
    // The window answers assistive programs, and shows the focus and pointer as the peer says.
    void Subclass();
    WNDPROC classProc_ = nullptr;
};

// Owner-drawn, so that the lines and shapes stacked above a label can be drawn over its text.
class LabelPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    void Create(HWND parent, int id) override;
    void Rescale() override;
    void ReflectedDrawItem(const DRAWITEMSTRUCT& item) override;
    AccessibleFacts Facts() const override;

private:
    void SyncOwn(ui::Change what) override;
    void FitFont(const wchar_t* text);
    HFONT designFont_ = nullptr;
};

// A form or a picture box: a window of our own class that paints its
// background, drawing and graphical controls, and reflects its children's
// notifications back to their peers.
class ContainerPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    ui::Container& Model() const { return static_cast<ui::Container&>(control); }
    // Makes the peers and windows of the children, stacked as the model lists them.
    void CreateChildren();
    // The whole client area as the screen shows it, child windows aside.
    void PaintAll(HDC dc);
    virtual LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

protected:
    virtual void PaintBackground(HDC dc) = 0;
    // The pointer this container asks for over its own client area; nullptr for the class arrow.
    virtual HCURSOR ClientCursor() const { return nullptr; }
    LRESULT OnPaint();
    LRESULT OnCtlColor(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnCommand(WPARAM wp, LPARAM lp);
    LRESULT OnVScroll(WPARAM wp, LPARAM lp);
    LRESULT OnDrawItem(LPARAM lp);
    LRESULT OnMouseMove(WPARAM wp, LPARAM lp);
    LRESULT OnButtonDown(LPARAM lp);
    LRESULT OnButtonUp(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnSetCursor(WPARAM wp, LPARAM lp);

private:
    // A client point, in the container's own scale (design pixels or twips).
    double Scaled(int pixels) const;
    // The image under a client point (device pixels).
    ui::Image* ImageAt(int x, int y) const;
    ui::Image* pressed_ = nullptr;
};

class PictureBoxPeer : public ContainerPeer {
public:
    using ContainerPeer::ContainerPeer;
    void Create(HWND parent, int id) override;
    void Rescale() override;
    void Drawn(const ui::Rect& r) override;

private:
    void SyncOwn(ui::Change what) override;
    void PaintBackground(HDC dc) override;
    std::vector<std::uint32_t> pixels_;  // the drawing as the screen wants it
};

std::unique_ptr<ControlPeer> MakePeer(FormWindow::Impl& impl, ui::Control& control);

// Text as DrawText shows it with an access key: "&" doubled, then one before the key's letter.
std::wstring WithAccessKey(const wchar_t* text, char key);

class MenuBar {
public:
    explicit MenuBar(FormWindow::Impl& impl) : impl_(impl) {}
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // Builds the bar, the hidden pop-up menus and the shortcut table from the model, anew.
    void Build();
    void Update(const ui::MenuItem& item);
    // Runs the item of a menu command; false when the id is no item's.
    bool Command(UINT id);
    HMENU SubMenu(const ui::MenuItem& item) const;
    bool Shortcut(MSG& msg) const;
    void Popup(const ui::MenuItem& menu);
    void Detach();

private:
    void Destroy();
    void BuildMenu(ui::MenuItem& parent, HMENU into);

    FormWindow::Impl& impl_;
    HMENU bar_ = nullptr;
    HACCEL accel_ = nullptr;
    std::vector<HMENU> hiddenPopups_;
    std::unordered_map<const ui::MenuItem*, HMENU> subMenus_;
    std::unordered_map<const ui::MenuItem*, std::pair<HMENU, UINT>> places_;  // owner menu, command id
    std::vector<ui::MenuItem*> commands_;
    std::vector<std::unique_ptr<ui::Peer>> peers_;
    std::unordered_map<ui::MenuItem*, ui::Peer*> peerOf_;
};

// The form's own peer: the top-level window, and the owner of everything else.
struct FormWindow::Impl : ContainerPeer, std::enable_shared_from_this<FormWindow::Impl> {
    Impl(ui::Form& f, Win32Platform& p, bool quit, int dpi);
    ~Impl() override;

    ui::Form& Form() const { return static_cast<ui::Form&>(control); }
    void Create(HWND parent, int id) override;
    void Sync(ui::Change what) override;
    void Popup(const ui::MenuItem& menu) override { menus.Popup(menu); }
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;

    // Tab and Shift+Tab, Enter and Esc, Alt and a caption's letter; true when the key was the form's.
    bool OnKey(const MSG& msg);
    void MoveFocus(bool forward);
    // Shows the focus rectangles or access keys (UISF_HIDEFOCUS, UISF_HIDEACCEL) from now on.
    void ShowCues(WORD which);
    // The focus as the window had it when it was last active, or its default button.
    void RestoreFocus();
    // The peer of a child window of this form, or nullptr.
    ControlPeer* PeerOf(HWND child) const;
    ContainerPeer* ContainerOf(const ui::Control& child) const;
    void Adopt(std::unique_ptr<ControlPeer> peer);
    // Paints the container's picture under a child, and the graphical siblings stacked above it over it.
    void PaintBehind(HDC dc, const ui::Control& child);
    void PaintAbove(HDC dc, const ui::Control& child);
    void DrawGraphics(const ui::Container& container, HDC dc);
    // Invalidates a container window together with the child windows that paint its picture.
    static void Redraw(HWND container);
    // A cursor picture in the size of the window's DPI.
    HCURSOR CursorAtDpi(const platform::Picture& cursor) const;

    Win32Platform& platform;
    bool quitOnDestroy;
    int fixedDpi;  // 0: the monitor's
    Scale scale;
    GdiCache gdi;
    HFONT formFont = nullptr;
    MenuBar menus{*this};
    std::vector<std::unique_ptr<ControlPeer>> peers;
    std::unordered_map<const ui::Control*, ControlPeer*> byControl;
    std::unordered_map<HWND, ControlPeer*> byWindow;
    std::vector<std::unique_ptr<ui::Peer>> timers;

private:
    void PaintBackground(HDC dc) override;
    HCURSOR ClientCursor() const override;
    void SetIcons();
    void BringToFront();
    void Unload();
    void DetachAll();
    LRESULT OnCommand(WPARAM wp, LPARAM lp);  // menus and shortcuts first
    LRESULT OnTimer(WPARAM id);
    LRESULT OnActivate(WPARAM wp, LPARAM lp);
    LRESULT OnClose();
    LRESULT OnEndSession(WPARAM ending);
    LRESULT OnShowRequest();
    LRESULT OnDpiChanged(WPARAM wp, LPARAM lp);
    LRESULT OnDisplaySettings(UINT msg, WPARAM wp, LPARAM lp);
    // Lays the window and every control out at the DPI, at the suggested place if any.
    void ApplyDpi(int dpi, const RECT* suggested);
    // The frame round the design's client area at the DPI.
    SIZE WindowSize() const;
    void FitClientArea();
    LRESULT OnExitRequest();
    LRESULT OnDestroy();
    LRESULT OnNcDestroy(WPARAM wp, LPARAM lp);
    LRESULT Raise(const ui::Event& event);

    HWND owner_ = nullptr;  // the hidden owner that keeps a form off the taskbar
    HWND focus_ = nullptr;  // the child that had the focus when the window was last active
    bool unloaded_ = false;
};

}  // namespace purgix::win32

#pragma once
// The native side of one control of a form's window, what every kind of
// control shares: its child window, its place at the window's density, what
// assistive programs are told of it, and the keys it answers.
#include <windows.h>

#include <cwctype>
#include <memory>

#include "platform/win32/window/Accessible.h"
#include "ui/Control.h"
#include "ui/Controls.h"

namespace purgix::win32 {

class ContainerPeer;
class ControlPeer;
class FormPeer;

// Every window of ours keeps its peer in its user data, as a ControlPeer
// whatever its kind, so that the form's and picture boxes' own procedure and
// the one in front of every control read the same pointer.
void SetPeerOf(HWND h, ControlPeer* peer);
ControlPeer* PeerOf(HWND h);

class ControlPeer : public ui::Peer {
public:
    ControlPeer(FormPeer& owner, ui::Control& model) : form(owner), control(model) {}
    ~ControlPeer() override { Detach(); }
    ControlPeer(const ControlPeer&) = delete;
    ControlPeer& operator=(const ControlPeer&) = delete;

    // Makes the control's window under its container's; graphical controls have none.
    virtual void Create(HWND parent, int id) = 0;
    // Every control of the form has its peer: what one control says of another is said now.
    virtual void Connect() {}
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
    const ui::Label* Caption() const { return caption_; }
    void NamedBy(const ui::Label& caption) { caption_ = &caption; }
    // The pointer over the control's window; nullptr for its class's.
    virtual HCURSOR Cursor() const { return nullptr; }

    // Enter on the control, or a button's own access key: true when it acted.
    virtual bool Press() { return false; }
    // The button Enter presses wherever the focus is, or the one Esc presses.
    virtual bool IsDefault() const { return false; }
    virtual bool IsCancel() const { return false; }
    // Alt and a letter: true when the control took it as its access key.
    virtual bool TakeAccessKey(wint_t /*key*/) { return false; }
    // A caption's access key reached the control it names (a check box is ticked by it).
    virtual void CaptionKey() {}
    // A windowless control draws itself into its container's picture, in the container's device pixels.
    virtual void Draw(HDC /*dc*/) const {}
    // The image of an area the mouse clicks; nullptr for other controls.
    virtual ui::Image* Clickable() const { return nullptr; }

    ContainerPeer* Container() const;
    // The procedure of the control's window class, which the peer's stands in front of.
    WNDPROC ClassProc() const { return classProc_; }

    FormPeer& form;
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
    // Paints the container's picture under the control, and the graphical siblings stacked above it over it.
    void PaintBehind(HDC dc) const;
    void PaintAbove(HDC dc) const;
    // Tells assistive programs that the control's client object changed (EVENT_OBJECT_*).
    void Announce(DWORD event) const;

private:
    // The window answers assistive programs, and shows the focus and pointer as the peer says.
    void Subclass();
    WNDPROC classProc_ = nullptr;
    const ui::Label* caption_ = nullptr;
};

// The peer a model of a form's window is attached to: every such model has its peer from the window.
inline ControlPeer* PeerOf(const ui::Control& c) { return static_cast<ControlPeer*>(c.GetPeer()); }

// The peer for a model of the form's window; nullptr for models with no native side.
std::unique_ptr<ControlPeer> MakePeer(FormPeer& form, ui::Control& control);
std::unique_ptr<ControlPeer> MakeLabelPeer(FormPeer& form, ui::Control& control);

}  // namespace purgix::win32

#pragma once
// The form's own peer: the top-level window and its messages, made of parts
// that each own one concern (the peers and their lookup, the density with its
// brushes and fonts, the menus, the timers, the keyboard, the closing).
// Included by the window layer's own files only.
#include <windows.h>

#include <memory>

#include "platform/Platform.h"
#include "platform/win32/window/ContainerPeer.h"
#include "platform/win32/window/Drawing.h"
#include "platform/win32/window/FormTimers.h"
#include "platform/win32/window/FormWindow.h"
#include "platform/win32/window/Keyboard.h"
#include "platform/win32/window/MenuBar.h"
#include "platform/win32/window/PeerTable.h"
#include "ui/Form.h"

namespace purgix::win32 {

// Whether the form's unload has begun and ended. One close runs it; a close
// that arrives meanwhile (a log-off while Exit saves) leaves the ending to it.
class Closing {
public:
    // True for the close that is to run the unload.
    bool Begin() {
        if (state_ != State::Open) return false;
        state_ = State::Unloading;
        return true;
    }
    void End() { state_ = State::Unloaded; }
    bool Unloaded() const { return state_ == State::Unloaded; }

private:
    enum class State { Open, Unloading, Unloaded };
    State state_ = State::Open;
};

class FormPeer : public ContainerPeer, public std::enable_shared_from_this<FormPeer> {
public:
    FormPeer(ui::Form& form, const FormWindow::Context& context, bool quitOnDestroy, int dpi);
    ~FormPeer() override;

    ui::Form& Form() const { return static_cast<ui::Form&>(control); }
    void Create(HWND parent, int id) override;
    void Sync(ui::Change what) override;
    void Popup(const ui::MenuItem& menu) override { menus_.Popup(menu); }
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;

    // The parts the peers of its controls reach.
    PeerTable& Peers() { return peers_; }
    const PeerTable& Peers() const { return peers_; }
    Density& Look() { return look_; }
    const Density& Look() const { return look_; }
    FormKeys& Keys() { return keys_; }
    const MenuBar& Menus() const { return menus_; }
    HINSTANCE Instance() const { return instance_; }
    // The program is busy (a release): every window of it shows the hourglass.
    bool Busy() const { return pointer_.Current() == platform::MousePointer::Hourglass; }
    // A cursor picture in the size of the window's DPI.
    HCURSOR CursorAtDpi(const platform::Picture& cursor) const;

private:
    void PaintBackground(HDC dc) override;
    HCURSOR ClientCursor() const override;
    void SetIcons();
    void BringToFront();
    void DetachAll();
    LRESULT OnCommand(WPARAM wp, LPARAM lp);  // menus and shortcuts first
    LRESULT OnActivate(WPARAM wp, LPARAM lp);
    LRESULT OnClose();
    LRESULT OnEndSession(WPARAM ending);
    LRESULT OnShowRequest();
    LRESULT OnExitRequest();
    LRESULT OnDpiChanged(WPARAM wp, LPARAM lp);
    LRESULT OnDisplaySettings(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnDestroy();
    LRESULT OnNcDestroy(WPARAM wp, LPARAM lp);
    LRESULT Raise(const ui::Event& event);
    // Lays the window and every control out at the DPI, at the suggested place if any.
    void ApplyDpi(int dpi, const RECT* suggested);
    // The frame round the design's client area at the DPI.
    SIZE WindowSize() const;
    void FitClientArea();

    HINSTANCE instance_;
    const platform::Pointer& pointer_;
    bool quitOnDestroy_;
    int fixedDpi_;  // 0: the monitor's
    Density look_;
    PeerTable peers_;
    MenuBar menus_{Form(), hwnd};
    FormTimers timers_;
    FormKeys keys_{*this};
    Closing closing_;
    HWND owner_ = nullptr;  // the hidden owner that keeps a form off the taskbar
};

// The frame of a form's window.
DWORD FrameStyle(const ui::Form& f);

}  // namespace purgix::win32

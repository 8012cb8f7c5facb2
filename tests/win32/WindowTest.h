#pragma once
// Reading what the screen shows of a window (its pixels under colours chosen by
// the test, its pointer), keys as the message loop hands them over, and the
// real main window over fake memory and settings.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "FakePlatform.h"
#include "app/FrmMain.h"
#include "platform/win32/window/FormWindow.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Text.h"
#include "platform/win32/pictures/Win32Picture.h"
#include "platform/win32/adapters/Win32Platform.h"

namespace purgix::testing {

inline HWND Hwnd(const ui::Control& c) { return reinterpret_cast<HWND>(c.Handle()); }
inline HICON IconOf(const ui::PicturePtr& p) { return win32::Native(p.get())->Icon(); }
// What the build lays out beside the test program: "Skin" (the shipped skins), "links" (a folder with links out of it).
inline std::filesystem::path Beside(const char* name) {
    return std::filesystem::path(win32::Widen(win32::FilesAdapter().ModulePath())).parent_path() / name;
}

// The pointer a window chooses at a point of its client area, as a mouse move there would have it.
inline HCURSOR CursorAt(HWND h, int x, int y) {
    POINT pt{x, y};
    ClientToScreen(h, &pt);
    SetCursorPos(pt.x, pt.y);
    SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

// As the message loop hands a key to the form, Alt and Shift held or not.
inline bool Press(HWND h, WPARAM key, bool alt = false, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg{h, alt ? UINT{WM_SYSKEYDOWN} : UINT{WM_KEYDOWN}, key, 1, 0, {}};
    const bool taken = win32::HandleFormKeys(msg);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    return taken;
}

// The right-most column of the area holding a pixel other than the ground, counted from the area's left; -1 for none.
inline int LastInk(HDC dc, const RECT& area, COLORREF ground) {
    for (int x = area.right - 1; x >= area.left; --x)
        for (int y = area.top; y < area.bottom; ++y)
            if (GetPixel(dc, x, y) != ground) return x - area.left;
    return -1;
}

// Where a text drawn from the left edge in the font ends.
inline int LastInkOf(const wchar_t* text, HFONT font) {
    win32::gdi::Scratch scratch;
    win32::gdi::MemoryDC picture(scratch, 400, 40);
    PatBlt(picture.Get(), 0, 0, 400, 40, BLACKNESS);
    win32::gdi::ScopedSelectObject select(picture.Get(), font);
    SetTextColor(picture.Get(), RGB(255, 255, 255));
    SetBkMode(picture.Get(), TRANSPARENT);
    TextOutW(picture.Get(), 0, 0, text, lstrlenW(text));
    return LastInk(picture.Get(), {0, 0, 400, 40}, RGB(0, 0, 0));
}

// A shown window's client area (the main window's at most) as the screen has it,
// child windows included, once every pending repaint is done.
struct Screenshot {
    explicit Screenshot(HWND h) : window((RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN), h)), picture(scratch, 480, 210) {
        BitBlt(picture.Get(), 0, 0, 480, 210, window.Get(), 0, 0, SRCCOPY);
    }
    COLORREF At(int x, int y) const { return GetPixel(picture.Get(), x, y); }
    win32::gdi::WindowDC window;
    win32::gdi::Scratch scratch;
    win32::gdi::MemoryDC picture;
};

// Each system colour of the design its own value while it lives, so that a
// control on the wrong one shows (by default several of them are white).
struct DistinctSystemColors {
    static constexpr COLORREF kWindow = RGB(250, 240, 200), kWindowText = RGB(0, 0, 128), kAppWorkspace = RGB(100, 120, 140),
                              kHighlightText = RGB(200, 255, 200), kButtonFace = RGB(210, 200, 230);
    static constexpr INT kIndex[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_APPWORKSPACE, COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE, COLOR_BTNTEXT};
    static constexpr COLORREF kColor[] = {kWindow, kWindowText, kAppWorkspace, kHighlightText, kButtonFace, RGB(90, 0, 0)};
    DistinctSystemColors() {
        for (int i = 0; i < 6; ++i) saved[i] = GetSysColor(kIndex[i]);
        SetSysColors(6, kIndex, kColor);
    }
    ~DistinctSystemColors() { SetSysColors(6, kIndex, saved); }
    COLORREF saved[6] = {};
};

// The main window at a DPI (0: its monitor's), made but not loaded: no start-up has run until a test calls Load.
struct Main {
    explicit Main(int dpi = 0) : window(frm.form, win32, false, dpi) {}
    FakePlatform fake;
    win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    platform::Platform platform{.memory = fake, .blocks = fake, .keyboard = fake, .pointer = win32.input, .zOrder = win32.zOrder,
                                .locale = fake, .shell = fake, .pictures = win32.resources, .pictureFiles = win32.pictures,
                                .files = fake, .registry = fake, .profiles = fake, .settings = fake, .tray = fake,
                                .instances = fake, .diagnostics = fake, .clock = fake};
    app::FrmMain frm{platform, win32.forms};
    win32::FormWindow window;
    HWND h = window.Hwnd();
};

class MainWindow : public ::testing::Test, public Main {};

}  // namespace purgix::testing

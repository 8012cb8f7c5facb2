// The toolkit's hooks on a plain form, as behaviour uses them for its other
// windows and the notification icon: frame, printed image, pointer, icon,
// activation, closing, stacking, pop-up menus and mouse events. The OK button's
// click is the About window's (ProgramTest).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Screenshot.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"
#include "ui/PictureBox.h"

using purgix::testing::Hwnd;
using purgix::win32::FormWindow;
namespace ui = purgix::ui;
using Events = std::vector<std::string>;
using Colours = purgix::testing::DistinctSystemColors;

namespace {

const purgix::win32::Win32Picture& Native(const ui::PicturePtr& p) { return *purgix::win32::Native(p.get()); }

class FormHooks : public ::testing::Test {
protected:
    FormHooks() {
        form.Add(box);
        form.Add(ok);
        box.scaleMode = ui::ScaleMode::Twip;
    }
    void Open(bool main = false) {
        window = std::make_unique<FormWindow>(form, win32, main);
        h = window->Hwnd();
    }
    ui::Event Record(const std::string& what) {
        return [this, what] { events.push_back(what); };
    }
    ui::MouseEvent RecordMouse(const std::string& what) {
        return [this, what](int button, int shift, double x, double y) {
            std::ostringstream s;
            s << what << " " << button << " " << shift << " " << x << " " << y;
            events.push_back(s.str());
        };
    }

    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    ui::Form form{"FrmAbout", "About", 200, 100};
    ui::PictureBox box{"PicTray", {0, 0, 32, 32}, ui::kButtonFace};
    ui::CommandButton ok{"cmdOK", {100, 60, 80, 24}, "&OK"};
    std::unique_ptr<FormWindow> window;
    HWND h = nullptr;
    Events events;
};

}  // namespace

TEST_F(FormHooks, DesignValuesShapeTheFramePlaceAndFont) {
    RECT work, r, client;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    using B = ui::BorderStyle;
    for (auto [border, minButton, inTaskbar, centred] : {std::tuple{B::FixedSingle, true, true, true}, {B::FixedSingle, false, false, false},
                                                         {B::FixedDialog, true, false, true}}) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(border) << minButton << inTaskbar << centred);
        form.borderStyle = border;
        form.minButton = minButton;
        form.showInTaskbar = inTaskbar;
        form.centered = centred;
        Open();
        const LONG style = GetWindowLongW(h, GWL_STYLE);
        const LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
        EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) && !(style & (WS_MAXIMIZEBOX | WS_THICKFRAME)));
        EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, border == B::FixedSingle && minButton);
        EXPECT_EQ((ex & WS_EX_DLGMODALFRAME) != 0, border == B::FixedDialog);
        EXPECT_FALSE(ex & WS_EX_TOOLWINDOW);
        HWND owner = GetWindow(h, GW_OWNER);  // an owned window stays off the taskbar
        EXPECT_EQ(owner != nullptr && !IsWindowVisible(owner), !inTaskbar);
        GetWindowRect(h, &r);
        GetClientRect(h, &client);
        EXPECT_EQ(client.right * 1000 + client.bottom, 200 * 1000 + 100);
        EXPECT_EQ(std::abs(r.left + r.right - work.left - work.right) + std::abs(r.top + r.bottom - work.top - work.bottom) <= 2, centred);
    }
    for (auto [points, pixels] : {std::pair{8.25, -11}, {12.0, -16}}) {  // at 96 dots per inch
        form.font.points = points;
        Open();
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Hwnd(ok), WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_EQ(std::wstring(font.lfFaceName) + L" " + std::to_wstring(font.lfHeight), L"MS Sans Serif " + std::to_wstring(pixels));
    }
}

TEST_F(FormHooks, PrintedTextAndPaintedPicturesStayOnTheFormThroughRepaints) {
    Colours colours;
    Open();
    form.SetVisible(true);
    const purgix::testing::Screenshot blank(h);  // painted once before anything is printed
    form.Print({10, 40, "Purgix", ui::Rgb(255, 0, 0)});
    form.PaintPicture(win32.Resource(purgix::platform::ResourcePicture::ProgramIcon), 150, 10);
    for (bool covered : {false, true}) {
        if (covered) InvalidateRect(h, nullptr, TRUE);  // as when another window has lain over it
        const purgix::testing::Screenshot shot(h);
        // Red ink straight on the form's ground (no text background), and the icon's pixels.
        int red = 0, stray = 0;
        for (int y = 40; y < 53; ++y)
            for (int x = 10; x < 45; ++x) {
                red += shot.At(x, y) == RGB(255, 0, 0);
                stray += shot.At(x, y) != RGB(255, 0, 0) && shot.At(x, y) != Colours::kButtonFace;
            }
        EXPECT_TRUE(red > 0 && stray == 0) << covered << ": " << red << " red, " << stray << " other";
        EXPECT_NE(shot.LastInk({150, 10, 182, 42}, Colours::kButtonFace), -1) << covered;
    }
}

TEST_F(FormHooks, ACustomPointerShowsOverTheClientAndTheClassArrowOtherwise) {
    Open();
    form.SetVisible(true);
    const ui::PicturePtr hand = win32.Resource(purgix::platform::ResourcePicture::HandCursor);
    form.SetMousePointer(ui::MousePointer::Custom, hand);
    EXPECT_EQ(purgix::testing::CursorAt(h, 150, 30), Native(hand).Icon());
    form.SetMousePointer(ui::MousePointer::Default);
    EXPECT_EQ(purgix::testing::CursorAt(h, 150, 30), LoadCursorW(nullptr, IDC_ARROW));
}

// Explorer's restart is the program's Win32 test's, the second start's "show yourself" the end-to-end tier's.
TEST_F(FormHooks, TheIconGoesToTheFrameAndBecomingTheActiveWindowRaisesActivate) {
    form.Activate = Record("Activate");
    Open();
    const ui::PicturePtr icon = win32.Resource(purgix::platform::ResourcePicture::ProgramIcon);
    form.SetIcon(icon);
    EXPECT_EQ(SendMessageW(h, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(Native(icon).Icon()));
    EXPECT_EQ(SendMessageW(h, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(Native(icon).SmallIcon()));
    form.SetVisible(true);  // shown, it becomes the active window
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events, Events(events.size(), "Activate"));
    events.clear();
    ui::Form other("Other", "Other", 50, 50);
    other.SetVisible(true);
    const FormWindow later(other, win32, false);  // and stops being it
    EXPECT_EQ(events, Events{});
}

TEST_F(FormHooks, CloseUnloadsOnceAndTheWindowOpensAgainAndOnlyTheMainOneEndsTheLoop) {
    // The session may end while the form unloads (a message box of its shutdown runs a loop).
    bool ending = false;
    form.Unload = [&] {
        events.push_back("Unload");
        if (!std::exchange(ending, true)) SendMessageW(h, WM_ENDSESSION, TRUE, 0);
    };
    MSG quit;
    for (std::size_t round = 1; round <= 2; ++round) {
        Open();
        form.Close();
        form.Close();  // nothing left to close
        EXPECT_FALSE(IsWindow(h));
        EXPECT_EQ(form.Handle() + ok.Handle(), 0u) << "handles of a closed window";
        EXPECT_EQ(events.size(), round);
        EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
    // The main form's closing ends the loop, even when its Unload lets go of the window object.
    Open(true);
    form.Unload = [this] { window.reset(); };
    form.Close();
    EXPECT_EQ(window, nullptr);
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(FormHooks, ZOrderRestoresAMinimizedFormAndBringsItToTheFront) {
    Open();
    form.SetVisible(true);
    ShowWindow(h, SW_MINIMIZE);
    ui::Form other("Other", "Other", 50, 50);
    other.SetVisible(true);
    const FormWindow above(other, win32, false);
    form.ZOrder();
    EXPECT_FALSE(IsIconic(h));
    EXPECT_EQ(GetForegroundWindow(), h);
    HWND below = h;
    while (below != nullptr && below != above.Hwnd()) below = GetWindow(below, GW_HWNDNEXT);
    EXPECT_EQ(below, above.Hwnd()) << "the other window is still above";
}

TEST_F(FormHooks, APopUpMenuOfAHiddenFormRunsTheChosenItemAndLeavesTheFormHidden) {
    ui::MenuItem& pop = form.Menu().Add("mPOP", "mPOP");
    pop.SetVisible(false);
    pop.Add("mShowPOP", "&Show").Click = Record("Show");
    pop.Add("mExitPOP", "&Exit").Click = Record("Exit");
    Open();
    EXPECT_EQ(GetMenu(h), nullptr) << "a hidden menu takes no bar";
    // Should the keys not reach the menu, it must not hold the test: it ends after a second.
    const UINT_PTR guard = SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    // Keys waiting in the queue: the menu's own loop reads them once it is open.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(h, WM_KEYDOWN, key, 1);
    form.PopupMenu(pop);
    EXPECT_EQ(events, Events{"Exit"}) << "the item's Click has run when the call returns";
    bool null = false;
    for (MSG msg; PeekMessageW(&msg, h, 0, 0, PM_REMOVE); DispatchMessageW(&msg)) null = null || msg.message == WM_NULL;
    EXPECT_TRUE(null) << "a message after the menu, so that the next opens at the first click";
    PostMessageW(h, WM_KEYDOWN, VK_ESCAPE, 1);
    form.PopupMenu(pop);
    EXPECT_EQ(events, Events{"Exit"});
    EXPECT_FALSE(IsWindowVisible(h));
    KillTimer(nullptr, guard);
}

TEST_F(FormHooks, MouseEventsCarryButtonsKeysAndPositionInTheContainersScale) {
    box.MouseMove = RecordMouse("box move");
    box.MouseUp = RecordMouse("box up");
    form.MouseUp = RecordMouse("form up");
    Open();
    // The notification area calls its icon's window back with a mouse move, the mouse message in x.
    SendMessageW(Hwnd(box), WM_MOUSEMOVE, 1, WM_LBUTTONDBLCLK);
    SendMessageW(Hwnd(box), WM_MOUSEMOVE, MK_RBUTTON | MK_MBUTTON | MK_SHIFT, MAKELPARAM(3, 4));
    SendMessageW(Hwnd(box), WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(3, 4));
    SendMessageW(h, WM_MBUTTONUP, 0, MAKELPARAM(7, 9));
    SendMessageW(h, WM_LBUTTONUP, MK_SHIFT | MK_CONTROL, MAKELPARAM(150, 5));
    EXPECT_EQ(events, (Events{"box move 1 0 7725 0", "box move 6 1 45 60", "box up 2 2 45 60", "form up 4 0 7 9", "form up 1 3 150 5"}));
}

// The toolkit's hooks on a plain form, as behaviour uses them for its other
// windows and the notification icon: frame, printed image, pointer, icon,
// events, closing, stacking, pop-up menus and mouse events.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <tuple>
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

namespace {

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

HICON IconOf(const ui::PicturePtr& p) { return static_cast<const purgix::win32::Win32Picture*>(p.get())->Icon(); }

class FormHooks : public ::testing::Test {
protected:
    FormHooks() {
        form.Add(box);
        form.Add(ok);
        box.scaleMode = ui::ScaleMode::Twip;
    }
    std::unique_ptr<FormWindow> Open(bool main = false) { return std::make_unique<FormWindow>(form, win32, main); }
    ui::MouseEvent Record(const std::string& what) {
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
    Events events;
};

}  // namespace

TEST_F(FormHooks, DesignValuesShapeTheFramePlaceAndFont) {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    using B = ui::BorderStyle;
    for (auto [border, minButton, inTaskbar, centred] : {std::tuple{B::FixedSingle, true, true, true}, {B::FixedSingle, false, false, false},
                                                         {B::FixedDialog, true, false, true}}) {
        std::ostringstream name;
        name << static_cast<int>(border) << minButton << inTaskbar << centred;
        SCOPED_TRACE(name.str());
        form.borderStyle = border;
        form.minButton = minButton;
        form.showInTaskbar = inTaskbar;
        form.centered = centred;
        const auto window = Open();
        HWND h = window->Hwnd();
        const LONG style = GetWindowLongW(h, GWL_STYLE);
        const LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
        EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU));
        EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
        EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, border == B::FixedSingle && minButton);
        EXPECT_EQ((ex & WS_EX_DLGMODALFRAME) != 0, border == B::FixedDialog);
        EXPECT_FALSE(ex & WS_EX_TOOLWINDOW);
        HWND owner = GetWindow(h, GW_OWNER);  // an owned window stays off the taskbar
        EXPECT_EQ(owner != nullptr && !IsWindowVisible(owner), !inTaskbar);
        RECT r, client;
        GetWindowRect(h, &r);
        GetClientRect(h, &client);
        EXPECT_EQ(client.right * 1000 + client.bottom, 200 * 1000 + 100);
        EXPECT_EQ(std::abs(r.left + r.right - work.left - work.right) <= 1 && std::abs(r.top + r.bottom - work.top - work.bottom) <= 1,
                  centred);
    }
    form.font.points = 12;
    const auto window = Open();
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Hwnd(ok), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -16);
}

TEST_F(FormHooks, PrintedTextAndPaintedPicturesStayOnTheFormThroughRepaints) {
    purgix::testing::DistinctSystemColors colours;
    const auto window = Open();
    HWND h = window->Hwnd();
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
                const COLORREF c = shot.At(x, y);
                red += c == RGB(255, 0, 0);
                stray += c != RGB(255, 0, 0) && c != purgix::testing::DistinctSystemColors::kButtonFace;
            }
        EXPECT_GT(red, 0) << covered;
        EXPECT_EQ(stray, 0) << covered;
        EXPECT_NE(shot.LastInk({150, 10, 182, 42}, purgix::testing::DistinctSystemColors::kButtonFace), -1) << covered;
    }
}

TEST_F(FormHooks, ACustomPointerShowsOverTheClientAndTheClassArrowOtherwise) {
    const auto window = Open();
    HWND h = window->Hwnd();
    form.SetVisible(true);
    POINT pt{150, 30};
    ClientToScreen(h, &pt);
    SetCursorPos(pt.x, pt.y);
    auto cursor = [&] {
        SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    const ui::PicturePtr hand = win32.Resource(purgix::platform::ResourcePicture::HandCursor);
    form.SetMousePointer(ui::MousePointer::Custom, hand);
    EXPECT_EQ(cursor(), IconOf(hand));
    form.SetMousePointer(ui::MousePointer::Default);
    EXPECT_EQ(cursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(FormHooks, TheIconGoesToTheFrameAndActivationAndTheRegisteredMessagesRaiseTheirEvents) {
    form.Activate = [this] { events.push_back("Activate"); };
    form.TaskbarCreated = [this] { events.push_back("TaskbarCreated"); };
    form.ShowRequested = [this] { events.push_back("ShowRequested"); };
    const auto window = Open();
    HWND h = window->Hwnd();
    const ui::PicturePtr icon = win32.Resource(purgix::platform::ResourcePicture::ProgramIcon);
    form.SetIcon(icon);
    EXPECT_EQ(SendMessageW(h, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(IconOf(icon)));
    EXPECT_EQ(SendMessageW(h, WM_GETICON, ICON_SMALL, 0),
              reinterpret_cast<LRESULT>(static_cast<const purgix::win32::Win32Picture*>(icon.get())->SmallIcon()));
    form.SetVisible(true);  // shown, it becomes the active window
    ui::Form other("Other", "Other", 50, 50);
    other.SetVisible(true);
    const FormWindow later(other, win32, false);  // and stops being it
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events, Events(events.size(), "Activate"));
    events.clear();
    SendMessageW(h, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(purgix::win32::AskRunningCopyToShow());  // as a second start does
    Pump();
    EXPECT_EQ(events, (Events{"TaskbarCreated", "ShowRequested"}));
}

TEST_F(FormHooks, CloseUnloadsOnceAndTheWindowOpensAgainAndOnlyTheMainOneEndsTheLoop) {
    int unloads = 0;
    form.Unload = [&] { ++unloads; };
    MSG quit;
    for (int round = 1; round <= 2; ++round) {
        const auto window = Open();
        HWND h = window->Hwnd();
        form.Close();
        form.Close();  // nothing left to close
        EXPECT_FALSE(IsWindow(h));
        EXPECT_EQ(form.Handle() + ok.Handle(), 0u) << "handles of a closed window";
        EXPECT_EQ(unloads, round);
        EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
    // The main form's closing ends the loop, even when its Unload lets go of the window object.
    std::unique_ptr<FormWindow> main = Open(true);
    form.Unload = [&] { main.reset(); };
    form.Close();
    EXPECT_EQ(main, nullptr);
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(FormHooks, ZOrderRestoresAMinimizedFormAndBringsItToTheFront) {
    const auto window = Open();
    HWND h = window->Hwnd();
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
    pop.Add("mShowPOP", "&Show").Click = [this] { events.push_back("Show"); };
    pop.Add("mExitPOP", "&Exit").Click = [this] { events.push_back("Exit"); };
    const auto window = Open();
    HWND h = window->Hwnd();
    EXPECT_EQ(GetMenu(h), nullptr) << "a hidden menu takes no bar";
    // Keys waiting in the queue: the menu's own loop reads them once it is open.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(h, WM_KEYDOWN, key, 1);
    form.PopupMenu(pop);
    EXPECT_EQ(events, Events{"Exit"}) << "the item's Click has run when the call returns";
    bool null = false;
    for (MSG msg; PeekMessageW(&msg, h, 0, 0, PM_REMOVE);) null = null || msg.message == WM_NULL;
    EXPECT_TRUE(null) << "a message after the menu, so that the next opens at the first click";
    PostMessageW(h, WM_KEYDOWN, VK_ESCAPE, 1);
    form.PopupMenu(pop);
    EXPECT_EQ(events, Events{"Exit"});
    EXPECT_FALSE(IsWindowVisible(h));
}

TEST_F(FormHooks, MouseEventsCarryButtonsKeysAndPositionInTheContainersScale) {
    box.MouseMove = Record("box move");
    box.MouseUp = Record("box up");
    form.MouseUp = Record("form up");
    const auto window = Open();
    // The notification area calls its icon's window back with a mouse move, the mouse message in x.
    SendMessageW(Hwnd(box), WM_MOUSEMOVE, 1, WM_LBUTTONDBLCLK);
    SendMessageW(Hwnd(box), WM_MOUSEMOVE, MK_RBUTTON | MK_MBUTTON | MK_SHIFT, MAKELPARAM(3, 4));
    SendMessageW(Hwnd(box), WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(3, 4));
    SendMessageW(window->Hwnd(), WM_MBUTTONUP, 0, MAKELPARAM(7, 9));
    SendMessageW(window->Hwnd(), WM_LBUTTONUP, MK_SHIFT | MK_CONTROL, MAKELPARAM(150, 5));
    EXPECT_EQ(events, (Events{"box move 1 0 7725 0", "box move 6 1 45 60", "box up 2 2 45 60", "form up 4 0 7 9", "form up 1 3 150 5"}));
}

TEST_F(FormHooks, TheCommandButtonIsARealButtonWhoseClickRaisesClick) {
    int clicks = 0;
    ok.Click = [&] { ++clicks; };
    const auto window = Open();
    form.SetVisible(true);
    wchar_t cls[16], text[16];
    GetClassNameW(Hwnd(ok), cls, 16);
    GetWindowTextW(Hwnd(ok), text, 16);
    EXPECT_EQ(std::wstring(cls) + L":" + text, L"Button:&OK");
    SendMessageW(Hwnd(ok), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
}

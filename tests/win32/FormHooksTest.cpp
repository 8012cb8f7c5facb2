// The toolkit's hooks as the main window, the About window and the notification
// icon use them: frame, printed image, pointer, icon, activation, stacking,
// pop-up menus and mouse events; then the loaded main window: stay-on-top on the
// real window, the session's end and closing, and Explorer's restart.
#include "WindowTest.h"

using namespace purgix::testing;
namespace ui = purgix::ui;
using FormHooks = MainWindow;

TEST_F(FormHooks, DesignValuesShapeTheFramePlaceAndFontAndThereIsOneAboutWindowOnTop) {
    frm.mAbout->Click();
    frm.mAbout->Click();  // brings the open one forward
    RECT work, r;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // The main window: a minimize box, on the taskbar, centred. The About window: a dialog's frame, no menu bar,
    // off the taskbar (owned), where the system puts it, and its 8 points round to the same 11 pixels.
    for (auto [form, child] : {std::pair<ui::Form*, ui::Control*>{&frm.form, &frm.Check1}, {&frm.About()->form, &frm.About()->Command1}}) {
        HWND w = Hwnd(*form), owner = GetWindow(w, GW_OWNER);
        const LONG style = GetWindowLongW(w, GWL_STYLE), ex = GetWindowLongW(w, GWL_EXSTYLE);
        GetWindowRect(w, &r);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Hwnd(*child), WM_GETFONT, 0, 0)), sizeof font, &font);
        const auto has = [](bool yes, const char* what) { return yes ? std::string(what) : std::string(); };
        EXPECT_EQ(has((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU), "caption ") + has(style & WS_MINIMIZEBOX, "minimize ") +
                      has(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), "sizing ") + has(ex & WS_EX_DLGMODALFRAME, "dialog ") +
                      has(ex & WS_EX_TOOLWINDOW, "tool ") + has(GetMenu(w), "menu ") + has(owner && !IsWindowVisible(owner), "owned ") +
                      has(std::abs(r.left + r.right - work.left - work.right) + std::abs(r.top + r.bottom - work.top - work.bottom) <= 2,
                          "centred ") +
                      purgix::win32::Narrow(font.lfFaceName) + " " + std::to_string(font.lfHeight),
                  form == &frm.form ? "caption minimize menu centred MS Sans Serif -11" : "caption dialog owned MS Sans Serif -11");
    }
    const wchar_t* title = L"--- About Purgix ---";
    HWND about = FindWindowW(nullptr, title);
    EXPECT_TRUE(about == Hwnd(frm.About()->form) && FindWindowExW(nullptr, about, nullptr, title) == nullptr) << "one About window";
    EXPECT_TRUE(GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SendMessageW(Hwnd(frm.About()->Command1), BM_CLICK, 0, 0);
    EXPECT_EQ(FindWindowW(nullptr, title), nullptr);
    frm.mAbout->Click();
    EXPECT_TRUE(IsWindowVisible(FindWindowW(nullptr, title))) << "opened again";
}

TEST_F(FormHooks, PicturesAndPrintedTextStayThroughRepaintsAndTheFormsPointerShows) {
    ShowWindow(h, SW_SHOW);
    const Screenshot blank(h);  // painted once before anything is printed
    const ui::PicturePtr icon = frm.form.Icon();
    frm.form.SetPicture(icon);  // as a skin's, at the corner
    frm.form.PaintPicture(icon, 300, 20);
    frm.form.Print({150, 20, "Purgix", ui::Rgb(255, 0, 0)});
    for (bool covered : {false, true}) {
        if (covered) InvalidateRect(h, nullptr, TRUE);  // as when another window has lain over it
        const Screenshot shot(h);
        // Red ink straight on the form's ground (no text background), and the pictures' pixels.
        int red = 0, stray = 0, corner = 0, painted = 0;
        for (int y = 0; y < 52; ++y)
            for (int x = 0; x < 332; ++x) {
                const bool text = x >= 150 && x < 185 && y >= 20 && y < 33, differs = shot.At(x, y) != blank.At(x, y);
                red += text && shot.At(x, y) == RGB(255, 0, 0);
                stray += text && differs && shot.At(x, y) != RGB(255, 0, 0);
                (x < 32 ? corner : painted) += !text && differs;
            }
        EXPECT_TRUE(red > 0 && stray == 0 && corner > 0 && painted > 0) << covered << ": " << red << " red, " << stray << " other, "
                                                                         << corner << " and " << painted << " of the pictures";
    }
    frm.form.SetMousePointer(ui::MousePointer::Custom, frm.ImgCUR.Picture());
    EXPECT_EQ(CursorAt(h, 240, 20), IconOf(frm.ImgCUR.Picture()));
    frm.form.SetMousePointer(ui::MousePointer::Default);
    EXPECT_EQ(CursorAt(h, 240, 20), LoadCursorW(nullptr, IDC_ARROW));
}

// The second start's "show yourself" is the end-to-end tier's.
TEST_F(FormHooks, TheIconGoesToTheFrameActivationRaisesActivateAndShowingRestoresAndRaises) {
    int activations = 0;
    frm.form.Activate = [&] { ++activations; };
    const auto* icon = purgix::win32::Native(frm.form.Icon().get());
    EXPECT_EQ(std::pair(SendMessageW(h, WM_GETICON, ICON_BIG, 0), SendMessageW(h, WM_GETICON, ICON_SMALL, 0)),
              std::pair(reinterpret_cast<LRESULT>(icon->IconAt(GetSystemMetrics(SM_CXICON))),
                        reinterpret_cast<LRESULT>(icon->IconAt(GetSystemMetrics(SM_CXSMICON)))));
    frm.form.SetVisible(true);  // shown, it becomes the active window
    EXPECT_GT(std::exchange(activations, 0), 0);
    ShowWindow(h, SW_MINIMIZE);
    ui::Form other("Other", "Other", 50, 50);
    other.SetVisible(true);
    const purgix::win32::FormWindow above(other, win32, false);  // and stops being it
    EXPECT_EQ(activations, 0);
    frm.mShowPOP->Click();
    EXPECT_TRUE(!IsIconic(h) && GetForegroundWindow() == h) << "restored and in front";
    HWND below = h;
    while (below != nullptr && below != above.Hwnd()) below = GetWindow(below, GW_HWNDNEXT);
    EXPECT_EQ(below, above.Hwnd()) << "the other window is still above";
}

// Esc and the pop-up's other keys are the end-to-end tier's.
TEST_F(FormHooks, APopUpMenuOfAHiddenFormRunsTheChosenItemAndLeavesTheFormHidden) {
    int exits = 0;
    frm.mExitPOP->Click = [&] { ++exits; };
    // Should the keys not reach the menu, it must not hold the test: it ends after a second.
    const UINT_PTR guard = SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    // Keys waiting in the queue: the menu's own loop reads them once it is open. Up from nothing is the last item.
    for (WPARAM key : {VK_UP, VK_RETURN}) PostMessageW(h, WM_KEYDOWN, key, 1);
    frm.form.PopupMenu(*frm.mPOP);
    EXPECT_EQ(exits, 1) << "the item's Click has run when the call returns";
    bool null = false;
    for (MSG msg; PeekMessageW(&msg, h, 0, 0, PM_REMOVE); DispatchMessageW(&msg)) null = null || msg.message == WM_NULL;
    EXPECT_TRUE(null) << "a message after the menu, so that the next opens at the first click";
    EXPECT_FALSE(IsWindowVisible(h));
    KillTimer(nullptr, guard);
}

TEST_F(FormHooks, MouseEventsCarryButtonsKeysAndPositionInTheContainersScale) {
    std::string log;
    auto record = [&log](const char* what) {
        return [&log, what](int button, int shift, double x, double y) {
            log += what;
            for (double n : {0.0 + button, 0.0 + shift, x, y}) log += " " + std::to_string(static_cast<int>(n));
            log += "; ";
        };
    };
    HWND tray = Hwnd(frm.PicTray);  // measured in twips
    frm.PicTray.MouseMove = record("box move");
    frm.PicTray.MouseUp = record("box up");
    frm.form.MouseUp = record("form up");
    // The notification area calls its icon's window back with a mouse move, the mouse message in x.
    SendMessageW(tray, WM_MOUSEMOVE, 1, WM_LBUTTONDBLCLK);
    SendMessageW(tray, WM_MOUSEMOVE, MK_RBUTTON | MK_MBUTTON | MK_SHIFT, MAKELPARAM(3, 4));
    SendMessageW(tray, WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(3, 4));
    SendMessageW(h, WM_MBUTTONUP, 0, MAKELPARAM(7, 9));
    SendMessageW(h, WM_LBUTTONUP, MK_SHIFT | MK_CONTROL, MAKELPARAM(150, 5));
    EXPECT_EQ(log, "box move 1 0 7725 0; box move 6 1 45 60; box up 2 2 45 60; form up 4 0 7 9; form up 1 3 150 5; ");
}

using Program = MainWindow;

TEST_F(Program, StayOnTopFollowsTheMenuOnTheRealWindow) {
    frm.Load();
    for (bool on : {true, false, true}) {
        EXPECT_EQ(std::pair((GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0,
                            (GetMenuState(GetSubMenu(GetMenu(h), 1), 0, MF_BYPOSITION) & MF_CHECKED) != 0),
                  std::pair(on, on));
        frm.mStayOnTop->Click();
    }
}

// What is saved, and in which order, is the unit tier's and the end-to-end tier's.
TEST_F(Program, TheSessionsEndSavesBeforeItReturnsAndTheWindowUnloadsOnceAndOnlyTheMainOneEndsTheLoop) {
    frm.Load();
    EXPECT_EQ(SendMessageW(h, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageW(h, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(fake.storeWrites.empty()) << "a cancelled end changes nothing";
    // The session may end again while the form unloads (a message box of its shutdown runs a loop).
    const purgix::ui::Event save = frm.form.Unload;
    frm.form.Unload = [&] {
        save();
        SendMessageW(h, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    };
    SendMessageW(h, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(std::pair(fake.storeWrites.size(), IsWindow(h)), std::pair(std::size_t{7}, FALSE))
        << "saved once and gone before the message returned: the program ends with the session";
    frm.form.Close();  // nothing left to close
    EXPECT_EQ(frm.form.Handle() + frm.Check1.Handle(), 0u) << "handles of a closed window";
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    // Opened again as the main window, its closing ends the loop, even when its Unload lets go of the window object.
    auto again = std::make_unique<purgix::win32::FormWindow>(frm.form, win32, true);
    frm.form.Unload = [&again] { again.reset(); };
    frm.form.Close();
    EXPECT_EQ(again, nullptr);
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(Program, TheIconComesBackWhenTheTaskbarIsCreatedAgain) {
    frm.Load();
    fake.trayCalls.clear();
    SendMessageW(h, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(fake.trayCalls.size() == 1 && fake.trayCalls[0].first == purgix::platform::kNimAdd && fake.trayCalls[0].second.window == frm.PicTray.Handle());
}

// Hidden by the menu or Ctrl+H, shown again by the tray's menu or a left click on the icon; and the options,
// covered by the table and then the chart, take no click until their page is in view.
TEST_F(Program, HideAndShowByMenuKeyAndTrayAndTheOptionsTakeNoMouseUnderThePages) {
    frm.Load();
    const HWND tray = Hwnd(frm.PicTray);
    for (auto [hide, show] : {std::pair{0, 0}, {1, 1}}) {
        if (hide == 0) {
            frm.mHide->Click();
        } else {
            MSG key{h, WM_KEYDOWN, 'H', 1, 0, {}};
            BYTE keys[256] = {};
            keys[VK_CONTROL] = 0x80;
            SetKeyboardState(keys);
            EXPECT_TRUE(window.HandleShortcut(key));
            keys[VK_CONTROL] = 0;
            SetKeyboardState(keys);
        }
        EXPECT_FALSE(IsWindowVisible(h)) << hide;
        if (show == 0)
            frm.mShowPOP->Click();
        else
            SendMessageW(tray, WM_MOUSEMOVE, 0, WM_LBUTTONDOWN);  // the notification area's call for a left click
        EXPECT_TRUE(IsWindowVisible(h)) << show;
    }
    const POINT check1{70, 102};
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(ChildWindowFromPointEx(h, check1, CWP_SKIPINVISIBLE) == Hwnd(frm.Check1), page == 2) << page;
        frm.ImgTab.Click();
    }
}

// The toolkit's hooks as the main window, the About window and the notification
// icon use them: frame, printed image, pointer, icon, activation, stacking and
// pop-up menus; then the loaded main window: the session's end and closing, stay-on-top
// on the real window, hiding and showing, Explorer's restart and a new density.
#include "WindowTest.h"

#include <thread>

#include "platform/win32/release/FillOptions.h"

using namespace purgix::testing;
namespace ui = purgix::ui;
using FormHooks = MainWindow;

// One About window and its being on top are the unit tier's; Enter and Esc on it, the end-to-end tier's.
TEST_F(FormHooks, DesignValuesShapeTheFramePlaceAndFontOfTheMainAndTheAboutWindow) {
    frm.mAbout->Click();
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
    const HWND about = Hwnd(frm.About()->form);
    // Its printed image stays through a repaint: the blue links' rows hold blue ink straight on the ground, and the icon
    // stands out of it. The hand shows over the links (in twips at the window's density).
    InvalidateRect(about, nullptr, TRUE);
    const Screenshot shot(about);
    int blue = 0, stray = 0, icon = 0;
    for (int y = 13; y < 91; ++y)
        for (int x = 0; x < 376; ++x) {
            const bool ink = shot.At(x, y) != shot.At(370, 100);
            if (y >= 65)
                (shot.At(x, y) == RGB(0, 0, 255) ? blue : stray) += ink;
            else
                icon += ink && x >= 20 && x < 52 && y < 45;
        }
    EXPECT_TRUE(blue > 0 && stray == 0 && icon > 0) << blue << " blue, " << stray << " other, " << icon << " of the icon";
    SendMessageW(about, WM_MOUSEMOVE, 0, MAKELPARAM(67, 73));
    EXPECT_EQ(CursorAt(about, 67, 73), IconOf(frm.ImgCUR.Picture()));
    SendMessageW(Hwnd(frm.About()->Command1), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(about));
    // Opened again and made active, it has the focus on OK.
    frm.mAbout->Click();
    SetForegroundWindow(Hwnd(frm.About()->form));
    SetActiveWindow(Hwnd(frm.About()->form));
    EXPECT_EQ(GetFocus(), Hwnd(frm.About()->Command1));
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

using Program = MainWindow;

// Log-off during a release: the end of the session, sent from another thread while the real block fills, stops
// the fill, saves once (it may end again while the form unloads: a message box of its shutdown runs a loop) and
// destroys the window before the send returns. A second start asking "show yourself" hears "shown" while the copy
// runs and "closing" once its shutdown has begun. What is saved, and in which order, is the unit tier's.
TEST_F(Program, TheSessionsEndDuringAFillStopsItSavesOnceAndDestroysTheWindowAtOnceAndOnlyTheMainOneEndsTheLoop) {
    frm.Load();
    frm.RefreshMEM();
    const UINT show = RegisterWindowMessageW(L"Quenlor.Purgix.ShowYourself");
    EXPECT_EQ(SendMessageW(h, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageW(h, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(fake.storeWrites.empty()) << "a cancelled end changes nothing";
    // The workers wait until the shutdown begins, so that the stop finds them filling.
    static HANDLE filling = CreateEventW(nullptr, TRUE, FALSE, nullptr), letGo = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const auto hold = [](void*) {
        SetEvent(filling);
        WaitForSingleObject(letGo, 10000);
    };
    auto result = purgix::platform::BlockResult::Written;
    fake.onBlock = [&] { result = purgix::win32::WriteBlankBlock(200u << 20, {2, UINT_MAX, nullptr, nullptr, hold}); };
    fake.onStop = [&] { win32.memory.StopFill(); };
    const purgix::ui::Event save = frm.form.Unload;
    LRESULT answers[2] = {SendMessageW(h, show, 0, 0), 0};
    frm.form.Unload = [&] {
        SetEvent(letGo);
        save();
        answers[1] = SendMessageW(h, show, 0, 0);
        SendMessageW(h, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    };
    std::pair<BOOL, std::size_t> seen{TRUE, 0};
    std::thread logoff([&] {
        WaitForSingleObject(filling, 10000);
        SendMessageTimeoutW(h, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, nullptr);
        seen = {IsWindow(h), fake.storeWrites.size()};
    });
    frm.ReleaseMemory(purgix::memory::ReleaseCause::Menu);
    logoff.join();
    EXPECT_EQ(std::tuple(seen.first, seen.second, answers[0], answers[1], result), std::tuple(FALSE, std::size_t{10}, 1, 2, purgix::platform::BlockResult::Stopped));
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

// Exit during a release, and a log-off that comes while the shutdown stops the fill: the log-off is handled only
// once everything is saved and the window has gone, never inside the first close's stop.
TEST_F(Program, ASecondCloseDuringTheReleasesStopWaitsForTheFirstOnesSaveAndEnding) {
    frm.Load();
    frm.RefreshMEM();
    static HANDLE filling = CreateEventW(nullptr, TRUE, FALSE, nullptr), letGo = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    static HANDLE unloading = CreateEventW(nullptr, TRUE, FALSE, nullptr), queued = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const auto hold = [](void*) {
        SetEvent(filling);
        WaitForSingleObject(letGo, 10000);
    };
    fake.onBlock = [&] { purgix::win32::WriteBlankBlock(200u << 20, {2, UINT_MAX, nullptr, nullptr, hold}); };
    fake.onStop = [&] { win32.memory.StopFill(); };
    const purgix::ui::Event save = frm.form.Unload;
    frm.form.Unload = [&] {
        SetEvent(unloading);
        WaitForSingleObject(queued, 10000);  // the log-off is waiting before the stop begins
        save();
    };
    // What the window had saved, and whether it still stood, when the log-off reached it (a window
    // that has gone gets nothing: as good as after).
    static std::pair<std::size_t, BOOL> seen{10, FALSE};
    static const FakePlatform* store = &fake;
    static HWND main = h;
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        const auto& m = *reinterpret_cast<const CWPSTRUCT*>(lp);
        if (m.message == WM_ENDSESSION && m.wParam == TRUE) seen = {store->storeWrites.size(), IsWindow(main)};
        return CallNextHookEx(nullptr, code, wp, lp);
    }, nullptr, GetCurrentThreadId());
    std::thread exit([&] {
        WaitForSingleObject(filling, 10000);
        SendMessageTimeoutW(h, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, nullptr);  // as /exit has the main window do
    });
    std::thread logoff([&] {
        WaitForSingleObject(unloading, 10000);
        SendMessageCallbackW(h, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, [](HWND, UINT, ULONG_PTR, LRESULT) {}, 0);
        SetEvent(queued);
        SetEvent(letGo);
    });
    frm.ReleaseMemory(purgix::memory::ReleaseCause::Menu);
    exit.join();
    logoff.join();
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(std::tuple(seen.first, seen.second, fake.storeWrites.size(), IsWindow(h)), std::tuple(std::size_t{10}, FALSE, std::size_t{10}, FALSE));
}

// Stay-on-top follows its menu item on the real window. Hidden by Ctrl+H, shown again by a left click on the icon; F9;
// the options, covered by the table and then the chart, take no click until their page is in view. Explorer
// restarted, the icon is added again; the window on a monitor of another density, the icon is drawn anew.
TEST_F(Program, StayOnTopHideAndShowThePagesAndTheIconAfterExplorerAndAtANewDensity) {
    frm.Load();
    for (bool on : {true, false, true}) {
        EXPECT_EQ(std::pair((GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0,
                            (GetMenuState(GetSubMenu(GetMenu(h), 1), 0, MF_BYPOSITION) & MF_CHECKED) != 0),
                  std::pair(on, on));
        frm.mStayOnTop->Click();
    }
    MSG key{h, WM_KEYDOWN, 'H', 1, 0, {}};
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    EXPECT_TRUE(window.HandleShortcut(key));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    frm.RefreshMEM();  // F9 releases once per press: a held key's repeats are the tick's to see
    for (LPARAM repeat : {0, 1 << 30, 0}) EXPECT_EQ(window.HandleShortcut(key = {h, WM_KEYDOWN, VK_F9, 1 | repeat, 0, {}}), repeat == 0);
    EXPECT_EQ(fake.Calls("WriteBlankBlock").size(), 2u);
    EXPECT_FALSE(IsWindowVisible(h));
    SendMessageW(Hwnd(frm.PicTray), WM_MOUSEMOVE, 0, WM_LBUTTONDOWN);  // the notification area's call for a left click
    EXPECT_TRUE(IsWindowVisible(h));
    for (int page = 0; page < 3; ++page, frm.ImgTab.Click())
        EXPECT_EQ(ChildWindowFromPointEx(h, {70, 102}, CWP_SKIPINVISIBLE) == Hwnd(frm.Check1), page == 2) << page;
    fake.trayCalls.clear();
    SendMessageW(h, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    // At 144 dpi the window goes where Windows suggests, its client area the design's at that density.
    RECT place{};
    GetWindowRect(h, &place);
    const RECT suggested{place.left + 37, place.top + 23, place.left + 37 + (place.right - place.left) * 3 / 2,
                         place.top + 23 + (place.bottom - place.top) * 3 / 2};
    SendMessageW(h, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT now{}, client{};
    GetWindowRect(h, &now);
    GetClientRect(h, &client);
    EXPECT_EQ(std::tuple(now.left, now.top, client.right, client.bottom), std::tuple(suggested.left, suggested.top, 720L, 315L));
    ASSERT_EQ(fake.trayCalls.size(), 2u);
    EXPECT_EQ(std::tuple(fake.trayCalls[0].first, fake.trayCalls[1].first, fake.trayCalls[0].second.window),
              std::tuple(purgix::platform::kNimAdd, purgix::platform::kNimModify, frm.PicTray.Handle()));
}

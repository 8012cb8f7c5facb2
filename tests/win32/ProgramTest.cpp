// The loaded main window in the test process: stay-on-top on the real window,
// the session's end and closing, and Explorer's restart.
#include "WindowTest.h"

using namespace purgix::testing;
using Program = MainWindow;

// The order of the calls is ShellTest's.
TEST_F(Program, StayOnTopFollowsTheMenuOnTheRealWindow) {
    frm.Load();
    for (bool on : {true, false, true}) {
        EXPECT_EQ(std::pair((GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0,
                            (GetMenuState(GetSubMenu(GetMenu(h), 1), 0, MF_BYPOSITION) & MF_CHECKED) != 0),
                  std::pair(on, on));
        frm.mStayOnTop->Click();
    }
}

// What is saved, and in which order, is the end-to-end tier's and ShellTest's.
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
    EXPECT_EQ(fake.storeWrites.size(), 7u) << "saved once, before the message returned";
    frm.form.Close();  // nothing left to close
    EXPECT_FALSE(IsWindow(h)) << "the program ends with the session";
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

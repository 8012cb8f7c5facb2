// The whole main window in the test process: window commands on the real
// window, the About window, the session's end, Explorer's restart, and a
// shipped skin drawn by the real window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "FakePlatform.h"
#include "Screenshot.h"
#include "app/FrmMain.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"

using purgix::app::FrmMain;
using purgix::win32::FormWindow;

namespace {

int WindowsTitled(const wchar_t* title) {
    int n = 0;
    for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, nullptr, title)) != nullptr;) n += IsWindowVisible(h) ? 1 : 0;
    return n;
}

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

const char* const kSkins[] = {"Aurora.ini", "Aurora.png", "Graphite.bmp", "Graphite.ini", "Meadow.ini", "Meadow.jpg"};

// A program folder of its own in the temporary folder, with a copy of the
// shipped skins that the build lays out beside the test program.
std::wstring ProgramFolder() {
    wchar_t exe[MAX_PATH], temp[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"purgix program test";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"\\Skin").c_str(), nullptr);
    DeleteFileW((folder + L"\\Config.inf").c_str());
    for (const char* name : kSkins) {
        const std::wstring file = L"\\Skin\\" + purgix::win32::Widen(name);
        CopyFileW((Folder(exe) + file).c_str(), (folder + file).c_str(), FALSE);
    }
    return folder;
}

// The program's identity comes from its path, which must be in place before the window is made.
struct InItsFolder {
    InItsFolder() {
        fake.modulePath = purgix::win32::Narrow(folder) + "\\Purgix.exe";
        fake.folders[purgix::win32::Narrow(folder) + "\\Skin"] = {"Aurora.ini", "Graphite.ini", "Meadow.ini"};
    }
    std::wstring folder = ProgramFolder();
    purgix::testing::FakePlatform fake;
};

class Program : public ::testing::Test, protected InItsFolder {
protected:
    Program() { frm.Load(); }
    HWND Main() const { return reinterpret_cast<HWND>(frm.form.Handle()); }
    bool Topmost() const { return (GetWindowLongW(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    purgix::platform::Platform platform{.memory = fake, .blocks = fake, .keyboard = fake, .windows = win32, .locale = fake,
                                        .shell = fake, .pictures = win32, .pictureFiles = win32, .files = fake,
                                        .registry = fake, .profiles = win32, .settings = fake, .tray = fake,
                                        .windowFactory = win32};
    FrmMain frm{platform};
    FormWindow window{frm.form, win32, false};
};

}  // namespace

// Hiding and showing are the end-to-end tier's; the order of the calls is ShellTest's.
TEST_F(Program, StayOnTopHideAndShowActOnTheRealWindow) {
    EXPECT_TRUE(Topmost()) << "on top by default";
    frm.mStayOnTop->Click();
    EXPECT_FALSE(Topmost());
    frm.mStayOnTop->Click();
    EXPECT_TRUE(Topmost());
    frm.mHide->Click();
    EXPECT_FALSE(IsWindowVisible(Main()));
    frm.mShowPOP->Click();
    EXPECT_TRUE(IsWindowVisible(Main()));
}

TEST_F(Program, TwoAboutsShowOneWindowAndOkClosesIt) {
    frm.mAbout->Click();
    frm.mAbout->Click();
    EXPECT_EQ(WindowsTitled(L"--- About Purgix ---"), 1);
    HWND about = reinterpret_cast<HWND>(frm.About()->form.Handle());
    EXPECT_TRUE(GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SendMessageW(reinterpret_cast<HWND>(frm.About()->Command1.Handle()), BM_CLICK, 0, 0);
    EXPECT_EQ(WindowsTitled(L"--- About Purgix ---"), 0);
    frm.mAbout->Click();
    EXPECT_EQ(WindowsTitled(L"--- About Purgix ---"), 1);
}

TEST_F(Program, TheSessionsEndSavesBeforeItReturnsAndACancelledEndNothing) {
    frm.mSSkin[1]->Click();
    EXPECT_EQ(SendMessageW(Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageW(Main(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(fake.storeWrites.empty()) << "a cancelled end changes nothing";
    SendMessageW(Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(fake.storeWrites.size(), 7u) << "what is saved, and in which order, is the end-to-end tier's and ShellTest's";
    wchar_t saved[64] = L"";
    GetPrivateProfileStringW(L"CONFIGSKIN", L"SKIN", L"", saved, 64, (folder + L"\\Config.inf").c_str());
    EXPECT_STREQ(saved, L"Graphite.ini");
    EXPECT_FALSE(IsWindow(Main())) << "the program ends with the session";
}

TEST_F(Program, TheIconComesBackWhenTheTaskbarIsCreatedAgain) {
    fake.trayCalls.clear();
    SendMessageW(Main(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_EQ(fake.trayCalls.size(), 1u);
    EXPECT_EQ(fake.trayCalls[0].first, purgix::platform::kNimAdd);
    EXPECT_EQ(fake.trayCalls[0].second.window, frm.PicTray.Handle());
}

TEST_F(Program, AShippedSkinColoursAndPaintsTheRealWindow) {
    frm.mSSkin[1]->Click();  // Graphite: a 24-bit bitmap
    const auto* picture = static_cast<const purgix::win32::Win32Picture*>(frm.form.Picture().get());
    ASSERT_NE(picture, nullptr);
    purgix::win32::gdi::WindowDC screen(nullptr);
    purgix::win32::gdi::MemoryDC art(screen.Get(), 480, 210);
    picture->Draw(art.Get(), 0, 0);
    purgix::testing::Screenshot shot(Main());
    // The picture where no control covers it, the heading band in the column colour.
    for (POINT p : {POINT{4, 4}, POINT{440, 140}, POINT{200, 40}}) EXPECT_EQ(shot.At(p.x, p.y), GetPixel(art.Get(), p.x, p.y));
    EXPECT_EQ(shot.At(60, 85), RGB(0xB4, 0x58, 0x1C));
    // The chart page shows its box in the chart colour.
    frm.ImgTab.Click();
    EXPECT_EQ(purgix::testing::Screenshot(Main()).At(66, 118), RGB(0xE4, 0xE7, 0xEB));
}

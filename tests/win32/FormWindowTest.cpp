// The real main window, created inside the test process over a fake memory
// source: its frame, child windows, menus, input, and what the screen shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "FakePlatform.h"
#include "Screenshot.h"
#include "app/FrmMain.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"

using purgix::app::FrmMain;
using purgix::testing::Hwnd;
using purgix::testing::Screenshot;
using purgix::win32::FormWindow;
namespace ui = purgix::ui;

namespace {

std::string TextOf(HWND h) {
    wchar_t buf[256];
    GetWindowTextW(h, buf, 256);
    return purgix::win32::Narrow(buf);
}

std::string MenuString(HMENU m, int pos) {
    wchar_t buf[256];
    GetMenuStringW(m, static_cast<UINT>(pos), buf, 256, MF_BYPOSITION);
    return purgix::win32::Narrow(buf);
}

class MainWindow : public ::testing::Test {
protected:
    purgix::testing::FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    purgix::platform::Platform platform{.memory = fake, .blocks = fake, .keyboard = win32, .windows = win32, .locale = fake,
                                        .shell = win32, .pictures = win32, .pictureFiles = win32, .files = win32,
                                        .registry = fake, .profiles = fake, .settings = fake, .tray = win32,
                                        .windowFactory = win32};
    FrmMain frm{platform};
    FormWindow window{frm.form, win32, false};
    HWND h = window.Hwnd();
};

}  // namespace

TEST_F(MainWindow, HasTheDesignedClientAreaAndCaptionAndItsFormLearnsTheHandle) {
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client.right * 1000 + client.bottom, 480 * 1000 + 210);  // a menu bar of two lines must not take from it
    EXPECT_EQ(TextOf(h), "--- Zarvex RAM Purgix 2.00 ---");
    EXPECT_EQ(Hwnd(frm.form), h);
}

TEST_F(MainWindow, EveryWindowedControlHasAChildWindowOfItsContainersAtItsPlace) {
    std::vector<const ui::Container*> containers{&frm.form};
    for (std::size_t i = 0; i < containers.size(); ++i)
        for (const ui::Control* c : containers[i]->Children()) {
            if (c->IsGraphical() || c->GetKind() == ui::Kind::FileListBox) continue;
            RECT r{};
            GetWindowRect(Hwnd(*c), &r);
            MapWindowPoints(nullptr, Hwnd(*containers[i]), reinterpret_cast<POINT*>(&r), 2);
            const ui::Rect& b = c->Bounds();
            EXPECT_EQ(GetParent(Hwnd(*c)), Hwnd(*containers[i])) << c->Name();
            EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}), (std::array<LONG, 4>{b.left, b.top, b.left + b.width, b.top + b.height}))
                << c->Name();
            EXPECT_EQ((GetWindowLongW(Hwnd(*c), GWL_STYLE) & WS_VISIBLE) != 0, c->Visible()) << c->Name();
            if (c->GetKind() == ui::Kind::PictureBox) containers.push_back(static_cast<const ui::Container*>(c));
        }
    EXPECT_EQ(containers.size(), 6u);
}

TEST_F(MainWindow, TheMemoryTableCoversTheOptionsAndTheChartPage) {
    ShowWindow(h, SW_SHOW);
    for (const ui::Control* c : std::vector<const ui::Control*>{&frm.Check1, &frm.VScroll2, &frm.PicChart}) {
        const ui::Rect& b = c->Bounds();
        EXPECT_EQ(ChildWindowFromPointEx(h, {b.left + b.width / 2, b.top + b.height / 2}, CWP_SKIPINVISIBLE), Hwnd(frm.PicTable))
            << c->Name();
    }
    frm.PicChart.ZOrder();
    EXPECT_EQ(ChildWindowFromPointEx(h, {100, 120}, CWP_SKIPINVISIBLE), Hwnd(frm.PicChart));
}

TEST_F(MainWindow, MenuBarHasTheThreeMenusAndThePopUpStaysOutOfIt) {
    auto items = [](HMENU m) {
        std::vector<std::string> out;
        for (int i = 0; i < GetMenuItemCount(m); ++i)
            out.push_back(GetMenuState(m, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR ? "-" : MenuString(m, i));
        return out;
    };
    HMENU bar = GetMenu(h);
    using V = std::vector<std::string>;
    EXPECT_EQ(items(bar), (V{"&File", "&Setup", "&Help"}));
    EXPECT_EQ(items(GetSubMenu(bar, 0)), (V{"&Optimize  \tF9", "&Hide\tCtrl+H", "-", "&Exit"}));
    EXPECT_EQ(items(GetSubMenu(bar, 1)), (V{"Stay &On top", "S&kins ...", "-", "&Download more skins..."}));
    EXPECT_EQ(items(GetSubMenu(GetSubMenu(bar, 1), 1)), (V{"Skin1"}));
    EXPECT_EQ(items(GetSubMenu(bar, 2)), (V{"&Contents", "Quenlor on the &web", "-", "&About"}));
    EXPECT_EQ(items(window.SubMenu(*frm.mPOP)), (V{"St", "-", "&Optimize      F9", "&Show", "-", "Quenlor on the &web", "-", "&Exit"}));
}

TEST_F(MainWindow, TheTableShowsItsDesignColoursWithTheRulesStackedAboveTheFigures) {
    purgix::testing::DistinctSystemColors colours;
    using C = purgix::testing::DistinctSystemColors;
    frm.Timer1.Tick();
    ShowWindow(h, SW_SHOW);
    const Screenshot shot(h);
    const struct {
        int x, y;  // in the table
        COLORREF colour;
        const char* what;
    } expected[] = {
        {5, 5, C::kAppWorkspace, "heading band"},        {333, 40, C::kWindow, "table"},
        {99, 34, RGB(255, 255, 255), "lblTotPhys"},       {179, 58, RGB(255, 255, 255), "lblAvailPageFile"},
        {259, 58, C::kHighlightText, "lblPercPage"},     {259, 82, C::kHighlightText, "lblPercVirtual"},
        {259, 34, C::kWindow, "lblPercPhysical, without a ground of its own"},
        {96, 40, C::kWindowText, "Line4 over lblTotPhys"}, {96, 64, C::kWindowText, "Line4 over lblTotalPageFile"},
        {96, 88, C::kWindowText, "Line4 over lblTotalVirtual"}, {176, 64, C::kWindowText, "Line3 over lblAvailPageFile"},
        {176, 88, C::kWindowText, "Line3 over lblAvailVirtual"}, {176, 40, RGB(255, 255, 255), "lblAvailPhys over Line3"},
        {256, 40, C::kWindowText, "Line1 through lblPercPhysical"}, {256, 64, C::kWindowText, "Line1 over lblPercPage"},
        {256, 88, C::kWindowText, "Line1 over lblPercVirtual"}, {50, 48, C::kWindowText, "Line5 through Label2"},
        {120, 48, RGB(255, 255, 255), "lblTotPhys over Line5"}, {172, 72, C::kWindowText, "Line6 between the figures"},
    };
    for (const auto& e : expected) EXPECT_EQ(shot.At(56 + e.x, 80 + e.y), e.colour) << e.what << " at " << e.x << "," << e.y;

    // The heading's words stand where the design's blanks put them: its ink ends where the caption's does.
    HWND heading = Hwnd(frm.Label5);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(heading, WM_GETFONT, 0, 0));
    EXPECT_EQ(shot.LastInk({56 + 120, 80 + 8, 56 + 337, 80 + 24}, C::kAppWorkspace),  // the label runs past the table's edge
              purgix::testing::LastInkOf(L"Total          Available        Percent", font));
    // And every figure's window holds the text its label was given.
    for (const ui::Control* c : frm.PicTable.Children()) {
        if (c->GetKind() != ui::Kind::Label) continue;
        EXPECT_EQ(TextOf(Hwnd(*c)), static_cast<const ui::Label*>(c)->Caption()) << c->Name();
    }
    EXPECT_EQ(MenuString(window.SubMenu(*frm.mPOP), 0), "Available: 41.25%");
}

TEST_F(MainWindow, EachTickReachesTheGraphOnScreenInTheColumnColour) {
    frm.PicTable.SetVisible(false);
    ShowWindow(h, SW_SHOW);
    const Screenshot before(h);  // painted: what the tick draws must ask for its own repaint
    frm.SetColumnColor(ui::Rgb(0, 128, 255));
    frm.Timer1.Tick();
    const Screenshot shot(h);
    const int left = 64 + 32, top = 88 + 16;  // PicGraph in the form
    // f = 108,132 / 262,144 of 65 rows: rows 38 to 64 of column 1.
    for (auto [x, y, drawn] : {std::tuple{1, 64, true}, {1, 38, true}, {1, 37, false}, {0, 64, false}})
        EXPECT_EQ(shot.At(left + x, top + y) == RGB(0, 128, 255), drawn) << x << "," << y;
}

TEST_F(MainWindow, AFigureWiderThanItsLabelIsShownWholeInASmallerSize) {
    HWND label = Hwnd(frm.lblTotalVirtual);
    const auto designFont = SendMessageW(label, WM_GETFONT, 0, 0);
    frm.lblTotalVirtual.SetCaption("137,438,953,344");  // 128 TiB of address space, in kilobytes
    EXPECT_NE(SendMessageW(label, WM_GETFONT, 0, 0), designFont);
    EXPECT_LE(purgix::testing::LastInkOf(L"137,438,953,344", reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0))), 72);
    frm.lblTotalVirtual.SetCaption("2,097,152");
    EXPECT_EQ(SendMessageW(label, WM_GETFONT, 0, 0), designFont);
}

TEST_F(MainWindow, ClickAreasShowTheHandTakeClicksAndHaveItBackAfterARelease) {
    frm.Load();
    ShowWindow(h, SW_SHOW);
    const HCURSOR hand = purgix::win32::Native(frm.ImgCUR.Picture().get())->Icon();
    using purgix::testing::CursorAt;
    EXPECT_EQ(CursorAt(h, 444, 92), hand);   // ImgTab
    EXPECT_EQ(CursorAt(h, 60, 30), hand);    // ImgWebLink, given the hand at start-up
    EXPECT_NE(CursorAt(h, 240, 20), hand);   // plain window background
    EXPECT_EQ(CursorAt(h, 444, 148), hand);  // ImgOptimize, where a release starts and ends
    win32.SetMousePointer(ui::MousePointer::Hourglass);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    win32.SetMousePointer(ui::MousePointer::Default);
    EXPECT_EQ(GetCursor(), hand);

    int clicks = 0;
    frm.ImgTab.Click = [&] { ++clicks; };
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(444, 92));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(444, 92));
    EXPECT_EQ(clicks, 1);
    // Pressed on the area but released elsewhere: no click.
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(444, 92));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(300, 20));
    EXPECT_EQ(clicks, 1);
}

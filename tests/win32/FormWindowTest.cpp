// The real main window, created inside the test process over a fake memory
// source: its menus, input, and what the screen shows.
#include "WindowTest.h"

using namespace purgix::testing;
namespace ui = purgix::ui;

namespace {

// A menu's items, each followed by "|", a submenu's in brackets after its item's text.
std::string Items(HMENU m) {
    std::string out;
    for (UINT i = 0; i < static_cast<UINT>(GetMenuItemCount(m)); ++i) {
        wchar_t text[256] = L"";
        GetMenuStringW(m, i, text, 256, MF_BYPOSITION);
        out += (GetMenuState(m, i, MF_BYPOSITION) & MF_SEPARATOR ? "-" : purgix::win32::Narrow(text)) +
               (GetSubMenu(m, i) != nullptr ? "(" + Items(GetSubMenu(m, i)) + ")|" : "|");
    }
    return out;
}

}  // namespace

TEST_F(MainWindow, MenuBarHasTheThreeMenusAndThePopUpStaysOutOfIt) {
    EXPECT_EQ(Items(GetMenu(h)),
              "&File(&Optimize  \tF9|&Hide\tCtrl+H|-|&Exit|)|&Setup(Stay &On top|S&kins ...(Skin1|)|-|&Download more skins...|)|"
              "&Help(&Contents|Quenlor on the &web|-|&About|)|");
    EXPECT_EQ(Items(window.SubMenu(*frm.mPOP)), "St|-|&Optimize      F9|&Show|-|Quenlor on the &web|-|&Exit|");
}

TEST_F(MainWindow, TheTableShowsItsDesignColoursWithTheRulesStackedAboveTheFigures) {
    using C = DistinctSystemColors;
    C colours;
    frm.Timer1.Tick();
    ShowWindow(h, SW_SHOW);
    const Screenshot shot(h);
    using E = std::tuple<int, int, COLORREF, const char*>;  // at x, y in the table
    for (auto [x, y, colour, what] : {E{5, 5, C::kAppWorkspace, "heading band"}, {333, 40, C::kWindow, "table"},
             {99, 34, RGB(255, 255, 255), "lblTotPhys"}, {179, 58, RGB(255, 255, 255), "lblAvailPageFile"},
             {259, 58, C::kHighlightText, "lblPercPage"}, {259, 82, C::kHighlightText, "lblPercVirtual"},
             {259, 34, C::kWindow, "lblPercPhysical, without a ground of its own"}, {96, 40, C::kWindowText, "Line4 over lblTotPhys"},
             {96, 64, C::kWindowText, "Line4 over lblTotalPageFile"}, {96, 88, C::kWindowText, "Line4 over lblTotalVirtual"},
             {176, 64, C::kWindowText, "Line3 over lblAvailPageFile"}, {176, 88, C::kWindowText, "Line3 over lblAvailVirtual"},
             {176, 40, RGB(255, 255, 255), "lblAvailPhys over Line3"}, {256, 40, C::kWindowText, "Line1 through lblPercPhysical"},
             {256, 64, C::kWindowText, "Line1 over lblPercPage"}, {256, 88, C::kWindowText, "Line1 over lblPercVirtual"},
             {50, 48, C::kWindowText, "Line5 through Label2"}, {120, 48, RGB(255, 255, 255), "lblTotPhys over Line5"},
             {172, 72, C::kWindowText, "Line6 between the figures"}})
        EXPECT_EQ(shot.At(56 + x, 80 + y), colour) << what << " at " << x << "," << y;

    // The heading's words stand where the design's blanks put them: its ink ends where the caption's does.
    const auto font = reinterpret_cast<HFONT>(SendMessageW(Hwnd(frm.Label5), WM_GETFONT, 0, 0));
    EXPECT_EQ(LastInk(shot.picture.Get(), {56 + 120, 80 + 8, 56 + 337, 80 + 24}, C::kAppWorkspace),  // the label runs past the table's edge
              LastInkOf(L"Total          Available        Percent", font));
    // The figures' texts are the end-to-end tier's; the pop-up's status line, which it cannot read, is here.
    EXPECT_EQ(Items(window.SubMenu(*frm.mPOP)).substr(0, 18), "Available: 41.25%|");
}

TEST_F(MainWindow, EachTickReachesTheGraphOnScreenInTheColumnColour) {
    ShowWindow(h, SW_SHOW);
    frm.PicTable.SetVisible(false);
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
    EXPECT_LE(LastInkOf(L"137,438,953,344", reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0))), 72);
    frm.lblTotalVirtual.SetCaption("2,097,152");
    EXPECT_EQ(SendMessageW(label, WM_GETFONT, 0, 0), designFont);
}

TEST_F(MainWindow, ClickAreasShowTheHandTakeClicksAndHaveItBackAfterARelease) {
    frm.Load();
    const HCURSOR hand = IconOf(frm.ImgCUR.Picture());
    // ImgTab, ImgWebLink (given the hand at start-up), plain background, and ImgOptimize where a release starts and ends.
    for (auto [x, y, shows] : {std::tuple{444, 92, true}, {60, 30, true}, {240, 20, false}, {444, 148, true}})
        EXPECT_EQ(CursorAt(h, x, y) == hand, shows) << x << "," << y;
    win32.input.SetMousePointer(ui::MousePointer::Hourglass);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    win32.input.SetMousePointer(ui::MousePointer::Default);
    EXPECT_EQ(GetCursor(), hand);

    int clicks = 0;
    frm.ImgTab.Click = [&] { ++clicks; };
    // Pressed and released on the area: a click; released elsewhere: none.
    for (LPARAM up : {MAKELPARAM(444, 92), MAKELPARAM(300, 20)}) {
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(444, 92));
        SendMessageW(h, WM_LBUTTONUP, 0, up);
    }
    EXPECT_EQ(clicks, 1);
}

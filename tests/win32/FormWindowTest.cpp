// The real main window, created inside the test process over a fake memory
// source: its menus, its timers, its pointers, and what the screen shows.
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
              "&File(&Optimize  \tF9|&Hide\tCtrl+H|Release &log...|-|&Exit|)|&Setup(Stay &On top|Load in tray &icon|"
              "&Notify after releases|&F9 in any program|S&kins ...(Skin1|)|-|&Download more skins...|)|"
              "&Help(&Contents|Quenlor on the &web|-|&About|)|");
    // The three switches carry their check marks: F9 anywhere from the start, the load once chosen.
    frm.mTrayLoad->Click();
    const HMENU setup = GetSubMenu(GetMenu(h), 1);
    const auto checked = [setup](UINT at) { return (GetMenuState(setup, at, MF_BYPOSITION) & MF_CHECKED) != 0; };
    EXPECT_EQ(std::tuple(checked(1), checked(2), checked(3)), std::tuple(true, false, true));
    EXPECT_EQ(Items(window.SubMenu(*frm.mPOP)), "St|-|&Optimize      F9|&Show|-|Quenlor on the &web|-|&Exit|");
}

// Timer1's first tick, as Windows delivers it, fills the table; a switched-off timer's late one does nothing.
TEST_F(MainWindow, TheTableShowsItsDesignColoursWithTheRulesAboveTheFiguresAndTheGraphItsColumns) {
    using C = DistinctSystemColors;
    C colours;
    frm.SetColumnColor(ui::Rgb(0, 128, 255));
    frm.form.SetVisible(true);
    frm.Timer1.SetEnabled(false);
    SendMessageW(h, WM_TIMER, 1, 0);
    EXPECT_EQ(fake.samples, 0);
    frm.Timer1.SetEnabled(true);
    SendMessageW(h, WM_TIMER, 1, 0);
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
    // The chart: f = 108,132 / 262,144 of 65 rows, rows 38 to 64 of column 1; cleared, the column goes from the screen too.
    frm.ImgTab_Click();
    const int left = 64 + 32, top = 88 + 16;  // PicGraph in the form
    for (auto [x, y, drawn] : {std::tuple{1, 64, true}, {1, 38, true}, {1, 37, false}, {0, 64, false}})
        EXPECT_EQ(Screenshot(h).At(left + x, top + y) == RGB(0, 128, 255), drawn) << x << "," << y;
    frm.PicGraph.Cls();
    EXPECT_NE(Screenshot(h).At(left + 1, top + 64), RGB(0, 128, 255));
}

// The hand over the click areas (the logo's given at start-up), the hourglass over the whole window during a
// release and the hand back after it; a quick second click on an area is a click too.
TEST_F(MainWindow, ClickAreasShowTheHandAndTheHourglassDuringAReleaseAndTakeQuickSecondClicks) {
    frm.Load();
    const HCURSOR hand = IconOf(frm.ImgCUR.Picture()), wait = LoadCursorW(nullptr, IDC_WAIT);
    for (const ui::Image* area : {&frm.ImgTab, &frm.ImgWebLink, &frm.ImgOptimize}) EXPECT_EQ(CursorAt(Hwnd(*area), 5, 5), hand) << area->Name();
    EXPECT_NE(CursorAt(h, 240, 20), hand);
    win32.input.SetMousePointer(ui::MousePointer::Hourglass);
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(CursorAt(h, 240, 20), wait);
    EXPECT_EQ(CursorAt(Hwnd(frm.ImgOptimize), 5, 5), wait);
    win32.input.SetMousePointer(ui::MousePointer::Default);
    EXPECT_EQ(GetCursor(), hand);
    for (UINT code : {BN_CLICKED, BN_DOUBLECLICKED}) SendMessageW(h, WM_COMMAND, MAKEWPARAM(0, code), reinterpret_cast<LPARAM>(Hwnd(frm.ImgTab)));
    EXPECT_EQ(frm.PageIndex(), 2);
}

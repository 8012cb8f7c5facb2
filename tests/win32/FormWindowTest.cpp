// The real main window, created inside the test process over a fake memory source.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakePlatform.h"
#include "app/FrmMain.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"

using purgix::app::FrmMain;
using purgix::win32::FormWindow;

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
    // How high a column is drawn in the colour: from the bottom edge up to its
    // top-most pixel of that colour. The graph's grid lines cross the column and
    // stay on top, so rows under them are passed over.
    int ColumnHeight(const purgix::ui::PictureBox& box, int x, COLORREF colour) {
        const int w = box.Bounds().width;
        const int h = box.Bounds().height;
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
        HGDIOBJ old = SelectObject(mem, bmp);
        window.Paint(box, mem);
        const bool grid = &box == &frm.PicGraph;
        int n = 0;
        for (int y = h - 1; y >= 0; --y) {
            if (GetPixel(mem, x, y) == colour)
                n = h - y;
            else if (!(grid && (y == 16 || y == 32 || y == 48)))
                break;
        }
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        return n;
    }

    purgix::testing::FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    purgix::platform::Platform platform{.memory = fake, .blocks = fake, .keyboard = win32, .windows = win32, .locale = win32, .shell = win32, .pictures = win32, .pictureFiles = win32, .files = win32, .registry = fake, .profiles = fake, .settings = fake, .tray = win32, .windowFactory = win32};
    FrmMain frm{platform};
    FormWindow window{frm.form, win32, false};
};

struct Placement {
    const char* name;
    const char* parent;
    const wchar_t* windowClass;
    RECT rect;  // left, top, right, bottom in the parent's client area
};

// The window design: every windowed control, its container and its rectangle.
const Placement kDesign[] = {
    {"PicTable", "FrmMain", L"PurgixPicture", {56, 80, 56 + 337, 80 + 97}},
    {"Label5", "PicTable", L"Static", {120, 8, 120 + 225, 8 + 17}},
    {"lblTotPhys", "PicTable", L"Static", {96, 32, 169, 49}},
    {"lblAvailPhys", "PicTable", L"Static", {176, 32, 249, 49}},
    {"lblPercPhysical", "PicTable", L"Static", {256, 32, 329, 49}},
    {"lblTotalPageFile", "PicTable", L"Static", {96, 56, 169, 73}},
    {"lblTotalVirtual", "PicTable", L"Static", {96, 80, 169, 97}},
    {"lblAvailVirtual", "PicTable", L"Static", {176, 80, 249, 97}},
    {"lblAvailPageFile", "PicTable", L"Static", {176, 56, 249, 73}},
    {"lblPercVirtual", "PicTable", L"Static", {256, 80, 329, 97}},
    {"lblPercPage", "PicTable", L"Static", {256, 56, 329, 73}},
    {"Label4", "PicTable", L"Static", {0, 80, 89, 97}},
    {"Label3", "PicTable", L"Static", {0, 56, 89, 73}},
    {"Label2", "PicTable", L"Static", {0, 32, 89, 49}},
    {"PicChart", "FrmMain", L"PurgixPicture", {64, 88, 64 + 313, 88 + 89}},
    {"PicGraph", "PicChart", L"PurgixPicture", {32, 16, 32 + 273, 16 + 65}},
    {"PicGrpPro", "PicChart", L"PurgixPicture", {8, 16, 25, 81}},
    {"lblGraphPer", "PicChart", L"Static", {0, 0, 281, 17}},
    {"Check2", "FrmMain", L"Button", {64, 120, 77, 133}},
    {"Check1", "FrmMain", L"Button", {64, 96, 77, 109}},
    {"Text1", "FrmMain", L"Edit", {184, 96, 217, 113}},
    {"VScroll2", "FrmMain", L"ScrollBar", {216, 120, 233, 137}},
    {"VScroll1", "FrmMain", L"ScrollBar", {216, 96, 233, 113}},
    {"VScroll3", "FrmMain", L"ScrollBar", {216, 144, 233, 161}},
    {"PicTray", "FrmMain", L"PurgixPicture", {336, 0, 369, 33}},
    {"Text3", "FrmMain", L"Edit", {184, 144, 217, 161}},
    {"Text2", "FrmMain", L"Edit", {184, 120, 217, 137}},
    {"Check3", "FrmMain", L"Button", {256, 120, 269, 133}},
    {"Check4", "FrmMain", L"Button", {256, 96, 269, 109}},
    {"Label6", "FrmMain", L"Static", {280, 96, 393, 113}},
    {"Label1", "FrmMain", L"Static", {280, 120, 369, 137}},
    {"Label8", "FrmMain", L"Static", {72, 144, 161, 161}},
    {"Label9", "FrmMain", L"Static", {88, 120, 153, 137}},
    {"Label10", "FrmMain", L"Static", {88, 96, 161, 113}},
};

const purgix::ui::Control* Find(const purgix::ui::Container& c, const std::string& name) {
    for (const purgix::ui::Control* child : c.Children()) {
        if (child->Name() == name) return child;
        if (child->GetKind() == purgix::ui::Kind::PictureBox)
            if (const auto* found = Find(static_cast<const purgix::ui::Container&>(*child), name)) return found;
    }
    return nullptr;
}

}  // namespace

TEST_F(MainWindow, IsAFixedPanelOfTheDesignedSizeWithItsCaption) {
    HWND h = window.Hwnd();
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, 480);
    EXPECT_EQ(client.bottom, 210);
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_EQ(TextOf(h), "--- Zarvex RAM Purgix 2.00 ---");
    EXPECT_EQ(frm.form.Handle(), reinterpret_cast<purgix::ui::WindowHandle>(h));
}

TEST_F(MainWindow, EveryWindowedControlIsAChildWindowAtItsDesignedPlace) {
    for (const Placement& p : kDesign) {
        SCOPED_TRACE(p.name);
        const purgix::ui::Control* c = Find(frm.form, p.name);
        ASSERT_NE(c, nullptr);
        HWND h = window.ControlWindow(*c);
        ASSERT_NE(h, nullptr);
        const std::string parentName = p.parent;
        HWND parent = parentName == "FrmMain" ? window.Hwnd() : window.ControlWindow(*Find(frm.form, parentName));
        EXPECT_EQ(GetParent(h), parent);
        wchar_t cls[64];
        GetClassNameW(h, cls, 64);
        EXPECT_EQ(_wcsicmp(cls, p.windowClass), 0);
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, p.rect.left);
        EXPECT_EQ(r.top, p.rect.top);
        EXPECT_EQ(r.right, p.rect.right);
        EXPECT_EQ(r.bottom, p.rect.bottom);
    }
    EXPECT_FALSE(IsWindowVisible(window.ControlWindow(frm.PicTray)));
}

TEST_F(MainWindow, TheMemoryTableCoversTheOptionsAndTheChartPage) {
    ShowWindow(window.Hwnd(), SW_SHOW);
    for (const purgix::ui::Control* c : {static_cast<const purgix::ui::Control*>(&frm.Check1), static_cast<const purgix::ui::Control*>(&frm.VScroll2),
                                         static_cast<const purgix::ui::Control*>(&frm.PicChart)}) {
        const purgix::ui::Rect& b = c->Bounds();
        POINT centre{b.left + b.width / 2, b.top + b.height / 2};
        EXPECT_EQ(ChildWindowFromPointEx(window.Hwnd(), centre, CWP_SKIPINVISIBLE), window.ControlWindow(frm.PicTable)) << c->Name();
    }
    // Once the table is hidden and the chart is brought forward, the chart is on top.
    frm.PicChart.ZOrder();
    POINT inChart{100, 120};
    EXPECT_EQ(ChildWindowFromPointEx(window.Hwnd(), inChart, CWP_SKIPINVISIBLE), window.ControlWindow(frm.PicChart));
}

TEST_F(MainWindow, MenuBarHasTheThreeMenusAndThePopUpStaysOutOfIt) {
    auto items = [](HMENU m) {
        std::vector<std::string> out;
        for (int i = 0; i < GetMenuItemCount(m); ++i)
            out.push_back(GetMenuState(m, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR ? "-" : MenuString(m, i));
        return out;
    };
    HMENU bar = GetMenu(window.Hwnd());
    using V = std::vector<std::string>;
    EXPECT_EQ(items(bar), (V{"&File", "&Setup", "&Help"}));
    EXPECT_EQ(items(GetSubMenu(bar, 0)), (V{"&Optimize  \tF9", "&Hide\tCtrl+H", "-", "&Exit"}));
    EXPECT_EQ(items(GetSubMenu(bar, 1)), (V{"Stay &On top", "S&kins ...", "-", "&Download more skins..."}));
    EXPECT_EQ(items(GetSubMenu(GetSubMenu(bar, 1), 1)), (V{"Skin1"}));
    EXPECT_EQ(items(GetSubMenu(bar, 2)), (V{"&Contents", "Quenlor on the &web", "-", "&About"}));
    EXPECT_EQ(items(window.SubMenu(*frm.mPOP)),
              (V{"St", "-", "&Optimize      F9", "&Show", "-", "Quenlor on the &web", "-", "&Exit"}));
}

TEST_F(MainWindow, OneTickWritesTheFiguresAndDrawsTheGraphColumnFTimesHHigh) {
    frm.Timer1.Tick();
    EXPECT_EQ(TextOf(window.ControlWindow(frm.lblTotPhys)), "262,144");
    EXPECT_EQ(TextOf(window.ControlWindow(frm.lblAvailPhys)), "108,132");
    EXPECT_EQ(TextOf(window.ControlWindow(frm.lblPercPhysical)), "41.25%");
    EXPECT_EQ(TextOf(window.ControlWindow(frm.lblPercPage)), "50.00%");
    EXPECT_EQ(TextOf(window.ControlWindow(frm.lblTotalVirtual)), "2,097,152");
    EXPECT_EQ(TextOf(window.ControlWindow(frm.lblGraphPer)), "Available: 41.25%     Used: 58.75%");
    EXPECT_EQ(MenuString(window.SubMenu(*frm.mPOP), 0), "Available: 41.25%");
    // f = 108,132 / 262,144; H = 65: 26.8 pixels, 27 whole rows from the bottom.
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 1, RGB(0, 0, 0)), 27);
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 0, RGB(0, 0, 0)), 0);
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 2, RGB(0, 0, 0)), 0);
    EXPECT_EQ(ColumnHeight(frm.PicGrpPro, 8, RGB(0, 0, 0)), 27);
    frm.SetColumnColor(purgix::ui::Rgb(0, 128, 255));
    frm.Timer1.Tick();
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 2, RGB(0, 128, 255)), 27);
    EXPECT_EQ(ColumnHeight(frm.PicGraph, 1, RGB(0, 0, 0)), 27);
}

TEST_F(MainWindow, AFigureWiderThanItsLabelIsShownWholeInASmallerSize) {
    auto widthOf = [](HWND h) {
        wchar_t text[64];
        const int n = GetWindowTextW(h, text, 64);
        HDC dc = GetDC(h);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32W(dc, text, n, &extent);
        SelectObject(dc, old);
        ReleaseDC(h, dc);
        return extent.cx;
    };
    HWND label = window.ControlWindow(frm.lblTotalVirtual);
    const auto designFont = SendMessageW(label, WM_GETFONT, 0, 0);
    frm.lblTotalVirtual.SetCaption("137,438,953,344");  // 128 TiB of address space, in kilobytes
    EXPECT_LE(widthOf(label), 73);
    EXPECT_NE(SendMessageW(label, WM_GETFONT, 0, 0), designFont);
    frm.lblTotalVirtual.SetCaption("2,097,152");
    EXPECT_EQ(SendMessageW(label, WM_GETFONT, 0, 0), designFont);
}

TEST_F(MainWindow, ClickAreasShowTheHandAndTakeClicksWhereNoWindowCoversThem) {
    frm.Load();
    HWND h = window.Hwnd();
    const auto* hand = static_cast<const purgix::win32::Win32Picture*>(frm.ImgCUR.Picture().get());
    auto cursorAt = [&](int x, int y) {
        POINT pt{x, y};
        ClientToScreen(h, &pt);
        SetCursorPos(pt.x, pt.y);
        SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(cursorAt(444, 92), hand->Icon());      // ImgTab
    EXPECT_EQ(cursorAt(444, 148), hand->Icon());     // ImgOptimize
    EXPECT_EQ(cursorAt(60, 30), hand->Icon());       // ImgWebLink, given the hand at start-up
    EXPECT_NE(cursorAt(240, 20), hand->Icon());      // plain window background

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

TEST_F(MainWindow, LoggingOffSavesTheSettingsOnceAsClosingDoes) {
    frm.Load();
    SendMessageW(window.Hwnd(), WM_QUERYENDSESSION, 0, 0);
    SendMessageW(window.Hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(fake.storeWrites.size(), 7u);  // the seven options, before Windows ends the process
    SendMessageW(window.Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(fake.storeWrites.size(), 7u);
    EXPECT_FALSE(IsWindow(window.Hwnd()));
}

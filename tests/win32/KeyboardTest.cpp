// The keyboard and screen readers on the real main and About windows: the Tab
// order of each page, the keys that act, and what Active Accessibility tells.
#include "WindowTest.h"

#include <oleacc.h>

#include <fstream>

using namespace purgix::testing;

namespace {

// Spelt out: MinGW's import library hands oleacc.dll's export of this GUID over as a function.
constexpr GUID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What a screen reader is told of a control: "name|role|value|description".
std::string Told(HWND h) {
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(h, OBJID_CLIENT, kIAccessible, reinterpret_cast<void**>(&acc)))) return "(nothing)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
        BSTR b = nullptr;
        std::string out = SUCCEEDED((acc->*get)(self, &b)) && b != nullptr ? purgix::win32::Narrow(b) : "";
        SysFreeString(b);
        return out;
    };
    VARIANT role{};
    acc->get_accRole(self, &role);
    std::string told = text(&IAccessible::get_accName) + "|" + std::to_string(role.lVal) + "|" + text(&IAccessible::get_accValue) + "|" +
                       text(&IAccessible::get_accDescription);
    acc->Release();
    return told;
}

// As the message loop hands a key to the form, the Shift key held or not.
bool Press(HWND h, WPARAM key, bool alt = false, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg{h, alt ? UINT{WM_SYSKEYDOWN} : UINT{WM_KEYDOWN}, key, 1, 0, {}};
    const bool taken = purgix::win32::HandleFormKeys(msg);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    return taken;
}

// A key that the focused native control takes itself, down and up.
void Type(WPARAM key) {
    SendMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    SendMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
}

}  // namespace

TEST_F(MainWindow, TabReachesThePageInViewAndSpaceEnterArrowsAndAccessKeysActOnWhatHasTheFocus) {
    frm.Load();
    frm.form.SetVisible(true);
    SetFocus(h);
    const auto focused = [&] {
        for (const purgix::ui::Control* c : frm.form.TabOrder())
            if (Hwnd(*c) == GetFocus()) return c->Name();
        return std::string("?");
    };
    const auto tabs = [&](int n, bool shift = false) {
        std::string seen;
        for (int i = 0; i < n; ++i) seen += (Press(h, VK_TAB, false, shift), focused()) + " ";
        return seen;
    };
    EXPECT_EQ(tabs(4), "ImgOptimize ImgTab ImgWebLink ImgOptimize ");
    EXPECT_EQ(tabs(2, true), "ImgWebLink ImgTab ");
    EXPECT_FALSE(Press(h, 'W', true)) << "the options' access keys wait for their page";
    // Enter and Space on the focused page switch, as its click: the chart page, then the options.
    EXPECT_TRUE(Press(h, VK_RETURN));
    Type(VK_SPACE);
    EXPECT_EQ(frm.PageIndex(), 2);
    frm.Check1.SetValue(0);
    frm.Timer1.Tick();  // greys the interval's spinner: not reached
    EXPECT_EQ(tabs(9), "ImgWebLink Check1 Check2 VScroll2 VScroll3 Check4 Check3 ImgOptimize ImgTab ");
    // Space ticks the focused box; Alt and a caption's letter reach its control and tick a box.
    EXPECT_EQ(tabs(6), "ImgWebLink Check1 Check2 VScroll2 VScroll3 Check4 ");
    Type(VK_SPACE);
    EXPECT_EQ(frm.Check4.Value(), 1);
    EXPECT_TRUE(Press(h, 'M', true));
    EXPECT_EQ(std::pair(focused(), frm.Check3.Value()), std::pair(std::string("Check3"), 1));
    // Up and Down on the release percent, as its arrows: steps of 5, within 10 to 100.
    EXPECT_TRUE(Press(h, 'R', true));
    std::string values;
    for (WPARAM key : {VK_UP, VK_DOWN, VK_DOWN}) values += (Type(key), std::to_string(frm.VScroll3.Value())) + " ";
    frm.VScroll3.SetValue(100);
    values += (Type(VK_UP), std::to_string(frm.VScroll3.Value())) + " ";
    frm.VScroll3.SetValue(10);
    values += (Type(VK_DOWN), std::to_string(frm.VScroll3.Value()));
    EXPECT_EQ(values, "35 30 25 100 10") << "from the stored 30, then at each bound";
    // What a screen reader is told: names, roles (43 button, 44 check box, 52 spinner, 41 text), values, descriptions.
    frm.Timer1.Tick();
    EXPECT_EQ(Told(Hwnd(frm.ImgOptimize)), "Optimize|43||Releases physical memory now");
    EXPECT_EQ(Told(Hwnd(frm.ImgWebLink)).substr(0, 22), "Quenlor on the web|43|");
    EXPECT_EQ(Told(Hwnd(frm.Check2)).substr(0, 13), "Less than|44|");
    EXPECT_EQ(Told(Hwnd(frm.VScroll3)), "Release percent|52|10|The size of one release, in percent");
    EXPECT_EQ(Told(Hwnd(frm.VScroll1)).substr(0, 22), "Interval minute|52|5|R");
    EXPECT_EQ(Told(Hwnd(frm.lblAvailPhys)), "Physical RAM, Available: 108,132|41||");
}

TEST_F(MainWindow, TheAboutWindowOpensOnOkAndEnterSpaceEscAndAltOCloseIt) {
    frm.Load();
    for (auto [key, alt, native] : {std::tuple{WPARAM{VK_RETURN}, false, false}, {WPARAM{VK_SPACE}, false, true},
                                    {WPARAM{VK_ESCAPE}, false, false}, {WPARAM{'O'}, true, false}}) {
        frm.mAbout_Click();
        ASSERT_NE(frm.About(), nullptr);
        const HWND about = Hwnd(frm.About()->form);
        SetForegroundWindow(about);
        SetActiveWindow(about);
        EXPECT_EQ(GetFocus(), Hwnd(frm.About()->Command1)) << key;
        EXPECT_EQ(Told(GetFocus()).substr(0, 6), "OK|43|");
        if (native)
            Type(key);
        else
            EXPECT_TRUE(Press(about, key, alt)) << key;
        EXPECT_EQ(frm.About(), nullptr) << key << ": still open";
    }
}

// With the system's high contrast on, the user's colours stand in for the skin's and the click areas show as
// named buttons; turned off, the skin is back.
TEST_F(MainWindow, HighContrastDrawsInTheUsersColoursAndShowsTheClickAreasAsButtons) {
    frm.Load();
    frm.form.SetBackColor(purgix::ui::Rgb(10, 200, 30));
    frm.form.SetVisible(true);
    for (bool contrast : {true, false}) {
        purgix::win32::OverrideHighContrast(contrast);
        SendMessageW(h, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        const Screenshot shot(h);
        // The window's ground, and the middle of the release area.
        EXPECT_EQ(shot.At(200, 200), contrast ? GetSysColor(COLOR_WINDOW) : RGB(10, 200, 30)) << contrast;
        EXPECT_EQ(shot.At(430, 164) == GetSysColor(COLOR_BTNFACE), contrast)
            << "a button's face in high contrast only";
        // Kept for a look: build/windows/artifacts.
        CreateDirectoryW(L"artifacts", nullptr);
        shot.Save(contrast ? L"artifacts\\high-contrast.bmp" : L"artifacts\\no-high-contrast.bmp");
    }
    purgix::win32::OverrideHighContrast(std::nullopt);
}

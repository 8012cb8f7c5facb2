// The keyboard and screen readers on the real main window: the Tab order, the
// keys that act, and what Active Accessibility tells; high contrast.
#include "WindowTest.h"

#include <oleacc.h>

#include "platform/win32/window/Accessible.h"
#include "platform/win32/window/TestHooks.h"

using namespace purgix::testing;
using purgix::win32::kIAccessible;

namespace {

// What a screen reader is told of a control, or of one of its children (a list's line): "name|role|value|description",
// and "|checked" for a ticked box; "" for a child beyond the last.
std::string Told(HWND h, long child = CHILDID_SELF) {
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(h, OBJID_CLIENT, kIAccessible, reinterpret_cast<void**>(&acc)))) return "(nothing)";
    long children = 0;
    acc->get_accChildCount(&children);
    if (child > children) return acc->Release(), "";
    VARIANT self{}, role{}, state{};
    self.vt = VT_I4;
    self.lVal = child;
    const auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
        BSTR b = nullptr;
        const std::string out = SUCCEEDED((acc->*get)(self, &b)) && b != nullptr ? purgix::win32::Narrow(b) : "";
        return SysFreeString(b), out;
    };
    acc->get_accRole(self, &role);
    acc->get_accState(self, &state);
    const std::string told = text(&IAccessible::get_accName) + "|" + std::to_string(role.lVal) + "|" + text(&IAccessible::get_accValue) + "|" +
                             text(&IAccessible::get_accDescription) + ((state.lVal & STATE_SYSTEM_CHECKED) != 0 ? "|checked" : "");
    acc->Release();
    return told;
}

// The focus, state and value events the window raises for assistive programs, as "event:control" lines (a menu's
// with the item's child id).
struct HeardEvents {
    static inline std::vector<std::tuple<DWORD, HWND, LONG>> heard;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, Heard, GetCurrentProcessId(), 0,
                                         WINEVENT_OUTOFCONTEXT);
    HeardEvents() { heard.clear(); }
    ~HeardEvents() { UnhookWinEvent(hook); }
    static void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND h, LONG object, LONG child, DWORD, DWORD) {
        if (event != EVENT_OBJECT_LOCATIONCHANGE && ((object == OBJID_CLIENT && child == CHILDID_SELF) || object == OBJID_MENU))
            heard.emplace_back(event, h, object == OBJID_MENU ? child : 0);
    }
    // What was heard of these windows since the last call, in order; out-of-context events come with the messages.
    std::string Of(const std::vector<std::pair<const char*, HWND>>& named) {
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
        std::string out;
        for (const auto& [event, h, item] : heard)
            for (const auto& [name, w] : named)
                if (w == h)
                    out += std::string(event == EVENT_OBJECT_FOCUS ? "focus" : event == EVENT_OBJECT_STATECHANGE ? "state" : event == EVENT_OBJECT_VALUECHANGE ? "value" : "other") + ":" + name +
                           (item != 0 ? "#" + std::to_string(item) : "") + " ";
        heard.clear();
        return out;
    }
};

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
    // Enter and Space on the focused page switch, as its click: the chart page, then the options.
    EXPECT_TRUE(Press(h, VK_RETURN));
    Type(VK_SPACE);
    EXPECT_EQ(frm.PageIndex(), 2);
    // Alt and a caption's letter reach its control and tick a box; Space on the focused box ticks it again.
    // A screen reader hears of each move of the focus and each tick, for the box that changed.
    HeardEvents events;
    const std::vector<std::pair<const char*, HWND>> named{{"Check3", Hwnd(frm.Check3)}, {"Check4", Hwnd(frm.Check4)},
                                                          {"VScroll3", Hwnd(frm.VScroll3)}, {"Text3", Hwnd(frm.Text3)}};
    events.Of(named);
    EXPECT_TRUE(Press(h, 'W', true));
    Type(VK_SPACE);
    EXPECT_TRUE(Press(h, 'M', true));
    EXPECT_EQ(std::tuple(focused(), frm.Check4.Value(), frm.Check3.Value()), std::tuple(std::string("Check3"), 0, 1));
    EXPECT_EQ(events.Of(named), "focus:Check4 state:Check4 state:Check4 focus:Check3 state:Check3 ");
    // Up and Down on the release percent, as its arrows: steps of 5, each told with the box that shows it;
    // the spinner itself holds the value it shows.
    EXPECT_TRUE(Press(h, 'R', true));
    std::string values;
    for (WPARAM key : {VK_UP, VK_DOWN, VK_DOWN})
        values += (Type(key), std::to_string(frm.VScroll3.Value()) + "/" + std::to_string(GetScrollPos(Hwnd(frm.VScroll3), SB_CTL))) + " ";
    EXPECT_EQ(values, "35/35 30/30 25/25 ") << "from the stored 30";
    EXPECT_EQ(events.Of(named), "focus:VScroll3 value:VScroll3 value:Text3 value:VScroll3 value:Text3 value:VScroll3 value:Text3 ");
    // Set by the program, the same; the figures of a tick raise nothing.
    frm.VScroll3.SetValue(40);
    frm.Timer1.Tick();
    EXPECT_EQ(events.Of({{"Text3", Hwnd(frm.Text3)}, {"VScroll3", Hwnd(frm.VScroll3)}, {"lblAvailPhys", Hwnd(frm.lblAvailPhys)}}),
              "value:VScroll3 value:Text3 ");
    // A check mark that comes or goes is a state change of its item (Setup's first); the status line's new text is not.
    frm.mStayOnTop->Click();
    fake.memory.availPhys -= 1 << 20;
    frm.Timer1.Tick();
    EXPECT_EQ(events.Of({{"menu", h}}), "state:menu#1 ");
    frm.mStayOnTop->Click();
    fake.memory.availPhys += 1 << 20;
    frm.VScroll3.SetValue(25);
    // What a screen reader is told: names, roles (43 button, 44 check box, 52 spinner, 41 text), values, descriptions.
    frm.Timer1.Tick();
    EXPECT_EQ(Told(Hwnd(frm.ImgOptimize)), "Optimize|43||Releases physical memory now");
    EXPECT_EQ(Told(Hwnd(frm.Check3)), "Start minimized|44||Starts Purgix with only its icon in the notification area|checked");
    EXPECT_EQ(Told(Hwnd(frm.VScroll3)), "Release percent|52|25|The size of one release, in percent");
    EXPECT_EQ(Told(Hwnd(frm.lblAvailPhys)), "Physical RAM, Available: 108,132|41||");
    // A caption's own "&" shows as itself beside the access key's mark.
    EXPECT_EQ(purgix::win32::WithAccessKey(L"R&D limit", 'l'), L"R&&D &limit");
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
        // The window's ground, and the middle of the release area: a button's face in high contrast only.
        EXPECT_EQ(shot.At(200, 200), contrast ? GetSysColor(COLOR_WINDOW) : RGB(10, 200, 30)) << contrast;
        EXPECT_EQ(shot.At(430, 164) == GetSysColor(COLOR_BTNFACE), contrast) << contrast;
    }
    purgix::win32::OverrideHighContrast(std::nullopt);
}

// A control that no caption names has its focus rectangle drawn in its own paint: a repaint of half of it shows
// the same pixels as a whole repaint, not half a rectangle.
TEST_F(MainWindow, TheFocusRoundAControlWithoutACaptionSurvivesARepaintOfPartOfIt) {
    purgix::ui::Form form("Focus", "Focus", 120, 60);
    purgix::ui::CheckBox box("Box", {10, 10, 90, 30});
    form.Add(box);
    form.SetVisible(true);
    const purgix::win32::FormWindow own(form, win32, false, 96);
    const HWND w = Hwnd(box);
    SetFocus(w);
    SendMessageW(own.Hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    const auto pixels = [w](const RECT* part) {
        RedrawWindow(w, part, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const purgix::win32::gdi::WindowDC dc(w);
        std::vector<COLORREF> seen;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 90; ++x) seen.push_back(GetPixel(dc.Get(), x, y));
        return seen;
    };
    const std::vector<COLORREF> whole = pixels(nullptr);
    const RECT rightHalf{45, 0, 90, 30};
    EXPECT_EQ(pixels(&rightHalf), whole);
    SetFocus(nullptr);
    EXPECT_NE(pixels(nullptr), whole) << "the focus rectangle is drawn";
}

// The release log from the File menu: the reader's line kept by its place when a release comes while it is open,
// each line read whole by a screen reader as a list item, its arrow in the list's face; Tab goes list, Copy, Close;
// Alt+C copies the lines; Enter closes it. What it lists, one window for two clicks, and Esc are the unit tier's and
// the end-to-end tier's.
TEST_F(MainWindow, TheReleaseLogKeepsTheReadersLineReadsEachLineWholeCopiesAndClosesByKey) {
    frm.Load();
    frm.RefreshMEM();
    frm.ImgOptimize.Click();
    frm.mOptPOP->Click();
    frm.mReleaseLog->Click();
    purgix::app::FrmReleases* open = frm.ReleasesWindow();
    ASSERT_NE(open, nullptr);
    const HWND log = Hwnd(open->form), list = Hwnd(open->lstReleases);
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    frm.mOpt->Click();
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    std::vector<std::string> lines;  // each line's name, as a list item (role 34)
    for (std::string line; !(line = Told(list, static_cast<long>(lines.size()) + 1)).empty();)
        lines.push_back(line.ends_with("|34||") ? line.substr(0, line.size() - 5) : "not an item: " + line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines, open->lstReleases.Items());
    WORD arrow = 0;  // the lines' arrow is in the list's face, not a box
    const purgix::win32::gdi::WindowDC dc(list);
    const purgix::win32::gdi::ScopedSelectObject face(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    EXPECT_TRUE(GetGlyphIndicesW(dc.Get(), L"\u2192", 1, &arrow, GGI_MARK_NONEXISTING_GLYPHS) == 1 && arrow != 0xFFFF);
    SetFocus(list);
    std::string order;
    for (int i = 0; i < 3; ++i) order += (Press(log, VK_TAB), std::to_string(GetFocus() == Hwnd(open->cmdCopy) ? 1 : GetFocus() == Hwnd(open->cmdClose) ? 2 : GetFocus() == list ? 0 : 9));
    EXPECT_EQ(order, "120");
    EXPECT_EQ(Told(Hwnd(open->cmdCopy)), "Copy|43||") << "read without its access key's mark";
    EXPECT_TRUE(Press(log, 'C', true));
    EXPECT_EQ(fake.Calls("CopyText"), std::vector<std::string>{"CopyText(" + lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n)"});
    EXPECT_TRUE(Press(log, VK_RETURN));
    EXPECT_EQ(std::pair(IsWindow(log), frm.ReleasesWindow()), std::pair(FALSE, static_cast<purgix::app::FrmReleases*>(nullptr)));
}

#include "platform/win32/FormWindow.h"

#include <map>
#include <unordered_map>
#include <vector>

#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"
#include "ui/PictureBox.h"

namespace purgix::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"PurgixForm";
constexpr wchar_t kPictureClass[] = L"PurgixPicture";
constexpr UINT kFirstCommand = 1000;

COLORREF Resolve(ui::Color c) {
    return ui::IsSystemColor(c) ? GetSysColor(c & 0xFF) : static_cast<COLORREF>(c & 0xFFFFFF);
}

void MenuText(const ui::MenuItem& item, wchar_t* buf, int capacity) {
    WidenInto(item.Caption(), buf, capacity - 16);
    const wchar_t* key = item.GetShortcut() == ui::Shortcut::F9      ? L"\tF9"
                         : item.GetShortcut() == ui::Shortcut::CtrlH ? L"\tCtrl+H"
                                                                     : L"";
    wcscat(buf, key);
}

}  // namespace

struct ControlPeer;

struct FormWindow::Impl {
    Impl(ui::Form& f, Win32Platform& p, bool quit) : form(f), platform(p), quitOnDestroy(quit) {}
    ~Impl();

    void Create();
    void CreateChildren(ui::Container& container, HWND parent);
    void BuildMenus();
    void BuildMenu(ui::MenuItem& parent, HMENU into);
    void DestroyMenus();
    void UpdateMenuItem(const ui::MenuItem& item);
    HBRUSH Brush(ui::Color c);
    HFONT Font(const ui::Font& f) const { return f.bold ? boldFont : font; }
    static constexpr int kSmallerSizes = 4;
    HFONT SmallerFont(const ui::Font& f, int step);
    void Paint(const ui::Container& container, HDC hdc);
    void PaintBehind(HDC hdc, const ui::Control& child);
    LRESULT Handle(ControlPeer& self, UINT msg, WPARAM wp, LPARAM lp);
    ControlPeer* PeerOf(HWND child) const;
    void Unload();

    ui::Form& form;
    Win32Platform& platform;
    bool quitOnDestroy;
    HWND hwnd = nullptr;
    HFONT font = nullptr;
    HFONT boldFont = nullptr;
    HFONT smaller[2][kSmallerSizes] = {};
    HMENU menuBar = nullptr;
    HACCEL accel = nullptr;
    std::vector<HMENU> hiddenPopups;
    std::unordered_map<const ui::MenuItem*, HMENU> subMenus;
    std::unordered_map<const ui::MenuItem*, std::pair<HMENU, UINT>> menuPlace;  // owner menu, command id
    std::vector<ui::MenuItem*> commands;
    std::vector<std::unique_ptr<ControlPeer>> peers;
    std::unordered_map<const ui::Control*, ControlPeer*> byControl;
    std::vector<std::unique_ptr<ui::Peer>> otherPeers;  // menu items and timers
    std::unordered_map<const ui::MenuItem*, ui::Peer*> menuPeers;
    std::map<COLORREF, HBRUSH> brushes;
    ui::Image* pressed = nullptr;
    bool unloaded = false;
};

// The peer of one control: its window, or for lines, shapes and images the
// container that draws them.
struct ControlPeer : ui::Peer {
    ControlPeer(FormWindow::Impl& i, ui::Control& c) : impl(i), control(c) {}

    HWND Container() const {
        const ui::Control* parent = control.Parent();
        auto it = parent != nullptr ? impl.byControl.find(parent) : impl.byControl.end();
        return it != impl.byControl.end() ? it->second->hwnd : nullptr;
    }

    void Sync(ui::Change what) override {
        if (hwnd == nullptr) {  // drawn by its container
            if (HWND c = Container()) InvalidateRect(c, nullptr, FALSE);
            return;
        }
        switch (what) {
            case ui::Change::Caption: {
                wchar_t buf[256];
                const std::string* text = nullptr;
                if (control.GetKind() == ui::Kind::Label) text = &static_cast<ui::Label&>(control).Caption();
                if (control.GetKind() == ui::Kind::TextBox) text = &static_cast<ui::TextBox&>(control).Text();
                if (control.GetKind() == ui::Kind::Form) text = &static_cast<ui::Form&>(control).Caption();
                if (text == nullptr) return;
                WidenInto(*text, buf, 256);
                if (control.GetKind() == ui::Kind::Label) FitFont(buf);
                SetWindowTextW(hwnd, buf);
                return;
            }
            case ui::Change::Bounds: {
                const ui::Rect& r = control.Bounds();
                if (control.GetKind() != ui::Kind::Form) MoveWindow(hwnd, r.left, r.top, r.width, r.height, TRUE);
                return;
            }
            case ui::Change::Visible:
                if (control.GetKind() == ui::Kind::Form)
                    ShowWindow(hwnd, control.Visible() ? SW_SHOW : SW_HIDE);
                else
                    ShowWindow(hwnd, control.Visible() ? SW_SHOWNA : SW_HIDE);
                return;
            case ui::Change::Enabled: EnableWindow(hwnd, control.Enabled()); return;
            case ui::Change::ZOrder:
                SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                return;
            case ui::Change::Value:
                if (control.GetKind() == ui::Kind::CheckBox)
                    SendMessageW(hwnd, BM_SETCHECK, static_cast<WPARAM>(static_cast<ui::CheckBox&>(control).Value()), 0);
                return;
            case ui::Change::Colors:
            case ui::Change::Picture:
            case ui::Change::Drawing:
                RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
                return;
            case ui::Change::Cursor:
            case ui::Change::Close:
            case ui::Change::Icon: return;
        }
    }

    // A figure wider than its label (the 64-bit address space has 15 digits)
    // is shown whole in a smaller size of the same face rather than cut off.
    void FitFont(const wchar_t* text) {
        const auto& label = static_cast<const ui::Label&>(control);
        HFONT chosen = impl.Font(label.font);
        HDC dc = GetDC(hwnd);
        const int len = static_cast<int>(wcslen(text));
        for (int size = 0; size < FormWindow::Impl::kSmallerSizes; ++size) {
            SIZE extent{};
            HGDIOBJ old = SelectObject(dc, chosen);
            GetTextExtentPoint32W(dc, text, len, &extent);
            SelectObject(dc, old);
            if (extent.cx <= control.Bounds().width) break;
            chosen = impl.SmallerFont(label.font, size);
        }
        ReleaseDC(hwnd, dc);
        if (chosen != font) {
            font = chosen;
            SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
    }

    void Drawn(const ui::Rect& r) override {
        if (hwnd == nullptr) return;
        RECT rc{r.left, r.top, r.left + r.width, r.top + r.height};
        InvalidateRect(hwnd, &rc, FALSE);
    }

    FormWindow::Impl& impl;
    ui::Control& control;
    HWND hwnd = nullptr;
    HFONT font = nullptr;               // the font the window has now
    std::vector<std::uint32_t> pixels;  // a picture box's drawing, as the screen wants it
};

namespace {

struct TimerPeer : ui::Peer {
    TimerPeer(HWND w, ui::Timer& t, UINT i) : hwnd(w), timer(t), id(i) {}
    void Sync(ui::Change) override {
        if (timer.Enabled())
            SetTimer(hwnd, id, timer.Interval(), nullptr);
        else
            KillTimer(hwnd, id);
    }
    HWND hwnd;
    ui::Timer& timer;
    UINT id;
};

struct MenuPeer : ui::Peer {
    MenuPeer(FormWindow::Impl& i, ui::MenuItem& m) : impl(i), item(m) {}
    void Sync(ui::Change what) override {
        if (what == ui::Change::Bounds || what == ui::Change::Visible)
            impl.BuildMenus();
        else
            impl.UpdateMenuItem(item);
    }
    FormWindow::Impl& impl;
    ui::MenuItem& item;
};

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        auto* peer = static_cast<ControlPeer*>(cs->lpCreateParams);
        peer->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
    }
    auto* peer = reinterpret_cast<ControlPeer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (peer == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
    try {
        return peer->impl.Handle(*peer, msg, wp, lp);
    } catch (...) {
        // Nothing may unwind through the window manager; the failed handler simply ends.
        return 0;
    }
}

void RegisterClasses(HINSTANCE inst) {
    static bool done = false;
    if (done) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ContainerProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClass;
    wc.hIcon = nullptr;
    RegisterClassExW(&wc);
    wc.lpszClassName = kPictureClass;
    RegisterClassExW(&wc);
    done = true;
}

}  // namespace

FormWindow::Impl::~Impl() {
    if (hwnd != nullptr && IsWindow(hwnd)) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
    DestroyMenus();
    for (auto& [c, b] : brushes) DeleteObject(b);
    if (font != nullptr) DeleteObject(font);
    if (boldFont != nullptr) DeleteObject(boldFont);
    for (auto& row : smaller)
        for (HFONT f : row)
            if (f != nullptr) DeleteObject(f);
    for (auto& p : peers) p->control.Attach(nullptr);
    for (ui::Timer* t : form.Timers()) t->Attach(nullptr);
    for (auto& [item, p] : menuPeers) const_cast<ui::MenuItem*>(item)->Attach(nullptr);
}

HBRUSH FormWindow::Impl::Brush(ui::Color c) {
    const COLORREF rgb = Resolve(c);
    auto it = brushes.find(rgb);
    if (it != brushes.end()) return it->second;
    return brushes[rgb] = CreateSolidBrush(rgb);
}

namespace {
HFONT MakeFont(int pixels, bool bold, const wchar_t* face = L"MS Sans Serif") {
    return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}
}  // namespace

HFONT FormWindow::Impl::SmallerFont(const ui::Font& f, int step) {
    HFONT& slot = smaller[f.bold ? 1 : 0][step];
    // MS Sans Serif is a bitmap face without these sizes: Tahoma is its scalable kin.
    if (slot == nullptr) slot = MakeFont(10 - step, f.bold, L"Tahoma");
    return slot;
}

void FormWindow::Impl::Create() {
    RegisterClasses(platform.Instance());
    // 8.25 points at the design's 96 dots per inch; the manifest lets Windows scale the whole window.
    font = MakeFont(11, false);
    boldFont = MakeFont(11, true);

    auto self = std::make_unique<ControlPeer>(*this, form);
    ControlPeer* formPeer = self.get();
    byControl[&form] = formPeer;
    peers.push_back(std::move(self));

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const int cw = form.Bounds().width;
    const int ch = form.Bounds().height;
    RECT r{0, 0, cw, ch};
    AdjustWindowRectEx(&r, style, TRUE, 0);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const int x = work.left + (work.right - work.left - w) / 2;
    const int y = work.top + (work.bottom - work.top - h) / 2;
    hwnd = CreateWindowExW(0, kFormClass, Widen(form.Caption()).c_str(), style, x, y, w, h, nullptr, nullptr, platform.Instance(),
                           formPeer);
    form.SetHandle(reinterpret_cast<ui::WindowHandle>(hwnd));
    if (const auto* icon = Native(form.Icon().get())) {
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon->Icon()));
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon->SmallIcon()));
    }
    form.Attach(formPeer);
    CreateChildren(form, hwnd);
    BuildMenus();
    // The menu bar may take more than one line: make the client area exactly the design's.
    RECT client{};
    GetClientRect(hwnd, &client);
    if (client.right != cw || client.bottom != ch)
        SetWindowPos(hwnd, nullptr, 0, 0, w + cw - client.right, h + ch - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    UINT id = 1;
    for (ui::Timer* t : form.Timers()) {
        auto tp = std::make_unique<TimerPeer>(hwnd, *t, id++);
        t->Attach(tp.get());
        tp->Sync(ui::Change::Enabled);
        otherPeers.push_back(std::move(tp));
    }
    if (form.Visible()) ShowWindow(hwnd, SW_SHOW);
}

void FormWindow::Impl::CreateChildren(ui::Container& container, HWND parent) {
    int nextId = 100 + static_cast<int>(peers.size());
    std::vector<HWND> order;
    for (ui::Control* c : container.Children()) {
        auto peer = std::make_unique<ControlPeer>(*this, *c);
        ControlPeer* p = peer.get();
        byControl[c] = p;
        peers.push_back(std::move(peer));
        c->Attach(p);
        if (c->IsGraphical() || c->GetKind() == ui::Kind::FileListBox) continue;

        const ui::Rect& r = c->Bounds();
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (c->Visible() ? WS_VISIBLE : 0) | (c->Enabled() ? 0 : WS_DISABLED);
        DWORD exStyle = 0;
        const wchar_t* cls = nullptr;
        std::wstring text;
        switch (c->GetKind()) {
            case ui::Kind::PictureBox: cls = kPictureClass; style |= WS_CLIPCHILDREN; break;
            case ui::Kind::Label: {
                auto& l = static_cast<ui::Label&>(*c);
                cls = L"STATIC";
                style |= SS_NOPREFIX | (l.alignment == ui::Align::Center ? SS_CENTER : l.alignment == ui::Align::Right ? SS_RIGHT : SS_LEFT);
                text = Widen(l.Caption());
                break;
            }
            case ui::Kind::CheckBox: cls = L"BUTTON"; style |= BS_3STATE | WS_TABSTOP; break;
            case ui::Kind::TextBox: {
                auto& t = static_cast<ui::TextBox&>(*c);
                cls = L"EDIT";
                style |= ES_LEFT | ES_AUTOHSCROLL | (t.readOnly ? ES_READONLY : 0);
                exStyle = WS_EX_CLIENTEDGE;
                text = Widen(t.Text());
                break;
            }
            case ui::Kind::VScrollBar: cls = L"SCROLLBAR"; style |= SBS_VERT | WS_TABSTOP; break;
            case ui::Kind::CommandButton: {
                cls = L"BUTTON";
                style |= BS_PUSHBUTTON | WS_TABSTOP;
                text = Widen(static_cast<ui::CommandButton&>(*c).caption);
                break;
            }
            default: continue;
        }
        HWND h = CreateWindowExW(exStyle, cls, text.c_str(), style, r.left, r.top, r.width, r.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)), platform.Instance(),
                                 cls == kPictureClass ? p : nullptr);
        if (cls != kPictureClass) {
            p->hwnd = h;
            SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p));
        }
        const ui::Font* f = c->GetKind() == ui::Kind::Label ? &static_cast<ui::Label&>(*c).font : nullptr;
        p->font = f != nullptr ? Font(*f) : font;
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(p->font), FALSE);
        if (c->GetKind() == ui::Kind::CheckBox) p->Sync(ui::Change::Value);
        if (c->GetKind() == ui::Kind::VScrollBar) {
            // Only the arrows are used; a middle position keeps both of them live.
            SetScrollRange(h, SB_CTL, 0, 2, FALSE);
            SetScrollPos(h, SB_CTL, 1, FALSE);
        }
        order.push_back(h);
        if (c->GetKind() == ui::Kind::PictureBox) CreateChildren(static_cast<ui::Container&>(*c), h);
    }
    // Children are listed front to back: stack the windows the same way.
    HWND after = HWND_TOP;
    for (HWND h : order) {
        SetWindowPos(h, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = h;
    }
}

void FormWindow::Impl::DestroyMenus() {
    if (hwnd != nullptr && IsWindow(hwnd)) SetMenu(hwnd, nullptr);
    if (menuBar != nullptr) DestroyMenu(menuBar);
    for (HMENU m : hiddenPopups) DestroyMenu(m);
    if (accel != nullptr) DestroyAcceleratorTable(accel);
    menuBar = nullptr;
    accel = nullptr;
    hiddenPopups.clear();
    subMenus.clear();
    menuPlace.clear();
    commands.clear();
}

void FormWindow::Impl::BuildMenus() {
    DestroyMenus();
    menuBar = CreateMenu();
    BuildMenu(form.Menu(), menuBar);
    std::vector<ACCEL> keys;
    for (auto& [item, place] : menuPlace) {
        if (item->GetShortcut() == ui::Shortcut::F9) keys.push_back({FVIRTKEY, VK_F9, static_cast<WORD>(place.second)});
        if (item->GetShortcut() == ui::Shortcut::CtrlH) keys.push_back({FVIRTKEY | FCONTROL, 'H', static_cast<WORD>(place.second)});
    }
    if (!keys.empty()) accel = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    SetMenu(hwnd, menuBar);
    DrawMenuBar(hwnd);
}

void FormWindow::Impl::BuildMenu(ui::MenuItem& parent, HMENU into) {
    for (const auto& up : parent.Items()) {
        ui::MenuItem& item = *up;
        if (menuPeers.find(&item) == menuPeers.end()) {
            auto mp = std::make_unique<MenuPeer>(*this, item);
            item.Attach(mp.get());
            menuPeers[&item] = mp.get();
            otherPeers.push_back(std::move(mp));
        }
        if (!item.Visible()) {
            // A hidden menu of the bar is kept apart, ready to open as a pop-up.
            if (&parent == &form.Menu() && !item.Items().empty()) {
                HMENU popup = CreatePopupMenu();
                BuildMenu(item, popup);
                subMenus[&item] = popup;
                hiddenPopups.push_back(popup);
            }
            continue;
        }
        const UINT id = kFirstCommand + static_cast<UINT>(commands.size());
        commands.push_back(&item);
        menuPlace[&item] = {into, id};
        wchar_t text[160];
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.wID = id;
        if (item.IsSeparator()) {
            mii.fMask = MIIM_FTYPE | MIIM_ID;
            mii.fType = MFT_SEPARATOR;
        } else {
            MenuText(item, text, 160);
            mii.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE;
            mii.dwTypeData = text;
            mii.fState = (item.Checked() ? MFS_CHECKED : 0u) | (item.Enabled() ? 0u : MFS_DISABLED);
            if (!item.Items().empty()) {
                HMENU sub = CreatePopupMenu();
                BuildMenu(item, sub);
                subMenus[&item] = sub;
                mii.fMask |= MIIM_SUBMENU;
                mii.hSubMenu = sub;
            }
        }
        InsertMenuItemW(into, static_cast<UINT>(GetMenuItemCount(into)), TRUE, &mii);
    }
}

void FormWindow::Impl::UpdateMenuItem(const ui::MenuItem& item) {
    auto it = menuPlace.find(&item);
    if (it == menuPlace.end() || item.IsSeparator()) return;
    wchar_t text[160];
    MenuText(item, text, 160);
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING | MIIM_STATE;
    mii.dwTypeData = text;
    mii.fState = (item.Checked() ? MFS_CHECKED : 0u) | (item.Enabled() ? 0u : MFS_DISABLED);
    SetMenuItemInfoW(it->second.first, it->second.second, FALSE, &mii);
    if (it->second.first == menuBar) DrawMenuBar(hwnd);
}

// Runs the form's unload once, whichever way the program ends. Closing is never
// cancelled: a shutdown step that fails still lets the program end.
void FormWindow::Impl::Unload() {
    if (unloaded) return;
    unloaded = true;
    try {
        if (form.Unload) form.Unload();
    } catch (...) {
    }
}

ControlPeer* FormWindow::Impl::PeerOf(HWND child) const {
    if (child == nullptr || (child != hwnd && !IsChild(hwnd, child))) return nullptr;
    return reinterpret_cast<ControlPeer*>(GetWindowLongPtrW(child, GWLP_USERDATA));
}

void FormWindow::Impl::Paint(const ui::Container& container, HDC hdc) {
    const ui::Rect& b = container.Bounds();
    RECT all{0, 0, b.width, b.height};
    if (container.GetKind() == ui::Kind::Form) {
        const auto& f = static_cast<const ui::Form&>(container);
        FillRect(hdc, &all, Brush(f.BackColor()));
        if (const auto* pic = Native(f.Picture().get())) pic->Draw(hdc, 0, 0);
    } else {
        const auto& box = static_cast<const ui::PictureBox&>(container);
        const ui::Surface& s = box.Drawing();
        FillRect(hdc, &all, Brush(box.BackColor()));
        if (s.Width() > 0 && s.Height() > 0) {
            auto& px = byControl.at(&container)->pixels;
            px.resize(static_cast<std::size_t>(s.Width()) * static_cast<std::size_t>(s.Height()));
            ui::Color last = s.At(0, 0) ^ 1;
            std::uint32_t lastPx = 0;
            for (int y = 0; y < s.Height(); ++y)
                for (int x = 0; x < s.Width(); ++x) {
                    const ui::Color c = s.At(x, y);
                    if (c != last) {
                        const COLORREF rgb = Resolve(c);
                        lastPx = (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
                        last = c;
                    }
                    px[static_cast<std::size_t>(y * s.Width() + x)] = lastPx;
                }
            BITMAPINFO bi{};
            bi.bmiHeader.biSize = sizeof bi.bmiHeader;
            bi.bmiHeader.biWidth = s.Width();
            bi.bmiHeader.biHeight = -s.Height();
            bi.bmiHeader.biPlanes = 1;
            bi.bmiHeader.biBitCount = 32;
            bi.bmiHeader.biCompression = BI_RGB;
            SetDIBitsToDevice(hdc, 0, 0, static_cast<DWORD>(s.Width()), static_cast<DWORD>(s.Height()), 0, 0, 0,
                              static_cast<UINT>(s.Height()), px.data(), &bi, DIB_RGB_COLORS);
        }
        if (const auto* pic = Native(box.Picture().get())) pic->Draw(hdc, 0, 0);
    }
    // Lines, shapes and images, back to front.
    const auto& kids = container.Children();
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
        const ui::Control& c = **it;
        if (!c.Visible() || !c.IsGraphical()) continue;
        const ui::Rect& r = c.Bounds();
        if (c.GetKind() == ui::Kind::Shape) {
            RECT rc{r.left, r.top, r.left + r.width, r.top + r.height};
            FillRect(hdc, &rc, Brush(static_cast<const ui::Shape&>(c).BackColor()));
        } else if (c.GetKind() == ui::Kind::Line) {
            const auto& l = static_cast<const ui::Line&>(c);
            HPEN pen = CreatePen(PS_SOLID, 1, Resolve(l.borderColor));
            HGDIOBJ old = SelectObject(hdc, pen);
            MoveToEx(hdc, l.x1, l.y1, nullptr);
            LineTo(hdc, l.x2, l.y2);
            SelectObject(hdc, old);
            DeleteObject(pen);
        } else if (const auto* pic = Native(static_cast<const ui::Image&>(c).Picture().get())) {
            pic->Draw(hdc, r.left, r.top);
        }
    }
}

// Paints what lies behind a child (its container's own drawing) into the child's DC.
void FormWindow::Impl::PaintBehind(HDC hdc, const ui::Control& child) {
    POINT old;
    SetViewportOrgEx(hdc, -child.Bounds().left, -child.Bounds().top, &old);
    Paint(*child.Parent(), hdc);
    SetViewportOrgEx(hdc, old.x, old.y, nullptr);
}

LRESULT FormWindow::Impl::Handle(ControlPeer& self, UINT msg, WPARAM wp, LPARAM lp) {
    HWND h = self.hwnd;
    auto* container = static_cast<ui::Container*>(&self.control);
    auto imageAt = [container](int x, int y) {
        return static_cast<ui::Image*>(
            container->ChildAt(x, y, [](const ui::Control& c) { return c.GetKind() == ui::Kind::Image; }));
    };
    switch (msg) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            RECT rc;
            GetClientRect(h, &rc);
            // Draw off screen first: the graph repaints twice a second and must not flicker.
            HDC mem = CreateCompatibleDC(dc);
            HBITMAP bmp = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
            HGDIOBJ old = SelectObject(mem, bmp);
            Paint(*container, mem);
            BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left, ps.rcPaint.bottom - ps.rcPaint.top, mem,
                   ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
            SelectObject(mem, old);
            DeleteObject(bmp);
            DeleteDC(mem);
            EndPaint(h, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: Paint(*container, reinterpret_cast<HDC>(wp)); return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            ControlPeer* child = PeerOf(reinterpret_cast<HWND>(lp));
            if (child == nullptr) break;
            auto dc = reinterpret_cast<HDC>(wp);
            if (child->control.GetKind() == ui::Kind::Label) {
                const auto& l = static_cast<const ui::Label&>(child->control);
                SetTextColor(dc, Resolve(l.foreColor));
                if (l.backColor) {
                    SetBkColor(dc, Resolve(*l.backColor));
                    return reinterpret_cast<LRESULT>(Brush(*l.backColor));
                }
            } else if (child->control.GetKind() != ui::Kind::CheckBox) {
                break;
            }
            // Let the container show through: its drawing goes under the text (and erases old text).
            PaintBehind(dc, child->control);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
        case WM_COMMAND: {
            if (lp == 0) {  // a menu item or a keyboard shortcut
                const UINT id = LOWORD(wp);
                if (id >= kFirstCommand && id - kFirstCommand < commands.size()) {
                    ui::MenuItem* item = commands[id - kFirstCommand];
                    if (item->Enabled() && item->Click) item->Click();
                }
                return 0;
            }
            ControlPeer* child = PeerOf(reinterpret_cast<HWND>(lp));
            if (child != nullptr && HIWORD(wp) == BN_CLICKED) {
                if (child->control.GetKind() == ui::Kind::CheckBox) static_cast<ui::CheckBox&>(child->control).UserClick();
                if (child->control.GetKind() == ui::Kind::CommandButton) {
                    auto& button = static_cast<ui::CommandButton&>(child->control);
                    if (button.Click) button.Click();
                }
            }
            return 0;
        }
        case WM_VSCROLL: {
            ControlPeer* child = PeerOf(reinterpret_cast<HWND>(lp));
            if (child != nullptr && child->control.GetKind() == ui::Kind::VScrollBar) {
                auto& bar = static_cast<ui::VScrollBar&>(child->control);
                switch (LOWORD(wp)) {
                    case SB_LINEUP:
                    case SB_PAGEUP: bar.Arrow(true); break;
                    case SB_LINEDOWN:
                    case SB_PAGEDOWN: bar.Arrow(false); break;
                    default: break;
                }
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
            pressed = imageAt(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
            if (pressed != nullptr) SetCapture(h);
            return 0;
        case WM_LBUTTONUP: {
            ui::Image* img = imageAt(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
            ui::Image* was = pressed;
            pressed = nullptr;
            if (GetCapture() == h) ReleaseCapture();
            if (img != nullptr && img == was && img->Click) img->Click();
            return 0;
        }
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT && platform.MousePointer() == ui::MousePointer::Hourglass) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == h) {
                POINT pt;
                GetCursorPos(&pt);
                ScreenToClient(h, &pt);
                const ui::Image* img = imageAt(pt.x, pt.y);
                if (img != nullptr && img->Pointer() == ui::MousePointer::Custom && img->MouseIcon() != nullptr) {
                    SetCursor(Native(img->MouseIcon().get())->Icon());
                    return TRUE;
                }
            }
            break;
        case WM_TIMER: {
            auto& timers = form.Timers();
            if (wp >= 1 && wp <= timers.size()) {
                ui::Timer* t = timers[wp - 1];
                if (t->Enabled() && t->Tick) t->Tick();
            }
            return 0;
        }
        case WM_ENDSESSION:
            // Windows ends the process after this message: save now, or log-off loses the settings.
            if (container == &form && wp != 0) Unload();
            return 0;
        case WM_CLOSE:
            if (container == &form) {
                Unload();
                DestroyWindow(h);
                return 0;
            }
            break;
        case WM_DESTROY:
            if (container == &form) {
                for (UINT id = 1; id <= form.Timers().size(); ++id) KillTimer(h, id);
                if (quitOnDestroy) PostQuitMessage(0);
            }
            return 0;
        default: break;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

FormWindow::FormWindow(ui::Form& form, Win32Platform& platform, bool quitOnDestroy)
    : impl_(std::make_unique<Impl>(form, platform, quitOnDestroy)) {
    impl_->Create();
}

FormWindow::~FormWindow() = default;

HWND FormWindow::Hwnd() const { return impl_->hwnd; }

HWND FormWindow::ControlWindow(const ui::Control& control) const {
    auto it = impl_->byControl.find(&control);
    return it == impl_->byControl.end() ? nullptr : it->second->hwnd;
}

HMENU FormWindow::SubMenu(const ui::MenuItem& item) const {
    auto it = impl_->subMenus.find(&item);
    return it == impl_->subMenus.end() ? nullptr : it->second;
}

bool FormWindow::HandleShortcut(MSG& msg) const {
    HWND h = impl_->hwnd;
    if (impl_->accel == nullptr || h == nullptr || (msg.hwnd != h && !IsChild(h, msg.hwnd))) return false;
    // A shortcut acts once per press. A held key repeats its keydown, and the
    // repeats pile up while a release keeps the thread busy: each would be one
    // more release after the key is long up. A held F9 is the tick's to see.
    constexpr LPARAM kRepeat = LPARAM{1} << 30;
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && (msg.lParam & kRepeat) != 0) return false;
    return ::TranslateAcceleratorW(h, impl_->accel, &msg) != 0;
}

void FormWindow::Paint(const ui::Container& container, HDC hdc) const { impl_->Paint(container, hdc); }

int RunMessageLoop(const FormWindow& main) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (main.HandleShortcut(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace purgix::win32

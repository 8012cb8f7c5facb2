// Reads and drives a running program's windows from outside, for the
// end-to-end tests: the same view a screen reader or an automation tool has.
//   probe wait TITLE MS         wait for a visible top-level window; prints its handle
//   probe exists TITLE MS       wait for the top-level window, shown or hidden; prints its handle
//   probe dump TITLE            one line of JSON per window of the tree (text by WM_GETTEXT,
//                               "check" = BM_GETCHECK for buttons)
//   probe close TITLE           asks the window to close (WM_CLOSE)
//   probe click TITLE X Y       a left click at a client point of the window (reaches the child there)
//   probe arrow TITLE X Y up|down [N]   clicks the arrow of the scroll bar at a client point N times
//                                       (found under whatever covers it, as a tab key would reach it)
//   probe ping TITLE SECONDS    sends WM_NULL every 50 ms for SECONDS and prints the longest answer
//                               and the longest stretch without one, in ms, as JSON
//   probe endsession TITLE [FILE]  what log-off sends: WM_QUERYENDSESSION, then WM_ENDSESSION (TRUE);
//                               prints the first answer, the ms the program took to answer the second
//                               (what Windows times: it ends a program that holds it past 5 s), and with
//                               FILE the ms until the program last wrote it meanwhile (-1: not written)
//   probe gone TITLE MS         waits until no window has the title (the program has ended)
//   probe focus TITLE           the control with the keyboard focus in the window's thread (GetGUIThreadInfo),
//                               as Active Accessibility tells it: JSON with name, role, value, description
//   probe acc TITLE X Y         the same for the control at a client point of the window
//   probe items TITLE           the lines of the window's list as Active Accessibility tells them: its children's
//                               names, one JSON string a line
//   probe events TITLE SECONDS  listens SECONDS for the focus, state and value events the window's process
//                               raises, as a screen reader does; prints "listening", then one line of JSON
//                               per event: "event" (focus, state, value), "class" and "name"
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* s) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, s, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, s, -1, out.data(), n, nullptr, nullptr);
    return out;
}

std::string Json(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void DumpTree(HWND h, HWND top, int depth) {
    wchar_t cls[128], text[512] = {};
    GetClassNameW(h, cls, 128);
    // Asked of the window itself: an edit control keeps its text where GetWindowText cannot see it from outside.
    DWORD_PTR got = 0;
    SendMessageTimeoutW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &got);
    int check = -1;
    if (_wcsicmp(cls, L"Button") == 0) {
        DWORD_PTR state = 0;
        if (SendMessageTimeoutW(h, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state)) check = static_cast<int>(state);
    }
    RECT r;
    GetWindowRect(h, &r);
    HWND parent = h == top ? nullptr : GetParent(h);
    if (parent != nullptr) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    RECT client{};
    GetClientRect(h, &client);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    std::printf("{\"hwnd\":%llu,\"parent\":%llu,\"depth\":%d,\"class\":%s,\"text\":%s,\"rect\":[%ld,%ld,%ld,%ld],"
                "\"client\":[%ld,%ld],\"origin\":[%ld,%ld],\"visible\":%d,\"enabled\":%d,\"style\":%lu,\"check\":%d}\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)),
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(parent)), depth, Json(Utf8(cls)).c_str(),
                Json(Utf8(text)).c_str(), r.left, r.top, r.right, r.bottom, client.right, client.bottom, origin.x, origin.y,
                IsWindowVisible(h) ? 1 : 0, IsWindowEnabled(h) ? 1 : 0, static_cast<unsigned long>(GetWindowLongW(h, GWL_STYLE)), check);
    for (HWND c = GetWindow(h, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) DumpTree(c, top, depth + 1);
}

HWND Find(const wchar_t* title) { return FindWindowW(nullptr, title); }

// The deepest visible child under a client point of the top window.
HWND ChildAt(HWND top, POINT& pt) {
    HWND h = top;
    for (;;) {
        HWND c = ChildWindowFromPointEx(h, pt, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (c == nullptr || c == h) return h;
        MapWindowPoints(h, c, &pt, 1);
        h = c;
    }
}

// The control of a class whose rectangle holds a client point of the top
// window, at any depth and whatever lies above it.
HWND ControlAt(HWND top, POINT pt, const wchar_t* cls) {
    struct Search {
        HWND top;
        POINT pt;
        const wchar_t* cls;
        HWND found;
    } search{top, pt, cls, nullptr};
    EnumChildWindows(
        top,
        [](HWND h, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            wchar_t c[64];
            GetClassNameW(h, c, 64);
            RECT r;
            GetWindowRect(h, &r);
            MapWindowPoints(nullptr, s.top, reinterpret_cast<POINT*>(&r), 2);
            if (_wcsicmp(c, s.cls) != 0 || !PtInRect(&r, s.pt)) return TRUE;
            s.found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What a screen reader learns of a window's client object, from this other process.
void PrintAccessible(HWND h) {
    // Spelt out: MinGW's import library hands oleacc.dll's export of this GUID over as a function.
    static const GUID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    CoInitialize(nullptr);
    IAccessible* acc = nullptr;
    wchar_t cls[64] = L"";
    GetClassNameW(h, cls, 64);
    if (h == nullptr || FAILED(AccessibleObjectFromWindow(h, OBJID_CLIENT, kIAccessible, reinterpret_cast<void**>(&acc)))) {
        std::printf("{\"hwnd\":%llu,\"class\":%s}\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)), Json(Utf8(cls)).c_str());
        return;
    }
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
        BSTR b = nullptr;
        std::string out = SUCCEEDED((acc->*get)(self, &b)) && b != nullptr ? Utf8(b) : "";
        SysFreeString(b);
        return out;
    };
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    acc->get_accRole(self, &role);
    acc->get_accState(self, &state);
    std::printf("{\"hwnd\":%llu,\"class\":%s,\"name\":%s,\"role\":%ld,\"state\":%ld,\"value\":%s,\"description\":%s}\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)), Json(Utf8(cls)).c_str(), Json(text(&IAccessible::get_accName)).c_str(),
                role.vt == VT_I4 ? role.lVal : 0L, state.vt == VT_I4 ? state.lVal : 0L, Json(text(&IAccessible::get_accValue)).c_str(),
                Json(text(&IAccessible::get_accDescription)).c_str());
    acc->Release();
}

void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND h, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_CLIENT || child != CHILDID_SELF) return;
    const char* what = event == EVENT_OBJECT_FOCUS ? "focus" : event == EVENT_OBJECT_STATECHANGE ? "state" : event == EVENT_OBJECT_VALUECHANGE ? "value" : nullptr;
    if (what == nullptr) return;
    static const GUID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    wchar_t cls[64] = L"";
    GetClassNameW(h, cls, 64);
    std::string name;
    IAccessible* acc = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(h, OBJID_CLIENT, kIAccessible, reinterpret_cast<void**>(&acc)))) {
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR b = nullptr;
        if (SUCCEEDED(acc->get_accName(self, &b)) && b != nullptr) name = Utf8(b);
        SysFreeString(b);
        acc->Release();
    }
    std::printf("{\"event\":\"%s\",\"class\":%s,\"name\":%s}\n", what, Json(Utf8(cls)).c_str(), Json(name).c_str());
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: probe wait|exists|dump|close|click|arrow TITLE ...\n");
        return 2;
    }
    const std::wstring cmd = argv[1];
    const wchar_t* title = argv[2];
    if (cmd == L"gone") {
        const DWORD limit = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 10000;
        const DWORD start = GetTickCount();
        while (Find(title) != nullptr) {
            if (GetTickCount() - start > limit) return 1;
            Sleep(50);
        }
        return 0;
    }
    if (cmd == L"wait" || cmd == L"exists") {
        const bool mustBeVisible = cmd == L"wait";
        const DWORD limit = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 10000;
        const DWORD start = GetTickCount();
        for (;;) {
            HWND h = Find(title);
            if (h != nullptr && (!mustBeVisible || IsWindowVisible(h))) {
                std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)));
                return 0;
            }
            if (GetTickCount() - start > limit) return 1;
            Sleep(50);
        }
    }
    HWND top = Find(title);
    if (top == nullptr) {
        std::fprintf(stderr, "probe: no window titled as asked\n");
        return 1;
    }
    if (cmd == L"dump") {
        DumpTree(top, top, 0);
    } else if (cmd == L"close") {
        PostMessageW(top, WM_CLOSE, 0, 0);
    } else if (cmd == L"click" && argc >= 5) {
        POINT pt{_wtoi(argv[3]), _wtoi(argv[4])};
        HWND target = ChildAt(top, pt);
        const LPARAM at = MAKELPARAM(pt.x, pt.y);
        PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(target, WM_LBUTTONUP, 0, at);
        wchar_t cls[64];
        GetClassNameW(target, cls, 64);
        std::printf("%s\n", Utf8(cls).c_str());
    } else if (cmd == L"arrow" && argc >= 5) {
        HWND bar = ControlAt(top, POINT{_wtoi(argv[3]), _wtoi(argv[4])}, L"ScrollBar");
        if (bar == nullptr) {
            std::fprintf(stderr, "probe: no scroll bar there\n");
            return 1;
        }
        // A scroll bar control reports its arrows to its parent.
        const bool up = argc > 5 && std::wstring(argv[5]) == L"up";
        for (int n = argc > 6 ? _wtoi(argv[6]) : 1; n > 0; --n) {
            SendMessageW(GetParent(bar), WM_VSCROLL, up ? SB_LINEUP : SB_LINEDOWN, reinterpret_cast<LPARAM>(bar));
            SendMessageW(GetParent(bar), WM_VSCROLL, SB_ENDSCROLL, reinterpret_cast<LPARAM>(bar));
        }
        std::printf("ScrollBar\n");
    } else if (cmd == L"ping" && argc >= 4) {
        LARGE_INTEGER freq, t0, t1;
        QueryPerformanceFrequency(&freq);
        auto ms = [&](const LARGE_INTEGER& a, const LARGE_INTEGER& b) {
            return static_cast<double>(b.QuadPart - a.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
        };
        LARGE_INTEGER begin, lastAnswer;
        QueryPerformanceCounter(&begin);
        lastAnswer = begin;
        double longest = 0, longestGap = 0;
        int answers = 0;
        const double total = _wtof(argv[3]) * 1000.0;
        for (;;) {
            QueryPerformanceCounter(&t0);
            if (ms(begin, t0) > total) break;
            DWORD_PTR result = 0;
            const bool answered = SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
            QueryPerformanceCounter(&t1);
            if (answered) {
                ++answers;
                longest = ms(t0, t1) > longest ? ms(t0, t1) : longest;
                longestGap = ms(lastAnswer, t1) > longestGap ? ms(lastAnswer, t1) : longestGap;
                lastAnswer = t1;
            }
            Sleep(50);
        }
        std::printf("{\"answers\":%d,\"longest_ms\":%.0f,\"longest_gap_ms\":%.0f}\n", answers, longest, longestGap);
    } else if (cmd == L"focus") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info);
        PrintAccessible(info.hwndFocus);
    } else if (cmd == L"acc" && argc >= 5) {
        POINT pt{_wtoi(argv[3]), _wtoi(argv[4])};
        PrintAccessible(ChildAt(top, pt));
    } else if (cmd == L"items") {
        CoInitialize(nullptr);
        HWND list = FindWindowExW(top, nullptr, L"ListBox", nullptr);
        static const GUID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
        IAccessible* acc = nullptr;
        if (list == nullptr || FAILED(AccessibleObjectFromWindow(list, OBJID_CLIENT, kIAccessible, reinterpret_cast<void**>(&acc)))) {
            std::fprintf(stderr, "probe: no list there\n");
            return 1;
        }
        long count = 0;
        acc->get_accChildCount(&count);
        for (long i = 1; i <= count; ++i) {
            VARIANT child;
            child.vt = VT_I4;
            child.lVal = i;
            BSTR b = nullptr;
            std::printf("%s\n", Json(SUCCEEDED(acc->get_accName(child, &b)) && b != nullptr ? Utf8(b) : "").c_str());
            SysFreeString(b);
        }
        acc->Release();
    } else if (cmd == L"events" && argc >= 4) {
        CoInitialize(nullptr);
        DWORD process = 0;
        GetWindowThreadProcessId(top, &process);
        const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, Heard, process, 0, WINEVENT_OUTOFCONTEXT);
        std::printf("listening\n");
        std::fflush(stdout);
        // Out-of-context events come as messages to this thread.
        const DWORD start = GetTickCount(), limit = static_cast<DWORD>(_wtof(argv[3]) * 1000);
        while (GetTickCount() - start < limit) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, limit - (GetTickCount() - start), QS_ALLINPUT);
            for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
        }
        UnhookWinEvent(hook);
    } else if (cmd == L"endsession") {
        DWORD_PTR ok = 0;
        SendMessageTimeoutW(top, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 20000, &ok);
        std::printf("%d\n", static_cast<int>(ok));
        // Sent from a thread of its own, so that this one can watch the file being saved meanwhile.
        struct Ending {
            HWND top;
            ULONGLONG answered = 0;
        } ending{top};
        const auto lastWrite = [file = argc > 3 ? argv[3] : nullptr] {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            return file != nullptr && GetFileAttributesExW(file, GetFileExInfoStandard, &data)
                       ? ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime
                       : 0;
        };
        const ULONGLONG before = lastWrite(), sent = GetTickCount64();
        const HANDLE sender = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
            auto& e = *static_cast<Ending*>(p);
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(e.top, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 20000, &ignored);
            e.answered = GetTickCount64();
            return 0;
        }, &ending, 0, nullptr);
        long long saved = -1;
        ULONGLONG seen = before;
        for (bool done = false; !done;) {
            done = WaitForSingleObject(sender, 5) == WAIT_OBJECT_0;
            if (const ULONGLONG now = lastWrite(); now != seen) seen = now, saved = static_cast<long long>(GetTickCount64() - sent);
        }
        CloseHandle(sender);
        std::printf("%llu\n", static_cast<unsigned long long>(ending.answered - sent));
        if (argc > 3) std::printf("%lld\n", saved);
    } else {
        std::fprintf(stderr, "probe: unknown command\n");
        return 2;
    }
    return 0;
}

// The Windows adapters against the real API, the Registry module and the
// profile reads against the real registry and real INI files.
#include <fstream>

#include "Error.h"
#include "WindowTest.h"
#include "memory/Release.h"
#include "platform/win32/Messages.h"
#include "platform/win32/entry/Program.h"
#include "settings/Registry.h"
#include "resource.h"

using purgix::platform::ResourcePicture;
using purgix::win32::Narrow;
using purgix::win32::Widen;
namespace fs = std::filesystem;

namespace {

constexpr wchar_t kTestKey[] = L"Software\\PurgixWin32Test", kSettingsKey[] = L"Software\\Quenlor\\PurgixWin32Test";
const purgix::platform::RegistryKey kHkcu = reinterpret_cast<purgix::platform::RegistryKey>(HKEY_CURRENT_USER);

// A value's type and its bytes exactly as stored, as wide characters.
std::pair<DWORD, std::wstring> Stored(const std::wstring& key, const wchar_t* name) {
    HKEY h = nullptr;
    wchar_t data[64] = {};
    DWORD type = 0, size = sizeof data;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &h) == ERROR_SUCCESS) {
        RegQueryValueExW(h, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(h);
    }
    return {type, std::wstring(data, size / sizeof(wchar_t))};
}

std::vector<std::string> g_seen;  // the box's title, text and OK button, and how many of its parts show

// Runs on the UI thread inside the box's modal loop: reads the box, then closes it.
void CALLBACK ReadAndCloseBox(HWND, UINT, UINT_PTR, DWORD) {
    const HWND box = FindWindowW(L"#32770", nullptr);
    if (box == nullptr || GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId()) return;
    wchar_t title[64] = {}, text[512] = {}, ok[16] = {};
    GetWindowTextW(box, title, 64);
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    GetDlgItemTextW(box, IDOK, ok, 16);
    int shown = 0;  // the parts with a text or an icon
    EnumChildWindows(box, [](HWND h, LPARAM n) -> BOOL {
        return *reinterpret_cast<int*>(n) += IsWindowVisible(h) && (GetWindowTextLengthW(h) > 0 || SendMessageW(h, STM_GETICON, 0, 0)), TRUE;
    }, reinterpret_cast<LPARAM>(&shown));
    g_seen = {Narrow(title), Narrow(text), Narrow(ok), std::to_string(shown)};
    EndDialog(box, IDOK);
}

class Win32Platform : public ::testing::Test {
protected:
    Win32Platform() { TearDown(); }
    void TearDown() override { for (const wchar_t* k : {kTestKey, kSettingsKey}) RegDeleteTreeW(HKEY_CURRENT_USER, k); }

    purgix::testing::FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    // The real registry and profiles; a fake shell records message boxes instead of showing them.
    purgix::platform::Platform platform{.memory = fake, .blocks = fake, .keyboard = fake, .pointer = fake, .zOrder = fake, .locale = fake,
                                        .shell = fake, .pictures = fake, .pictureFiles = fake, .files = fake, .registry = win32.registry,
                                        .profiles = win32.profiles, .settings = win32.registry, .tray = fake, .instances = fake,
                                        .diagnostics = fake, .clock = fake};
    purgix::settings::Registry registry{platform, "Purgix"};
    const std::string key = Narrow(kTestKey);
};

using RealRegistry = Win32Platform;

}  // namespace

// Sixty-four-bit memory figures, the user's separators, commands that cannot start, a message box with its text and
// OK alone, the resource pictures at their designed sizes, and the visible files of a folder that match, sorted
// whatever their letters; a missing folder throws.
TEST_F(Win32Platform, ReportMemoryAndSeparatorsRunCommandsLoadResourcesAndListFiles) {
    purgix::platform::MemoryStatus r;
    win32.memory.GlobalMemoryStatus(r);
    // A 64-bit process has far more than 4 GiB of address space: no clamping to 32 bits.
    EXPECT_TRUE(r.length == sizeof(MEMORYSTATUSEX) && r.totalPhys > 64ull << 20 && r.availPhys <= r.totalPhys &&
                r.availPageFile <= r.totalPageFile && r.totalVirtual > 1ull << 32 && r.availVirtual <= r.totalVirtual);
    wchar_t thousands0[16], decimal0[16];
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousands0, 16);
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal0, 16);
    // Changed the way Control Panel changes them; the last pair puts the user's own back.
    for (auto [thousands, decimal] : {std::pair<const wchar_t*, const wchar_t*>{L".", L","}, {L"\u00a0", L"."}, {thousands0, decimal0}}) {
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousands);
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal);
        const auto s = win32.locale.Separators();
        EXPECT_EQ(std::pair(s.thousands, s.decimal), std::pair(Narrow(thousands), Narrow(decimal)));
    }
    // A text too long for the stack's buffer keeps the characters that fit, never half of one.
    wchar_t cut[4];
    purgix::win32::WidenInto("\u65e5\u672c\U0001F600\u8a9e", cut, 4);
    EXPECT_EQ(std::wstring(cut), L"\u65e5\u672c");
    EXPECT_THROW(win32.shell.Run("no-such-program-purgix.exe", 0), purgix::Error);
    EXPECT_NO_THROW(win32.shell.Run("cmd.exe /c exit 0", 0));
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadAndCloseBox);
    win32.shell.ShowMessage(purgix::memory::kReleaseFailedText, "Purgix");
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_seen, (std::vector<std::string>{"Purgix", purgix::memory::kReleaseFailedText, "OK", "2"})) << "the text and OK: no icon, no other button";
    for (auto [which, w, h] : {std::tuple{ResourcePicture::ProgramIcon, 32, 32}, {ResourcePicture::TrayIcon, 16, 16},
                               {ResourcePicture::HandCursor, 32, 32}, {ResourcePicture::Indicator0, 11, 89},
                               {ResourcePicture::Indicator1, 9, 36}, {ResourcePicture::Indicator2, 11, 51}})
        EXPECT_EQ(std::pair(win32.resources.Resource(which)->Width(), win32.resources.Resource(which)->Height()), std::pair(w, h));
    const fs::path dir = fs::temp_directory_path() / "purgix-list-test";
    fs::create_directories(dir);
    for (const char* name : {"B.ini", "a.ini", "c.txt", "hidden.ini"}) std::ofstream(dir / name) << name;
    SetFileAttributesW((dir / "hidden.ini").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(win32.files.ListFiles(Narrow(dir.wstring()), "*.ini"), (std::vector<std::string>{"a.ini", "B.ini"}));
    EXPECT_THROW(win32.files.ListFiles(Narrow((dir / "nowhere").wstring()), "*.ini"), purgix::Error);
    fs::remove_all(dir);
}

// The page indicators, kept at one bit a pixel, are the art's ink made opaque on clear: Windows' own reading of the
// resource with an opaque alpha wherever it shows colour.
TEST_F(Win32Platform, PageIndicatorsAreTheArtsInkOpaqueOnClear) {
    int id = IDB_INDICATOR0;
    for (ResourcePicture which : {ResourcePicture::Indicator0, ResourcePicture::Indicator1, ResourcePicture::Indicator2}) {
        const auto picture = win32.resources.Resource(which);
        const int w = picture->Width(), h = picture->Height();
        purgix::win32::gdi::Bitmap windows(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id++), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<DWORD> expected(static_cast<std::size_t>(w * h)), got(expected.size());
        const HDC screen = GetDC(nullptr);
        GetDIBits(screen, windows.Get(), 0, h, expected.data(), &info, DIB_RGB_COLORS);
        GetDIBits(screen, static_cast<const purgix::win32::Win32Picture&>(*picture).Bitmap(), 0, h, got.data(), &info, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        for (DWORD& p : expected) p = p != 0 ? p | 0xFF000000 : 0;
        EXPECT_GT(std::count(expected.begin(), expected.end(), 0xFF262626), 40);
        EXPECT_EQ(got, expected) << id - 1;
    }
}

// Text values, the Run value's and the settings', are REG_SZ with their terminator; reads go by the first NUL.
TEST_F(RealRegistry, WritesATerminatedRegSzWhereAllowedAndReadsAndDeletesGoByTheFirstNul) {
    const std::string grosse = "C:\\Tools\\Gr\u00fc\u00dfe.exe";
    registry.WriteRegistryString(kHkcu, key + "\\Deep", "Purgix", grosse);
    win32.registry.SaveSetting("PurgixWin32Test", "Options", "Less", "33");
    EXPECT_EQ(std::pair(Stored(kTestKey + std::wstring(L"\\Deep"), L"Purgix"), Stored(kSettingsKey + std::wstring(L"\\Options"), L"Less")),
              std::pair(std::pair(DWORD{REG_SZ}, Widen(grosse) + L'\0'), std::pair(DWORD{REG_SZ}, std::wstring(L"33", 3))));
    for (const auto& [name, type, data] : std::vector<std::tuple<const wchar_t*, DWORD, std::wstring>>{
             {L"bare", REG_SZ, L"abc"}, {L"more", REG_SZ, std::wstring(L"abc\0xyz\0", 8)}, {L"expand", REG_EXPAND_SZ, L"%TEMP%"}}) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kTestKey, name, type, data.data(), DWORD(data.size() * 2)), ERROR_SUCCESS);
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (kSettingsKey + std::wstring(L"\\Options")).c_str(), name, type, data.data(),
                                  DWORD(data.size() * 2)), ERROR_SUCCESS);
    }
    for (const auto& [sub, name, text] : std::vector<std::tuple<std::string, std::string, std::optional<std::string>>>{
             {"\\Deep", "purgix", grosse}, {"", "bare", "abc"}, {"", "more", "abc"}, {"", "expand", std::nullopt},
             {"", "missing", std::nullopt}, {"\\Nowhere", "bare", std::nullopt}})
        EXPECT_EQ(registry.ReadRegistryString(kHkcu, key + sub, name), text) << sub << "\\" << name;
    // A setting stored as a REG_DWORD (by hand, or by a policy) reads as its number's text.
    const DWORD fifty = 50;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (kSettingsKey + std::wstring(L"\\Options")).c_str(), L"dword", REG_DWORD, &fifty, 4), ERROR_SUCCESS);
    std::string settings;
    for (const char* name : {"bare", "more", "expand", "missing", "dword"}) settings += win32.registry.GetSetting("PurgixWin32Test", "Options", name, "-") + " ";
    EXPECT_EQ(settings, "abc abc - - 50 ");
    registry.DeleteRegistryValue(kHkcu, key, "bare");
    EXPECT_EQ(registry.ReadRegistryString(kHkcu, key, "bare"), std::nullopt);
    registry.DeleteRegistryValue(kHkcu, key, "bare");  // harmless when gone, or when the key is
    registry.DeleteRegistryValue(kHkcu, key + "\\Nowhere", "bare");
    EXPECT_EQ(fake.calls, std::vector<std::string>{});
}

// 127 characters are offered to the profile function; what comes back is cut at a character's boundary.
TEST_F(RealRegistry, ProfileReadsKeepTheWholeBufferUnlessMoreThanOneCharacterCame) {
    const std::string file = Narrow((fs::temp_directory_path() / "purgix-profile-test.inf").wstring()), e = "\u00e9";
    DeleteFileW(Widen(file).c_str());
    EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), std::string(128, '\0')) << "missing file";
    std::string many = "x", cut = "x";
    for (int i = 0; i < 100; ++i) many += e, cut += i < 62 ? e : "";
    for (const auto& [stored, read] : std::vector<std::pair<std::string, std::string>>{{"a", "a" + std::string(127, '\0')}, {"ab", "ab"}, {many, cut}}) {
        ASSERT_TRUE(win32.profiles.WriteProfile("CONFIGSKIN", "SKIN", stored, file));
        EXPECT_EQ(registry.ReadProfileString("configskin", "skin", file), read) << stored;
    }
    DeleteFileW(Widen(file).c_str());
}

TEST_F(RealRegistry, ProfilesKeepEveryNameInUnicodeAndRefuseLargeOrLinkedFiles) {
    const fs::path dir = fs::temp_directory_path() / "purgix-profiles-test";
    fs::create_directories(dir);
    const std::string japanese = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.ini", quoted = "\" lead.ini\"";
    // A new file, and one an earlier version wrote in the ANSI code page: both come back whole, the old text kept.
    std::ofstream(dir / "old.inf", std::ios::binary) << "[OTHER]\r\nKEY=caf\xe9\r\n[CONFIGSKIN]\r\nSKIN=Aurora.ini\r\n";
    for (const char* name : {"new.inf", "old.inf"}) {
        const std::string file = Narrow((dir / name).wstring());
        ASSERT_TRUE(win32.profiles.WriteProfile("CONFIGSKIN", "SKIN", japanese, file)) << name;
        EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), japanese) << name;
        ASSERT_TRUE(win32.profiles.WriteProfile("CONFIGSKIN", "SKIN", quoted, file)) << name;
        EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), " lead.ini") << name;
    }
    EXPECT_EQ(registry.ReadProfileString("OTHER", "KEY", Narrow((dir / "old.inf").wstring())), "caf\xc3\xa9");
    // Up to 64 KiB a file is read; past that it reads as missing.
    for (auto [size, read] : {std::pair{65536u, "1"}, {65537u, ""}}) {
        const std::string head = "[SKIN]\r\ncolor_Back=1\r\n";
        std::ofstream(dir / "big.ini", std::ios::binary) << head << std::string(size - head.size(), ';');
        EXPECT_EQ(registry.ReadProfileString("SKIN", "color_Back", Narrow((dir / "big.ini").wstring())).c_str(), std::string(read)) << size;
    }
    // Read from inside a skin folder, a link out of it reads as missing; the same file inside reads.
    const fs::path links = purgix::testing::Beside("links");
    for (const fs::path& file : {links / "Elsewhere" / "x.ini", links / "Skin" / "inside.ini"}) std::ofstream(file) << "[SKIN]\r\nBg=x.png\r\n";
    const std::string skin = Narrow((links / "Skin").wstring());
    EXPECT_EQ(registry.ReadProfileString("SKIN", "Bg", skin + "\\link.ini", skin).c_str(), std::string());
    EXPECT_EQ(registry.ReadProfileString("SKIN", "Bg", skin + "\\inside.ini", skin), "x.png");
    fs::remove_all(dir);
}

// /exit's answer rests on the running copy's lock: a copy that outlives the wait, and a lock that cannot be opened,
// may still run; only a lock that no longer exists means none is left. Wine grants every access, so the lock that
// cannot be opened is a name taken by an object of another kind: the same path as another user's copy or an
// elevated one, which Windows refuses with "access denied".
TEST_F(Win32Platform, ExitCountsACopyThatOutlivesTheWaitOrCannotBeOpenedAsStillRunning) {
    struct Copy {
        HANDLE holding = CreateEventW(nullptr, TRUE, FALSE, nullptr), ending = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    } copy;
    const HANDLE thread = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
        auto& c = *static_cast<Copy*>(p);
        const HANDLE lock = CreateMutexW(nullptr, TRUE, purgix::win32::kRunningLockName);
        SetEvent(c.holding);
        WaitForSingleObject(c.ending, INFINITE);
        ReleaseMutex(lock);
        CloseHandle(lock);
        return 0;
    }, &copy, 0, nullptr);
    WaitForSingleObject(copy.holding, INFINITE);
    purgix::platform::ExitAnswer answer = win32.instances.AskRunningCopyToExit(300);
    EXPECT_EQ(std::pair(answer.noCopyLeft, answer.reason), std::pair(false, std::string("it still runs after 0 s")));
    SetEvent(copy.ending);
    WaitForSingleObject(thread, INFINITE);
    for (HANDLE h : {thread, copy.holding, copy.ending}) CloseHandle(h);

    const HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, purgix::win32::kRunningLockName);
    answer = win32.instances.AskRunningCopyToExit(300);
    EXPECT_EQ(std::pair(answer.noCopyLeft, answer.reason.substr(0, 22)), std::pair(false, std::string("it cannot be reached ("))) << answer.reason;
    CloseHandle(squatter);
    EXPECT_TRUE(win32.instances.AskRunningCopyToExit(300).noCopyLeft);
}

// A main form that cannot be made (here the module holds none of its icons, as a damaged copy of the program would)
// is no silent end: a box says why, and the program ends with its own exit code.
TEST_F(Win32Platform, AFailureWhileTheMainWindowIsMadeIsShownWithItsReasonAndEndsTheProgram) {
    purgix::win32::Win32Platform damaged(GetModuleHandleW(L"kernel32.dll"));
    g_seen.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadAndCloseBox);
    EXPECT_EQ(purgix::win32::RunProgram(damaged), purgix::win32::kExitCannotStart);
    KillTimer(nullptr, timer);
    ASSERT_EQ(g_seen.size(), 4u);
    EXPECT_EQ(std::vector(g_seen.begin(), g_seen.begin() + 3), (std::vector<std::string>{"Purgix", "Purgix cannot start: missing icon resource.", "OK"}));
}

// What reaches Shell_NotifyIconW: the icon drawn in the small-icon size of the taskbar's density, and the tooltip's
// every shown character, 63 of them.
TEST_F(Win32Platform, TheShellsTrayRecordHasTheIconAtTheTaskbarsDensityAndTheWholeTooltip) {
    const purgix::ui::PicturePtr icon = win32.resources.Resource(ResourcePicture::TrayIcon);
    purgix::platform::NotifyIconData data;
    data.window = 0x1234;
    data.icon = icon.get();
    data.tip = std::string(63, 'x') + '\0';
    for (auto [dpi, size] : {std::pair{96u, 16}, {144u, 24}, {192u, 32}}) {
        const NOTIFYICONDATAW nid = purgix::win32::ShellRecord(data, dpi);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(nid.hIcon, &info)) << dpi;
        BITMAP mask{};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        for (HBITMAP b : {info.hbmMask, info.hbmColor}) DeleteObject(b);
        EXPECT_EQ(mask.bmWidth, size) << dpi;
        EXPECT_EQ(std::wstring(nid.szTip), std::wstring(63, L'x')) << dpi;
        EXPECT_EQ(nid.hWnd, reinterpret_cast<HWND>(0x1234));
    }
}

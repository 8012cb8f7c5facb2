#include "platform/win32/Win32Platform.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "Error.h"
#include "resource.h"
#include "platform/win32/BlankBlock.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"

namespace purgix::win32 {

void Win32Platform::GlobalMemoryStatus(platform::MemoryStatus& record) {
    MEMORYSTATUSEX ms{};
    ms.dwLength = sizeof ms;
    ::GlobalMemoryStatusEx(&ms);
    record.length = ms.dwLength;
    record.memoryLoad = ms.dwMemoryLoad;
    record.totalPhys = ms.ullTotalPhys;
    record.availPhys = ms.ullAvailPhys;
    record.totalPageFile = ms.ullTotalPageFile;
    record.availPageFile = ms.ullAvailPageFile;
    record.totalVirtual = ms.ullTotalVirtual;
    record.availVirtual = ms.ullAvailVirtual;
}

bool Win32Platform::WriteBlankBlock(std::uint64_t bytes) { return win32::WriteBlankBlock(bytes); }

std::int16_t Win32Platform::GetAsyncKeyState(int virtualKey) { return ::GetAsyncKeyState(virtualKey); }

void Win32Platform::SetWindowPos(ui::WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx, int cy, unsigned flags) {
    ::SetWindowPos(reinterpret_cast<HWND>(window), reinterpret_cast<HWND>(insertAfter), x, y, cx, cy, flags);
}

platform::NumberSeparators Win32Platform::Separators() {
    platform::NumberSeparators s;
    wchar_t buf[8];
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, buf, 8) > 0) s.thousands = Narrow(buf);
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) > 0) s.decimal = Narrow(buf);
    return s;
}

void Win32Platform::Run(const std::string& commandLine, int showState) {
    std::wstring cmd = Widen(commandLine);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        throw purgix::Error("cannot start: " + commandLine);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

void Win32Platform::ShowMessage(const std::string& text, const std::string& title) {
    MessageBoxW(GetActiveWindow(), Widen(text).c_str(), Widen(title).c_str(), MB_OK | MB_TASKMODAL);
}

void Win32Platform::SetMousePointer(ui::MousePointer pointer) {
    pointer_ = pointer;
    // The busy work that follows runs without a message loop: show the hourglass now.
    // Afterwards the window under the pointer chooses again (the hand over a click area).
    if (pointer == ui::MousePointer::Hourglass)
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    else
        RefreshCursor();
}

ui::PicturePtr Win32Platform::Resource(platform::ResourcePicture which) {
    using platform::ResourcePicture;
    auto icon = [this](int id, int size, int smallSize) -> ui::PicturePtr {
        auto big = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
        auto small = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_ICON, smallSize, smallSize, 0));
        if (big == nullptr) throw purgix::Error("missing icon resource");
        return std::make_shared<Win32Picture>(Win32Picture::Type::Icon, big, size, size, small);
    };
    auto bitmap = [this](int id) -> ui::PicturePtr {
        auto bmp = static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (bmp == nullptr) throw purgix::Error("missing bitmap resource");
        BITMAP bm{};
        GetObjectW(bmp, sizeof bm, &bm);
        return std::make_shared<Win32Picture>(Win32Picture::Type::Bitmap, bmp, bm.bmWidth, bm.bmHeight);
    };
    switch (which) {
        case ResourcePicture::ProgramIcon: return icon(IDI_PROGRAM, 32, 16);
        case ResourcePicture::TrayIcon: return icon(IDI_TRAY, 16, 16);
        case ResourcePicture::HandCursor: {
            auto cur = static_cast<HCURSOR>(LoadImageW(instance_, MAKEINTRESOURCEW(IDC_HAND_CURSOR), IMAGE_CURSOR, 32, 32, 0));
            if (cur == nullptr) throw purgix::Error("missing cursor resource");
            return std::make_shared<Win32Picture>(Win32Picture::Type::Cursor, cur, 32, 32);
        }
        case ResourcePicture::Indicator0: return bitmap(IDB_INDICATOR0);
        case ResourcePicture::Indicator1: return bitmap(IDB_INDICATOR1);
        case ResourcePicture::Indicator2: return bitmap(IDB_INDICATOR2);
    }
    throw purgix::Error("unknown resource");
}

std::string Win32Platform::ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return Narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

std::vector<std::string> Win32Platform::ListFiles(const std::string& folder, const std::string& pattern) {
    const std::wstring dir = Widen(folder);
    const DWORD attrs = GetFileAttributesW(dir.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0)
        throw purgix::Error("path not found: " + folder);
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    const std::wstring query = dir + (dir.empty() || dir.back() == L'\\' ? L"" : L"\\") + Widen(pattern);
    HANDLE h = FindFirstFileExW(query.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr, 0);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if ((fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0)
                names.emplace_back(fd.cFileName);
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1, nullptr, nullptr, 0) ==
               CSTR_LESS_THAN;
    });
    std::vector<std::string> out;
    out.reserve(names.size());
    for (const auto& n : names) out.push_back(Narrow(n));
    return out;
}

std::string Win32Platform::UserDataFolder(bool create) {
    // FOLDERID_RoamingAppData, spelt out: libuuid's definition comes in one object with hundreds of other GUIDs.
    constexpr KNOWNFOLDERID kRoamingAppData = {0x3eb685db, 0x65f9, 0x4cf6, {0xa0, 0x3a, 0xe3, 0xef, 0x65, 0x72, 0x9f, 0x3d}};
    wchar_t* roaming = nullptr;
    if (FAILED(SHGetKnownFolderPath(kRoamingAppData, KF_FLAG_DEFAULT, nullptr, &roaming))) return {};
    std::wstring folder = std::wstring(roaming) + L"\\Quenlor";
    CoTaskMemFree(roaming);
    if (create) CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"\\Purgix";
    if (create && !CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
    return Narrow(folder);
}

bool Win32Platform::FileExists(const std::string& path) {
    const DWORD attrs = GetFileAttributesW(Widen(path).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

namespace {
struct FormHost : platform::NativeWindow {
    FormHost(ui::Form& form, Win32Platform& platform) : window(form, platform, false) {}
    FormWindow window;
};
}  // namespace

std::unique_ptr<platform::NativeWindow> Win32Platform::CreateFormWindow(ui::Form& form) {
    return std::make_unique<FormHost>(form, *this);
}

}  // namespace purgix::win32

namespace purgix::win32 {

namespace {

HKEY Hkey(platform::RegistryKey key) { return reinterpret_cast<HKEY>(key); }

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// Text values as stored, converted whole: embedded NULs and what follows them
// stay, and a value without a terminator stays without one.
long ReadRaw(HKEY key, const std::wstring& name, DWORD& type, std::vector<BYTE>& bytes) {
    DWORD size = 0;
    LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    while (rc == ERROR_SUCCESS) {
        bytes.resize(size);
        DWORD got = size;
        rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &got);
        if (rc == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        bytes.resize(got);
        break;
    }
    return rc;
}

std::string TextBytes(const std::vector<BYTE>& bytes) {
    std::wstring wide(bytes.size() / 2, L'\0');
    if (!wide.empty()) std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(wchar_t));
    return Narrow(wide);
}

std::wstring SettingsKey(const std::string& app, const std::string& section) {
    return L"Software\\Quenlor\\" + Widen(app) + L"\\" + Widen(section);
}

}  // namespace

long Win32Platform::OpenKey(platform::RegistryKey root, const std::string& subKey, platform::RegistryKey& result) {
    HKEY h = nullptr;
    const LONG rc = RegOpenKeyExW(Hkey(root), Widen(subKey).c_str(), 0, MAXIMUM_ALLOWED, &h);
    if (rc == ERROR_SUCCESS) result = reinterpret_cast<platform::RegistryKey>(h);
    return rc;
}

long Win32Platform::CreateKey(platform::RegistryKey root, const std::string& subKey, platform::RegistryKey& result) {
    HKEY h = nullptr;
    const LONG rc =
        RegCreateKeyExW(Hkey(root), Widen(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, MAXIMUM_ALLOWED, nullptr, &h, nullptr);
    if (rc == ERROR_SUCCESS) result = reinterpret_cast<platform::RegistryKey>(h);
    return rc;
}

long Win32Platform::QueryValue(platform::RegistryKey key, const std::string& name, std::uint32_t& type, std::vector<char>* data,
                               std::uint32_t& size) {
    DWORD t = REG_NONE;
    std::vector<BYTE> raw;
    const LONG rc = ReadRaw(Hkey(key), Widen(name), t, raw);
    if (rc != ERROR_SUCCESS) return rc;
    type = t;
    std::string bytes = IsText(t) ? TextBytes(raw) : std::string(raw.begin(), raw.end());
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (data != nullptr) {
        if (size < needed || data->size() < needed) {
            size = needed;
            return ERROR_MORE_DATA;
        }
        std::copy(bytes.begin(), bytes.end(), data->begin());
    }
    size = needed;
    return ERROR_SUCCESS;
}

long Win32Platform::SetValue(platform::RegistryKey key, const std::string& name, std::uint32_t type, const std::vector<char>& data) {
    if (IsText(type)) {
        const std::wstring wide = Widen(std::string_view(data.data(), data.size()));
        return RegSetValueExW(Hkey(key), Widen(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(wide.data()),
                              static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
    }
    return RegSetValueExW(Hkey(key), Widen(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

long Win32Platform::DeleteValue(platform::RegistryKey key, const std::string& name) {
    return RegDeleteValueW(Hkey(key), Widen(name).c_str());
}

long Win32Platform::CloseKey(platform::RegistryKey key) { return RegCloseKey(Hkey(key)); }

std::uint32_t Win32Platform::ReadProfile(const std::string& section, const std::string& key, const std::string& def, char* buffer,
                                         std::uint32_t size, const std::string& file) {
    if (size == 0) return 0;
    std::vector<wchar_t> wide(size, L'\0');
    const DWORD n = GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(def).c_str(), wide.data(), size,
                                             Widen(file).c_str());
    // Back in UTF-8 the text may need more room: keep whole characters that fit, as the wide call did.
    std::string text = Narrow(std::wstring_view(wide.data(), n));
    std::size_t fit = std::min<std::size_t>(text.size(), size - 1);
    while (fit > 0 && fit < text.size() && (static_cast<unsigned char>(text[fit]) & 0xC0) == 0x80) --fit;
    std::memcpy(buffer, text.data(), fit);
    buffer[fit] = '\0';
    return static_cast<std::uint32_t>(fit);
}

bool Win32Platform::WriteProfile(const std::string& section, const std::string& key, const std::string& value, const std::string& file) {
    return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(), Widen(file).c_str()) != 0;
}

std::string Win32Platform::GetSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& def) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey(app, section).c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return def;
    DWORD type = REG_NONE;
    std::vector<BYTE> raw;
    const LONG rc = ReadRaw(h, Widen(key), type, raw);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS || type != REG_SZ) return def;
    std::string text = TextBytes(raw);
    text.resize(std::strlen(text.c_str()));  // the stored terminator, if any, ends the text
    return text;
}

void Win32Platform::SaveSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& value) {
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey(app, section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &h, nullptr) != ERROR_SUCCESS)
        return;
    const std::wstring text = Widen(value);
    RegSetValueExW(h, Widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
}

}  // namespace purgix::win32

// Opening untrusted files and judging where they finally lie.
#include "platform/win32/pictures/Files.h"

namespace purgix::win32 {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// "\\?\C:\x" and "\\?\UNC\server\share\x" as the path they name; both sides are compared alike.
std::wstring FinalPath(HANDLE h) {
    wchar_t buffer[MAX_PATH];
    std::wstring path;
    const DWORD n = GetFinalPathNameByHandleW(h, buffer, MAX_PATH, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return {};
    if (n < MAX_PATH) {
        path.assign(buffer, n);
    } else {
        path.resize(n);
        const DWORD m = GetFinalPathNameByHandleW(h, path.data(), n, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (m == 0 || m >= n) return {};
        path.resize(m);
    }
    return path;
}

}  // namespace

FileHandle OpenForReading(const std::wstring& path) {
    return FileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return {};
    std::wstring full(needed, L'\0');
    const DWORD n = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (n == 0 || n >= needed) return {};
    full.resize(n);
    return full;
}

bool IsInside(std::wstring_view folder, std::wstring_view full) {
    while (!folder.empty() && IsSeparator(folder.back())) folder.remove_suffix(1);
    return !folder.empty() && full.size() > folder.size() + 1 && IsSeparator(full[folder.size()]) &&
           EqualsIgnoringCase(full.substr(0, folder.size()), folder);
}

bool FinallyInside(HANDLE file, const std::wstring& folder) {
    // A folder opens only with backup semantics; reading its attributes is all it needs.
    const FileHandle dir(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!dir) return false;
    const std::wstring base = FinalPath(dir.Get());
    const std::wstring final = FinalPath(file);
    return !base.empty() && !final.empty() && IsInside(base, final);
}

}  // namespace purgix::win32

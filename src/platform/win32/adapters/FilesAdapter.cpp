// The program's files and folders: its own path, a folder's files, the user's own folder.
#include <shlobj.h>

#include <algorithm>

#include "Error.h"
#include "platform/win32/Text.h"
#include "platform/win32/adapters/Adapters.h"

namespace purgix::win32 {

std::string FilesAdapter::ModulePath() {
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

std::vector<std::string> FilesAdapter::ListFiles(const std::string& folder, const std::string& pattern) {
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

std::string FilesAdapter::UserDataFolder(bool create) {
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

bool FilesAdapter::FileExists(const std::string& path) {
    const DWORD attrs = GetFileAttributesW(Widen(path).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace purgix::win32

// Profile (INI) files: read only when small and, for skins, only from inside
// their folder; written in Unicode so that every name comes back as written.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/pictures/Files.h"
#include "platform/win32/Text.h"

namespace purgix::win32 {

namespace {

constexpr unsigned char kUtf16Mark[] = {0xFF, 0xFE};

// GetPrivateProfileString's copying rule, in UTF-8: whole characters that fit
// in size - 1 bytes, then a NUL; the count leaves the NUL out.
std::uint32_t CopyOut(std::string_view text, char* buffer, std::uint32_t size) {
    std::size_t fit = std::min<std::size_t>(text.size(), size - 1);
    while (fit > 0 && fit < text.size() && (static_cast<unsigned char>(text[fit]) & 0xC0) == 0x80) --fit;
    std::memcpy(buffer, text.data(), fit);
    buffer[fit] = '\0';
    return static_cast<std::uint32_t>(fit);
}

// Whether the file may be read: small, and (with `within`) finally inside that folder.
bool Trusted(HANDLE file, const std::string& within) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart > static_cast<LONGLONG>(platform::kMaxProfileBytes)) return false;
    return within.empty() || FinallyInside(file, FullPath(Widen(within)));
}

// The profile functions keep a file in the encoding they find: one without the
// UTF-16 mark is ANSI, where a name outside the code page turns into "?". So
// such a file is rewritten in UTF-16 first, its text kept. An absurdly large
// one starts afresh. False when the file cannot be written.
bool MakeUnicode(const std::wstring& path) {
    std::vector<char> bytes;
    {
        const FileHandle file = OpenForReading(path);
        if (file) {
            LARGE_INTEGER size{};
            if (GetFileSizeEx(file.Get(), &size) && size.QuadPart <= static_cast<LONGLONG>(platform::kMaxProfileBytes)) {
                bytes.resize(static_cast<std::size_t>(size.QuadPart));
                DWORD got = 0;
                if (!bytes.empty() && !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
                bytes.resize(got);
            }
            if (bytes.size() >= 2 && std::memcmp(bytes.data(), kUtf16Mark, 2) == 0) return true;
        }
    }
    std::wstring text;
    if (!bytes.empty()) {
        const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        text.resize(static_cast<std::size_t>(std::max(n, 0)));
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    }
    const FileHandle out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    DWORD written = 0;
    const auto textBytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    return WriteFile(out.Get(), kUtf16Mark, 2, &written, nullptr) &&
           (textBytes == 0 || WriteFile(out.Get(), text.data(), textBytes, &written, nullptr));
}

}  // namespace

std::uint32_t ProfileAdapter::ReadProfile(const std::string& section, const std::string& key, const std::string& def, char* buffer,
                                          std::uint32_t size, const std::string& file, const std::string& within) {
    if (size == 0) return 0;
    const std::wstring path = Widen(file);
    // Held open while the profile function reads: nobody can put another file in its place meanwhile.
    const FileHandle held = OpenForReading(path);
    if (held && !Trusted(held.Get(), within)) return CopyOut(def, buffer, size);
    if (!held && !within.empty()) return CopyOut(def, buffer, size);
    std::vector<wchar_t> wide(size, L'\0');
    const DWORD n = GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(def).c_str(), wide.data(), size, path.c_str());
    // Back in UTF-8 the text may need more room: keep whole characters that fit, as the wide call did.
    return CopyOut(Narrow(std::wstring_view(wide.data(), n)), buffer, size);
}

bool ProfileAdapter::WriteProfile(const std::string& section, const std::string& key, const std::string& value, const std::string& file) {
    const std::wstring path = Widen(file);
    if (!MakeUnicode(path)) return false;
    return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(), path.c_str()) != FALSE;
}

}  // namespace purgix::win32

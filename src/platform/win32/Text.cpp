#include "platform/win32/Text.h"

#include <windows.h>

#include <cwctype>

namespace purgix::win32 {

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void WidenInto(std::string_view utf8, wchar_t* buffer, int capacity) {
    int n = utf8.empty() ? 0
                         : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), buffer, capacity - 1);
    if (n <= 0 && !utf8.empty()) {
        // Too long for the buffer: keep the whole characters that fit. A
        // character of four UTF-8 bytes takes two UTF-16 units, the others one.
        std::size_t bytes = 0;
        int units = 0;
        while (bytes < utf8.size()) {
            const auto lead = static_cast<unsigned char>(utf8[bytes]);
            const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            const int need = length == 4 ? 2 : 1;
            if (units + need > capacity - 1 || bytes + length > utf8.size()) break;
            bytes += length;
            units += need;
        }
        n = bytes == 0 ? 0 : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(bytes), buffer, capacity - 1);
        if (n < 0) n = 0;
    }
    buffer[n] = L'\0';
}

std::wstring WithAccessKey(const wchar_t* text, char key) {
    std::wstring out;
    bool marked = false;
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        if (*p == L'&') out += L'&';
        if (!marked && std::towupper(*p) == std::towupper(static_cast<wchar_t>(static_cast<unsigned char>(key)))) {
            out += L'&';
            marked = true;
        }
        out += *p;
    }
    return out;
}

}  // namespace purgix::win32

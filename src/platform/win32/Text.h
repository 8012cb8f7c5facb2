#pragma once
#include <string>
#include <string_view>

namespace purgix::win32 {

// Behaviour speaks UTF-8; Windows speaks UTF-16.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// Converts into a caller's buffer (always NUL-terminated, cut if too long):
// the per-tick paths use it to stay off the heap.
void WidenInto(std::string_view utf8, wchar_t* buffer, int capacity);

// Text as DrawText shows it with an access key: "&" doubled, then one before the key's letter.
std::wstring WithAccessKey(const wchar_t* text, char key);

}  // namespace purgix::win32

// Traces of the failures the program goes on after, for a debugger or DebugView.
#include <exception>
#include <string>

#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/Text.h"

namespace purgix::win32 {

void Trace(std::string_view where, std::string_view what) {
    // Cheap when nobody listens: one string, one call.
    std::string line = "Purgix: ";
    line.append(where).append(": ").append(what).append("\n");
    OutputDebugStringW(Widen(line).c_str());
}

void TraceCurrentError(std::string_view where) {
    try {
        throw;
    } catch (const std::exception& e) {
        Trace(where, e.what());
    } catch (...) {
        Trace(where, "an error of an unknown kind");
    }
}

std::string SystemError(unsigned long code) {
    wchar_t text[256] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 256, nullptr);
    while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' ')) --n;
    std::string words = Narrow(std::wstring_view(text, n));
    return (words.empty() ? "error" : words) + " (" + std::to_string(code) + ")";
}

void TraceAdapter::Trace(std::string_view where, std::string_view what) { win32::Trace(where, what); }

}  // namespace purgix::win32

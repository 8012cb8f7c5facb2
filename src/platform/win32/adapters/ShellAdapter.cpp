// Command lines, message boxes and the clipboard.
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "Error.h"
#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/Text.h"

namespace purgix::win32 {

void ShellAdapter::Run(const std::string& commandLine, int showState) {
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

void ShellAdapter::ShowMessage(const std::string& text, const std::string& title) {
    MessageBoxW(GetActiveWindow(), Widen(text).c_str(), Widen(title).c_str(), MB_OK | MB_TASKMODAL);
}

void ShellAdapter::CopyText(const std::string& text) {
    const std::wstring wide = Widen(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    // The clipboard takes the memory only when it accepts it; until then it is ours to free.
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) throw purgix::Error("no memory for the clipboard");
    if (void* at = GlobalLock(memory)) {
        std::memcpy(at, wide.c_str(), bytes);
        GlobalUnlock(memory);
    }
    // Another program may hold the clipboard for a moment.
    bool open = false;
    for (int attempt = 0; attempt < 10 && !(open = OpenClipboard(nullptr) != FALSE); ++attempt) Sleep(10);
    if (!open) {
        GlobalFree(memory);
        throw purgix::Error("the clipboard is in use (error " + std::to_string(GetLastError()) + ")");
    }
    EmptyClipboard();
    const bool taken = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    const DWORD error = GetLastError();
    CloseClipboard();
    if (!taken) {
        GlobalFree(memory);
        throw purgix::Error("the clipboard refused the text (error " + std::to_string(error) + ")");
    }
}

}  // namespace purgix::win32

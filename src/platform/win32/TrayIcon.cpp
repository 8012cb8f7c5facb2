// The notification-area icon: the tray class's record handed to the shell in
// the shell's own (wide) form.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>

#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"

namespace purgix::win32 {

static_assert(platform::kNimAdd == NIM_ADD && platform::kNimModify == NIM_MODIFY && platform::kNimDelete == NIM_DELETE);
static_assert(platform::kNifMessage == NIF_MESSAGE && platform::kNifIcon == NIF_ICON && platform::kNifTip == NIF_TIP);

bool Win32Platform::ShellNotifyIcon(int operation, const platform::NotifyIconData& data) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = reinterpret_cast<HWND>(data.window);
    nid.uID = data.id;
    nid.uFlags = data.flags;
    nid.uCallbackMessage = data.callbackMessage;
    if (const auto* icon = Native(data.icon)) nid.hIcon = icon->SmallIcon();
    // The shell shows the field up to its first NUL, and never more than it holds.
    const std::size_t end = std::min(data.tip.find('\0'), data.tip.size());
    WidenInto(std::string_view(data.tip.data(), end), nid.szTip, static_cast<int>(std::size(nid.szTip)));
    return Shell_NotifyIconW(static_cast<DWORD>(operation), &nid) != FALSE;
}

}  // namespace purgix::win32

// The notification-area icon: the tray class's record handed to the shell in
// the shell's own (wide) form.
#include <windows.h>
#include <shellapi.h>

#include <iterator>

#include "platform/win32/Adapters.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"

namespace purgix::win32 {

static_assert(platform::kNimAdd == NIM_ADD && platform::kNimModify == NIM_MODIFY && platform::kNimDelete == NIM_DELETE);
static_assert(platform::kNifMessage == NIF_MESSAGE && platform::kNifIcon == NIF_ICON && platform::kNifTip == NIF_TIP);

NOTIFYICONDATAW ShellRecord(const platform::NotifyIconData& data, UINT dpi) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = reinterpret_cast<HWND>(data.window);
    nid.uID = data.id;
    nid.uFlags = data.flags;
    nid.uCallbackMessage = data.callbackMessage;
    if (const auto* icon = Native(data.icon)) nid.hIcon = icon->IconAt(SystemMetricForDpi(SM_CXSMICON, dpi));
    // The wide record's field is twice as wide as the tray class's: what it shows is the narrow one's.
    WidenInto(platform::ShownTip(data), nid.szTip, static_cast<int>(std::size(nid.szTip)));
    return nid;
}

bool TrayAdapter::ShellNotifyIcon(int operation, const platform::NotifyIconData& data) {
    // In the small-icon size of the taskbar's monitor, which need not be the window's.
    const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    NOTIFYICONDATAW nid = ShellRecord(data, taskbar != nullptr ? DpiOfWindow(taskbar) : DpiOfSystem());
    return Shell_NotifyIconW(static_cast<DWORD>(operation), &nid) != FALSE;
}

}  // namespace purgix::win32

// The notification-area icon: the tray class's record handed to the shell in
// the shell's own (wide) form, the load drawn in place of the picture, and the
// notice beside it.
#include <windows.h>
#include <shellapi.h>

#include <iterator>

#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Text.h"
#include "platform/win32/pictures/Win32Picture.h"

namespace purgix::win32 {

static_assert(platform::kNimAdd == NIM_ADD && platform::kNimModify == NIM_MODIFY && platform::kNimDelete == NIM_DELETE);
static_assert(platform::kNifMessage == NIF_MESSAGE && platform::kNifIcon == NIF_ICON && platform::kNifTip == NIF_TIP &&
              platform::kNifInfo == NIF_INFO);
static_assert(platform::kNiifNoSound == NIIF_NOSOUND && platform::kNiifRespectQuietTime == NIIF_RESPECT_QUIET_TIME);

UINT TaskbarDpi() {
    // The taskbar's monitor need not be the window's.
    const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    return taskbar != nullptr ? DpiOfWindow(taskbar) : DpiOfSystem();
}

int TrayIconSize() { return SystemMetricForDpi(SM_CXSMICON, TaskbarDpi()); }

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
    if ((data.flags & NIF_INFO) != 0) {
        WidenInto(data.info, nid.szInfo, static_cast<int>(std::size(nid.szInfo)));
        WidenInto(data.infoTitle, nid.szInfoTitle, static_cast<int>(std::size(nid.szInfoTitle)));
        nid.dwInfoFlags = data.infoFlags;
    }
    return nid;
}

bool TrayAdapter::ShellNotifyIcon(int operation, const platform::NotifyIconData& data) {
    const UINT dpi = TaskbarDpi();
    NOTIFYICONDATAW nid = ShellRecord(data, dpi);
    if (data.load && operation != platform::kNimDelete) nid.hIcon = load_.For(SystemMetricForDpi(SM_CXSMICON, dpi), *data.load);
    const bool done = Shell_NotifyIconW(static_cast<DWORD>(operation), &nid) != FALSE;
    // The shell keeps its own copy of what it was handed: the icon before it can go, and all of them once the load is off.
    if (data.load && operation != platform::kNimDelete)
        load_.Handed();
    else
        load_.Clear();
    return done;
}

}  // namespace purgix::win32

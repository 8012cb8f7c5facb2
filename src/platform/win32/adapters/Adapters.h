#pragma once
// The platform interfaces over the real API, one adapter per interface or
// small family, each implemented in the file named beside it.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/adapters/TrayLoadIcon.h"

namespace purgix::win32 {

// MemoryAdapter.cpp: the memory status and the release's block.
class MemoryAdapter : public platform::MemoryStatusSource, public platform::MemoryBlocks {
public:
    void GlobalMemoryStatus(platform::MemoryStatus& record) override;
    platform::BlockResult WriteBlankBlock(std::uint64_t bytes) override;
    void StopFill() override;
};

// RegistryAdapter.cpp: the registry (the wide calls; REG_SZ text crosses as
// UTF-8) and the per-user settings under HKCU\Software\Quenlor\<app>\<section>.
class RegistryAdapter : public platform::RegistryApi, public platform::SettingsStore {
public:
    long OpenKey(platform::RegistryKey root, const std::string& subKey, platform::RegistryKey& result) override;
    long CreateKey(platform::RegistryKey root, const std::string& subKey, platform::RegistryKey& result) override;
    long QueryValue(platform::RegistryKey key, const std::string& name, std::uint32_t& type, std::vector<char>* data,
                    std::uint32_t& size) override;
    long SetValue(platform::RegistryKey key, const std::string& name, std::uint32_t type, const std::vector<char>& data) override;
    long DeleteValue(platform::RegistryKey key, const std::string& name) override;
    long CloseKey(platform::RegistryKey key) override;
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& def) override;
    bool SaveSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& value) override;
};

// ProfileAdapter.cpp: INI files, small ones only, written in Unicode.
class ProfileAdapter : public platform::ProfileApi {
public:
    std::uint32_t ReadProfile(const std::string& section, const std::string& key, const std::string& def, char* buffer,
                              std::uint32_t size, const std::string& file, const std::string& within) override;
    bool WriteProfile(const std::string& section, const std::string& key, const std::string& value, const std::string& file) override;
};

// ShellAdapter.cpp: command lines, message boxes and the clipboard.
class ShellAdapter : public platform::Shell {
public:
    void Run(const std::string& commandLine, int showState) override;
    void ShowMessage(const std::string& text, const std::string& title) override;
    void CopyText(const std::string& text) override;
};

// FilesAdapter.cpp: the program's files and folders.
class FilesAdapter : public platform::FileSystem {
public:
    std::string ModulePath() override;
    std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) override;
    std::string UserDataFolder(bool create) override;
    bool FileExists(const std::string& path) override;
};

// ResourceAdapter.cpp: the icons, cursor and indicator pictures inside the program.
class ResourceAdapter : public platform::Pictures {
public:
    explicit ResourceAdapter(HINSTANCE instance) : instance_(instance) {}
    platform::PicturePtr Resource(platform::ResourcePicture which) override;

private:
    HINSTANCE instance_;
};

// PictureLoader.cpp: skin pictures, untrusted files decoded from memory.
class PictureLoader : public platform::PictureFiles {
public:
    platform::PicturePtr LoadPicture(const std::string& folder, const std::string& name) override;
};

// TrayIcon.cpp: the notification-area icon, the load drawn in it, the notice beside it.
class TrayAdapter : public platform::NotifyArea {
public:
    bool ShellNotifyIcon(int operation, const platform::NotifyIconData& data) override;
    // The load icon the shell was last handed; nullptr while none is shown.
    HICON LoadIconShown() const { return load_.Current(); }

private:
    LoadIcon load_;
};
// The taskbar's small-icon size, at the density of its monitor.
int TrayIconSize();

// ClockAdapter.cpp: the tick count and the local time.
class ClockAdapter : public platform::Clock {
public:
    std::uint64_t Milliseconds() override;
    platform::TimeOfDay LocalTime() override;
};
// The shell's record of the tray class's: the icon in the small-icon size at `dpi`, the tooltip's shown text.
NOTIFYICONDATAW ShellRecord(const platform::NotifyIconData& data, UINT dpi);

// InputAdapter.cpp: the keyboard's state and the application-wide pointer.
class InputAdapter : public platform::Keyboard, public platform::Pointer {
public:
    std::int16_t GetAsyncKeyState(int virtualKey) override;
    void SetMousePointer(platform::MousePointer pointer) override;
    platform::MousePointer Current() const override { return pointer_; }

private:
    platform::MousePointer pointer_ = platform::MousePointer::Default;
};

// InputAdapter.cpp: the windows' z-order.
class ZOrderAdapter : public platform::WindowOrder {
public:
    void SetWindowPos(platform::WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx, int cy, unsigned flags) override;
};

// LocaleAdapter.cpp: the user's number separators.
class LocaleAdapter : public platform::Locale {
public:
    platform::NumberSeparators Separators() override;
};

// InstanceAdapter.cpp: one copy per session, the running copy asked to show itself or to end.
class InstanceAdapter : public platform::Instances {
public:
    InstanceAdapter() = default;
    ~InstanceAdapter() override;
    InstanceAdapter(const InstanceAdapter&) = delete;
    InstanceAdapter& operator=(const InstanceAdapter&) = delete;
    bool TakeLock() override;
    bool WaitForLock(unsigned milliseconds) override;
    platform::ShowAnswer AskRunningCopyToShow() override;
    platform::ExitAnswer AskRunningCopyToExit(unsigned milliseconds) override;

private:
    HANDLE lock_ = nullptr;
    bool owned_ = false;
};

// Diagnostics.cpp: traces for a debugger.
class TraceAdapter : public platform::Diagnostics {
public:
    void Trace(std::string_view where, std::string_view what) override;
};

// "Purgix: where: what" to OutputDebugStringW: the window layer's own catches use it too.
void Trace(std::string_view where, std::string_view what);
// Traces whatever is being handled in a catch (...), with its message when it has one.
void TraceCurrentError(std::string_view where);
// A Windows error code as words and number, for traces and the console: "Access denied. (5)".
std::string SystemError(unsigned long code);

}  // namespace purgix::win32

#pragma once
#include <windows.h>

#include "platform/Platform.h"

namespace purgix::win32 {

// The real operating system behind the platform interfaces.
class Win32Platform : public platform::MemoryStatusSource,
                      public platform::MemoryBlocks,
                      public platform::Keyboard,
                      public platform::WindowOrder,
                      public platform::Locale,
                      public platform::Shell,
                      public platform::Pictures,
                      public platform::PictureFiles,
                      public platform::FileSystem,
                      public platform::RegistryApi,
                      public platform::ProfileApi,
                      public platform::SettingsStore,
                      public platform::NotifyArea,
                      public platform::WindowFactory {
public:
    explicit Win32Platform(HINSTANCE instance) : instance_(instance) {}

    void GlobalMemoryStatus(platform::MemoryStatus& record) override;
    bool WriteBlankBlock(std::uint64_t bytes) override;
    std::int16_t GetAsyncKeyState(int virtualKey) override;
    void SetWindowPos(ui::WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx, int cy, unsigned flags) override;
    platform::NumberSeparators Separators() override;
    void Run(const std::string& commandLine, int showState) override;
    void ShowMessage(const std::string& text, const std::string& title) override;
    void SetMousePointer(ui::MousePointer pointer) override;
    ui::PicturePtr Resource(platform::ResourcePicture which) override;
    std::string ModulePath() override;
    std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) override;
    std::string UserDataFolder(bool create) override;
    bool FileExists(const std::string& path) override;
    ui::PicturePtr LoadPicture(const std::string& folder, const std::string& name) override;
    bool ShellNotifyIcon(int operation, const platform::NotifyIconData& data) override;
    std::unique_ptr<platform::NativeWindow> CreateFormWindow(ui::Form& form) override;

    // Registry: the wide calls; REG_SZ text crosses this boundary as UTF-8.
    long OpenKey(platform::RegistryKey root, const std::string& subKey, platform::RegistryKey& result) override;
    long CreateKey(platform::RegistryKey root, const std::string& subKey, platform::RegistryKey& result) override;
    long QueryValue(platform::RegistryKey key, const std::string& name, std::uint32_t& type, std::vector<char>* data,
                    std::uint32_t& size) override;
    long SetValue(platform::RegistryKey key, const std::string& name, std::uint32_t type, const std::vector<char>& data) override;
    long DeleteValue(platform::RegistryKey key, const std::string& name) override;
    long CloseKey(platform::RegistryKey key) override;
    std::uint32_t ReadProfile(const std::string& section, const std::string& key, const std::string& def, char* buffer,
                              std::uint32_t size, const std::string& file) override;
    bool WriteProfile(const std::string& section, const std::string& key, const std::string& value, const std::string& file) override;
    // Settings: REG_SZ values under HKEY_CURRENT_USER\Software\Quenlor\<app>\<section>.
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& def) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& value) override;

    // The application-wide pointer that windows show instead of their own.
    ui::MousePointer MousePointer() const { return pointer_; }
    HINSTANCE Instance() const { return instance_; }

    // Everything bundled for behaviour; the platform must outlive its users.
    platform::Platform Bundle() {
        return {.memory = *this, .blocks = *this, .keyboard = *this, .windows = *this, .locale = *this, .shell = *this,
                .pictures = *this, .pictureFiles = *this, .files = *this, .registry = *this, .profiles = *this,
                .settings = *this, .tray = *this, .windowFactory = *this};
    }

private:
    HINSTANCE instance_;
    ui::MousePointer pointer_ = ui::MousePointer::Default;
};

}  // namespace purgix::win32

#pragma once
// The operations through which behaviour reaches the operating system. Each is
// a small interface; src/platform/win32 implements them, tests use fakes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/Picture.h"

namespace purgix::platform {

// The memory-status record: byte counts as 64-bit unsigned values, so that
// machines past 2 GiB (or 4 GiB) report their real figures.
struct MemoryStatus {
    std::uint32_t length = 0;
    std::uint32_t memoryLoad = 0;
    std::uint64_t totalPhys = 0;
    std::uint64_t availPhys = 0;
    std::uint64_t totalPageFile = 0;
    std::uint64_t availPageFile = 0;
    std::uint64_t totalVirtual = 0;
    std::uint64_t availVirtual = 0;
};

class MemoryStatusSource {
public:
    virtual ~MemoryStatusSource() = default;
    virtual void GlobalMemoryStatus(MemoryStatus& record) = 0;  // fills the record; cannot fail
};

// The release's block: taken in one piece, written through and given back at once,
// so that the system has to free physical memory for it.
class MemoryBlocks {
public:
    virtual ~MemoryBlocks() = default;
    // Commits `bytes` bytes with one allocation, writes the blank U+0020 into
    // every 16-bit unit (little-endian) from start to end and frees the block.
    // False when the block cannot be had; nothing is held either way.
    virtual bool WriteBlankBlock(std::uint64_t bytes) = 0;
};

class Keyboard {
public:
    virtual ~Keyboard() = default;
    virtual std::int16_t GetAsyncKeyState(int virtualKey) = 0;
};

inline constexpr std::intptr_t kHwndTopmost = -1;
inline constexpr std::intptr_t kHwndNoTopmost = -2;
inline constexpr unsigned kSwpNoSizeNoMove = 3;

class WindowOrder {
public:
    virtual ~WindowOrder() = default;
    virtual void SetWindowPos(ui::WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx, int cy, unsigned flags) = 0;
};

// The user's number formatting: group and decimal separators (may be any text,
// a blank or a no-break space among them).
struct NumberSeparators {
    std::string thousands = ",";
    std::string decimal = ".";
};

class Locale {
public:
    virtual ~Locale() = default;
    virtual NumberSeparators Separators() = 0;
};

// Notification-area icon record.
struct NotifyIconData {
    ui::WindowHandle window = 0;
    std::uint32_t id = 1;
    std::uint32_t flags = 7;
    std::uint32_t callbackMessage = 0x200;
    const ui::Picture* icon = nullptr;
    std::string tip;  // 64 characters, as the tray class keeps it
};

class NotifyArea {
public:
    virtual ~NotifyArea() = default;
    virtual bool ShellNotifyIcon(int operation, const NotifyIconData& data) = 0;  // 0 add, 1 modify, 2 delete
};

// Raw registry access (the advapi32 calls, named apart from their macros):
// handles are opaque numbers, 0 for none.
using RegistryKey = std::uintptr_t;
inline constexpr RegistryKey kHkeyCurrentUser = 0x80000001;
inline constexpr RegistryKey kHkeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;

class RegistryApi {
public:
    virtual ~RegistryApi() = default;
    virtual long OpenKey(RegistryKey root, const std::string& subKey, RegistryKey& result) = 0;
    virtual long CreateKey(RegistryKey root, const std::string& subKey, RegistryKey& result) = 0;
    // Without data: type and size only. With data: fills up to *size bytes.
    virtual long QueryValue(RegistryKey key, const std::string& name, std::uint32_t& type, std::vector<char>* data, std::uint32_t& size) = 0;
    virtual long SetValue(RegistryKey key, const std::string& name, std::uint32_t type, const std::vector<char>& data) = 0;
    virtual long DeleteValue(RegistryKey key, const std::string& name) = 0;
    virtual long CloseKey(RegistryKey key) = 0;
};

class ProfileApi {
public:
    virtual ~ProfileApi() = default;
    // Copies at most size - 1 characters and a NUL into buffer; returns the count copied.
    virtual std::uint32_t ReadProfile(const std::string& section, const std::string& key, const std::string& def,
                                                  char* buffer, std::uint32_t size, const std::string& file) = 0;
    virtual bool WriteProfile(const std::string& section, const std::string& key, const std::string& value,
                                           const std::string& file) = 0;
};

// Per-user settings addressed by application name, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                                   const std::string& def) = 0;
    virtual void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // Starts a command line without waiting; throws std::runtime_error when it cannot start.
    virtual void Run(const std::string& commandLine, int showState) = 0;
    // A modal box with OK only, no icon.
    virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
    // The application-wide mouse pointer (ui::MousePointer values).
    virtual void SetMousePointer(ui::MousePointer pointer) = 0;
};

// The pictures the program carries inside itself.
enum class ResourcePicture { ProgramIcon, TrayIcon, HandCursor, Indicator0, Indicator1, Indicator2 };

class Pictures {
public:
    virtual ~Pictures() = default;
    virtual ui::PicturePtr Resource(ResourcePicture which) = 0;
};

// Pictures from files (skin backgrounds): untrusted input.
class PictureFiles {
public:
    virtual ~PictureFiles() = default;
    // Throws std::runtime_error for a missing, unreadable, oversized or undecodable file.
    virtual ui::PicturePtr LoadPicture(const std::string& path) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The running executable's full path.
    virtual std::string ModulePath() = 0;
    // Plain file names matching the pattern, sorted; throws for a missing folder.
    virtual std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) = 0;
};

// Everything behaviour may ask of the system, bundled for constructor injection.
struct Platform {
    MemoryStatusSource& memory;
    MemoryBlocks& blocks;
    Keyboard& keyboard;
    WindowOrder& windows;
    Locale& locale;
    Shell& shell;
    Pictures& pictures;
    FileSystem& files;
    RegistryApi& registry;
    ProfileApi& profiles;
    SettingsStore& settings;
};

}  // namespace purgix::platform

#pragma once
// The operations through which behaviour reaches the operating system. Each is
// a small interface; src/platform/win32 implements them, tests use fakes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Error.h"
#include "memory/MemoryStatus.h"
#include "memory/NumberSeparators.h"
#include "ui/Control.h"
#include "ui/Picture.h"
#include "ui/WindowHandle.h"

namespace purgix::ui {
class Form;
}

namespace purgix::platform {

using MemoryStatus = memory::MemoryStatus;
using NumberSeparators = memory::NumberSeparators;

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

class Locale {
public:
    virtual ~Locale() = default;
    virtual NumberSeparators Separators() = 0;
};

// The notification-area icon record, field for field as the tray class keeps it.
inline constexpr int kNimAdd = 0;
inline constexpr int kNimModify = 1;
inline constexpr int kNimDelete = 2;
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
inline constexpr std::size_t kTipField = 64;

struct NotifyIconData {
    std::uint32_t size = 88;  // the ANSI record's size; the platform sends its own form
    ui::WindowHandle window = 0;
    std::uint32_t id = 1;
    std::uint32_t flags = kNifMessage | kNifIcon | kNifTip;
    std::uint32_t callbackMessage = 0x200;
    const ui::Picture* icon = nullptr;
    std::string tip = std::string(kTipField, '\0');  // the 64-character field: text, NUL, blank padding
};

class NotifyArea {
public:
    virtual ~NotifyArea() = default;
    // The shell shows at most the field's text up to its first NUL (63 characters at most).
    virtual bool ShellNotifyIcon(int operation, const NotifyIconData& data) = 0;
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
    // Starts a command line without waiting; throws purgix::Error when it cannot start.
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
    // Loads `name`, a path relative to `folder` that must stay inside it. Throws
    // purgix::Error for a name that leaves the folder, a missing,
    // unreadable or oversized file, or one that does not decode as a picture.
    virtual ui::PicturePtr LoadPicture(const std::string& folder, const std::string& name) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The running executable's full path.
    virtual std::string ModulePath() = 0;
    // Plain file names matching the pattern, sorted; throws for a missing folder.
    virtual std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) = 0;
    // The user's own folder for the program's files (%APPDATA%\Quenlor\Purgix),
    // created when `create` is set; empty when it cannot be had.
    virtual std::string UserDataFolder(bool create) = 0;
    virtual bool FileExists(const std::string& path) = 0;
};

// A native window for a form that behaviour opens at run time (the About
// window). Destroying it destroys the window; the form model stays.
class NativeWindow {
public:
    virtual ~NativeWindow() = default;
};

class WindowFactory {
public:
    virtual ~WindowFactory() = default;
    // Creates the window with the form's design values and binds the form to it.
    virtual std::unique_ptr<NativeWindow> CreateFormWindow(ui::Form& form) = 0;
};

// Everything behaviour may ask of the system, bundled for constructor injection.
// Built by name: Platform{.memory = m, .blocks = b, ...}.
struct Platform {
    MemoryStatusSource& memory;
    MemoryBlocks& blocks;
    Keyboard& keyboard;
    WindowOrder& windows;
    Locale& locale;
    Shell& shell;
    Pictures& pictures;
    PictureFiles& pictureFiles;
    FileSystem& files;
    RegistryApi& registry;
    ProfileApi& profiles;
    SettingsStore& settings;
    NotifyArea& tray;
    WindowFactory& windowFactory;
};

}  // namespace purgix::platform

#pragma once
// The operations through which behaviour reaches the operating system. Each is
// a small interface; src/platform/win32 implements them, tests use fakes.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "memory/MemoryStatus.h"
#include "memory/NumberSeparators.h"
#include "platform/Types.h"

namespace purgix::platform {

using MemoryStatus = memory::MemoryStatus;
using NumberSeparators = memory::NumberSeparators;

class MemoryStatusSource {
public:
    virtual ~MemoryStatusSource() = default;
    virtual void GlobalMemoryStatus(MemoryStatus& record) = 0;  // fills the record; cannot fail
};

enum class BlockResult { Written, Refused, Stopped };

// The release's block: taken in one piece, written through and given back at
// once, so that the system has to free physical memory for it.
//
// While WriteBlankBlock runs, the calling (interface) thread does not return
// to its message loop. It goes on serving what is sent to its windows (another
// program's SendMessage, a screen reader's question, the end of the session)
// and repainting them; nothing posted is taken and no input is read, so no
// command can start inside a release. When the block has been given back,
// the clicks made meanwhile are dropped, and the keys that would start a
// release (Space, Enter, F9, Alt's: ui/ReleaseKeys.h), so that impatience
// does not queue more releases; every other input stays queued in order.
// A handler that runs meanwhile (the end of the session, an Exit) may call
// StopFill: the fill stops within about a tenth of a second, the block is
// given back as WriteBlankBlock returns, and it returns Stopped.
class MemoryBlocks {
public:
    virtual ~MemoryBlocks() = default;
    // Commits `bytes` bytes with one allocation, writes the blank U+0020 into
    // every 16-bit unit (little-endian) from start to end and frees the block.
    // Refused when the block cannot be had; nothing is held either way.
    virtual BlockResult WriteBlankBlock(std::uint64_t bytes) = 0;
    // Stops the fill this thread is inside, if any; returns once its workers
    // have stopped (at once when there is no fill). It serves nothing while it
    // waits, so a second close cannot run inside the first one's shutdown.
    virtual void StopFill() = 0;
};

class Keyboard {
public:
    virtual ~Keyboard() = default;
    virtual std::int16_t GetAsyncKeyState(int virtualKey) = 0;
};

// The application-wide mouse pointer: the hourglass over every window of the
// program, or each window's own choice.
class Pointer {
public:
    virtual ~Pointer() = default;
    virtual void SetMousePointer(MousePointer pointer) = 0;
    // What the program's windows show instead of their own pointer while it is not Default.
    virtual MousePointer Current() const = 0;
};

inline constexpr std::intptr_t kHwndTopmost = -1;
inline constexpr unsigned kSwpNoSizeNoMove = 3;

class WindowOrder {
public:
    virtual ~WindowOrder() = default;
    virtual void SetWindowPos(WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx, int cy, unsigned flags) = 0;
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
inline constexpr std::uint32_t kNifInfo = 0x10;
inline constexpr std::size_t kTipField = 64;
// A notice's look: no sound, and held back while the user does not want to be disturbed.
inline constexpr std::uint32_t kNiifNoSound = 0x10;
inline constexpr std::uint32_t kNiifRespectQuietTime = 0x80;

// How heavily physical memory is used, as the icon shows it: below 70 %, from 70 %, from 90 %.
enum class LoadLevel { Normal, High, Critical };

// The figure the icon shows instead of its picture: used physical memory in whole percent.
struct TrayLoad {
    int percent = 0;
    LoadLevel level = LoadLevel::Normal;
    bool operator==(const TrayLoad&) const = default;
};

struct NotifyIconData {
    WindowHandle window = 0;
    std::uint32_t id = 1;
    std::uint32_t flags = kNifMessage | kNifIcon | kNifTip;
    std::uint32_t callbackMessage = 0x200;
    const Picture* icon = nullptr;
    std::string tip = std::string(kTipField, '\0');  // the 64-character field: text, NUL, blank padding
    // Drawn in place of `icon` while set.
    std::optional<TrayLoad> load;
    // The notice shown with kNifInfo: its text, its title and its kNiif flags.
    std::string info, infoTitle;
    std::uint32_t infoFlags = 0;
};

// What the shell shows of the tooltip field: up to its first NUL, at most 63 characters.
inline std::string_view ShownTip(const NotifyIconData& data) {
    const std::string_view field(data.tip);
    return field.substr(0, std::min(field.find('\0'), kTipField - 1));
}

class NotifyArea {
public:
    virtual ~NotifyArea() = default;
    // The shell shows the field's text up to its first NUL, and at most 63
    // characters of it: the field's last place is the terminator's.
    virtual bool ShellNotifyIcon(int operation, const NotifyIconData& data) = 0;
};

// Raw registry access (the advapi32 calls, named apart from their macros):
// handles are opaque numbers, 0 for none.
using RegistryKey = std::uintptr_t;
inline constexpr RegistryKey kHkeyCurrentUser = 0x80000001;
inline constexpr RegistryKey kHkeyLocalMachine = 0x80000002;
inline constexpr long kErrorFileNotFound = 2;  // a key or value that is not there
inline constexpr std::uint32_t kRegSz = 1;

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

// Profile (INI) files. The program's own files and skins are small: a file
// over kMaxProfileBytes reads as missing and is never read whole.
inline constexpr std::uint64_t kMaxProfileBytes = 64 * 1024;

class ProfileApi {
public:
    virtual ~ProfileApi() = default;
    // Copies at most size - 1 characters and a NUL into buffer; returns the
    // count copied. With `within` given, a file whose final path (links and
    // junctions followed) does not lie inside that folder reads as missing.
    virtual std::uint32_t ReadProfile(const std::string& section, const std::string& key, const std::string& def, char* buffer,
                                      std::uint32_t size, const std::string& file, const std::string& within) = 0;
    // Writes the file so that any text comes back as written (Unicode, not the
    // ANSI code page). False when the file cannot be written.
    virtual bool WriteProfile(const std::string& section, const std::string& key, const std::string& value, const std::string& file) = 0;
};

// Per-user settings addressed by application name, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string GetSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& def) = 0;
    // False when the store refused the value.
    virtual bool SaveSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& value) = 0;
};

// Start states for a command line's window.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowMinimized = 2;

class Shell {
public:
    virtual ~Shell() = default;
    // Starts a command line without waiting; throws purgix::Error when it cannot start.
    virtual void Run(const std::string& commandLine, int showState) = 0;
    // A modal box with OK only, no icon.
    virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
    // Puts the text on the clipboard in place of what was there; throws purgix::Error when it cannot.
    virtual void CopyText(const std::string& text) = 0;
};

// The pictures the program carries inside itself.
enum class ResourcePicture { ProgramIcon, TrayIcon, HandCursor, Indicator0, Indicator1, Indicator2 };

class Pictures {
public:
    virtual ~Pictures() = default;
    virtual PicturePtr Resource(ResourcePicture which) = 0;
};

// Pictures from files (skin backgrounds): untrusted input.
class PictureFiles {
public:
    virtual ~PictureFiles() = default;
    // Loads `name`, a path relative to `folder` that must stay inside it, as
    // written and as the file opened finally lies. Throws purgix::Error for a
    // name or file outside the folder, a missing, unreadable or oversized
    // file, or one that does not decode as a picture within the pixel cap.
    virtual PicturePtr LoadPicture(const std::string& folder, const std::string& name) = 0;
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

// One copy of the program per user session, told apart by a lock the running
// copy holds for its whole life.
enum class ShowAnswer { None, Shown, Closing };

// What came of asking the running copy to end: no copy left running, or why one may still run.
struct ExitAnswer {
    bool noCopyLeft = false;
    std::string reason;  // when a copy may still run: "it still runs after 10 s", "it cannot be reached: ..."
};

class Instances {
public:
    virtual ~Instances() = default;
    // Takes the lock; false when another copy holds it.
    virtual bool TakeLock() = 0;
    // Waits up to `milliseconds` for the copy holding the lock to end, then takes it.
    virtual bool WaitForLock(unsigned milliseconds) = 0;
    // Asks the running copy's window to show itself. None when no window answered.
    virtual ShowAnswer AskRunningCopyToShow() = 0;
    // Asks the running copy to end through its shutdown and waits up to
    // `milliseconds` for it. No copy is left only when none holds the lock; a
    // copy whose lock or process this user may not open counts as running.
    virtual ExitAnswer AskRunningCopyToExit(unsigned milliseconds) = 0;
};

// Failures the program goes on after without a word to the user leave a
// trace here ("Purgix: where: what"), for a debugger or a log viewer.
class Diagnostics {
public:
    virtual ~Diagnostics() = default;
    virtual void Trace(std::string_view where, std::string_view what) = 0;
};

// Time as the program needs it: a count of milliseconds that only goes
// forward (waits and durations), and the wall clock's time of day (the log).
struct TimeOfDay {
    int hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint64_t Milliseconds() = 0;
    virtual TimeOfDay LocalTime() = 0;
};

// Everything behaviour may ask of the system, bundled for constructor injection.
// Built by name: Platform{.memory = m, .blocks = b, ...}.
struct Platform {
    MemoryStatusSource& memory;
    MemoryBlocks& blocks;
    Keyboard& keyboard;
    Pointer& pointer;
    WindowOrder& zOrder;
    Locale& locale;
    Shell& shell;
    Pictures& pictures;
    PictureFiles& pictureFiles;
    FileSystem& files;
    RegistryApi& registry;
    ProfileApi& profiles;
    SettingsStore& settings;
    NotifyArea& tray;
    Instances& instances;
    Diagnostics& diagnostics;
    Clock& clock;
};

// Starts a command the user asked for (help, a web or mail link) without
// waiting. One that cannot start says nothing to the user; it leaves a trace.
inline void RunQuietly(Platform& platform, std::string_view where, const std::string& commandLine, int showState) {
    try {
        platform.shell.Run(commandLine, showState);
    } catch (const std::exception& e) {
        platform.diagnostics.Trace(where, e.what());
    }
}

}  // namespace purgix::platform

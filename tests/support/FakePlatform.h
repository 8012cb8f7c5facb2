#pragma once
// An in-memory stand-in for the operating system that records what was asked of it.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace purgix::testing {

// Registry keys, value names, profile sections, keys and file names compare
// without regard to letter case, as Windows compares them.
std::string Lower(std::string s);

class FakePicture : public ui::Picture {
public:
    FakePicture(std::string name, int w, int h) : what(std::move(name)), w_(w), h_(h) {}
    int Width() const override { return w_; }
    int Height() const override { return h_; }
    std::string what;  // which picture, for a test to tell them apart

private:
    int w_, h_;
};

class FakePlatform : public platform::MemoryStatusSource,
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
    FakePlatform()
        : platform{.memory = *this, .blocks = *this, .keyboard = *this, .windows = *this, .locale = *this, .shell = *this,
                   .pictures = *this, .pictureFiles = *this, .files = *this, .registry = *this, .profiles = *this,
                   .settings = *this, .tray = *this, .windowFactory = *this} {}

    // MemoryStatusSource
    void GlobalMemoryStatus(platform::MemoryStatus& record) override {
        ++samples;
        record = memory;
    }
    // MemoryBlocks: records the request and never allocates.
    bool WriteBlankBlock(std::uint64_t bytes) override {
        calls.push_back("WriteBlankBlock(" + std::to_string(bytes) + ")");
        if (onBlock) onBlock();
        return !blocksFail;
    }
    // Keyboard
    std::int16_t GetAsyncKeyState(int vk) override {
        ++keyPolls;
        auto it = keys.find(vk);
        return it == keys.end() ? 0 : it->second;
    }
    // WindowOrder
    void SetWindowPos(ui::WindowHandle, std::intptr_t insertAfter, int, int, int, int, unsigned flags) override {
        calls.push_back("SetWindowPos(" + std::to_string(insertAfter) + "," + std::to_string(flags) + ")");
    }
    // Locale: the default separators.
    platform::NumberSeparators Separators() override { return {}; }
    // Shell
    void Run(const std::string& commandLine, int showState) override {
        calls.push_back("Run(" + commandLine + "," + std::to_string(showState) + ")");
        if (runFails) throw purgix::Error("cannot start");
    }
    void ShowMessage(const std::string& text, const std::string& title) override {
        calls.push_back("ShowMessage(" + text + "," + title + ")");
        if (onMessage) onMessage();
    }
    void SetMousePointer(ui::MousePointer p) override { calls.push_back("SetMousePointer(" + std::to_string(static_cast<int>(p)) + ")"); }
    // Pictures
    ui::PicturePtr Resource(platform::ResourcePicture which) override;
    // FileSystem: the folders put in `folders`; files are the profiles written.
    std::string ModulePath() override { return modulePath; }
    std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) override;
    std::string UserDataFolder(bool create) override {
        if (create) calls.push_back("CreateUserDataFolder");
        return userDataFolder;
    }
    bool FileExists(const std::string& path) override { return profiles.count(Lower(path)) != 0; }
    // PictureFiles: the pictures put in `pictureFiles` by their full path ("folder\\name").
    ui::PicturePtr LoadPicture(const std::string& folder, const std::string& name) override;
    // NotifyArea: every call with the record as it was sent.
    bool ShellNotifyIcon(int operation, const platform::NotifyIconData& data) override {
        trayCalls.push_back({operation, data});
        journal.push_back("tray " + std::to_string(operation));
        return true;
    }
    // WindowFactory: no window; the form gets a made-up handle.
    std::unique_ptr<platform::NativeWindow> CreateFormWindow(ui::Form& form) override;

    // RegistryApi: result codes as Windows gives them (0, 2 not found, 5 access denied, 6 bad handle, 234 more data).
    long OpenKey(platform::RegistryKey root, const std::string& subKey, platform::RegistryKey& result) override;
    long CreateKey(platform::RegistryKey root, const std::string& subKey, platform::RegistryKey& result) override;
    long QueryValue(platform::RegistryKey key, const std::string& name, std::uint32_t& type, std::vector<char>* data,
                    std::uint32_t& size) override;
    long SetValue(platform::RegistryKey key, const std::string& name, std::uint32_t type, const std::vector<char>& data) override;
    long DeleteValue(platform::RegistryKey key, const std::string& name) override;
    long CloseKey(platform::RegistryKey key) override;
    // ProfileApi: GetPrivateProfileString's copying rules for a section and key.
    std::uint32_t ReadProfile(const std::string& section, const std::string& key, const std::string& def, char* buffer,
                              std::uint32_t size, const std::string& file) override;
    bool WriteProfile(const std::string& section, const std::string& key, const std::string& value, const std::string& file) override;
    // SettingsStore
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& def) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& value) override;

    // Test helpers over the in-memory registry.
    struct RegistryValue {
        std::uint32_t type = platform::kRegSz;
        std::vector<char> bytes;
    };
    void PutValue(platform::RegistryKey root, const std::string& subKey, const std::string& name, std::uint32_t type,
                  const std::vector<char>& bytes);
    void PutString(platform::RegistryKey root, const std::string& subKey, const std::string& name, const std::string& text);
    const RegistryValue* FindValue(platform::RegistryKey root, const std::string& subKey, const std::string& name) const;
    bool KeyExists(platform::RegistryKey root, const std::string& subKey) const;

    platform::Platform platform;
    // Every field its own value, so that a figure taken from the wrong one shows: 256 MiB
    // physical, 41.25 % available; a 1 GiB page file, 37.5 %; 2 GiB of address space, 75 %.
    platform::MemoryStatus memory{.length = 64, .memoryLoad = 59, .totalPhys = 268435456, .availPhys = 110727168,
                                  .totalPageFile = 1 << 30, .availPageFile = 402653184, .totalVirtual = 1ull << 31,
                                  .availVirtual = 1610612736};
    int samples = 0;
    std::map<int, std::int16_t> keys;
    int keyPolls = 0;
    bool blocksFail = false;
    std::function<void()> onBlock;    // runs while the block is "held"
    std::function<void()> onMessage;  // runs while the message box is "open"
    std::string modulePath = "C:\\Tools\\Purgix.exe";
    std::map<std::string, std::vector<std::string>> folders;  // folder -> files
    bool runFails = false;
    std::vector<std::string> calls;
    // Everything written, in order: "setting <key>", "run value", "profile <key>", "tray <operation>".
    std::vector<std::string> journal;
    std::string userDataFolder = "C:\\Users\\Ann\\AppData\\Roaming\\Quenlor\\Purgix";
    std::map<std::string, ui::PicturePtr> pictureFiles;  // full path -> picture
    // Settings keys and registry value names in the order they were read.
    std::vector<std::string> reads;
    std::vector<std::pair<int, platform::NotifyIconData>> trayCalls;
    int windowsCreated = 0;
    // Profile writes to files in these folders fail, as in a folder the user cannot write.
    std::set<std::string> readOnlyFolders;

    // Writes under HKEY_LOCAL_MACHINE are refused, as for a user without administrator rights.
    bool refuseMachineWrites = false;
    // Registry operations ("CreateKey", "SetValue", ...) that raise instead of returning a code,
    // with the error number they raise (0: an error without a number).
    std::map<std::string, int> raisingRegistryCalls;
    std::map<std::string, std::map<std::string, RegistryValue>> registryKeys;  // "root\path" (lower case) -> values
    std::map<platform::RegistryKey, std::pair<std::string, bool>> handles;  // open handle -> key, writable
    platform::RegistryKey nextHandle = 0x1000;
    // file -> section -> key -> value, all names lower case.
    std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> profiles;
    // "app\section\key" (lower case) -> value; writes in the order they came.
    std::map<std::string, std::string> store;
    std::vector<std::pair<std::string, std::string>> storeWrites;

private:
    long Open(platform::RegistryKey root, const std::string& subKey, bool create, platform::RegistryKey& result);
};

}  // namespace purgix::testing

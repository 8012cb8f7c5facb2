#pragma once
// An in-memory stand-in for the operating system that records what was asked of it.
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "ui/Form.h"

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

class FakePlatform : public platform::MemoryStatusSource, public platform::MemoryBlocks, public platform::Keyboard,
                     public platform::WindowOrder, public platform::Locale, public platform::Shell, public platform::Pictures,
                     public platform::PictureFiles, public platform::FileSystem, public platform::RegistryApi,
                     public platform::ProfileApi, public platform::SettingsStore, public platform::NotifyArea,
                     public platform::WindowFactory {
public:
    using Key = platform::RegistryKey;
    FakePlatform()
        : platform{*this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this} {}

    void GlobalMemoryStatus(platform::MemoryStatus& record) override { ++samples; record = memory; }
    // Records the request and never allocates.
    bool WriteBlankBlock(std::uint64_t bytes) override {
        Log("WriteBlankBlock(" + std::to_string(bytes) + ")");
        if (onBlock) onBlock();
        return !blocksFail;
    }
    std::int16_t GetAsyncKeyState(int vk) override { ++keyPolls; return keys.count(vk) ? keys[vk] : 0; }
    void SetWindowPos(ui::WindowHandle, std::intptr_t after, int, int, int, int, unsigned flags) override {
        Log("SetWindowPos(" + std::to_string(after) + "," + std::to_string(flags) + ")");
    }
    platform::NumberSeparators Separators() override { return {}; }
    void Run(const std::string& commandLine, int showState) override {
        Log("Run(" + commandLine + "," + std::to_string(showState) + ")");
        if (runFails) throw std::runtime_error("cannot start");
    }
    void ShowMessage(const std::string& text, const std::string& title) override {
        Log("ShowMessage(" + text + "," + title + ")");
        if (onMessage) onMessage();
    }
    void SetMousePointer(ui::MousePointer p) override { Log("SetMousePointer(" + std::to_string(static_cast<int>(p)) + ")"); }
    ui::PicturePtr Resource(platform::ResourcePicture which) override {
        return std::make_shared<FakePicture>("resource " + std::to_string(static_cast<int>(which)), 16, 16);
    }
    std::string ModulePath() override { return modulePath; }
    // The files put in `folders`, in the order given there: sorting is the lister's business.
    std::vector<std::string> ListFiles(const std::string& folder, const std::string&) override {
        if (folders.count(folder) == 0) throw std::runtime_error("path not found: " + folder);
        return folders[folder];
    }
    std::string UserDataFolder(bool create) override {
        if (create) Log("CreateUserDataFolder");
        return userDataFolder;
    }
    bool FileExists(const std::string& path) override { return profiles.count(Lower(path)) != 0; }
    // The pictures put in `pictureFiles` by their full path ("folder\\name").
    ui::PicturePtr LoadPicture(const std::string& folder, const std::string& name) override {
        const std::string path = folder + "\\" + name;
        Log("LoadPicture(" + path + ")");
        if (pictureFiles.count(path) == 0) throw std::runtime_error("not a picture: " + path);
        return pictureFiles[path];
    }
    bool ShellNotifyIcon(int operation, const platform::NotifyIconData& data) override {
        trayCalls.push_back({operation, data});
        Log("ShellNotifyIcon(" + std::to_string(operation) + ")");
        return true;
    }
    // No window; the form gets a made-up handle.
    std::unique_ptr<platform::NativeWindow> CreateFormWindow(ui::Form& form) override {
        Log("CreateFormWindow(" + form.Name() + ")");
        form.SetHandle(static_cast<ui::WindowHandle>(0x5000 + calls.size()));
        return std::make_unique<platform::NativeWindow>();
    }

    // Result codes as Windows gives them (0, 2 not found, 5 access denied, 6 bad handle, 234 more data).
    long OpenKey(Key root, const std::string& subKey, Key& result) override { return Open("OpenKey", root, subKey, result); }
    long CreateKey(Key root, const std::string& subKey, Key& result) override { return Open("CreateKey", root, subKey, result); }
    long QueryValue(Key key, const std::string& name, std::uint32_t& type, std::vector<char>* data, std::uint32_t& size) override;
    long SetValue(Key key, const std::string& name, std::uint32_t type, const std::vector<char>& data) override;
    long DeleteValue(Key key, const std::string& name) override;
    long CloseKey(Key key) override {
        Raise("CloseKey");
        return handles.erase(key) == 1 ? 0 : 6;
    }
    // GetPrivateProfileString's copying rules for a section and key.
    std::uint32_t ReadProfile(const std::string& section, const std::string& key, const std::string& def, char* buffer,
                              std::uint32_t size, const std::string& file) override;
    bool WriteProfile(const std::string& section, const std::string& key, const std::string& value, const std::string& file) override;
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& def) override {
        reads.push_back(key);
        auto it = store.find(Lower(app + "\\" + section + "\\" + key));
        return it == store.end() ? def : it->second;
    }
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& value) override {
        store[Lower(app + "\\" + section + "\\" + key)] = value;
        storeWrites.emplace_back(app + "\\" + section + "\\" + key, value);
        Log("SaveSetting(" + key + ")");
    }

    struct RegistryValue {
        std::uint32_t type = platform::kRegSz;
        std::vector<char> bytes;
    };
    static std::string KeyPath(Key root, const std::string& subKey) { return Lower(std::to_string(root) + "\\" + subKey); }
    void PutValue(Key root, const std::string& subKey, const std::string& name, std::uint32_t type, const std::vector<char>& bytes) {
        registryKeys[KeyPath(root, subKey)][Lower(name)] = {type, bytes};
    }
    void PutString(Key root, const std::string& subKey, const std::string& name, const std::string& text) {
        PutValue(root, subKey, name, platform::kRegSz, {text.c_str(), text.c_str() + text.size() + 1});
    }
    bool KeyExists(Key root, const std::string& subKey) const { return registryKeys.count(KeyPath(root, subKey)) != 0; }
    // The calls whose record starts with `prefix`, in order.
    std::vector<std::string> Calls(const std::string& prefix) const;

    platform::Platform platform;
    // Every field its own value, so that a figure taken from the wrong one shows: 256 MiB
    // physical, 41.25 % available; a 1 GiB page file, 37.5 %; 2 GiB of address space, 75 %.
    platform::MemoryStatus memory{.length = 64, .memoryLoad = 59, .totalPhys = 268435456, .availPhys = 110727168,
                                  .totalPageFile = 1 << 30, .availPageFile = 402653184, .totalVirtual = 1ull << 31,
                                  .availVirtual = 1610612736};
    int samples = 0, keyPolls = 0;
    std::map<int, std::int16_t> keys;
    bool blocksFail = false, runFails = false;
    std::function<void()> onBlock;    // runs while the block is "held"
    std::function<void()> onMessage;  // runs while the message box is "open"
    std::string modulePath = "C:\\Tools\\Purgix.exe";
    std::string userDataFolder = "C:\\Users\\Ann\\AppData\\Roaming\\Quenlor\\Purgix";
    std::map<std::string, std::vector<std::string>> folders;  // folder -> files
    std::map<std::string, ui::PicturePtr> pictureFiles;       // full path -> picture
    // What was asked of the system and what was written, in order.
    std::vector<std::string> calls;
    std::vector<std::pair<int, platform::NotifyIconData>> trayCalls;
    std::vector<std::string> reads;  // settings keys and registry value names, in the order read
    // Profile writes to files in these folders fail, as in a folder the user cannot write.
    std::set<std::string> readOnlyFolders;
    // Writes under HKEY_LOCAL_MACHINE are refused, as for a user without administrator rights.
    bool refuseMachineWrites = false;
    // Registry calls ("CreateKey", "SetValue", ...) that raise instead of returning a code, with
    // the error number they raise (0: an error without a number).
    std::map<std::string, int> raisingRegistryCalls;
    std::map<std::string, std::map<std::string, RegistryValue>> registryKeys;  // KeyPath -> lower-case name -> value
    std::map<Key, std::pair<std::string, bool>> handles;                        // open handle -> key path, writable
    // file -> section -> key -> value, all names lower case.
    std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> profiles;
    std::map<std::string, std::string> store;  // "app\section\key" (lower case) -> value
    std::vector<std::pair<std::string, std::string>> storeWrites;

private:
    void Log(std::string call) { calls.push_back(std::move(call)); }
    Key nextHandle_ = 0x1000;
    void Raise(const char* call) const;
    long Open(const char* call, Key root, const std::string& subKey, Key& result);
    // The open key's values, or null for a handle that is not open (or not writable, when `write`).
    std::map<std::string, RegistryValue>* Values(Key key, bool write, long& error);
};

}  // namespace purgix::testing

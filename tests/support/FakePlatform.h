#pragma once
// An in-memory stand-in for the operating system that records what was asked of it.
#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "Error.h"
#include "platform/Platform.h"
#include "ui/Form.h"

namespace purgix::testing {

// Registry keys, value names, profile sections, keys and file names compare
// without regard to letter case, as Windows compares them.
std::string Lower(std::string s);

struct FakePicture : ui::Picture {
    FakePicture(std::string name, int w, int h) : what(std::move(name)), w_(w), h_(h) {}
    int Width() const override { return w_; }
    int Height() const override { return h_; }
    std::string what;  // which picture, for a test to tell them apart
    int w_, h_;
};

class FakePlatform : public platform::MemoryStatusSource, public platform::MemoryBlocks, public platform::Keyboard,
                     public platform::Pointer, public platform::WindowOrder, public platform::Locale, public platform::Shell,
                     public platform::Pictures, public platform::PictureFiles, public platform::FileSystem,
                     public platform::RegistryApi, public platform::ProfileApi, public platform::SettingsStore,
                     public platform::NotifyArea, public platform::Instances, public platform::Diagnostics,
                     public platform::Clock, public ui::WindowFactory {
public:
    using Key = platform::RegistryKey;
    using Values = std::map<std::string, std::pair<std::uint32_t, std::vector<char>>>;  // lower-case name -> type, bytes
    FakePlatform() : platform{*this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this} {}

    void GlobalMemoryStatus(platform::MemoryStatus& record) override { ++samples, record = memory; }
    // Records the request and never allocates; a StopFill from `onBlock` makes it Stopped.
    platform::BlockResult WriteBlankBlock(std::uint64_t bytes) override {
        Log("WriteBlankBlock(" + std::to_string(bytes) + ")");
        filling = true;
        now += blockMs;
        if (onBlock) onBlock();
        if (!std::exchange(filling, false)) return platform::BlockResult::Stopped;
        return blocksFail ? platform::BlockResult::Refused : platform::BlockResult::Written;
    }
    void StopFill() override {
        if (Log(std::exchange(filling, false) ? "StopFill(filling)" : "StopFill"); onStop) onStop();
    }
    std::int16_t GetAsyncKeyState(int vk) override { return ++keyPolls, keys[vk]; }
    void SetWindowPos(ui::WindowHandle, std::intptr_t after, int, int, int, int, unsigned flags) override { Log("SetWindowPos(" + std::to_string(after) + "," + std::to_string(flags) + ")"); }
    platform::NumberSeparators Separators() override { return separators; }
    void Run(const std::string& commandLine, int showState) override {
        if (Log("Run(" + commandLine + "," + std::to_string(showState) + ")"); runFails) throw purgix::Error("cannot start");
    }
    void CopyText(const std::string& text) override {
        if (Log("CopyText(" + text + ")"); copyFails) throw purgix::Error("clipboard in use");
    }
    void ShowMessage(const std::string& text, const std::string& title) override {
        if (Log("ShowMessage(" + text + "," + title + ")"); onMessage) onMessage();
    }
    void SetMousePointer(platform::MousePointer p) override {
        pointer = p;
        Log("SetMousePointer(" + std::to_string(static_cast<int>(p)) + ")");
    }
    platform::MousePointer Current() const override { return pointer; }
    ui::PicturePtr Resource(platform::ResourcePicture which) override { return std::make_shared<FakePicture>("resource " + std::to_string(int(which)), 16, 16); }
    std::string ModulePath() override { return modulePath; }
    // The files put in `folders`, in the order given there: sorting is the lister's business. A folder not there throws.
    std::vector<std::string> ListFiles(const std::string& folder, const std::string&) override { return folders.at(folder); }
    std::string UserDataFolder(bool create) override { if (create) Log("CreateUserDataFolder"); return userDataFolder; }
    bool FileExists(const std::string& path) override { return profiles.count(Lower(path)) != 0; }
    // The pictures put in `pictureFiles` by their full path ("folder\\name"); any other file is not a picture and throws.
    ui::PicturePtr LoadPicture(const std::string& folder, const std::string& name) override {
        Log("LoadPicture(" + folder + "\\" + name + ")");
        return pictureFiles.at(folder + "\\" + name);
    }
    // The next `trayAddsRefused` adds are refused, as a notification area still starting refuses them.
    bool ShellNotifyIcon(int operation, const platform::NotifyIconData& data) override {
        trayCalls.push_back({operation, data});
        Log("ShellNotifyIcon(" + std::to_string(operation) + ")");
        return operation != platform::kNimAdd || trayAddsRefused == 0 || (--trayAddsRefused, false);
    }
    // No window; the form gets a made-up handle.
    std::unique_ptr<ui::NativeWindow> CreateFormWindow(ui::Form& form) override {
        form.SetHandle(static_cast<ui::WindowHandle>(0x5000 + calls.size()));
        return Log("CreateFormWindow(" + form.Name() + ")"), std::make_unique<ui::NativeWindow>();
    }
    // A clock that moves only when a test moves it (or a block is being written: `blockMs`).
    std::uint64_t Milliseconds() override { return now; }
    platform::TimeOfDay LocalTime() override { return timeOfDay; }
    // Another copy holds the lock while `otherCopy`; it answers with `answers` in turn (None when they run out),
    // ends during a wait when `endsWhileWaited`, and on an exit request when `endsOnExit`.
    bool TakeLock() override { return Log("TakeLock"), !otherCopy; }
    bool WaitForLock(unsigned ms) override {
        Log("WaitForLock(" + std::to_string(ms) + ")");
        return !(otherCopy = otherCopy && !endsWhileWaited);
    }
    platform::ShowAnswer AskRunningCopyToShow() override {
        Log("AskRunningCopyToShow");
        return asked < answers.size() ? answers[asked++] : platform::ShowAnswer::None;
    }
    platform::ExitAnswer AskRunningCopyToExit(unsigned ms) override {
        Log("AskRunningCopyToExit(" + std::to_string(ms) + ")");
        if (!unreachable.empty()) return {false, unreachable};
        otherCopy = otherCopy && !endsOnExit;
        return {!otherCopy, otherCopy ? "it still runs" : ""};
    }
    void Trace(std::string_view where, std::string_view what) override { traces.push_back(std::string(where) + ": " + std::string(what)); }
    // Result codes as Windows gives them (0, 2 not found, 5 access denied, 6 bad handle, 234 more data).
    long OpenKey(Key root, const std::string& subKey, Key& result) override { return Open("OpenKey", root, subKey, result); }
    long CreateKey(Key root, const std::string& subKey, Key& result) override { return Open("CreateKey", root, subKey, result); }
    long QueryValue(Key key, const std::string& name, std::uint32_t& type, std::vector<char>* data, std::uint32_t& size) override {
        return OnValue("QueryValue", key, name, [&](Values& values, const std::string& n) {
            auto v = values.find(n);
            if (v == values.end()) return 2L;
            type = v->second.first;
            const auto needed = static_cast<std::uint32_t>(v->second.second.size());
            const bool fits = data != nullptr && size >= needed && data->size() >= needed;
            if (fits) std::copy(v->second.second.begin(), v->second.second.end(), data->begin());
            size = needed;
            return data == nullptr || fits ? 0L : 234L;
        });
    }
    long SetValue(Key key, const std::string& name, std::uint32_t type, const std::vector<char>& data) override {
        return OnValue("SetValue", key, name, [&](Values& values, const std::string& n) { return values[n] = {type, data}, 0L; });
    }
    long DeleteValue(Key key, const std::string& name) override {
        return OnValue("DeleteValue", key, name, [&](Values& values, const std::string& n) { return values.erase(n) == 1 ? 0L : 2L; });
    }
    long CloseKey(Key key) override { return Raise("CloseKey"), handles.erase(key) == 1 ? 0 : 6; }
    // GetPrivateProfileString's copying rules: at most size - 1 characters and a terminator; the count leaves the terminator out.
    // A file in `linkedOutside` finally lies outside every folder: read `within` one, it reads as missing.
    // A value comes back as Windows gives it: blanks around it and then one pair of quotes around it taken off.
    std::uint32_t ReadProfile(const std::string& section, const std::string& key, const std::string& def, char* buffer,
                              std::uint32_t size, const std::string& file, const std::string& within) override {
        if (size == 0) return 0;
        std::string value = def;
        auto f = profiles.find(Lower(file));
        if ((within.empty() || !linkedOutside.count(Lower(file))) && f != profiles.end() && f->second[Lower(section)].count(Lower(key)))
            value = Unquoted(f->second[Lower(section)][Lower(key)]);
        const auto n = static_cast<std::uint32_t>(value.copy(buffer, size - 1));
        buffer[n] = '\0';
        return n;
    }
    // Writes to files in `readOnlyFolders` fail, as in a folder the user cannot write.
    bool WriteProfile(const std::string& section, const std::string& key, const std::string& value, const std::string& file) override {
        Log("WriteProfile(" + section + "," + key + "," + value + "," + file + ")");
        if (readOnlyFolders.count(Lower(file.substr(0, file.rfind('\\'))))) return false;
        return profiles[Lower(file)][Lower(section)][Lower(key)] = value, true;
    }
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& def) override {
        reads.push_back(key);
        auto it = store.find(Lower(app + "\\" + section + "\\" + key));
        return it == store.end() ? def : it->second;
    }
    // Refused while `settingsRefused` (a store that cannot be written).
    bool SaveSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& value) override {
        Log("SaveSetting(" + key + ")");
        if (settingsRefused) return false;
        store[Lower(app + "\\" + section + "\\" + key)] = value;
        storeWrites.emplace_back(app + "\\" + section + "\\" + key, value);
        return true;
    }

    // A registry value as stored: a string's bytes as given, so a terminator is the caller's to add.
    void Put(Key root, const std::string& subKey, const std::string& name, const std::string& bytes, std::uint32_t type = platform::kRegSz) {
        registryKeys[Lower(std::to_string(root) + "\\" + subKey)][Lower(name)] = {type, {bytes.begin(), bytes.end()}};
    }
    // The calls whose record starts with `prefix`, in order.
    std::vector<std::string> Calls(const std::string& prefix) const {
        std::vector<std::string> out;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(out), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
        return out;
    }

    platform::Platform platform;
    // Every field its own value, so that a figure taken from the wrong one shows: 256 MiB
    // physical, 41.25 % available; a 1 GiB page file, 37.5 %; 2 GiB of address space, 75 %.
    platform::MemoryStatus memory{.length = 64, .memoryLoad = 59, .totalPhys = 268435456, .availPhys = 110727168,
                                  .totalPageFile = 1 << 30, .availPageFile = 402653184, .totalVirtual = 1ull << 31,
                                  .availVirtual = 1610612736};
    int samples = 0, keyPolls = 0;
    std::uint64_t now = 0, blockMs = 0;
    platform::TimeOfDay timeOfDay{14, 3, 15};
    platform::NumberSeparators separators;
    platform::MousePointer pointer = platform::MousePointer::Default;
    bool copyFails = false;
    std::map<int, std::int16_t> keys;
    bool blocksFail = false, runFails = false, refuseMachineWrites = false, settingsRefused = false;  // the last as for a user without administrator rights
    std::function<void()> onBlock, onStop, onMessage;  // run while the block is held, as it is stopped, while the message box is open
    std::string modulePath = "C:\\Tools\\Purgix.exe", userDataFolder = "C:\\Users\\Ann\\AppData\\Roaming\\Quenlor\\Purgix";
    std::map<std::string, std::vector<std::string>> folders;  // folder -> files
    std::map<std::string, ui::PicturePtr> pictureFiles;       // full path -> picture
    // What was asked of the system and written, in order; "where: what" of every failure traced; settings keys and
    // registry value names, in the order read.
    std::vector<std::string> calls, traces, reads;
    bool filling = false;  // inside WriteBlankBlock, until StopFill
    bool otherCopy = false, endsWhileWaited = false, endsOnExit = false;
    std::string unreachable;  // why the running copy cannot be reached, when it cannot
    std::vector<platform::ShowAnswer> answers;
    std::size_t asked = 0;
    std::vector<std::pair<int, platform::NotifyIconData>> trayCalls;
    int trayAddsRefused = 0;
    std::set<std::string> readOnlyFolders, linkedOutside;
    // Registry calls ("CreateKey", "SetValue", ...) that raise instead of returning a code, with
    // the error number they raise (0: an error without a number).
    std::map<std::string, int> raisingRegistryCalls;
    std::map<std::string, Values> registryKeys;                   // "root\sub key" (lower case) -> values
    std::map<Key, std::pair<std::string, bool>> handles;          // open handle -> key path, writable
    std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> profiles;  // file -> section -> key -> value
    std::map<std::string, std::string> store;  // "app\section\key" (lower case) -> value
    std::vector<std::pair<std::string, std::string>> storeWrites;

private:
    void Log(std::string call) { calls.push_back(std::move(call)); }
    static std::string Unquoted(std::string v) {
        v.erase(0, v.find_first_not_of(" \t"));
        v.erase(v.find_last_not_of(" \t") + 1);
        return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front() ? v.substr(1, v.size() - 2) : v;
    }
    void Raise(const std::string& call) const {
        auto it = raisingRegistryCalls.find(call);
        if (it != raisingRegistryCalls.end() && it->second == 0) throw purgix::Error(call);
        if (it != raisingRegistryCalls.end()) throw std::system_error(it->second, std::generic_category(), call);
    }
    long Open(const std::string& call, Key root, const std::string& subKey, Key& result) {
        Raise(call);
        const std::string path = Lower(std::to_string(root) + "\\" + subKey);
        const bool writable = !(refuseMachineWrites && root == platform::kHkeyLocalMachine);
        // Like RegCreateKey without rights: an existing key opens (for reading only), a missing one is refused.
        if (registryKeys.count(path) == 0 && (call == "OpenKey" || !writable)) return call == "OpenKey" ? 2 : 5;
        registryKeys[path];
        handles[result = nextHandle_++] = {path, writable};
        return 0;
    }
    // Runs `op` on the open key's values; a handle not open, or for a write not writable, fails instead.
    template <class Op> long OnValue(const std::string& call, Key key, const std::string& name, Op op) {
        Raise(call);
        const bool write = call != "QueryValue";
        write ? Log(call + "(" + name + ")") : reads.push_back(name);
        auto h = handles.find(key);
        return h == handles.end() ? 6 : write && !h->second.second ? 5 : op(registryKeys[h->second.first], Lower(name));
    }
    Key nextHandle_ = 0x1000;
};

}  // namespace purgix::testing

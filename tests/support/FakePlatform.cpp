#include "FakePlatform.h"

#include "ui/Form.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace purgix::testing {

ui::PicturePtr FakePlatform::Resource(platform::ResourcePicture which) {
    switch (which) {
        case platform::ResourcePicture::ProgramIcon: return std::make_shared<FakePicture>("icon", 32, 32);
        case platform::ResourcePicture::TrayIcon: return std::make_shared<FakePicture>("tray", 16, 16);
        case platform::ResourcePicture::HandCursor: return std::make_shared<FakePicture>("hand", 32, 32);
        case platform::ResourcePicture::Indicator0: return std::make_shared<FakePicture>("indicator0", 11, 89);
        case platform::ResourcePicture::Indicator1: return std::make_shared<FakePicture>("indicator1", 9, 36);
        case platform::ResourcePicture::Indicator2: return std::make_shared<FakePicture>("indicator2", 11, 51);
    }
    return nullptr;
}

namespace {
struct FakeWindow : platform::NativeWindow {};
}  // namespace

std::vector<std::string> FakePlatform::ListFiles(const std::string& folder, const std::string& pattern) {
    auto it = folders.find(folder);
    if (it == folders.end()) throw purgix::Error("path not found: " + folder);
    std::vector<std::string> out;
    const std::string ext = pattern.size() > 1 && pattern[0] == '*' ? pattern.substr(1) : pattern;
    for (const auto& f : it->second)
        if (f.size() >= ext.size() && f.compare(f.size() - ext.size(), ext.size(), ext) == 0) out.push_back(f);
    // The folder lister's order: without regard to letter case.
    std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
    return out;
}

ui::PicturePtr FakePlatform::LoadPicture(const std::string& folder, const std::string& name) {
    const std::string path = folder + "\\" + name;
    calls.push_back("LoadPicture(" + path + ")");
    auto it = pictureFiles.find(path);
    if (it == pictureFiles.end()) throw purgix::Error("not a picture: " + path);
    return it->second;
}

std::unique_ptr<platform::NativeWindow> FakePlatform::CreateFormWindow(ui::Form& form) {
    calls.push_back("CreateFormWindow(" + form.Name() + ")");
    form.SetHandle(static_cast<ui::WindowHandle>(0x5000 + ++windowsCreated));
    return std::make_unique<FakeWindow>();
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

namespace {

std::string KeyPath(platform::RegistryKey root, const std::string& subKey) {
    return Lower(std::to_string(root) + "\\" + subKey);
}

void Raise(const std::map<std::string, int>& raising, const char* call) {
    auto it = raising.find(call);
    if (it == raising.end()) return;
    if (it->second == 0) throw purgix::Error(call);
    throw std::system_error(it->second, std::generic_category(), call);
}

}  // namespace

long FakePlatform::OpenKey(platform::RegistryKey root, const std::string& subKey, platform::RegistryKey& result) {
    Raise(raisingRegistryCalls, "OpenKey");
    return Open(root, subKey, false, result);
}

long FakePlatform::CreateKey(platform::RegistryKey root, const std::string& subKey, platform::RegistryKey& result) {
    Raise(raisingRegistryCalls, "CreateKey");
    return Open(root, subKey, true, result);
}

long FakePlatform::Open(platform::RegistryKey root, const std::string& subKey, bool create, platform::RegistryKey& result) {
    const std::string path = KeyPath(root, subKey);
    const bool writable = !(refuseMachineWrites && root == platform::kHkeyLocalMachine);
    // Like RegCreateKey without rights: an existing key opens (for reading only), a missing one is refused.
    if (registryKeys.count(path) == 0) {
        if (!create) return 2;
        if (!writable) return 5;
        registryKeys[path];
    }
    result = nextHandle++;
    handles[result] = {path, writable};
    return 0;
}

long FakePlatform::QueryValue(platform::RegistryKey key, const std::string& name, std::uint32_t& type, std::vector<char>* data,
                              std::uint32_t& size) {
    Raise(raisingRegistryCalls, "QueryValue");
    reads.push_back(name);
    auto h = handles.find(key);
    if (h == handles.end()) return 6;
    const auto& values = registryKeys[h->second.first];
    auto v = values.find(Lower(name));
    if (v == values.end()) return 2;
    type = v->second.type;
    const auto needed = static_cast<std::uint32_t>(v->second.bytes.size());
    const bool fits = size >= needed && data != nullptr && data->size() >= needed;
    if (fits) std::copy(v->second.bytes.begin(), v->second.bytes.end(), data->begin());
    size = needed;
    return data == nullptr || fits ? 0 : 234;
}

long FakePlatform::SetValue(platform::RegistryKey key, const std::string& name, std::uint32_t type, const std::vector<char>& data) {
    Raise(raisingRegistryCalls, "SetValue");
    journal.push_back("set value " + name);
    auto h = handles.find(key);
    if (h == handles.end() || !h->second.second) return h == handles.end() ? 6 : 5;
    registryKeys[h->second.first][Lower(name)] = {type, data};
    return 0;
}

long FakePlatform::DeleteValue(platform::RegistryKey key, const std::string& name) {
    Raise(raisingRegistryCalls, "DeleteValue");
    journal.push_back("delete value " + name);
    auto h = handles.find(key);
    if (h == handles.end() || !h->second.second) return h == handles.end() ? 6 : 5;
    return registryKeys[h->second.first].erase(Lower(name)) == 1 ? 0 : 2;
}

long FakePlatform::CloseKey(platform::RegistryKey key) {
    Raise(raisingRegistryCalls, "CloseKey");
    return handles.erase(key) == 1 ? 0 : 6;
}

void FakePlatform::PutValue(platform::RegistryKey root, const std::string& subKey, const std::string& name, std::uint32_t type,
                            const std::vector<char>& bytes) {
    registryKeys[KeyPath(root, subKey)][Lower(name)] = {type, bytes};
}

void FakePlatform::PutString(platform::RegistryKey root, const std::string& subKey, const std::string& name, const std::string& text) {
    std::vector<char> bytes(text.begin(), text.end());
    bytes.push_back('\0');
    PutValue(root, subKey, name, platform::kRegSz, bytes);
}

const FakePlatform::RegistryValue* FakePlatform::FindValue(platform::RegistryKey root, const std::string& subKey,
                                                           const std::string& name) const {
    auto k = registryKeys.find(KeyPath(root, subKey));
    if (k == registryKeys.end()) return nullptr;
    auto v = k->second.find(Lower(name));
    return v == k->second.end() ? nullptr : &v->second;
}

bool FakePlatform::KeyExists(platform::RegistryKey root, const std::string& subKey) const {
    return registryKeys.count(KeyPath(root, subKey)) != 0;
}

std::uint32_t FakePlatform::ReadProfile(const std::string& section, const std::string& key, const std::string& def, char* buffer,
                                        std::uint32_t size, const std::string& file) {
    if (size == 0) return 0;
    std::string value = def;
    auto f = profiles.find(Lower(file));
    if (f != profiles.end() && f->second.count(Lower(section)) != 0 && f->second[Lower(section)].count(Lower(key)) != 0)
        value = f->second[Lower(section)][Lower(key)];
    // At most size - 1 characters and a terminator; the count leaves the terminator out.
    const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(value.size(), size - 1));
    std::copy(value.begin(), value.begin() + n, buffer);
    buffer[n] = '\0';
    return n;
}

bool FakePlatform::WriteProfile(const std::string& section, const std::string& key, const std::string& value, const std::string& file) {
    calls.push_back("WriteProfile(" + section + "," + key + "," + value + "," + file + ")");
    journal.push_back("profile " + key);
    const std::string folder = file.substr(0, file.rfind('\\'));
    if (readOnlyFolders.count(Lower(folder)) != 0) return false;
    profiles[Lower(file)][Lower(section)][Lower(key)] = value;
    return true;
}

std::string FakePlatform::GetSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& def) {
    reads.push_back(key);
    auto it = store.find(Lower(app + "\\" + section + "\\" + key));
    return it == store.end() ? def : it->second;
}

void FakePlatform::SaveSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& value) {
    store[Lower(app + "\\" + section + "\\" + key)] = value;
    storeWrites.emplace_back(app + "\\" + section + "\\" + key, value);
    journal.push_back("setting " + key);
}

}  // namespace purgix::testing

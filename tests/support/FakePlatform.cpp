#include "FakePlatform.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace purgix::testing {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> FakePlatform::Calls(const std::string& prefix) const {
    std::vector<std::string> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    return out;
}

void FakePlatform::Raise(const char* call) const {
    auto it = raisingRegistryCalls.find(call);
    if (it == raisingRegistryCalls.end()) return;
    if (it->second == 0) throw std::runtime_error(call);
    throw std::system_error(it->second, std::generic_category(), call);
}

long FakePlatform::Open(const char* call, Key root, const std::string& subKey, Key& result) {
    Raise(call);
    const std::string path = KeyPath(root, subKey);
    const bool writable = !(refuseMachineWrites && root == platform::kHkeyLocalMachine);
    // Like RegCreateKey without rights: an existing key opens (for reading only), a missing one is refused.
    if (registryKeys.count(path) == 0) {
        if (call[0] == 'O') return 2;
        if (!writable) return 5;
        registryKeys[path];
    }
    result = nextHandle_++;
    handles[result] = {path, writable};
    return 0;
}

std::map<std::string, FakePlatform::RegistryValue>* FakePlatform::Values(Key key, bool write, long& error) {
    auto h = handles.find(key);
    error = h == handles.end() ? 6 : write && !h->second.second ? 5 : 0;
    return error ? nullptr : &registryKeys[h->second.first];
}

long FakePlatform::QueryValue(Key key, const std::string& name, std::uint32_t& type, std::vector<char>* data, std::uint32_t& size) {
    Raise("QueryValue");
    reads.push_back(name);
    long error = 0;
    auto* values = Values(key, false, error);
    if (!values) return error;
    auto v = values->find(Lower(name));
    if (v == values->end()) return 2;
    type = v->second.type;
    const auto needed = static_cast<std::uint32_t>(v->second.bytes.size());
    const bool fits = size >= needed && data != nullptr && data->size() >= needed;
    if (fits) std::copy(v->second.bytes.begin(), v->second.bytes.end(), data->begin());
    size = needed;
    return data == nullptr || fits ? 0 : 234;
}

long FakePlatform::SetValue(Key key, const std::string& name, std::uint32_t type, const std::vector<char>& data) {
    Raise("SetValue");
    Log("SetValue(" + name + ")");
    long error = 0;
    if (auto* values = Values(key, true, error)) (*values)[Lower(name)] = {type, data};
    return error;
}

long FakePlatform::DeleteValue(Key key, const std::string& name) {
    Raise("DeleteValue");
    Log("DeleteValue(" + name + ")");
    long error = 0;
    auto* values = Values(key, true, error);
    return values ? (values->erase(Lower(name)) == 1 ? 0 : 2) : error;
}

std::uint32_t FakePlatform::ReadProfile(const std::string& section, const std::string& key, const std::string& def, char* buffer,
                                        std::uint32_t size, const std::string& file) {
    if (size == 0) return 0;
    std::string value = def;
    auto f = profiles.find(Lower(file));
    if (f != profiles.end() && f->second.count(Lower(section)) && f->second[Lower(section)].count(Lower(key)))
        value = f->second[Lower(section)][Lower(key)];
    // At most size - 1 characters and a terminator; the count leaves the terminator out.
    const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(value.size(), size - 1));
    std::copy(value.begin(), value.begin() + n, buffer);
    buffer[n] = '\0';
    return n;
}

bool FakePlatform::WriteProfile(const std::string& section, const std::string& key, const std::string& value, const std::string& file) {
    Log("WriteProfile(" + section + "," + key + "," + value + "," + file + ")");
    if (readOnlyFolders.count(Lower(file.substr(0, file.rfind('\\'))))) return false;
    profiles[Lower(file)][Lower(section)][Lower(key)] = value;
    return true;
}

}  // namespace purgix::testing

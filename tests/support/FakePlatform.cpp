#include "FakePlatform.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace purgix::testing {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void FakePlatform::Raise(const std::string& call) const {
    auto it = raisingRegistryCalls.find(call);
    if (it != raisingRegistryCalls.end() && it->second == 0) throw std::runtime_error(call);
    if (it != raisingRegistryCalls.end()) throw std::system_error(it->second, std::generic_category(), call);
}

long FakePlatform::Open(const std::string& call, Key root, const std::string& subKey, Key& result) {
    Raise(call);
    const std::string path = Lower(std::to_string(root) + "\\" + subKey);
    const bool writable = !(refuseMachineWrites && root == platform::kHkeyLocalMachine);
    // Like RegCreateKey without rights: an existing key opens (for reading only), a missing one is refused.
    if (registryKeys.count(path) == 0 && (call == "OpenKey" || !writable)) return call == "OpenKey" ? 2 : 5;
    registryKeys[path];
    handles[result = nextHandle_++] = {path, writable};
    return 0;
}

long FakePlatform::QueryValue(Key key, const std::string& name, std::uint32_t& type, std::vector<char>* data, std::uint32_t& size) {
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

// GetPrivateProfileString's copying rules: at most size - 1 characters and a terminator; the count leaves the terminator out.
std::uint32_t FakePlatform::ReadProfile(const std::string& section, const std::string& key, const std::string& def, char* buffer,
                                        std::uint32_t size, const std::string& file) {
    if (size == 0) return 0;
    std::string value = def;
    if (auto f = profiles.find(Lower(file)); f != profiles.end() && f->second[Lower(section)].count(Lower(key)))
        value = f->second[Lower(section)][Lower(key)];
    const auto n = static_cast<std::uint32_t>(value.copy(buffer, size - 1));
    buffer[n] = '\0';
    return n;
}

}  // namespace purgix::testing

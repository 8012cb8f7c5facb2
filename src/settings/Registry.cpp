#include "settings/Registry.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <vector>

namespace purgix::settings {

namespace {
constexpr std::uint32_t kProfileBuffer = 128;
constexpr std::uint32_t kProfileOffered = 127;

// "HKCU\Software\...\Run\Purgix", for a trace.
std::string Where(platform::RegistryKey root, const std::string& subKey, const std::string& name) {
    return std::string(root == platform::kHkeyLocalMachine ? "HKLM" : root == platform::kHkeyCurrentUser ? "HKCU" : "?") + "\\" + subKey + "\\" + name;
}
}  // namespace

std::string Registry::ReadProfileString(const std::string& section, const std::string& key, const std::string& file,
                                        const std::string& within) {
    std::string buffer(kProfileBuffer, '\0');
    const std::uint32_t n = platform_.profiles.ReadProfile(section, key, "", buffer.data(), kProfileOffered, file, within);
    if (n > 1) buffer.resize(std::min(n, kProfileOffered));
    return buffer;
}

std::optional<std::string> Registry::ReadRegistryString(platform::RegistryKey root, const std::string& subKey,
                                                        const std::string& name) {
    auto& api = platform_.registry;
    platform::RegistryKey key = 0;
    api.OpenKey(root, subKey, key);
    std::optional<std::string> result;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    const long query = api.QueryValue(key, name, type, nullptr, size);
    if (query == 0 && type == platform::kRegSz) {
        std::vector<char> data(size, ' ');
        if (api.QueryValue(key, name, type, &data, size) == 0) {
            const auto end = std::find(data.begin(), data.begin() + std::min<std::size_t>(size, data.size()), '\0');
            result.emplace(data.begin(), end);
        }
    }
    if (key != 0) api.CloseKey(key);
    return result;
}

void Registry::WriteRegistryString(platform::RegistryKey root, const std::string& subKey, const std::string& name,
                                   const std::string& data) {
    auto& api = platform_.registry;
    // Each step runs even when an earlier one raised: a handle left at 0 simply makes the later calls fail.
    auto step = [this](auto&& action) {
        try {
            action();
        } catch (const std::system_error& e) {
            platform_.shell.ShowMessage(std::to_string(e.code().value()) + "- " + e.code().message(), title_);
        } catch (const std::exception& e) {
            // An error without a number of its own shows 0.
            platform_.shell.ShowMessage("0- " + std::string(e.what()), title_);
        }
    };
    // A refused step goes on as before, and leaves a trace: the machine's Run key refuses most users, by design.
    auto traced = [&](const char* what, long rc) {
        if (rc != 0) platform_.diagnostics.Trace("registry", std::string(what) + " " + Where(root, subKey, name) + ": error " + std::to_string(rc));
    };
    platform::RegistryKey key = 0;
    step([&] { traced("opening the key for", api.CreateKey(root, subKey, key)); });
    step([&] {
        std::vector<char> bytes(data.begin(), data.end());
        bytes.push_back('\0');
        traced("writing", api.SetValue(key, name, platform::kRegSz, bytes));
    });
    step([&] {
        if (key != 0) api.CloseKey(key);
    });
}

void Registry::DeleteRegistryValue(platform::RegistryKey root, const std::string& subKey, const std::string& name) {
    auto& api = platform_.registry;
    platform::RegistryKey key = 0;
    api.OpenKey(root, subKey, key);
    const long rc = api.DeleteValue(key, name);
    // A value, or a key, that is not there is as good as deleted.
    if (key != 0 && rc != 0 && rc != platform::kErrorFileNotFound)
        platform_.diagnostics.Trace("registry", "deleting " + Where(root, subKey, name) + ": error " + std::to_string(rc));
    if (key != 0) api.CloseKey(key);
}

}  // namespace purgix::settings

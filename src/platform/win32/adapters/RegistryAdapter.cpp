// The registry through the wide calls, and the per-user settings kept in it.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/Text.h"

namespace purgix::win32 {

namespace {

HKEY Hkey(platform::RegistryKey key) { return reinterpret_cast<HKEY>(key); }

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// Text values as stored, converted whole: embedded NULs and what follows them
// stay, and a value without a terminator stays without one.
long ReadRaw(HKEY key, const std::wstring& name, DWORD& type, std::vector<BYTE>& bytes) {
    DWORD size = 0;
    LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    while (rc == ERROR_SUCCESS) {
        bytes.resize(size);
        DWORD got = size;
        rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &got);
        if (rc == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        bytes.resize(got);
        break;
    }
    return rc;
}

std::string TextBytes(const std::vector<BYTE>& bytes) {
    std::wstring wide(bytes.size() / 2, L'\0');
    if (!wide.empty()) std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(wchar_t));
    return Narrow(wide);
}

std::wstring SettingsKey(const std::string& app, const std::string& section) {
    return L"Software\\Quenlor\\" + Widen(app) + L"\\" + Widen(section);
}

}  // namespace

long RegistryAdapter::OpenKey(platform::RegistryKey root, const std::string& subKey, platform::RegistryKey& result) {
    HKEY h = nullptr;
    const LONG rc = RegOpenKeyExW(Hkey(root), Widen(subKey).c_str(), 0, MAXIMUM_ALLOWED, &h);
    if (rc == ERROR_SUCCESS) result = reinterpret_cast<platform::RegistryKey>(h);
    return rc;
}

long RegistryAdapter::CreateKey(platform::RegistryKey root, const std::string& subKey, platform::RegistryKey& result) {
    HKEY h = nullptr;
    const LONG rc =
        RegCreateKeyExW(Hkey(root), Widen(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, MAXIMUM_ALLOWED, nullptr, &h, nullptr);
    if (rc == ERROR_SUCCESS) result = reinterpret_cast<platform::RegistryKey>(h);
    return rc;
}

long RegistryAdapter::QueryValue(platform::RegistryKey key, const std::string& name, std::uint32_t& type, std::vector<char>* data,
                               std::uint32_t& size) {
    DWORD t = REG_NONE;
    std::vector<BYTE> raw;
    const LONG rc = ReadRaw(Hkey(key), Widen(name), t, raw);
    if (rc != ERROR_SUCCESS) return rc;
    type = t;
    std::string bytes = IsText(t) ? TextBytes(raw) : std::string(raw.begin(), raw.end());
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (data != nullptr) {
        if (size < needed || data->size() < needed) {
            size = needed;
            return ERROR_MORE_DATA;
        }
        std::copy(bytes.begin(), bytes.end(), data->begin());
    }
    size = needed;
    return ERROR_SUCCESS;
}

long RegistryAdapter::SetValue(platform::RegistryKey key, const std::string& name, std::uint32_t type, const std::vector<char>& data) {
    if (IsText(type)) {
        const std::wstring wide = Widen(std::string_view(data.data(), data.size()));
        return RegSetValueExW(Hkey(key), Widen(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(wide.data()),
                              static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
    }
    return RegSetValueExW(Hkey(key), Widen(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

long RegistryAdapter::DeleteValue(platform::RegistryKey key, const std::string& name) {
    return RegDeleteValueW(Hkey(key), Widen(name).c_str());
}

long RegistryAdapter::CloseKey(platform::RegistryKey key) { return RegCloseKey(Hkey(key)); }

std::string RegistryAdapter::GetSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& def) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey(app, section).c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return def;
    DWORD type = REG_NONE;
    std::vector<BYTE> raw;
    const LONG rc = ReadRaw(h, Widen(key), type, raw);
    RegCloseKey(h);
    // A number stored as a number (by hand or by a policy) is that number's text, as the program would have stored it.
    if (rc == ERROR_SUCCESS && type == REG_DWORD && raw.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, raw.data(), sizeof number);
        return std::to_string(number);
    }
    if (rc != ERROR_SUCCESS || type != REG_SZ) return def;
    std::string text = TextBytes(raw);
    text.resize(std::strlen(text.c_str()));  // the stored terminator, if any, ends the text
    return text;
}

bool RegistryAdapter::SaveSetting(const std::string& app, const std::string& section, const std::string& key, const std::string& value) {
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey(app, section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &h, nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring text = Widen(value);
    const LONG rc = RegSetValueExW(h, Widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

}  // namespace purgix::win32

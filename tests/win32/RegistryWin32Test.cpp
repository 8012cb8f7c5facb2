// The Registry module, the profile reads and the settings store against the
// real registry and real INI files.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Platform.h"
#include "settings/Registry.h"

using purgix::win32::Narrow;
using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

namespace {

constexpr wchar_t kTestKey[] = L"Software\\PurgixWin32Test";
constexpr wchar_t kStoreKey[] = L"Software\\Quenlor\\win32_tests";
const purgix::platform::RegistryKey kHkcu = reinterpret_cast<purgix::platform::RegistryKey>(HKEY_CURRENT_USER);

class RealRegistry : public ::testing::Test {
protected:
    RealRegistry() { Clean(); }
    ~RealRegistry() override { Clean(); }
    static void Clean() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);
    }
    // A key's values with their exact names, sorted; each must be a terminated REG_SZ.
    static Pairs Values(const std::wstring& path) {
        Pairs values;
        HKEY h = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return values;
        wchar_t name[64], data[64];
        for (DWORD i = 0, nameLen = 64, size = sizeof data, type = 0;
             RegEnumValueW(h, i, name, &nameLen, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
             ++i, nameLen = 64, size = sizeof data) {
            EXPECT_TRUE(type == REG_SZ && size >= sizeof(wchar_t) && data[size / sizeof(wchar_t) - 1] == L'\0') << Narrow(name);
            values.emplace_back(name, data);
        }
        RegCloseKey(h);
        std::sort(values.begin(), values.end());
        return values;
    }

    purgix::testing::FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    // The real registry, profiles and store; a fake shell records message boxes instead of showing them.
    purgix::platform::Platform platform{.memory = fake, .blocks = fake, .keyboard = win32, .windows = win32, .locale = win32, .shell = fake, .pictures = win32, .pictureFiles = win32, .files = win32, .registry = win32, .profiles = win32, .settings = win32, .tray = win32, .windowFactory = win32};
    purgix::settings::Registry registry{platform, "Purgix"};
    const std::string key = Narrow(kTestKey);
};

}  // namespace

TEST_F(RealRegistry, WritesCreateTerminatedRegSzAndReadsAndDeletesGoByTheFirstNul) {
    registry.WriteRegistryString(kHkcu, key + "\\Deep", "Purgix", "C:\\Tools\\Gr\u00fc\u00dfe.exe");
    EXPECT_EQ(Values(std::wstring(kTestKey) + L"\\Deep"), (Pairs{{L"Purgix", L"C:\\Tools\\Gr\u00fc\u00dfe.exe"}}));
    // The settings store's values likewise (their names and the options' round trip are the end-to-end tier's).
    win32.SaveSetting("win32_tests", "Options", "Precent", "35");
    EXPECT_EQ(Values(std::wstring(kStoreKey) + L"\\Options"), (Pairs{{L"Precent", L"35"}}));
    EXPECT_EQ(win32.GetSetting("win32_tests", "Options", "precent", "30") + win32.GetSetting("win32_tests", "Options", "Less", "15"), "3515");
    for (const auto& [name, type, data] : std::vector<std::tuple<const wchar_t*, DWORD, std::wstring>>{
             {L"bare", REG_SZ, L"abc"}, {L"more", REG_SZ, std::wstring(L"abc\0xyz\0", 8)}, {L"expand", REG_EXPAND_SZ, L"%TEMP%"}})
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kTestKey, name, type, data.data(), static_cast<DWORD>(data.size() * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    for (const auto& [sub, name, text] : std::vector<std::tuple<std::string, std::string, std::optional<std::string>>>{
             {"\\Deep", "purgix", "C:\\Tools\\Gr\u00fc\u00dfe.exe"}, {"", "bare", "abc"}, {"", "more", "abc"},
             {"", "expand", std::nullopt}, {"", "missing", std::nullopt}, {"\\Nowhere", "bare", std::nullopt}})
        EXPECT_EQ(registry.ReadRegistryString(kHkcu, key + sub, name), text) << sub << "\\" << name;

    registry.DeleteRegistryValue(kHkcu, key, "bare");
    EXPECT_EQ(registry.ReadRegistryString(kHkcu, key, "bare"), std::nullopt);
    registry.DeleteRegistryValue(kHkcu, key, "bare");  // harmless when gone, or when the key is
    registry.DeleteRegistryValue(kHkcu, key + "\\Nowhere", "bare");
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(RealRegistry, AKeyThatMayNotBeCreatedIsReportedNowhereAndWrittenNowhere) {
    // Windows (and Wine) refuse a lasting key under a volatile one.
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kTestKey) + L"\\Volatile").c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(h);
    registry.WriteRegistryString(kHkcu, key + "\\Volatile\\Sub", "Purgix", "data");
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kTestKey) + L"\\Volatile\\Sub").c_str(), 0, KEY_READ, &h), ERROR_SUCCESS);
    EXPECT_EQ(registry.ReadRegistryString(kHkcu, key + "\\Volatile", "Purgix"), std::nullopt);
    EXPECT_TRUE(fake.calls.empty()) << fake.calls.front();
}

TEST_F(RealRegistry, ProfileReadsKeepTheWholeBufferUnlessMoreThanOneCharacterCame) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    const std::string file = Narrow(tmp) + "purgix-profile-test.inf";
    DeleteFileW(purgix::win32::Widen(file).c_str());
    EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), std::string(128, '\0')) << "missing file";
    for (const auto& [stored, read] : std::vector<std::pair<std::string, std::string>>{
             {"a", "a" + std::string(127, '\0')}, {"ab", "ab"}, {std::string(200, 'x'), std::string(126, 'x')}}) {
        ASSERT_TRUE(win32.WriteProfile("CONFIGSKIN", "SKIN", stored, file));
        EXPECT_EQ(registry.ReadProfileString("configskin", "skin", file), read) << stored;
    }
    DeleteFileW(purgix::win32::Widen(file).c_str());
}

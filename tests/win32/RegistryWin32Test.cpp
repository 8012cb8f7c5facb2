// The Registry module, the profile reads and the settings store against the
// real registry and real INI files.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "app/FrmMain.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Platform.h"
#include "settings/Registry.h"

using purgix::platform::RegistryKey;
using purgix::settings::Registry;

namespace {

constexpr wchar_t kTestKey[] = L"Software\\PurgixWin32Test";

RegistryKey Root(HKEY h) { return reinterpret_cast<RegistryKey>(h); }

class RealRegistry : public ::testing::Test {
protected:
    RealRegistry() { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
    ~RealRegistry() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }

    void PutRaw(const wchar_t* name, DWORD type, const std::wstring& data, bool withTerminator) {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr), ERROR_SUCCESS);
        RegSetValueExW(h, name, 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + (withTerminator ? 1 : 0)) * sizeof(wchar_t)));
        RegCloseKey(h);
    }
    static bool Exists(const std::wstring& path) {
        HKEY h = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
        RegCloseKey(h);
        return true;
    }

    purgix::testing::FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    // The real registry, profiles and store; a fake shell records message boxes instead of showing them.
    purgix::platform::Platform platform{fake, fake, win32, win32, win32, fake, win32, win32, win32, win32, win32};
    Registry registry{platform, "Purgix"};
    const std::string key = purgix::win32::Narrow(kTestKey);
};

}  // namespace

TEST_F(RealRegistry, WriteCreatesTheKeyAndStoresTerminatedRegSz) {
    registry.WriteRegistryString(Root(HKEY_CURRENT_USER), key + "\\Deep\\Er", "Purgix", "C:\\Tools\\Purgix.exe");
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kTestKey) + L"\\Deep\\Er").c_str(), 0, KEY_READ, &h), ERROR_SUCCESS);
    wchar_t data[64] = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    ASSERT_EQ(RegQueryValueExW(h, L"Purgix", nullptr, &type, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS);
    RegCloseKey(h);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, (19u + 1u) * sizeof(wchar_t));
    EXPECT_STREQ(data, L"C:\\Tools\\Purgix.exe");
    EXPECT_EQ(registry.ReadRegistryString(Root(HKEY_CURRENT_USER), key + "\\Deep\\Er", "purgix"), "C:\\Tools\\Purgix.exe");
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(RealRegistry, ReadsRegSzUpToTheFirstNulAndNothingElse) {
    PutRaw(L"bare", REG_SZ, L"abc", false);
    PutRaw(L"more", REG_SZ, std::wstring(L"abc\0xyz", 7), true);
    PutRaw(L"expand", REG_EXPAND_SZ, L"%TEMP%\\Purgix.exe", true);
    PutRaw(L"text", REG_SZ, L"Gr\u00fc\u00dfe", true);
    const RegistryKey hkcu = Root(HKEY_CURRENT_USER);
    EXPECT_EQ(registry.ReadRegistryString(hkcu, key, "bare"), "abc");
    EXPECT_EQ(registry.ReadRegistryString(hkcu, key, "more"), "abc");
    EXPECT_EQ(registry.ReadRegistryString(hkcu, key, "expand"), std::nullopt);
    EXPECT_EQ(registry.ReadRegistryString(hkcu, key, "text"), "Gr\u00fc\u00dfe");
    EXPECT_EQ(registry.ReadRegistryString(hkcu, key, "missing"), std::nullopt);
    EXPECT_EQ(registry.ReadRegistryString(hkcu, key + "\\Nowhere", "bare"), std::nullopt);

    registry.DeleteRegistryValue(hkcu, key, "bare");
    EXPECT_EQ(registry.ReadRegistryString(hkcu, key, "bare"), std::nullopt);
    registry.DeleteRegistryValue(hkcu, key, "bare");  // harmless when gone
    registry.DeleteRegistryValue(hkcu, key + "\\Nowhere", "bare");
    EXPECT_EQ(registry.ReadRegistryString(hkcu, key, "more"), "abc");
}

TEST_F(RealRegistry, AKeyThatMayNotBeCreatedIsReportedNowhereAndWrittenNowhere) {
    // Windows (and Wine) refuse a lasting key under a volatile one.
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kTestKey) + L"\\Volatile").c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(h);
    registry.WriteRegistryString(Root(HKEY_CURRENT_USER), key + "\\Volatile\\Sub", "Purgix", "data");
    EXPECT_FALSE(Exists(std::wstring(kTestKey) + L"\\Volatile\\Sub"));
    EXPECT_EQ(registry.ReadRegistryString(Root(HKEY_CURRENT_USER), key + "\\Volatile", "Purgix"), std::nullopt);
    EXPECT_EQ(registry.ReadRegistryString(Root(HKEY_CURRENT_USER), key, "Purgix"), std::nullopt);
    EXPECT_TRUE(fake.calls.empty()) << fake.calls.front();
}

TEST(RealProfile, ReadsKeepTheWholeBufferUnlessMoreThanOneCharacterCame) {
    purgix::testing::FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    purgix::platform::Platform platform{fake, fake, win32, win32, win32, fake, win32, win32, win32, win32, win32};
    Registry registry{platform, "Purgix"};
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    const std::string file = purgix::win32::Narrow(tmp) + "purgix-profile-test.inf";
    DeleteFileW(purgix::win32::Widen(file).c_str());

    EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), std::string(128, '\0'));
    ASSERT_TRUE(win32.WriteProfile("CONFIGSKIN", "SKIN", "a", file));
    std::string oneCharacter(128, '\0');
    oneCharacter[0] = 'a';
    EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), oneCharacter);
    win32.WriteProfile("CONFIGSKIN", "SKIN", "ab", file);
    EXPECT_EQ(registry.ReadProfileString("configskin", "skin", file), "ab");
    win32.WriteProfile("CONFIGSKIN", "SKIN", std::string(200, 'x'), file);
    EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), std::string(126, 'x'));
    win32.WriteProfile("CONFIGSKIN", "SKIN", "Blue Steel.ini", file);
    EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), "Blue Steel.ini");
    EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "OTHER", file), std::string(128, '\0'));
    DeleteFileW(purgix::win32::Widen(file).c_str());
}

TEST(RealSettingsStore, OptionsRoundTripUnderTheProgramsKeyWithTheirExactNames) {
    const wchar_t* appKey = L"Software\\Quenlor\\win32_tests";
    RegDeleteTreeW(HKEY_CURRENT_USER, appKey);
    purgix::testing::FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    // The real store and executable path; the Run value stays in the fake registry.
    purgix::platform::Platform platform{fake, fake, win32, win32, win32, fake, win32, win32, fake, fake, win32};
    {
        purgix::app::FrmMain frm(platform);
        frm.Load();
        EXPECT_EQ(frm.Text3.Text(), "30%");  // nothing stored yet: the defaults
        frm.Check2.SetValue(2);
        frm.Check1.SetValue(0);
        frm.VScroll2.SetValue(40);
        frm.VScroll1.SetValue(20);
        frm.VScroll3.SetValue(100);
        frm.Check3.SetValue(1);
        frm.mStayOnTop->SetChecked(false);
        frm.form.Unload();
    }
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Quenlor\\win32_tests\\Options", 0, KEY_READ, &h), ERROR_SUCCESS);
    std::vector<std::pair<std::wstring, std::wstring>> values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[64], data[64];
        DWORD nameLen = 64, dataSize = sizeof data, type = 0;
        if (RegEnumValueW(h, i, name, &nameLen, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize) != ERROR_SUCCESS) break;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << purgix::win32::Narrow(name);
        values.emplace_back(name, data);
    }
    RegCloseKey(h);
    std::sort(values.begin(), values.end());
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"Less", L"40"},     {L"LessC", L"2"},      {L"Minimized", L"1"}, {L"Precent", L"100"},
        {L"StayOnTop", L"False"}, {L"interval", L"20"}, {L"intervalC", L"0"}};
    EXPECT_EQ(values, expected);

    purgix::app::FrmMain again(platform);
    again.Load();
    EXPECT_EQ(again.Check2.Value(), 2);
    EXPECT_EQ(again.Text2.Text(), "40%");
    EXPECT_EQ(again.Text1.Text(), "20");
    EXPECT_EQ(again.Text3.Text(), "100%");
    EXPECT_EQ(again.Check3.Value(), 1);
    EXPECT_FALSE(again.mStayOnTop->Checked());
    EXPECT_FALSE(again.form.Visible());
    RegDeleteTreeW(HKEY_CURRENT_USER, appKey);
}

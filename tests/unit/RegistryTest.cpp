#include "settings/Registry.h"

#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "settings/StartWithWindows.h"

using purgix::platform::kHkeyCurrentUser;
using purgix::platform::kHkeyLocalMachine;
using purgix::platform::kRegExpandSz;
using purgix::platform::kRegSz;
using purgix::settings::kRunKey;
using purgix::settings::Registry;
using purgix::settings::StartWithWindows;
using purgix::testing::FakePlatform;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    std::string RunValue(purgix::platform::RegistryKey root) {
        const auto* v = fake.FindValue(root, kRunKey, "Purgix");
        return v == nullptr ? "<none>" : std::string(v->bytes.begin(), v->bytes.end());
    }
    FakePlatform fake;
    Registry registry{fake.platform, "Purgix"};
};

std::vector<char> Bytes(const std::string& s) { return {s.begin(), s.end()}; }
std::string Terminated(const std::string& s) { return s + std::string(1, '\0'); }

}  // namespace

TEST_F(RegistryTest, ProfileReadsKeepTheWholeBufferUnlessMoreThanOneCharacterCame) {
    const std::string file = "C:\\Tools\\Config.inf";
    EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), std::string(128, '\0'));
    fake.profiles["c:\\tools\\config.inf"]["configskin"]["skin"] = "a";
    EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), "a" + std::string(127, '\0'));
    fake.profiles["c:\\tools\\config.inf"]["configskin"]["skin"] = "ab";
    EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), "ab");
    const std::string longValue(200, 'x');
    fake.profiles["c:\\tools\\config.inf"]["configskin"]["skin"] = longValue;
    EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), std::string(126, 'x'));
}

TEST_F(RegistryTest, OnlyRegSzReadsAsTextUpToItsFirstNul) {
    const std::string key = "Software\\Test";
    fake.PutValue(kHkeyCurrentUser, key, "terminated", kRegSz, Bytes(std::string("abc\0", 4)));
    fake.PutValue(kHkeyCurrentUser, key, "bare", kRegSz, Bytes("abc"));
    fake.PutValue(kHkeyCurrentUser, key, "more", kRegSz, Bytes(std::string("abc\0xyz\0", 8)));
    fake.PutValue(kHkeyCurrentUser, key, "empty", kRegSz, {});
    fake.PutValue(kHkeyCurrentUser, key, "expand", kRegExpandSz, Bytes(std::string("%TEMP%\0", 7)));
    EXPECT_EQ(registry.ReadRegistryString(kHkeyCurrentUser, key, "Terminated"), "abc");
    EXPECT_EQ(registry.ReadRegistryString(kHkeyCurrentUser, key, "bare"), "abc");
    EXPECT_EQ(registry.ReadRegistryString(kHkeyCurrentUser, key, "more"), "abc");
    EXPECT_EQ(registry.ReadRegistryString(kHkeyCurrentUser, key, "empty"), "");
    EXPECT_EQ(registry.ReadRegistryString(kHkeyCurrentUser, key, "expand"), std::nullopt);
    EXPECT_EQ(registry.ReadRegistryString(kHkeyCurrentUser, key, "missing"), std::nullopt);
    EXPECT_EQ(registry.ReadRegistryString(kHkeyCurrentUser, "Software\\Nowhere", "bare"), std::nullopt);
    EXPECT_TRUE(fake.handles.empty()) << "a key was left open";
}

TEST_F(RegistryTest, WritesCreateTheKeyAndStoreTheTerminatorRefusalsStaySilent) {
    registry.WriteRegistryString(kHkeyCurrentUser, "Software\\New\\Deep", "v", "data");
    const auto* v = fake.FindValue(kHkeyCurrentUser, "Software\\New\\Deep", "v");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->type, kRegSz);
    EXPECT_EQ(v->bytes, Bytes(std::string("data\0", 5)));

    fake.refuseMachineWrites = true;
    registry.WriteRegistryString(kHkeyLocalMachine, "Software\\New", "v", "data");
    EXPECT_FALSE(fake.KeyExists(kHkeyLocalMachine, "Software\\New"));
    EXPECT_TRUE(fake.calls.empty()) << fake.calls[0];

    registry.DeleteRegistryValue(kHkeyCurrentUser, "Software\\New\\Deep", "v");
    registry.DeleteRegistryValue(kHkeyCurrentUser, "Software\\New\\Deep", "v");  // already gone: harmless
    EXPECT_EQ(fake.FindValue(kHkeyCurrentUser, "Software\\New\\Deep", "v"), nullptr);
    EXPECT_TRUE(fake.handles.empty());
}

TEST_F(RegistryTest, AnErrorRaisedWhileWritingIsShownAndTheLaterStepsStillRun) {
    fake.raisingRegistryCalls = {"SetValue"};
    registry.WriteRegistryString(kHkeyCurrentUser, "Software\\New", "v", "data");
    ASSERT_EQ(fake.calls.size(), 1u);
    EXPECT_EQ(fake.calls[0].rfind("ShowMessage(453 - ", 0), 0u) << fake.calls[0];
    EXPECT_EQ(fake.calls[0].substr(fake.calls[0].size() - 8), ",Purgix)");
    EXPECT_TRUE(fake.handles.empty()) << "the key was not closed after the failed step";

    fake.calls.clear();
    fake.raisingRegistryCalls = {"CreateKey"};
    registry.WriteRegistryString(kHkeyCurrentUser, "Software\\Other", "v", "data");
    EXPECT_EQ(fake.calls.size(), 1u);
    EXPECT_FALSE(fake.KeyExists(kHkeyCurrentUser, "Software\\Other"));
}

TEST_F(RegistryTest, RunValueQuotesAFolderWithBlanksAndReadsEitherForm) {
    StartWithWindows plain(registry, "Purgix", "C:\\Tools\\Purgix.exe");
    StartWithWindows blanks(registry, "Purgix", "C:\\Program Files\\Purgix\\Purgix.exe");
    EXPECT_EQ(plain.ValueData(), "C:\\Tools\\Purgix.exe");
    EXPECT_EQ(blanks.ValueData(), "\"C:\\Program Files\\Purgix\\Purgix.exe\"");

    EXPECT_FALSE(plain.IsSet());
    for (const char* stored : {"C:\\Tools\\Purgix.exe", "\"C:\\Tools\\Purgix.exe\""}) {
        fake.PutString(kHkeyLocalMachine, kRunKey, "Purgix", stored);
        EXPECT_TRUE(plain.IsSet()) << stored;
    }
    for (const char* stored : {"c:\\tools\\purgix.exe", "C:\\Old\\Purgix.exe", "\"C:\\Tools\\Purgix.exe", ""}) {
        fake.PutString(kHkeyLocalMachine, kRunKey, "Purgix", stored);
        EXPECT_FALSE(plain.IsSet()) << stored;
    }
    fake.PutValue(kHkeyLocalMachine, kRunKey, "Purgix", kRegExpandSz, Bytes(std::string("C:\\Tools\\Purgix.exe\0", 20)));
    EXPECT_FALSE(plain.IsSet());
    fake.PutString(kHkeyCurrentUser, kRunKey, "Purgix", "C:\\Tools\\Purgix.exe");
    EXPECT_TRUE(plain.IsSet()) << "the user's own Run key counts too";
}

TEST_F(RegistryTest, RunValueGoesToTheUsersKeyWhenTheMachineRefusesIt) {
    StartWithWindows entry(registry, "Purgix", "C:\\Program Files\\Purgix\\Purgix.exe");
    fake.refuseMachineWrites = true;
    fake.PutString(kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Other", "x");  // the key exists
    entry.Set();
    EXPECT_EQ(RunValue(kHkeyLocalMachine), "<none>");
    EXPECT_EQ(RunValue(kHkeyCurrentUser), Terminated("\"C:\\Program Files\\Purgix\\Purgix.exe\""));
    EXPECT_TRUE(entry.IsSet());
    EXPECT_TRUE(fake.calls.empty()) << "a refusal must not show a message";
    entry.Clear();
    EXPECT_EQ(RunValue(kHkeyCurrentUser), "<none>");
    EXPECT_FALSE(entry.IsSet());

    // With rights, the machine's key takes it and a user copy left from before goes.
    fake.refuseMachineWrites = false;
    fake.PutString(kHkeyCurrentUser, kRunKey, "Purgix", "C:\\Old\\Purgix.exe");
    entry.Set();
    EXPECT_EQ(RunValue(kHkeyLocalMachine), Terminated("\"C:\\Program Files\\Purgix\\Purgix.exe\""));
    EXPECT_EQ(RunValue(kHkeyCurrentUser), "<none>");
    entry.Clear();
    EXPECT_EQ(RunValue(kHkeyLocalMachine), "<none>");
    EXPECT_TRUE(fake.handles.empty());
}

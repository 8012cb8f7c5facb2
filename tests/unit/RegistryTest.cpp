#include "settings/Registry.h"

#include <gtest/gtest.h>

#include <system_error>

#include "FakePlatform.h"
#include "settings/StartWithWindows.h"

using namespace purgix::platform;
using namespace purgix::settings;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    purgix::testing::FakePlatform fake;
    Registry registry{fake.platform, "Purgix"};
    StartWithWindows entry{registry, "Purgix", "C:\\Program Files\\Purgix.exe"};
    std::optional<std::string> Run(RegistryKey root) { return registry.ReadRegistryString(root, kRunKey, "Purgix"); }
};

}  // namespace

TEST_F(RegistryTest, AnErrorRaisedByAWriteStepIsShownAsNumberHyphenDescriptionAndTheLaterStepsRun) {
    const std::string described = "ShowMessage(453- " + std::generic_category().message(453) + ",Purgix)";
    for (const auto& [step, code, calls] : std::vector<std::tuple<std::string, int, std::vector<std::string>>>{
             {"CreateKey", 453, {described, "SetValue(v)"}}, {"SetValue", 453, {described}}, {"SetValue", 0, {"ShowMessage(0- SetValue,Purgix)"}}}) {
        fake.calls.clear();
        fake.raisingRegistryCalls = {{step, code}};
        registry.WriteRegistryString(kHkeyCurrentUser, "Software\\New", "v", "data");
        EXPECT_EQ(fake.calls, calls) << step;
        EXPECT_TRUE(fake.handles.empty()) << step << ": the key was not closed";
    }
}

TEST_F(RegistryTest, RunValueIsReadQuotedOrNotFromEitherKeyAndWrittenQuotedToTheUsersKeyWhenTheMachineRefuses) {
    EXPECT_FALSE(entry.IsSet());
    for (RegistryKey root : {kHkeyLocalMachine, kHkeyCurrentUser}) {
        for (const auto& [stored, set] : std::initializer_list<std::pair<const char*, bool>>{
                 {"C:\\Program Files\\Purgix.exe", true}, {"\"C:\\Program Files\\Purgix.exe\"", true},
                 {"C:\\Old\\Purgix.exe", false}, {"\"C:\\Program Files\\Purgix.exe", false},
                 {"c:\\program files\\purgix.exe", false}}) {  // letter case counts
            fake.Put(root, kRunKey, "Purgix", stored + std::string(1, '\0'));
            EXPECT_EQ(entry.IsSet(), set) << root << ": " << stored;
        }
    }
    // Written, it is quoted and goes to the user's key when the machine's refuses; Clear removes both.
    fake.registryKeys.clear();
    const std::string quoted = "\"C:\\Program Files\\Purgix.exe\"";
    fake.refuseMachineWrites = true;
    fake.Put(kHkeyLocalMachine, kRunKey, "Other", "x");  // the key exists, only writing is refused
    entry.Set();
    EXPECT_EQ(std::pair(Run(kHkeyLocalMachine), Run(kHkeyCurrentUser)), std::pair(std::optional<std::string>(), std::optional(quoted)));
    EXPECT_EQ(fake.Calls("ShowMessage"), std::vector<std::string>{}) << "a refusal must not show a message";
    const auto& written = fake.registryKeys.at(purgix::testing::Lower(std::to_string(kHkeyCurrentUser) + "\\" + kRunKey)).at("purgix");
    EXPECT_EQ(std::pair(written.first, written.second.back()), std::pair(kRegSz, '\0')) << "a string is stored with its terminator";
    fake.refuseMachineWrites = false;  // with rights the machine's key takes it and the user's copy goes
    entry.Set();
    EXPECT_EQ(std::pair(Run(kHkeyLocalMachine), Run(kHkeyCurrentUser)), std::pair(std::optional(quoted), std::optional<std::string>()));
    fake.Put(kHkeyCurrentUser, kRunKey, "Purgix", quoted + '\0');
    entry.Clear();
    EXPECT_EQ(std::pair(Run(kHkeyLocalMachine), Run(kHkeyCurrentUser)), std::pair(std::optional<std::string>(), std::optional<std::string>()));
    EXPECT_TRUE(fake.handles.empty()) << "a key was left open";
}

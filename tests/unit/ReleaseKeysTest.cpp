// The keys pressed during a release: those that would start another release go, the focus keys stay.
#include <gtest/gtest.h>

#include "ui/ReleaseKeys.h"

using namespace purgix::ui;
using K = KeyMessage;

namespace {

// The keys kept, in order, as "Down 9" and the like.
std::vector<std::string> Kept(std::vector<QueuedKey> keys) {
    static const char* kNames[] = {"Down", "Up", "Char", "SysDown", "SysUp", "SysChar"};
    const std::vector<bool> dropped = DroppedAfterRelease(keys);
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (!dropped[i]) kept.push_back(std::string(kNames[static_cast<int>(keys[i].message)]) + " " + std::to_string(keys[i].code));
    return kept;
}

}  // namespace

TEST(ReleaseKeys, SpaceEnterF9AndAltKeysGoWithTheirLettingGoAndCharactersWhileTabAndShiftStayInOrder) {
    // Space twice (the second held and repeating), Shift+Tab, Enter, F9, Tab: only the focus keys are left.
    EXPECT_EQ(Kept({{K::Down, kVkSpace}, {K::Up, kVkSpace}, {K::Down, kVkSpace}, {K::Down, kVkSpace}, {K::Up, kVkSpace},
                    {K::Down, kVkShift}, {K::Down, kVkTab}, {K::Up, kVkTab}, {K::Up, kVkShift}, {K::Down, kVkReturn},
                    {K::Up, kVkReturn}, {K::Down, kVkF9}, {K::Up, kVkF9}, {K::Down, kVkTab}, {K::Up, kVkTab}}),
              (std::vector<std::string>{"Down 16", "Down 9", "Up 9", "Up 16", "Down 9", "Up 9"}));
    // Alt+O, Alt let go first: the letter's letting go comes as a plain key-up and goes with its press. Alt tapped,
    // then F and O for the menu bar: the letters alone do nothing and stay. F10 goes.
    EXPECT_EQ(Kept({{K::SysDown, kVkMenu}, {K::SysDown, 'O'}, {K::SysChar, 'o'}, {K::Up, kVkMenu}, {K::Up, 'O'},
                    {K::SysDown, kVkMenu}, {K::SysUp, kVkMenu}, {K::Down, 'F'}, {K::Up, 'F'}, {K::SysDown, 0x79}, {K::SysUp, 0x79}}),
              (std::vector<std::string>{"Down 70", "Up 70"}));
    // A character goes with its press; a key let go whose press came before the release stays unless it could act.
    EXPECT_EQ(Kept({{K::Char, ' '}, {K::Char, '\t'}, {K::Up, kVkReturn}, {K::Up, 'A'}, {K::Down, kVkReturn}, {K::Char, '\r'},
                    {K::Down, kVkTab}, {K::Char, '\t'}}),
              (std::vector<std::string>{"Char 9", "Up 65", "Down 9", "Char 9"}));
}

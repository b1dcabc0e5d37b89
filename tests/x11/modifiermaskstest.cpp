#include "modifiermasks.h"
#include "hotkey.h"

#include <gtest/gtest.h>

namespace loopwren {
namespace {

constexpr std::uint32_t kAltL = 0xffe9;
constexpr std::uint32_t kMetaL = 0xffe7;
constexpr std::uint32_t kSuperL = 0xffeb;
constexpr std::uint32_t kNumLock = 0xff7f;
constexpr std::uint32_t kOther = 0xffe1; // Shift_L, standing for whatever else is bound

using Keysyms = std::array<std::vector<std::uint32_t>, 8>;

TEST(ModifierMasksTest, TheUsualKeymapGivesTheUsualBits)
{
    // Xorg's default: Alt and Meta on Mod1, Num Lock on Mod2, Super on Mod4, AltGr on Mod5.
    const auto masks = ModifierMasks::fromModifierKeysyms(
        Keysyms{{{kOther}, {kOther}, {kOther}, {kAltL, kMetaL}, {kNumLock}, {}, {kSuperL}, {kOther}}});
    EXPECT_EQ(masks.alt(), ModifierMasks::mod1Mask);
    EXPECT_EQ(masks.super(), ModifierMasks::mod4Mask);
    EXPECT_EQ(masks.numLock(), ModifierMasks::mod2Mask);
    EXPECT_EQ(masks.lockVariants(), (std::vector<std::uint16_t>{0, 0x02, 0x10, 0x12}));
    // A hotkey's shift, control, option and command; other bits are ignored.
    EXPECT_EQ(masks.fromModifiers(modifier::shift), 0x01);
    EXPECT_EQ(masks.fromModifiers(modifier::control), 0x04);
    EXPECT_EQ(masks.fromModifiers(modifier::option), 0x08);
    EXPECT_EQ(masks.fromModifiers(modifier::command), 0x40);
    EXPECT_EQ(
        masks.fromModifiers(modifier::control | modifier::option | modifier::capsLock | modifier::function),
        0x0c);
    // Caps Lock, Num Lock and a held pointer button do not change which combination was pressed.
    EXPECT_EQ(masks.significant(0x04 | 0x08 | 0x02 | 0x10 | 0x100), 0x0c);
    EXPECT_EQ(masks.significant(0x01 | 0x40 | 0x80), 0xc1);
}

TEST(ModifierMasksTest, RolesFollowTheKeysWhereverTheUserMovedThem)
{
    const auto moved = ModifierMasks::fromModifierKeysyms(
        Keysyms{{{kOther}, {kOther}, {kOther}, {}, {}, {kSuperL}, {kAltL}, {kNumLock}}});
    EXPECT_EQ(moved.alt(), 0x40);
    EXPECT_EQ(moved.super(), 0x20);
    EXPECT_EQ(moved.numLock(), 0x80);
    EXPECT_EQ(moved.fromModifiers(modifier::option | modifier::command), 0x60);
    // Meta stands in for Alt only where no key is Alt.
    EXPECT_EQ(ModifierMasks::fromModifierKeysyms(Keysyms{{{}, {}, {}, {}, {}, {kMetaL}, {}, {}}}).alt(),
              0x20);
    EXPECT_EQ(ModifierMasks::fromModifierKeysyms(Keysyms{{{}, {}, {}, {kMetaL}, {}, {kAltL}, {}, {}}}).alt(),
              0x20);
}

TEST(ModifierMasksTest, WithoutANumLockKeyOnlyCapsLockVaries)
{
    const auto masks = ModifierMasks::fromModifierKeysyms(Keysyms{});
    EXPECT_EQ(masks.alt(), ModifierMasks::mod1Mask);
    EXPECT_EQ(masks.super(), ModifierMasks::mod4Mask);
    EXPECT_EQ(masks.numLock(), 0);
    EXPECT_EQ(masks.lockVariants(), (std::vector<std::uint16_t>{0, 0x02}));
    EXPECT_EQ(masks.significant(0x10 | 0x02 | 0x04), 0x14);
}

} // namespace
} // namespace loopwren

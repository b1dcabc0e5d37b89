#include "modifiermasks.h"

#include "hotkey.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

namespace loopwren {
namespace {

constexpr std::uint32_t kAltL = 0xffe9;
constexpr std::uint32_t kAltR = 0xffea;
constexpr std::uint32_t kMetaL = 0xffe7;
constexpr std::uint32_t kMetaR = 0xffe8;
constexpr std::uint32_t kSuperL = 0xffeb;
constexpr std::uint32_t kSuperR = 0xffec;
constexpr std::uint32_t kNumLock = 0xff7f;

// Index of the first of Mod1..Mod5 bound to one of the keysyms, as its mask.
std::optional<std::uint16_t> modifierWith(const std::array<std::vector<std::uint32_t>, 8>& keysyms,
                                          std::initializer_list<std::uint32_t> wanted)
{
    for (std::size_t index = 3; index < keysyms.size(); ++index) {
        for (const std::uint32_t keysym : wanted) {
            if (std::find(keysyms[index].begin(), keysyms[index].end(), keysym) != keysyms[index].end())
                return static_cast<std::uint16_t>(1u << index);
        }
    }
    return std::nullopt;
}

template <typename T>
using ReplyPtr = std::unique_ptr<T, decltype(&std::free)>;

} // namespace

ModifierMasks ModifierMasks::fromModifierKeysyms(const std::array<std::vector<std::uint32_t>, 8>& keysyms)
{
    ModifierMasks masks;
    // Meta counts only where no key is Alt: some maps put Meta on the Alt keys' modifier anyway.
    if (const auto alt = modifierWith(keysyms, {kAltL, kAltR}))
        masks.m_alt = *alt;
    else if (const auto meta = modifierWith(keysyms, {kMetaL, kMetaR}))
        masks.m_alt = *meta;
    if (const auto super = modifierWith(keysyms, {kSuperL, kSuperR}))
        masks.m_super = *super;
    masks.m_numLock = modifierWith(keysyms, {kNumLock}).value_or(0);
    return masks;
}

ModifierMasks ModifierMasks::query(xcb_connection_t* connection)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const std::uint8_t minKeycode = setup->min_keycode;
    const auto keycodeCount = static_cast<std::uint8_t>(setup->max_keycode - minKeycode + 1);
    const auto modifierCookie = xcb_get_modifier_mapping(connection);
    const auto keyboardCookie = xcb_get_keyboard_mapping(connection, minKeycode, keycodeCount);
    const ReplyPtr<xcb_get_modifier_mapping_reply_t> modifiers(
        xcb_get_modifier_mapping_reply(connection, modifierCookie, nullptr), &std::free);
    const ReplyPtr<xcb_get_keyboard_mapping_reply_t> keyboard(
        xcb_get_keyboard_mapping_reply(connection, keyboardCookie, nullptr), &std::free);
    if (!modifiers || !keyboard)
        return {};

    const xcb_keycode_t* modifierKeys = xcb_get_modifier_mapping_keycodes(modifiers.get());
    const int perModifier = modifiers->keycodes_per_modifier;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(keyboard.get());
    const int keysymCount = xcb_get_keyboard_mapping_keysyms_length(keyboard.get());
    const int perKeycode = keyboard->keysyms_per_keycode;

    std::array<std::vector<std::uint32_t>, 8> bound;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int slot = 0; slot < perModifier; ++slot) {
            const xcb_keycode_t keycode = modifierKeys[modifier * perModifier + slot];
            if (keycode < minKeycode) // 0 marks an unused slot
                continue;
            const int first = (keycode - minKeycode) * perKeycode;
            for (int column = 0; column < perKeycode && first + column < keysymCount; ++column) {
                if (keysyms[first + column] != 0)
                    bound[modifier].push_back(keysyms[first + column]);
            }
        }
    }
    return fromModifierKeysyms(bound);
}

std::uint16_t ModifierMasks::fromModifiers(std::uint64_t modifiers) const
{
    std::uint16_t mask = 0;
    if (modifiers & modifier::shift)
        mask |= shiftMask;
    if (modifiers & modifier::control)
        mask |= controlMask;
    if (modifiers & modifier::alt)
        mask |= m_alt;
    if (modifiers & modifier::super)
        mask |= m_super;
    return mask;
}

std::vector<std::uint16_t> ModifierMasks::lockVariants() const
{
    std::vector<std::uint16_t> variants{0, lockMask};
    if (m_numLock != 0 && m_numLock != lockMask) {
        variants.push_back(m_numLock);
        variants.push_back(static_cast<std::uint16_t>(lockMask | m_numLock));
    }
    return variants;
}

std::uint16_t ModifierMasks::significant(std::uint16_t state) const
{
    // The low eight bits are the modifiers; above them X reports the pointer buttons held.
    return static_cast<std::uint16_t>(state & 0xff & ~(lockMask | m_numLock));
}

} // namespace loopwren

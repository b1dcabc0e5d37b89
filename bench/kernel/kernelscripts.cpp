#include "kernelscripts.h"

#include "keycodetable.h"
#include "scriptedinput.h"

#include <linux/input-event-codes.h>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>

namespace loopwren::bench {
namespace {

// Letters only: no modifier, nothing a desktop or LoopWren would take for a shortcut.
constexpr std::uint16_t kLetters[] = {KEY_A, KEY_S, KEY_D, KEY_F, KEY_J, KEY_K, KEY_L, KEY_Q, KEY_W, KEY_E};
constexpr double kButtonRest = 0.080;
// The kernel's codes of the left, right and middle buttons, in the order of MouseButtonType.
constexpr int buttonCodes[] = {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE};

MacroEvent key(std::uint16_t evdev, bool down, double delay)
{
    MacroEvent e = scriptedEvent(down ? EventType::keyDown : EventType::keyUp, delay);
    e.keyCode = KeyCodeTable::fileKeyCode(evdev);
    return e;
}

MacroEvent click(bool down, double delay)
{
    MacroEvent e = scriptedEvent(down ? EventType::mouseDown : EventType::mouseUp, delay);
    e.location = clickPlace;
    e.mouseButton = MouseButtonType::left;
    return e;
}

MacroEvent notch(int direction, double delay)
{
    MacroEvent e = scriptedEvent(EventType::scroll, delay);
    e.scrollDeltaY = direction;
    return e;
}

} // namespace

Timeline makeMixedScript(std::size_t count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> gap(0.001, 0.050);
    std::uniform_int_distribution<int> pick(0, 3); // 0, 1: a key; 2: the button; 3: the wheel
    std::uniform_int_distribution<std::size_t> letter(0, std::size(kLetters) - 1);

    Timeline script;
    std::optional<std::uint16_t> heldKey;
    bool buttonDown = false;
    double sinceButton = kButtonRest;
    double delay = 0;
    while (script.size() < count || heldKey || buttonDown) {
        const double step = gap(random);
        delay += step;
        sinceButton += step;
        // Once there are enough, only what lets go of the key or the button.
        const bool ending = script.size() >= count;
        int choice = ending ? (heldKey ? 0 : 2) : pick(random);
        if (choice == 2 && sinceButton < kButtonRest) {
            if (ending)
                continue; // the delay grows until the button may change
            choice = 3;
        }
        if (choice <= 1) {
            const std::uint16_t code = heldKey.value_or(kLetters[letter(random)]);
            script.push_back(key(code, !heldKey, delay));
            heldKey = heldKey ? std::nullopt : std::optional(code);
        } else if (choice == 2) {
            buttonDown = !buttonDown;
            sinceButton = 0;
            script.push_back(click(buttonDown, delay));
        } else {
            script.push_back(notch(random() % 2 ? 1 : -1, delay));
        }
        delay = 0;
    }
    return script;
}

Timeline makeSteadyScript(std::size_t count)
{
    Timeline script;
    for (std::size_t i = 0; script.size() < count; ++i) {
        const std::uint16_t letter = kLetters[i % std::size(kLetters)];
        script.push_back(key(letter, true, 0.001));
        script.push_back(key(letter, false, 0.001));
        script.push_back(notch(i % 2 ? 1 : -1, 0.001));
    }
    script.resize(count);
    return script;
}

std::vector<ProbedInput> expectedInputs(const Timeline& timeline)
{
    std::vector<ProbedInput> inputs;
    double offset = 0;
    for (const MacroEvent& e : timeline) {
        offset += std::max(0.0, e.delaySincePrevious);
        const auto add = [&](std::string what) {
            inputs.push_back({std::move(what), std::chrono::steady_clock::time_point(
                                                   std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                       std::chrono::duration<double>(offset)))});
        };
        const bool down = e.type == EventType::keyDown || e.type == EventType::mouseDown;
        switch (e.type) {
        case EventType::scroll:
            // A notch at a time, the vertical wheel first, as the player turns them.
            for (const auto& [axis, delta] : {std::pair{REL_WHEEL, e.scrollDeltaY.value_or(0)},
                                              std::pair{REL_HWHEEL, e.scrollDeltaX.value_or(0)}}) {
                // Positive is up and left in a timeline, up and right on the kernel's wheels.
                const int notch = (delta > 0) == (axis == REL_WHEEL) ? 1 : -1;
                for (int n = 0; n < std::abs(delta); ++n)
                    add("rel " + std::to_string(axis) + " " + std::to_string(notch));
            }
            break;
        case EventType::mouseDown:
        case EventType::mouseUp: {
            if (e.mouseButton && e.location)
                add("key " + std::to_string(buttonCodes[static_cast<int>(*e.mouseButton)]) + (down ? " 1" : " 0"));
            break;
        }
        case EventType::keyDown:
        case EventType::keyUp:
            if (const std::optional<std::uint16_t> code = KeyCodeTable::evdevCode(e.keyCode.value_or(0)))
                add("key " + std::to_string(*code) + (down ? " 1" : " 0"));
            break;
        default: // moves are not logged, a wait is only its delay
            break;
        }
    }
    // What a recording leaves held (it lost a release, say), the player lets go of at the end: the
    // buttons, then the keys, the last pressed first.
    std::vector<std::string> held;
    for (const ProbedInput& input : inputs) {
        if (!input.what.starts_with("key "))
            continue;
        const std::string pressed = input.what.substr(0, input.what.size() - 1) + "1";
        if (input.what.ends_with(" 1"))
            held.push_back(pressed);
        else if (const auto at = std::find(held.begin(), held.end(), pressed); at != held.end())
            held.erase(at);
    }
    const auto isButton = [](const std::string& what) {
        return std::any_of(std::begin(buttonCodes), std::end(buttonCodes), [&](int code) {
            return what.starts_with("key " + std::to_string(code) + " ");
        });
    };
    std::stable_partition(held.begin(), held.end(), [&](const std::string& what) { return !isButton(what); });
    const auto end = inputs.empty() ? std::chrono::steady_clock::time_point() : inputs.back().at;
    for (auto at = held.rbegin(); at != held.rend(); ++at)
        inputs.push_back({at->substr(0, at->size() - 1) + "0", end});
    return inputs;
}

} // namespace loopwren::bench

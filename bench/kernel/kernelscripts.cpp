#include "kernelscripts.h"

#include "keycodetable.h"
#include "scriptedinput.h"

#include <linux/input-event-codes.h>
#include <optional>
#include <random>
#include <string>

namespace loopwren::bench {
namespace {

// Letters only: no modifier, nothing a desktop or LoopWren would take for a shortcut.
constexpr std::uint16_t kLetters[] = {KEY_A, KEY_S, KEY_D, KEY_F, KEY_J, KEY_K, KEY_L, KEY_Q, KEY_W, KEY_E};
constexpr double kButtonRest = 0.080;

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

std::vector<ProbedInput> expectedInputs(const Timeline& script)
{
    std::vector<ProbedInput> inputs;
    double offset = 0;
    for (const MacroEvent& e : script) {
        offset += e.delaySincePrevious;
        const bool down = e.type == EventType::keyDown || e.type == EventType::mouseDown;
        std::string what;
        if (e.type == EventType::scroll)
            what = "rel " + std::to_string(REL_WHEEL) + " " + std::to_string(e.scrollDeltaY.value_or(0));
        else if (e.type == EventType::mouseDown || e.type == EventType::mouseUp)
            what = "key " + std::to_string(BTN_LEFT) + (down ? " 1" : " 0");
        else
            what = "key " + std::to_string(KeyCodeTable::evdevCode(e.keyCode.value_or(0)).value_or(0)) +
                   (down ? " 1" : " 0");
        inputs.push_back({what, std::chrono::steady_clock::time_point(
                                    std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                        std::chrono::duration<double>(offset)))});
    }
    return inputs;
}

} // namespace loopwren::bench

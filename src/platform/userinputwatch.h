#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace loopwren {

// Watches for the person at the desk taking over: a key or button pressed, or the pointer moved by
// more than a few pixels, on a device of their own. This application's own synthetic input never
// counts. Used to stop a playback the moment the user reaches for the mouse or keyboard.
class UserInputWatch
{
public:
    // How far the pointer may move, in pixels, before it counts: a hand resting on the mouse does not.
    static constexpr double kMoveThreshold = 5.0;

    virtual ~UserInputWatch() = default;

    // Why the user's input cannot be told apart from this application's here, for the user; empty
    // where it can.
    virtual QString problem() = 0;
    // Calls used on the main thread, once, at the first such input; false when nothing can be watched.
    // A second start replaces the first. Modifier keys alone never count, nor the keys of
    // ignoredKeys (model key codes): the hotkeys, which stop or start things their own way.
    virtual bool start(const std::vector<std::uint16_t>& ignoredKeys, std::function<void()> used) = 0;
    // After this returns, used is not called.
    virtual void stop() = 0;
};

} // namespace loopwren

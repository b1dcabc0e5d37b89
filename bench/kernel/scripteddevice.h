#pragma once

#include "inputposter.h"

#include <memory>
#include <string>
#include <vector>

struct libevdev_uinput;

namespace loopwren::bench {

// A keyboard with a wheel mouse, made through uinput: the "hardware" whose input LoopWren records.
// It posts what a script asks for as a real device would report it: keys by their evdev codes, the
// left and right buttons and wheel notches, each a frame of its own. It has no pointer position, so
// moves to a place are not posted; a hand's push of the mouse is (nudge).
class ScriptedDevice : public InputPoster
{
public:
    // nullptr when uinput refuses the device.
    static std::unique_ptr<ScriptedDevice> create(const std::string& name);
    ~ScriptedDevice() override;
    ScriptedDevice(const ScriptedDevice&) = delete;
    ScriptedDevice& operator=(const ScriptedDevice&) = delete;

    std::string name() const { return m_name; }
    std::string devnode() const;
    // Reports of relative motion, as a mouse pushed by a hand sends them, one after the other.
    void nudge(int dx, int dy, int reports);

    bool warpPointer(Point) override { return false; }
    void postMouseMoved(Point, std::optional<std::uint64_t>) override {}
    void postMouseButton(MouseButtonType button, bool down, Point location,
                         std::optional<std::uint64_t> flags) override;
    void postKey(std::uint16_t keyCode, bool down, std::optional<std::uint64_t> flags) override;
    void postScrollNotch(ScrollDirection direction, std::optional<std::uint64_t> flags) override;
    void releaseAll() override;

private:
    ScriptedDevice(std::string name, libevdev_uinput* device);
    void send(unsigned type, unsigned code, int value);
    void press(unsigned code, bool down);

    std::string m_name;
    libevdev_uinput* m_device;
    std::vector<unsigned> m_held;
};

} // namespace loopwren::bench

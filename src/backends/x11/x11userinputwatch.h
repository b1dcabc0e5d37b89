#pragma once

#include "userinputwatch.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

class QSocketNotifier;

namespace loopwren {

class X11Connection;

// The user's own input on an X server, told from synthetic input by the device it came through:
// XInput 2's raw events name their source device, and input that XTEST clients make (this
// application's playback among them) comes through the XTEST devices, while a person's comes through
// the keyboards and pointers of the machine. Input from any other XTEST client (xdotool, a
// remote-desktop server) cannot be told from this application's own and does not count.
//
// Reads a connection of its own through a socket notifier on the thread that starts it (the main
// thread); open only while watching.
class X11UserInputWatch : public UserInputWatch
{
public:
    explicit X11UserInputWatch(std::string displayName = {});
    ~X11UserInputWatch() override;

    QString problem() override;
    bool start(const std::vector<std::uint16_t>& ignoredKeys, std::function<void()> used) override;
    void stop() override;

private:
    struct Axis
    {
        bool absolute = false;
        double minimum = 0;
        double maximum = 0;
    };
    struct Device
    {
        bool synthetic = false;
        std::map<int, Axis> axes; // the first two valuators: x and y
        double dx = 0, dy = 0;    // moved so far, in pixels
        bool anchored = false;
        double anchorX = 0, anchorY = 0;
    };

    void learnDevices();
    void readEvents();
    // True when the raw event is the user's and counts.
    bool counts(const void* rawEvent);
    bool moved(Device& device, const void* rawEvent);

    std::string m_displayName;
    std::optional<QString> m_problem; // the server's extensions do not change
    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_opcode = 0;
    std::map<int, Device> m_devices;
    std::set<int> m_ignoredKeycodes; // X key codes
    std::function<void()> m_used;
};

} // namespace loopwren

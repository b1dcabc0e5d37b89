#pragma once

#include "sessioncheck.h"

#include <cstddef>
#include <string>
#include <vector>

namespace loopwren::kernelchecks {

// What stands between the user and the kernel's devices, one permission at a time, with what to run.
// Each looks at the system as it is now.

// The input devices on the seat, LoopWren's own replay device left out.
struct InputDeviceCount
{
    std::size_t seen = 0;
    std::size_t readable = 0;
    int error = 0; // why the last one that could not be opened could not
    std::string firstNode; // the first device seen, to ask the input service about
};
InputDeviceCount countInputDevices();

// Can any input device be read?
SessionCheck inputDevices();
// LoopWren's input service: whether it lends input to this session, or why not.
SessionCheck inputService(const std::string& deviceNode);
// Membership of the input group, in this login and in the group database (added, but not yet in effect
// until the next login): only the fallback, and not needed when the service lends input.
SessionCheck inputGroup(bool serviceLends);
// /dev/uinput: there (the module is loaded) and writable; deviceProblem is why the replay device could
// not be made, when it could not.
SessionCheck uinput(const std::string& path, const QString& deviceProblem);
// LoopWren's udev rule, which gives /dev/uinput to the active session's user.
SessionCheck udevRule();

} // namespace loopwren::kernelchecks

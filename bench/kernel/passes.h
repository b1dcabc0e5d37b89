#pragma once

#include "probedinput.h"

#include "macroevent.h"

#include <functional>
#include <string>
#include <vector>

namespace loopwren {
class KernelInputMonitor;
class MacroEngine;
} // namespace loopwren

namespace loopwren::bench {

class ScriptedDevice;

// What a probe read in one pass, and whether it kept up.
struct Reading
{
    std::vector<ProbedInput> inputs;
    bool overflowed = false; // the kernel's queue for the probe overflowed: inputs were lost to it
};

// The passes of a round, each read from the node of the device that delivers it: the scripted device
// recorded by LoopWren, LoopWren's replay, and the device on its own. Main thread only; the event loop
// runs while a pass does, as LoopWren needs it to.
class Passes
{
public:
    Passes(ScriptedDevice& device, KernelInputMonitor& monitor, MacroEngine& engine, std::string replayNode);

    // The device plays script while LoopWren records; the engine holds the recording afterwards.
    Reading record(const Timeline& script);
    // The engine plays what it holds through its replay device.
    Reading replay();
    Reading playAgain(const Timeline& script);

private:
    void play(const Timeline& script);

    ScriptedDevice& m_device;
    KernelInputMonitor& m_monitor;
    MacroEngine& m_engine;
    std::string m_replayNode;
};

// Runs the event loop until condition holds. A condition that never comes gives up the whole run
// (exit status 2) after two minutes: an emulated CPU on a busy machine is slow, not that slow.
void waitFor(const char* what, const std::function<bool()>& condition);

// Whether the monitor's capture has taken in the input device of that name.
bool sees(const KernelInputMonitor& monitor, const std::string& name);

} // namespace loopwren::bench

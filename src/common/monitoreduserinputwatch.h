#pragma once

#include "inputmonitor.h"
#include "userinputwatch.h"

#include <memory>
#include <optional>

namespace loopwren {

// The user's input as an input monitor sees it, for a monitor that never sees this application's own
// synthetic input (the kernel's, which leaves LoopWren's replay device out). The pointer counts once
// it has moved more than the threshold from where it was first seen; where the monitor knows no
// positions, once it has reported more moves than the threshold, each of at least one unit.
class MonitoredUserInputWatch : public UserInputWatch
{
public:
    // problem: why the monitor cannot be used, asked when the user looks; empty where it can.
    MonitoredUserInputWatch(std::unique_ptr<InputMonitor> monitor, std::function<QString()> problem);
    ~MonitoredUserInputWatch() override;

    QString problem() override { return m_problem ? m_problem() : QString(); }
    bool start(const std::vector<std::uint16_t>& ignoredKeys, std::function<void()> used) override;
    void stop() override;

private:
    void seen(const InputEvent& event);

    std::unique_ptr<InputMonitor> m_monitor;
    std::function<QString()> m_problem;
    std::optional<InputMonitor::Token> m_token;
    std::vector<std::uint16_t> m_ignoredKeys;
    std::function<void()> m_used;
    std::optional<Point> m_anchor;
    int m_moves = 0;
};

} // namespace loopwren

#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace loopwren {

struct RunningApplication
{
    std::optional<QString> name;
    std::int64_t processId = 0;
    // Opaque handle the workspace uses to find the application again (e.g. its first window).
    std::uint64_t handle = 0;
};

struct WindowFrame
{
    std::optional<double> x, y;          // top-left, set when the position is to be applied
    std::optional<double> width, height; // set when the size is to be applied
};

// Other applications and their windows.
class Workspace
{
public:
    virtual ~Workspace() = default;

    virtual std::vector<RunningApplication> runningApplications() = 0;
    virtual void activate(const RunningApplication& application) = 0;
    // Moves (first) and resizes the application's first window; may be called from a worker thread.
    virtual void placeFirstWindow(const RunningApplication& application, const WindowFrame& frame) = 0;
};

} // namespace loopwren

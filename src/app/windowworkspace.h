#pragma once

#include "windowvisibility.h"
#include "workspace.h"

#include <memory>

namespace loopwren {

// The workspace of a desktop whose other applications are not (yet) reachable: it lists none and moves
// none, and hides and shows this application through its main window.
class WindowWorkspace : public Workspace
{
public:
    explicit WindowWorkspace(std::shared_ptr<WindowVisibility> visibility)
        : m_visibility(std::move(visibility))
    {
    }

    std::vector<RunningApplication> runningApplications() override { return {}; }
    void activate(const RunningApplication&) override {}
    void placeFirstWindow(const RunningApplication&, const WindowFrame&) override {}
    void hideThisApplication() override { m_visibility->hide(); }
    void showThisApplication() override { m_visibility->show(); }
    bool canHideThisApplication() const override { return true; }

private:
    std::shared_ptr<WindowVisibility> m_visibility;
};

} // namespace loopwren

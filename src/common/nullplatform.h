#pragma once

#include "platformservices.h"

namespace loopwren {

// Stand-ins for services a desktop does not offer (or that a front end does not want, like the
// command-line tool's hotkeys). Each does nothing and reports what "nothing" means for its caller.

class NullHotkeyService : public HotkeyService
{
public:
    ServiceResult bind(const HotkeyRole&, const Hotkey&, Pressed, Binding& binding) override;
    void unbind(Binding) override {}
    bool canHoldKeyboard() const override { return false; }
    ServiceResult holdKeyboard() override;
    void releaseKeyboard() override {}

private:
    Binding m_next = 1;
};

class NullAccessibility : public Accessibility
{
public:
    bool isInputAccessGranted() override { return false; }
    void requestInputAccess() override {}
};

class NullWorkspace : public Workspace
{
public:
    std::vector<RunningApplication> runningApplications() override { return {}; }
    void activate(const RunningApplication&) override {}
    void placeFirstWindow(const RunningApplication&, const WindowFrame&) override {}
};

// The command-line tool's: it has no window.
class NullOwnWindow : public OwnWindow
{
public:
    bool canHide() const override { return false; }
    void hide() override {}
    void show() override {}
};

class NullUpdateFetcher : public UpdateFetcher
{
public:
    void fetch(const QString&, std::function<void(FetchResult)>) override {}
};

class NullInputMonitor : public InputMonitor
{
public:
    std::optional<Token> watch(InputKinds, Handler) override { return std::nullopt; }
    void stopWatching(Token) override {}
};

class NullInputPosterFactory : public InputPosterFactory
{
public:
    std::unique_ptr<InputPoster> create() override { return nullptr; }
};

class NullUserInputWatch : public UserInputWatch
{
public:
    QString problem() override
    {
        return QStringLiteral("this session cannot tell your input from LoopWren's own");
    }
    bool start(const std::vector<std::uint16_t>&, std::function<void()>) override { return false; }
    void stop() override {}
};

// Fills every missing service of services with its null form.
void fillWithNullServices(PlatformServices& services);

} // namespace loopwren

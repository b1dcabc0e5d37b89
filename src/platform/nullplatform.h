#pragma once

#include "platformservices.h"

namespace loopwren {

// Stand-ins for services a desktop does not offer (or that a front end does not want, like the
// command-line tool's hotkeys). Each does nothing and reports what "nothing" means for its caller.

class NullHotkeyService : public HotkeyService
{
public:
    std::int32_t installHandler(Handler) override { return 0; }
    void removeHandler() override {}
    std::int32_t registerHotkey(std::uint16_t, std::uint32_t, HotkeyIdentifier,
                                Registration& registration) override;
    void unregisterHotkey(Registration) override {}

private:
    Registration m_next = 1;
};

class NullAccessibility : public Accessibility
{
public:
    bool isTrusted() override { return false; }
    void requestTrust() override {}
};

class NullWorkspace : public Workspace
{
public:
    std::vector<RunningApplication> runningApplications() override { return {}; }
    void activate(const RunningApplication&) override {}
    void placeFirstWindow(const RunningApplication&, const WindowFrame&) override {}
    void hideThisApplication() override {}
    void showThisApplication() override {}
};

class NullUpdateFetcher : public UpdateFetcher
{
public:
    void fetch(const QString&, std::function<void(FetchResult)>) override {}
};

class NullInputMonitor : public InputMonitor
{
public:
    std::optional<Token> addGlobalMonitor(std::uint64_t, Handler) override { return std::nullopt; }
    std::optional<Token> addLocalMonitor(std::uint64_t, Handler) override { return std::nullopt; }
    void removeMonitor(Token) override {}
};

class NullInputPosterFactory : public InputPosterFactory
{
public:
    std::unique_ptr<InputPoster> create() override { return nullptr; }
};

// Fills every missing service of services with its null form.
void fillWithNullServices(PlatformServices& services);

} // namespace loopwren

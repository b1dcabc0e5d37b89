#pragma once

#include "platformservices.h"

#include <QStringList>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace loopwren {

// Fakes that record what they were asked, as readable lines, so tests compare strings.
// A Journal is shared between the fakes of one test so the order across services shows too.
class Journal
{
public:
    void add(const QString& line);
    QStringList lines() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::vector<QString> m_lines;
};

class FakeHotkeyService : public HotkeyService
{
public:
    explicit FakeHotkeyService(std::shared_ptr<Journal> journal) : m_journal(std::move(journal)) {}

    std::int32_t installHandler(Handler handler) override;
    void removeHandler() override;
    std::int32_t registerHotkey(std::uint16_t keyCode, std::uint32_t modifiers, HotkeyIdentifier id,
                                Registration& registration) override;
    void unregisterHotkey(Registration registration) override;
    std::int32_t holdKeyboard() override;
    void releaseKeyboard() override;

    // Presses the hotkey registered under number, as the desktop would; returns the handler's status.
    std::int32_t press(std::optional<HotkeyIdentifier> identifier);

    std::int32_t installStatus = 0;
    std::int32_t registerStatus = 0;
    std::int32_t holdStatus = 0;

private:
    std::shared_ptr<Journal> m_journal;
    Handler m_handler;
    Registration m_next = 1;
};

class FakeAccessibility : public Accessibility
{
public:
    bool isTrusted() override { return trusted; }
    void requestTrust() override { ++requests; }

    bool trusted = true;
    int requests = 0;
};

class FakeWorkspace : public Workspace
{
public:
    explicit FakeWorkspace(std::shared_ptr<Journal> journal) : m_journal(std::move(journal)) {}

    std::vector<RunningApplication> runningApplications() override { return applications; }
    void activate(const RunningApplication& application) override;
    void placeFirstWindow(const RunningApplication& application, const WindowFrame& frame) override;
    void hideThisApplication() override;
    void showThisApplication() override;

    std::vector<RunningApplication> applications;

private:
    std::shared_ptr<Journal> m_journal;
};

// Input is injected by the test through deliver(), as if a global monitor had seen it.
class FakeInputMonitor : public InputMonitor
{
public:
    std::optional<Token> addGlobalMonitor(std::uint64_t mask, Handler handler) override;
    std::optional<Token> addLocalMonitor(std::uint64_t mask, Handler handler) override;
    void removeMonitor(Token token) override { m_monitors.erase(token); }

    void deliver(const InputEvent& event);
    std::size_t monitorCount() const { return m_monitors.size(); }
    std::uint64_t lastMask = 0;
    bool refuseGlobal = false;

private:
    std::map<Token, std::pair<std::uint64_t, Handler>> m_monitors;
    Token m_next = 1;
};

class FakeInputPoster : public InputPoster
{
public:
    explicit FakeInputPoster(std::shared_ptr<Journal> journal) : m_journal(std::move(journal)) {}

    bool warpPointer(Point location) override;
    void postMouseMoved(Point location, std::optional<MouseButtonType> dragButton,
                        std::optional<std::uint64_t> flags) override;
    void postMouseButton(MouseButtonType button, bool down, Point location, std::int64_t clickCount,
                         std::optional<std::uint64_t> flags) override;
    void postKey(std::uint16_t keyCode, bool down, std::optional<std::uint64_t> flags) override;
    void postScrollNotch(ScrollDirection direction, std::optional<std::uint64_t> flags) override;
    void releaseAll() override;

private:
    std::shared_ptr<Journal> m_journal;
};

class FakeInputPosterFactory : public InputPosterFactory
{
public:
    explicit FakeInputPosterFactory(std::shared_ptr<Journal> journal) : m_journal(std::move(journal)) {}
    std::unique_ptr<InputPoster> create() override { return std::make_unique<FakeInputPoster>(m_journal); }

private:
    std::shared_ptr<Journal> m_journal;
};

} // namespace loopwren

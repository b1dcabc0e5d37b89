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

    ServiceResult bind(const Hotkey& hotkey, Pressed pressed, Binding& binding) override;
    void unbind(Binding binding) override;
    ServiceResult holdKeyboard() override;
    void releaseKeyboard() override;

    // Presses the combination as the desktop would: every binding of it runs.
    void press(const Hotkey& hotkey);

    // The code bind and holdKeyboard answer; 0 is success.
    std::int64_t bindCode = 0;
    std::int64_t holdCode = 0;

private:
    std::shared_ptr<Journal> m_journal;
    std::map<Binding, std::pair<Hotkey, Pressed>> m_bindings;
    Binding m_next = 1;
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
    std::optional<Token> watch(InputKinds kinds, Handler handler) override;
    void stopWatching(Token token) override { m_watches.erase(token); }

    void deliver(const InputEvent& event);
    std::size_t watchCount() const { return m_watches.size(); }
    InputKinds lastKinds;
    bool refuse = false;

private:
    std::map<Token, std::pair<InputKinds, Handler>> m_watches;
    Token m_next = 1;
};

// Answers every fetch at once with the document set last.
class FakeUpdateFetcher : public UpdateFetcher
{
public:
    void fetch(const QString&, std::function<void(FetchResult)> completion) override
    {
        completion(FetchResult{document, QString()});
    }
    QByteArray document;
};

class FakeInputPoster : public InputPoster
{
public:
    explicit FakeInputPoster(std::shared_ptr<Journal> journal) : m_journal(std::move(journal)) {}

    bool warpPointer(Point location) override;
    void postMouseMoved(Point location, std::optional<std::uint64_t> flags) override;
    void postMouseButton(MouseButtonType button, bool down, Point location,
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

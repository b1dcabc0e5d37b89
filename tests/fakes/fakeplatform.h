#pragma once

#include "monitoreduserinputwatch.h"
#include "platformservices.h"

#include <QStringList>
#include <functional>
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
    void add(const QString& line)
    {
        std::lock_guard lock(m_mutex);
        m_lines.push_back(line);
    }
    // A list of its own: a shared copy handed out would be resized by the next add in place once the
    // caller dropped it, with nothing ordering that against the caller's release.
    QStringList lines() const
    {
        std::lock_guard lock(m_mutex);
        return QStringList(m_lines.begin(), m_lines.end());
    }
    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_lines.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<QString> m_lines;
};

// Writes each line to the journal it was given.
class Journaling
{
protected:
    explicit Journaling(std::shared_ptr<Journal> journal) : m_journal(std::move(journal)) {}
    void note(const QString& line) { m_journal->add(line); }
    // A refusal with the code, or success for 0.
    static ServiceResult answer(std::int64_t code)
    {
        return code ? ServiceResult::refused(code, QStringLiteral("refused by the test"))
                    : ServiceResult::done();
    }
    static QString at(Point p) { return QStringLiteral(" (%1, %2)").arg(p.x).arg(p.y); }
    static QString with(std::optional<std::uint64_t> flags)
    {
        return flags ? QStringLiteral(" flags=0x%1").arg(*flags, 0, 16) : QString();
    }

    std::shared_ptr<Journal> m_journal;
};

class FakeHotkeyService : public HotkeyService, Journaling
{
public:
    explicit FakeHotkeyService(std::shared_ptr<Journal> journal) : Journaling(std::move(journal)) {}

    ServiceResult bind(const HotkeyRole&, const Hotkey& hotkey, Pressed pressed, Binding& binding) override
    {
        note(QStringLiteral("bind %1 mods=0x%2 -> %3")
                 .arg(hotkey.keyCode)
                 .arg(hotkey.modifiers, 0, 16)
                 .arg(bindCode));
        if (bindCode == 0)
            m_bindings.emplace(binding = m_next++, std::make_pair(hotkey, std::move(pressed)));
        return answer(bindCode);
    }
    void unbind(Binding binding) override
    {
        note(QStringLiteral("unbind %1").arg(binding));
        m_bindings.erase(binding);
    }
    bool canHoldKeyboard() const override { return canHold; }
    ServiceResult holdKeyboard() override
    {
        note(QStringLiteral("hold keyboard -> %1").arg(holdCode));
        return answer(holdCode);
    }
    void releaseKeyboard() override { note(QStringLiteral("release keyboard")); }
    std::optional<QString> desktopTrigger(const QString& id) const override
    {
        const auto found = m_desktopTriggers.find(id);
        return found == m_desktopTriggers.end() ? std::nullopt : found->second;
    }
    void watchDesktopTriggers(std::function<void()> changed) override
    {
        m_triggersChanged = std::move(changed);
    }

    // The desktop puts keys of its own on a hotkey (nullopt: the captured ones again), as a desktop's
    // shortcut settings do.
    void setDesktopTrigger(const HotkeyRole& role, std::optional<QString> trigger)
    {
        m_desktopTriggers[role.id] = std::move(trigger);
        if (m_triggersChanged)
            m_triggersChanged();
    }

    // Presses the combination as the desktop would: every binding of it runs, from a copy, since one
    // may bind or unbind.
    void press(const Hotkey& hotkey)
    {
        const auto bindings = m_bindings;
        for (const auto& [binding, bound] : bindings) {
            if (bound.first == hotkey)
                bound.second();
        }
    }

    // The code bind and holdKeyboard answer; 0 is success.
    std::int64_t bindCode = 0;
    std::int64_t holdCode = 0;
    bool canHold = true;

private:
    std::map<Binding, std::pair<Hotkey, Pressed>> m_bindings;
    Binding m_next = 1;
    std::map<QString, std::optional<QString>> m_desktopTriggers;
    std::function<void()> m_triggersChanged;
};

class FakeAccessibility : public Accessibility
{
public:
    bool isInputAccessGranted() override { return inputAccessGranted; }
    void requestInputAccess() override { ++requests; }

    bool inputAccessGranted = true;
    int requests = 0;
};

class FakeWorkspace : public Workspace, Journaling
{
public:
    explicit FakeWorkspace(std::shared_ptr<Journal> journal) : Journaling(std::move(journal)) {}

    std::vector<RunningApplication> runningApplications() override { return applications; }
    void activate(const RunningApplication& app) override
    {
        note(QStringLiteral("activate %1 pid=%2").arg(app.name.value_or(QString())).arg(app.processId));
    }
    void placeFirstWindow(const RunningApplication& app, const WindowFrame& frame) override
    {
        QString line = QStringLiteral("place ") + app.name.value_or(QString());
        if (frame.x && frame.y)
            line += QStringLiteral(" position=(%1, %2)").arg(*frame.x).arg(*frame.y);
        if (frame.width && frame.height)
            line += QStringLiteral(" size=%1x%2").arg(*frame.width).arg(*frame.height);
        note(line);
    }

    std::vector<RunningApplication> applications;
};

class FakeOwnWindow : public OwnWindow, Journaling
{
public:
    explicit FakeOwnWindow(std::shared_ptr<Journal> journal) : Journaling(std::move(journal)) {}

    bool canHide() const override { return true; }
    void hide() override { note(QStringLiteral("hide")); }
    void show() override { note(QStringLiteral("show")); }
};

// Input is injected by the test through deliver(), as if a global monitor had seen it.
class FakeInputMonitor : public InputMonitor
{
public:
    std::optional<Token> watch(InputKinds kinds, Handler handler) override
    {
        lastKinds = kinds;
        if (refuse)
            return std::nullopt;
        m_watches.emplace(m_next, std::make_pair(kinds, std::move(handler)));
        return m_next++;
    }
    void stopWatching(Token token) override { m_watches.erase(token); }

    // To every watch of its kind, from a copy, since a handler may stop its own watch.
    void deliver(const InputEvent& event)
    {
        const auto watches = m_watches;
        for (const auto& [token, watch] : watches) {
            if (watch.first.contains(event.kind))
                watch.second(event);
        }
    }
    std::size_t watchCount() const { return m_watches.size(); }
    InputKinds lastKinds;
    bool refuse = false;

private:
    std::map<Token, std::pair<InputKinds, Handler>> m_watches;
    Token m_next = 1;
};

class FakeInputPoster : public InputPoster, Journaling
{
public:
    explicit FakeInputPoster(std::shared_ptr<Journal> journal) : Journaling(std::move(journal)) {}

    PointerReach reach(Point at) const override { return reachOf ? reachOf(at) : PointerReach::onScreen; }
    bool warpPointer(Point location) override
    {
        note(QStringLiteral("warp") + at(location));
        return true;
    }
    void postMouseMoved(Point location, std::optional<std::uint64_t> flags) override
    {
        note(QStringLiteral("move") + at(location) + with(flags));
    }
    void postMouseButton(MouseButtonType button, bool down, Point location,
                         std::optional<std::uint64_t> flags) override
    {
        static const char* const names[] = {"left", "right", "other"};
        note(QLatin1String(names[static_cast<int>(button)]) + (down ? " down" : " up") + at(location) +
             with(flags));
    }
    void postKey(std::uint16_t keyCode, bool down, std::optional<std::uint64_t> flags) override
    {
        note(QStringLiteral("key %1 %2").arg(keyCode).arg(down ? "down" : "up") + with(flags));
    }
    void postScrollNotch(ScrollDirection direction, std::optional<std::uint64_t> flags) override
    {
        static const char* const names[] = {"up", "down", "left", "right"};
        note(QStringLiteral("scroll ") + names[static_cast<int>(direction)] + with(flags));
    }
    void releaseAll() override { note(QStringLiteral("release all")); }

    std::function<PointerReach(Point)> reachOf; // where pointer input lands; on a screen when empty
};

class FakeInputPosterFactory : public InputPosterFactory
{
public:
    explicit FakeInputPosterFactory(std::shared_ptr<Journal> journal) : m_journal(std::move(journal)) {}
    std::unique_ptr<InputPoster> create() override
    {
        auto poster = std::make_unique<FakeInputPoster>(m_journal);
        poster->reachOf = reach;
        return poster;
    }

    std::function<PointerReach(Point)> reach; // for each poster made

private:
    std::shared_ptr<Journal> m_journal;
};

// Puts a new Fake into a service slot and hands back a pointer the test keeps; the slot's owner owns it.
template <typename Fake, typename Service, typename... Arguments>
Fake* install(std::unique_ptr<Service>& slot, Arguments&&... arguments)
{
    auto fake = std::make_unique<Fake>(std::forward<Arguments>(arguments)...);
    Fake* kept = fake.get();
    slot = std::move(fake);
    return kept;
}

// The desktop as fakes writing to one journal: hotkeys, access, workspace, input and posters. The
// preferences and the update fetcher are left to the test, which chooses real or fake ones. A fixture
// derives from it to reach the fakes by name once the engine owns them.
struct FakeDesktop
{
    void installFakes(PlatformServices& services, const std::shared_ptr<Journal>& journal)
    {
        hotkeys = install<FakeHotkeyService>(services.hotkeys, journal);
        accessibility = install<FakeAccessibility>(services.accessibility);
        workspace = install<FakeWorkspace>(services.workspace, journal);
        install<FakeOwnWindow>(services.ownWindow, journal);
        input = install<FakeInputMonitor>(services.input);
        posters = install<FakeInputPosterFactory>(services.posters, journal);
        // The watch of the user's own input is the real one, over a monitor the test feeds.
        auto watched = std::make_unique<FakeInputMonitor>();
        userInput = watched.get();
        install<MonitoredUserInputWatch>(services.userInput, std::move(watched),
                                         [this] { return userInputProblem; });
    }

    FakeHotkeyService* hotkeys = nullptr;
    FakeAccessibility* accessibility = nullptr;
    FakeWorkspace* workspace = nullptr;
    FakeInputMonitor* input = nullptr;
    FakeInputMonitor* userInput = nullptr;
    // Why the user's input cannot be watched; empty: it can.
    QString userInputProblem;
    FakeInputPosterFactory* posters = nullptr;
};

} // namespace loopwren

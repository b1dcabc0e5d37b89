#include "fakeplatform.h"

namespace loopwren {
namespace {

QString point(Point p) { return QStringLiteral("(%1, %2)").arg(p.x).arg(p.y); }

QString flagsText(std::optional<std::uint64_t> flags)
{
    return flags ? QStringLiteral(" flags=0x%1").arg(*flags, 0, 16) : QString();
}

const char* buttonText(MouseButtonType button)
{
    switch (button) {
    case MouseButtonType::left:
        return "left";
    case MouseButtonType::right:
        return "right";
    case MouseButtonType::other:
        return "other";
    }
    return "?";
}

} // namespace

void Journal::add(const QString& line)
{
    std::lock_guard lock(m_mutex);
    m_lines.push_back(line);
}

QStringList Journal::lines() const
{
    std::lock_guard lock(m_mutex);
    // A list of its own: a shared copy handed out would be resized by the next add in place once the
    // caller dropped it, with nothing ordering that against the caller's release.
    return QStringList(m_lines.begin(), m_lines.end());
}

void Journal::clear()
{
    std::lock_guard lock(m_mutex);
    m_lines.clear();
}

ServiceResult FakeHotkeyService::bind(const Hotkey& hotkey, Pressed pressed, Binding& binding)
{
    m_journal->add(QStringLiteral("bind %1 mods=0x%2 -> %3")
                       .arg(hotkey.keyCode)
                       .arg(hotkey.modifiers, 0, 16)
                       .arg(bindCode));
    if (bindCode != 0)
        return ServiceResult::refused(bindCode, QStringLiteral("refused by the test"));
    binding = m_next++;
    m_bindings.emplace(binding, std::make_pair(hotkey, std::move(pressed)));
    return ServiceResult::done();
}

void FakeHotkeyService::unbind(Binding binding)
{
    m_journal->add(QStringLiteral("unbind %1").arg(binding));
    m_bindings.erase(binding);
}

ServiceResult FakeHotkeyService::holdKeyboard()
{
    m_journal->add(QStringLiteral("hold keyboard -> %1").arg(holdCode));
    return holdCode == 0 ? ServiceResult::done()
                         : ServiceResult::refused(holdCode, QStringLiteral("refused by the test"));
}

void FakeHotkeyService::releaseKeyboard() { m_journal->add(QStringLiteral("release keyboard")); }

void FakeHotkeyService::press(const Hotkey& hotkey)
{
    std::vector<Pressed> matching;
    for (const auto& [binding, bound] : m_bindings) {
        if (bound.first == hotkey)
            matching.push_back(bound.second);
    }
    for (const Pressed& pressed : matching)
        pressed();
}

void FakeWorkspace::activate(const RunningApplication& application)
{
    m_journal->add(QStringLiteral("activate %1 pid=%2")
                       .arg(application.name.value_or(QString()))
                       .arg(application.processId));
}

void FakeWorkspace::placeFirstWindow(const RunningApplication& application, const WindowFrame& frame)
{
    QString line = QStringLiteral("place %1").arg(application.name.value_or(QString()));
    if (frame.x && frame.y)
        line += QStringLiteral(" position=(%1, %2)").arg(*frame.x).arg(*frame.y);
    if (frame.width && frame.height)
        line += QStringLiteral(" size=%1x%2").arg(*frame.width).arg(*frame.height);
    m_journal->add(line);
}

void FakeWorkspace::hideThisApplication() { m_journal->add(QStringLiteral("hide")); }
void FakeWorkspace::showThisApplication() { m_journal->add(QStringLiteral("show")); }

std::optional<InputMonitor::Token> FakeInputMonitor::watch(InputKinds kinds, Handler handler)
{
    lastKinds = kinds;
    if (refuse)
        return std::nullopt;
    m_watches.emplace(m_next, std::make_pair(kinds, std::move(handler)));
    return m_next++;
}

void FakeInputMonitor::deliver(const InputEvent& event)
{
    // A handler may stop its own watch, so deliver from a copy.
    const auto watches = m_watches;
    for (const auto& [token, watch] : watches) {
        if (watch.first.contains(event.kind))
            watch.second(event);
    }
}

bool FakeInputPoster::warpPointer(Point location)
{
    m_journal->add(QStringLiteral("warp ") + point(location));
    return true;
}

void FakeInputPoster::postMouseMoved(Point location, std::optional<std::uint64_t> flags)
{
    m_journal->add(QStringLiteral("move ") + point(location) + flagsText(flags));
}

void FakeInputPoster::postMouseButton(MouseButtonType button, bool down, Point location,
                                      std::optional<std::uint64_t> flags)
{
    m_journal->add(QStringLiteral("%1 %2 %3%4")
                       .arg(buttonText(button), down ? "down" : "up", point(location), flagsText(flags)));
}

void FakeInputPoster::postKey(std::uint16_t keyCode, bool down, std::optional<std::uint64_t> flags)
{
    m_journal->add(QStringLiteral("key %1 %2%3").arg(keyCode).arg(down ? "down" : "up", flagsText(flags)));
}

void FakeInputPoster::postScrollNotch(ScrollDirection direction, std::optional<std::uint64_t> flags)
{
    static const char* names[] = {"up", "down", "left", "right"};
    m_journal->add(QStringLiteral("scroll %1%2").arg(names[static_cast<int>(direction)], flagsText(flags)));
}

void FakeInputPoster::releaseAll() { m_journal->add(QStringLiteral("release all")); }

} // namespace loopwren

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

std::int32_t FakeHotkeyService::installHandler(Handler handler)
{
    m_journal->add(QStringLiteral("install handler -> %1").arg(installStatus));
    if (installStatus == 0)
        m_handler = std::move(handler);
    return installStatus;
}

void FakeHotkeyService::removeHandler()
{
    m_journal->add(QStringLiteral("remove handler"));
    m_handler = nullptr;
}

std::int32_t FakeHotkeyService::registerHotkey(std::uint16_t keyCode, std::uint32_t modifiers,
                                               HotkeyIdentifier id, Registration& registration)
{
    m_journal->add(QStringLiteral("register %1 mods=0x%2 id=(%3, %4) -> %5")
                       .arg(keyCode)
                       .arg(modifiers, 0, 16)
                       .arg(id.signature)
                       .arg(id.number)
                       .arg(registerStatus));
    if (registerStatus == 0)
        registration = m_next++;
    return registerStatus;
}

void FakeHotkeyService::unregisterHotkey(Registration registration)
{
    m_journal->add(QStringLiteral("unregister %1").arg(registration));
}

std::int32_t FakeHotkeyService::holdKeyboard()
{
    m_journal->add(QStringLiteral("hold keyboard -> %1").arg(holdStatus));
    return holdStatus;
}

void FakeHotkeyService::releaseKeyboard() { m_journal->add(QStringLiteral("release keyboard")); }

std::int32_t FakeHotkeyService::press(std::optional<HotkeyIdentifier> identifier)
{
    return m_handler ? m_handler(identifier) : -1;
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

std::optional<InputMonitor::Token> FakeInputMonitor::addGlobalMonitor(std::uint64_t mask, Handler handler)
{
    lastMask = mask;
    if (refuseGlobal)
        return std::nullopt;
    m_monitors.emplace(m_next, std::make_pair(mask, std::move(handler)));
    return m_next++;
}

std::optional<InputMonitor::Token> FakeInputMonitor::addLocalMonitor(std::uint64_t, Handler)
{
    // Like a desktop whose global monitor already sees this application: the local one sees nothing.
    return m_next++;
}

void FakeInputMonitor::deliver(const InputEvent& event)
{
    // A handler may remove its own monitor, so deliver from a copy.
    const auto monitors = m_monitors;
    for (const auto& [token, monitor] : monitors) {
        if (monitor.first & inputMaskBit(event.kind))
            monitor.second(event);
    }
}

bool FakeInputPoster::warpPointer(Point location)
{
    m_journal->add(QStringLiteral("warp ") + point(location));
    return true;
}

void FakeInputPoster::postMouseMoved(Point location, std::optional<MouseButtonType> dragButton,
                                     std::optional<std::uint64_t> flags)
{
    const QString what =
        dragButton ? QStringLiteral("drag %1").arg(buttonText(*dragButton)) : QStringLiteral("move");
    m_journal->add(what + QLatin1Char(' ') + point(location) + flagsText(flags));
}

void FakeInputPoster::postMouseButton(MouseButtonType button, bool down, Point location,
                                      std::int64_t clickCount, std::optional<std::uint64_t> flags)
{
    m_journal->add(QStringLiteral("%1 %2 %3 clicks=%4%5")
                       .arg(buttonText(button), down ? "down" : "up", point(location))
                       .arg(clickCount)
                       .arg(flagsText(flags)));
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

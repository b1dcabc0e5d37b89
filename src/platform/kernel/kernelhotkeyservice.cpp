#include "kernelhotkeyservice.h"

#include "keycodetable.h"

#include <cerrno>

namespace loopwren {

KernelHotkeyService::KernelHotkeyService(std::unique_ptr<InputMonitor> keys) : m_keys(std::move(keys)) {}

KernelHotkeyService::~KernelHotkeyService()
{
    if (m_watch)
        m_keys->stopWatching(*m_watch);
}

ServiceResult KernelHotkeyService::bind(HotkeyTarget, const Hotkey& hotkey, Pressed pressed, Binding& binding)
{
    binding = m_next++;
    if (!KeyCodeTable::evdevCode(hotkey.keyCode))
        return ServiceResult::done(); // no key makes it: it never fires
    if (!m_watch) {
        m_watch = m_keys->watch({InputKind::keyDown}, [this](const InputEvent& event) { keyDown(event); });
        if (!m_watch)
            return ServiceResult::refused(EACCES, QStringLiteral("the input devices cannot be read"));
    }
    m_bindings.emplace(binding, std::make_pair(hotkey, std::move(pressed)));
    return ServiceResult::done();
}

void KernelHotkeyService::unbind(Binding binding)
{
    m_bindings.erase(binding);
    if (m_bindings.empty() && m_watch) {
        m_keys->stopWatching(*m_watch);
        m_watch.reset();
    }
}

ServiceResult KernelHotkeyService::holdKeyboard()
{
    return ServiceResult::refused(
        EOPNOTSUPP, QStringLiteral("the input devices cannot keep keys from the focused window"));
}

void KernelHotkeyService::keyDown(const InputEvent& event)
{
    const std::uint64_t held = event.flags.value_or(0) & modifier::hotkeyMask;
    // From a copy: a callback may bind or unbind.
    const auto bindings = m_bindings;
    for (const auto& [binding, bound] : bindings) {
        if (bound.first.keyCode == event.keyCode && bound.first.modifiers == held)
            bound.second();
    }
}

} // namespace loopwren

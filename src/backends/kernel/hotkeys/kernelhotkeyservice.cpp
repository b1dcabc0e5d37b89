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

ServiceResult KernelHotkeyService::bind(const HotkeyRole&, const Hotkey& hotkey, Pressed pressed,
                                        Binding& binding)
{
    // Only the four modifiers count, as in every other place a hotkey is read.
    const Hotkey combination{hotkey.keyCode, hotkey.modifiers & modifier::hotkeyMask};
    if (!KeyCodeTable::evdevCode(combination.keyCode)) {
        binding = m_next++;
        return ServiceResult::done(); // no key makes it: it never fires
    }
    // One press cannot stand for two hotkeys (stopping a recording would start a playback at once).
    for (const auto& entry : m_bindings) {
        if (entry.second.first == combination)
            return ServiceResult::refused(alreadyBound, QStringLiteral("the combination is bound already"));
    }
    if (!m_watch) {
        m_watch = m_keys->watch({InputKind::keyDown}, [this](const InputEvent& event) { keyDown(event); });
        if (!m_watch)
            return ServiceResult::refused(EACCES, QStringLiteral("the input devices cannot be read"));
    }
    binding = m_next++;
    m_bindings.emplace(binding, std::make_pair(combination, std::move(pressed)));
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

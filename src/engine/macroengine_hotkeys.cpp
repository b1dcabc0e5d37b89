// Global hotkeys: registration with the desktop's hotkey service and the handler that runs the toggles.
#include "logline.h"
#include "macroengine.h"
#include "mainqueue.h"

namespace loopwren {
namespace {

constexpr HotkeyIdentifier kRecordIdentifier{1111, 1};
constexpr HotkeyIdentifier kPlaybackIdentifier{2222, 2};
// The service's answer for an event this handler did not take, so it passes the event on.
constexpr std::int32_t kEventNotHandled = -9874;

} // namespace

std::uint32_t MacroEngine::carbonModifierMask(std::uint64_t modifiers)
{
    const auto low = static_cast<std::uint32_t>(modifiers);
    std::uint32_t mask = 0;
    if (low & modifier::command)
        mask |= servicemodifier::command;
    if (low & modifier::shift)
        mask |= servicemodifier::shift;
    if (low & modifier::option)
        mask |= servicemodifier::option;
    if (low & modifier::control)
        mask |= servicemodifier::control;
    return mask;
}

void MacroEngine::unregisterHotkeys()
{
    for (auto* ref : {&m_recordHotKeyRef, &m_playbackHotKeyRef}) {
        if (*ref) {
            m_services.hotkeys->unregisterHotkey(**ref);
            ref->reset();
        }
    }
}

void MacroEngine::registerHotkeys()
{
    unregisterHotkeys();
    if (!m_hotkeyHandlerInstalled) {
        const std::int32_t status = m_services.hotkeys->installHandler(
            [this](std::optional<HotkeyIdentifier> identifier) { return handleHotkeyEvent(identifier); });
        if (status != 0)
            logLine(QStringLiteral("Failed to install Carbon event handler: "), QString::number(status));
        else
            m_hotkeyHandlerInstalled = true;
    }

    struct Slot
    {
        const Hotkey& hotkey;
        HotkeyIdentifier identifier;
        std::optional<HotkeyService::Registration>& ref;
        QString failure;
    };
    const Slot wanted[] = {
        {m_recordHotkey, kRecordIdentifier, m_recordHotKeyRef,
         QStringLiteral("Failed to register record hotkey: ")},
        {m_playbackHotkey, kPlaybackIdentifier, m_playbackHotKeyRef,
         QStringLiteral("Failed to register playback hotkey: ")},
    };
    for (const Slot& slot : wanted) {
        HotkeyService::Registration registration = 0;
        const std::int32_t status = m_services.hotkeys->registerHotkey(
            slot.hotkey.keyCode, carbonModifierMask(slot.hotkey.modifiers), slot.identifier, registration);
        if (status != 0)
            logLine(slot.failure, QString::number(status));
        else
            slot.ref = registration;
    }
}

std::int32_t MacroEngine::handleHotkeyEvent(std::optional<HotkeyIdentifier> identifier)
{
    if (!identifier || m_isCapturingHotkey)
        return kEventNotHandled;
    // The toggles run after the service's callback has returned. A stop never waits; a start waits
    // until an open panel or alert has closed, so nothing begins beneath it.
    switch (identifier->number) {
    case kRecordIdentifier.number:
        mainqueue::post(this, [this] {
            if (m_isRecording)
                stopRecording();
            else
                mainqueue::runAfterModal(this, [this] { toggleRecording(); });
        });
        return 0;
    case kPlaybackIdentifier.number:
        mainqueue::post(this, [this] {
            if (m_isPlaying)
                stopPlayback();
            else
                mainqueue::runAfterModal(this, [this] { togglePlayback(); });
        });
        return 0;
    default:
        return kEventNotHandled;
    }
}

} // namespace loopwren

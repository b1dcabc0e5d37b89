#include "hotkeybinding.h"

#include "logline.h"

namespace loopwren {

HotkeyBinding::HotkeyBinding(HotkeyService& service, std::function<void()> recordPressed,
                             std::function<void()> playbackPressed)
    : m_service(service), m_recordPressed(std::move(recordPressed)),
      m_playbackPressed(std::move(playbackPressed))
{
}

HotkeyBinding::~HotkeyBinding() { unbind(); }

void HotkeyBinding::bind(const Hotkey& record, const Hotkey& playback)
{
    unbind();
    struct Slot
    {
        EngineHotkeyRole role;
        const Hotkey& hotkey;
        const std::function<void()>& pressed;
        std::optional<HotkeyService::Binding>& binding;
        QString failure;
    };
    const Slot wanted[] = {
        {EngineHotkeyRole::record, record, m_recordPressed, m_record,
         QStringLiteral("Failed to register record hotkey: ")},
        {EngineHotkeyRole::playback, playback, m_playbackPressed, m_playback,
         QStringLiteral("Failed to register playback hotkey: ")},
    };
    for (const Slot& slot : wanted) {
        HotkeyService::Binding binding = 0;
        const ServiceResult result = m_service.bind(slot.role, slot.hotkey, slot.pressed, binding);
        if (result.ok())
            slot.binding = binding;
        else
            logLine(slot.failure, QString::number(result.code));
    }
}

void HotkeyBinding::unbind()
{
    for (auto* binding : {&m_record, &m_playback}) {
        if (*binding)
            m_service.unbind(*std::exchange(*binding, std::nullopt));
    }
}

} // namespace loopwren

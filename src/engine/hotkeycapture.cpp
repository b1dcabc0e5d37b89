#include "hotkeycapture.h"

#include "logline.h"
#include "macroengine.h"
#include "mainqueue.h"

#include <utility>

namespace loopwren {
namespace {

constexpr std::uint16_t kEscapeKeyCode = 53;

} // namespace

HotkeyCapture::HotkeyCapture(MacroEngine& engine, QObject* parent)
    : QObject(parent), m_engine(engine), m_monitor(engine.inputMonitor()), m_hotkeys(engine.hotkeyService())
{
}

HotkeyCapture::~HotkeyCapture()
{
    removeActiveMonitor();
    releaseKeyboard();
}

int HotkeyCapture::recordingHotkeyForValue() const
{
    return m_recordingHotkeyFor ? static_cast<int>(*m_recordingHotkeyFor) : -1;
}

void HotkeyCapture::startHotkeyCapture(int role)
{
    if (role == static_cast<int>(EngineHotkeyRole::record) ||
        role == static_cast<int>(EngineHotkeyRole::playback))
        startHotkeyCapture(static_cast<EngineHotkeyRole>(role));
}

void HotkeyCapture::startHotkeyCapture(EngineHotkeyRole role)
{
    m_apply = nullptr;
    setRecordingHotkeyFor(role);
    begin(role);
}

void HotkeyCapture::startCapture(std::function<void(const Hotkey&)> apply)
{
    m_apply = std::move(apply);
    setRecordingHotkeyFor(std::nullopt);
    begin(EngineHotkeyRole::record);
}

void HotkeyCapture::begin(EngineHotkeyRole role)
{
    removeActiveMonitor();
    m_engine.setIsCapturingHotkey(true);
    // Where the keyboard can never be held (the input devices, a desktop's shortcuts portal), the
    // combination reaches the focused window, which is this one.
    if (!m_holdingKeyboard && m_hotkeys.canHoldKeyboard()) {
        // Refused (another program holds the keyboard): the capture still works, only without hiding
        // the combination from the focused window.
        if (const ServiceResult held = m_hotkeys.holdKeyboard(); !held.ok())
            logLine(QStringLiteral("Failed to hold the keyboard for the hotkey capture: "),
                    QString::number(held.code));
        else
            m_holdingKeyboard = true;
    }
    // The capture watches key presses wherever they go: on X11 the keyboard focus may sit in this
    // window or anywhere else while the user reaches for the combination.
    m_activeMonitor = m_monitor.watch({InputKind::keyDown},
                                      [this, role](const InputEvent& e) { handleCapturedKey(e, role); });
    if (!m_activeMonitor) {
        releaseKeyboard();
        m_apply = nullptr;
        m_engine.setIsCapturingHotkey(false);
        emit recordingHotkeyForChanged();
    }
}

void HotkeyCapture::handleCapturedKey(const InputEvent& event, EngineHotkeyRole role)
{
    if (event.keyCode == kEscapeKeyCode) {
        mainqueue::post(this, [this] {
            m_apply = nullptr;
            setRecordingHotkeyFor(std::nullopt);
            m_engine.setIsCapturingHotkey(false);
        });
    } else {
        const std::uint64_t modifiers = event.flags.value_or(0) & modifier::hotkeyMask;
        mainqueue::post(this, [this, role, code = event.keyCode, modifiers] {
            applyCapturedHotkey(role, code, modifiers);
        });
    }
    removeActiveMonitor();
    releaseKeyboard();
}

void HotkeyCapture::applyCapturedHotkey(EngineHotkeyRole role, std::uint16_t keyCode, std::uint64_t modifiers)
{
    // Stored while the capture still holds the grabs back; lowering the flag then registers both.
    if (const auto apply = std::exchange(m_apply, nullptr))
        apply(Hotkey{keyCode, modifiers});
    else if (role == EngineHotkeyRole::record)
        m_engine.setRecordHotkey(Hotkey{keyCode, modifiers});
    else
        m_engine.setPlaybackHotkey(Hotkey{keyCode, modifiers});
    m_engine.setIsCapturingHotkey(false);
    setRecordingHotkeyFor(std::nullopt);
}

void HotkeyCapture::resetHotkeys()
{
    m_engine.setRecordHotkey(Hotkey::unset());
    m_engine.setPlaybackHotkey(Hotkey::unset());
}

void HotkeyCapture::cancel()
{
    removeActiveMonitor();
    releaseKeyboard();
    if (m_engine.isCapturingHotkey())
        m_engine.setIsCapturingHotkey(false);
    if (m_recordingHotkeyFor || std::exchange(m_apply, nullptr))
        setRecordingHotkeyFor(std::nullopt);
}

void HotkeyCapture::setRecordingHotkeyFor(std::optional<EngineHotkeyRole> role)
{
    m_recordingHotkeyFor = role;
    emit recordingHotkeyForChanged();
}

void HotkeyCapture::releaseKeyboard()
{
    // The service keeps the hold until the captured combination's keys are up.
    if (std::exchange(m_holdingKeyboard, false))
        m_hotkeys.releaseKeyboard();
}

void HotkeyCapture::removeActiveMonitor()
{
    if (m_activeMonitor) {
        m_monitor.stopWatching(*m_activeMonitor);
        m_activeMonitor.reset();
    }
}

} // namespace loopwren

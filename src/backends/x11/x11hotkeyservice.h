#pragma once

#include "hotkeyservice.h"
#include "keyrepeatfilter.h"
#include "modifiermasks.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QObject;
class QSocketNotifier;
struct xcb_connection_t;

namespace loopwren {

// System-wide hotkeys as passive key grabs on the root window.
//
// The service talks to the server over an xcb connection of its own, read through a socket notifier on
// the thread that first uses it (the main thread), so it works the same under a QGuiApplication on
// xcb, under the offscreen platform and in a plain QCoreApplication: it never depends on Qt's own
// connection or its event filters. Construct, use and destroy it on that one thread, with a Qt
// application object in existence.
//
// Every hotkey is grabbed four times, plain and with Caps Lock, Num Lock and both, because a grab
// matches the modifier state exactly and a lock left on would otherwise disable it. A combination
// another client has grabbed is refused with X's BadAccess code (10), and whatever part of it had been
// grabbed is released again. A key code with no X key binds nothing and reports success, as a
// combination that can never be pressed.
class X11HotkeyService : public HotkeyService
{
public:
    // X's BadAccess: another client holds the combination (or this service already does).
    static constexpr std::int64_t badAccess = 10;
    // The display could not be opened, or the connection to it was lost.
    static constexpr std::int64_t noConnection = -1;

    // An empty display name means $DISPLAY. Nothing is opened before the first call.
    explicit X11HotkeyService(std::string displayName = {});
    ~X11HotkeyService() override;
    X11HotkeyService(const X11HotkeyService&) = delete;
    X11HotkeyService& operator=(const X11HotkeyService&) = delete;

    ServiceResult bind(const HotkeyRole&, const Hotkey& hotkey, Pressed pressed, Binding& binding) override;
    void unbind(Binding binding) override;
    // An active grab of the whole keyboard on the window that has the focus (the root when none has);
    // refused with X's grab status (AlreadyGrabbed 1, NotViewable 3, Frozen 4) when another client
    // holds the keyboard.
    ServiceResult holdKeyboard() override;
    void releaseKeyboard() override;

private:
    struct Grab
    {
        std::uint8_t keycode;
        std::uint16_t modifiers;
        // The lock states grabbed besides, as they were when grabbed: the map may change later.
        std::vector<std::uint16_t> locks;
        bool sameCombination(std::uint8_t otherKeycode, std::uint16_t otherModifiers) const
        {
            return keycode == otherKeycode && modifiers == otherModifiers;
        }
    };
    struct Bound
    {
        // Shared so that a callback which unbinds its own hotkey is not destroyed while it runs.
        std::shared_ptr<const Pressed> pressed;
        std::optional<Grab> grab; // none: the key code names no key of this server
    };
    struct Disconnect
    {
        void operator()(xcb_connection_t* connection) const;
    };

    bool ensureConnection();
    void dropConnection();
    ServiceResult grab(const Grab& grab);
    void ungrab(const Grab& grab);
    void scheduleRead();
    void readEvents();
    // One event of the connection (an xcb_generic_event_t: xcb stays out of this header).
    void handle(const void* received);
    void keyPressed(std::uint8_t keycode, std::uint16_t state, std::uint32_t serverTime);
    // Ends a hold whose release was asked for, once the server reports no key down.
    void endHoldWhenKeysAreUp();

    std::string m_displayName;
    // Receives the queued reads; gone with the service, which drops any read still queued.
    std::unique_ptr<QObject> m_context;
    std::unique_ptr<xcb_connection_t, Disconnect> m_connection;
    // Declared after the connection, so it goes first: it watches the connection's descriptor.
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::uint32_t m_root = 0;
    std::uint8_t m_minKeycode = 8;
    std::uint8_t m_maxKeycode = 255;
    ModifierMasks m_masks;
    bool m_readScheduled = false;
    bool m_lossReported = false;
    bool m_holding = false;
    bool m_holdEnding = false;

    std::map<Binding, Bound> m_bindings;
    Binding m_nextBinding = 1;
    KeyRepeatFilter m_repeats;
};

} // namespace loopwren

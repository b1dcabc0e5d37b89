#include "x11hotkeyservice.h"

#include "keycodetable.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QSocketNotifier>

#include <xcb/xcb.h>
// xkb.h names a structure member "explicit", a C++ keyword; it is renamed while the header is read.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace loopwren {
namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

// Asks the server to repeat a held key as presses only, without the release it otherwise puts before
// each repeat. KeyRepeatFilter copes with both forms, so a server without XKB is no failure.
void requestDetectableAutoRepeat(xcb_connection_t* connection)
{
    const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(connection, &xcb_xkb_id);
    if (!xkb || !xkb->present)
        return;
    const Reply<xcb_xkb_use_extension_reply_t> use(
        xcb_xkb_use_extension_reply(
            connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
            nullptr),
        &std::free);
    if (!use || !use->supported)
        return;
    // The reply is awaited so the mode is in force before the first grab; its content is not needed.
    const Reply<xcb_xkb_per_client_flags_reply_t> flags(
        xcb_xkb_per_client_flags_reply(
            connection,
            xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD,
                                     XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                                     XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0),
            nullptr),
        &std::free);
}

xcb_window_t rootWindow(xcb_connection_t* connection, int screenNumber)
{
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    return screens.rem > 0 ? screens.data->root : 0;
}

} // namespace

void X11HotkeyService::Disconnect::operator()(xcb_connection_t* connection) const
{
    xcb_disconnect(connection);
}

X11HotkeyService::X11HotkeyService(std::string displayName)
    : m_displayName(std::move(displayName)), m_context(std::make_unique<QObject>())
{
}

X11HotkeyService::~X11HotkeyService()
{
    // Closing the connection releases every grab made on it.
    m_notifier.reset();
    m_connection.reset();
}

namespace {

ServiceResult noConnectionResult()
{
    return ServiceResult::refused(X11HotkeyService::noConnection,
                                  QStringLiteral("no connection to the X display"));
}

} // namespace

ServiceResult X11HotkeyService::bind(const HotkeyRole&, const Hotkey& hotkey, Pressed pressed,
                                     Binding& binding)
{
    if (!ensureConnection())
        return noConnectionResult();
    Bound entry{std::make_shared<const Pressed>(std::move(pressed)), std::nullopt};
    if (const std::optional<std::uint16_t> evdev = KeyCodeTable::evdevCode(hotkey.keyCode)) {
        const int keycode = *evdev + 8;
        if (keycode >= m_minKeycode && keycode <= m_maxKeycode) {
            const Grab wanted{static_cast<std::uint8_t>(keycode), m_masks.fromModifiers(hotkey.modifiers),
                              m_masks.lockVariants()};
            // X lets a client grab a combination it already holds without complaint, but one press
            // cannot stand for two hotkeys.
            for (const auto& other : m_bindings) {
                if (other.second.grab && other.second.grab->sameCombination(wanted.keycode, wanted.modifiers))
                    return ServiceResult::refused(alreadyBound,
                                                  QStringLiteral("the combination is bound already"));
            }
            if (ServiceResult result = grab(wanted); !result.ok())
                return result;
            entry.grab = wanted;
        }
    }
    binding = m_nextBinding++;
    m_bindings.emplace(binding, std::move(entry));
    return ServiceResult::done();
}

void X11HotkeyService::unbind(Binding binding)
{
    const auto it = m_bindings.find(binding);
    if (it == m_bindings.end())
        return;
    if (it->second.grab && m_connection && !xcb_connection_has_error(m_connection.get()))
        ungrab(*it->second.grab);
    m_bindings.erase(it);
    // A key held right now releases to whoever has the focus, so this service would not see it go up.
    m_repeats.clear();
}

ServiceResult X11HotkeyService::holdKeyboard()
{
    if (!ensureConnection())
        return noConnectionResult();
    m_holdEnding = false;
    if (m_holding)
        return ServiceResult::done();
    xcb_connection_t* const connection = m_connection.get();
    // Grabbed on the window that has the focus (the caller's own, from which the capture was asked
    // for), the hold leaves it there: the server tells that window of the grab and at once gives it
    // the focus back, so it stays active and still sees the user take the focus elsewhere. Grabbed on
    // the root, the window would count as unfocused for as long as the hold lasts.
    const Reply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr), &std::free);
    const xcb_window_t grabWindow =
        focus && focus->focus != XCB_NONE && focus->focus != XCB_INPUT_FOCUS_POINTER_ROOT ? focus->focus
                                                                                          : m_root;
    const Reply<xcb_grab_keyboard_reply_t> reply(
        xcb_grab_keyboard_reply(connection,
                                xcb_grab_keyboard(connection, 0, grabWindow, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr),
        &std::free);
    scheduleRead();
    if (!reply)
        return noConnectionResult();
    if (reply->status != XCB_GRAB_STATUS_SUCCESS)
        return ServiceResult::refused(reply->status, QStringLiteral("another program holds the keyboard"));
    m_holding = true;
    return ServiceResult::done();
}

void X11HotkeyService::releaseKeyboard()
{
    if (!m_holding)
        return;
    m_holdEnding = true;
    endHoldWhenKeysAreUp();
}

void X11HotkeyService::endHoldWhenKeysAreUp()
{
    if (!m_holding || !m_holdEnding || !m_connection)
        return;
    xcb_connection_t* const connection = m_connection.get();
    const Reply<xcb_query_keymap_reply_t> keymap(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr), &std::free);
    // A lost connection took the grab with it.
    if (keymap &&
        std::any_of(std::begin(keymap->keys), std::end(keymap->keys), [](auto bits) { return bits; }))
        return;
    xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
    m_holdEnding = false;
    // One round trip brings every event the server made before the ungrab into the connection's queue;
    // handled while the hold still counts, the presses among them go to the capture, not to a hotkey
    // (the combination just captured would otherwise fire as soon as it is bound).
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    while (m_connection.get() == connection) {
        const Reply<xcb_generic_event_t> event(xcb_poll_for_queued_event(connection), &std::free);
        if (!event)
            break;
        handle(event.get());
    }
    m_holding = false;
}

bool X11HotkeyService::ensureConnection()
{
    if (m_connection && !xcb_connection_has_error(m_connection.get()))
        return true;
    if (m_connection)
        dropConnection();
    // The notifier runs on the event loop of the thread it is made on.
    if (!QCoreApplication::instance())
        return false;

    int screenNumber = 0;
    std::unique_ptr<xcb_connection_t, Disconnect> connection(
        xcb_connect(m_displayName.empty() ? nullptr : m_displayName.c_str(), &screenNumber));
    if (xcb_connection_has_error(connection.get()))
        return false;
    const xcb_window_t root = rootWindow(connection.get(), screenNumber);
    if (root == 0)
        return false;
    const xcb_setup_t* setup = xcb_get_setup(connection.get());
    m_root = root;
    m_minKeycode = setup->min_keycode;
    m_maxKeycode = setup->max_keycode;
    m_masks = ModifierMasks::query(connection.get());
    requestDetectableAutoRepeat(connection.get());

    m_notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection.get()), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_context.get(),
                     [this] { readEvents(); });
    m_connection = std::move(connection);
    m_lossReported = false;
    // The replies above may have brought events along, which now wait in xcb's queue.
    scheduleRead();
    return true;
}

void X11HotkeyService::dropConnection()
{
    // The server forgot the grabs along with the connection; the registrations stay, with nothing left
    // to release.
    for (auto& entry : m_bindings)
        entry.second.grab.reset();
    m_repeats.clear();
    m_holding = false;
    m_holdEnding = false;
    if (m_notifier) {
        // This may run inside the notifier's own signal, so it goes once control is back in the loop.
        m_notifier->setEnabled(false);
        m_notifier.release()->deleteLater();
    }
    m_connection.reset();
}

ServiceResult X11HotkeyService::grab(const Grab& grab)
{
    xcb_connection_t* const connection = m_connection.get();
    std::vector<xcb_void_cookie_t> cookies;
    for (const std::uint16_t locks : grab.locks) {
        cookies.push_back(xcb_grab_key_checked(connection, 1, m_root,
                                               static_cast<std::uint16_t>(grab.modifiers | locks),
                                               grab.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    // Every cookie is checked, so no error is left to turn up later as an event.
    std::int64_t status = 0;
    for (const xcb_void_cookie_t cookie : cookies) {
        const Reply<xcb_generic_error_t> error(xcb_request_check(connection, cookie), &std::free);
        if (error && status == 0)
            status = error->error_code;
    }
    if (status == 0 && xcb_connection_has_error(connection))
        return noConnectionResult();
    // Ungrabbing touches this client's grabs only, so the variants another client holds stay its own.
    if (status != 0)
        ungrab(grab);
    scheduleRead();
    if (status == badAccess)
        return ServiceResult::refused(badAccess, QStringLiteral("another program holds the combination"));
    if (status != 0)
        return ServiceResult::refused(status, QStringLiteral("the X server refused the key grab"));
    return ServiceResult::done();
}

void X11HotkeyService::ungrab(const Grab& grab)
{
    for (const std::uint16_t locks : grab.locks) {
        xcb_ungrab_key(m_connection.get(), grab.keycode, m_root,
                       static_cast<std::uint16_t>(grab.modifiers | locks));
    }
    xcb_flush(m_connection.get());
}

void X11HotkeyService::scheduleRead()
{
    if (m_readScheduled)
        return;
    m_readScheduled = true;
    QMetaObject::invokeMethod(
        m_context.get(), [this] { readEvents(); }, Qt::QueuedConnection);
}

void X11HotkeyService::handle(const void* received)
{
    const auto& event = *static_cast<const xcb_generic_event_t*>(received);
    // Events another client sent with SendEvent are not key presses of the user.
    if (event.response_type & 0x80)
        return;
    switch (event.response_type) {
    case 0: {
        const auto* error = reinterpret_cast<const xcb_generic_error_t*>(&event);
        std::printf("LoopWren X11: hotkey request %u failed with error %u\n",
                    static_cast<unsigned>(error->major_code), static_cast<unsigned>(error->error_code));
        std::fflush(stdout);
        break;
    }
    case XCB_KEY_PRESS: {
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(&event);
        keyPressed(key->detail, key->state, key->time);
        break;
    }
    case XCB_KEY_RELEASE: {
        const auto* key = reinterpret_cast<const xcb_key_release_event_t*>(&event);
        m_repeats.release(key->detail, key->time);
        endHoldWhenKeysAreUp();
        break;
    }
    case XCB_MAPPING_NOTIFY: {
        // Grabs already made keep their bits; the new masks serve reading states and later grabs.
        const auto* mapping = reinterpret_cast<const xcb_mapping_notify_event_t*>(&event);
        if (mapping->request != XCB_MAPPING_POINTER)
            m_masks = ModifierMasks::query(m_connection.get());
        break;
    }
    default:
        break;
    }
}

void X11HotkeyService::readEvents()
{
    m_readScheduled = false;
    // The connection is looked up again for every event: a handler may have replaced it.
    while (m_connection) {
        const Reply<xcb_generic_event_t> event(xcb_poll_for_event(m_connection.get()), &std::free);
        if (!event)
            break;
        handle(event.get());
    }
    if (m_connection && xcb_connection_has_error(m_connection.get()) && !m_lossReported) {
        std::printf("LoopWren X11: hotkey connection to the display lost\n");
        std::fflush(stdout);
        m_lossReported = true;
        // A dead socket stays readable; the next call to the service reconnects.
        m_notifier->setEnabled(false);
    }
}

void X11HotkeyService::keyPressed(std::uint8_t keycode, std::uint16_t state, std::uint32_t serverTime)
{
    // While a capture holds the keyboard its presses come here too; they are the capture's, never a
    // hotkey's, or the combination just captured would fire as soon as it is bound.
    if (m_holding)
        return;
    if (!m_repeats.press(keycode, serverTime))
        return;
    const std::uint16_t modifiers = m_masks.significant(state);
    for (const auto& entry : m_bindings) {
        if (entry.second.grab && entry.second.grab->sameCombination(keycode, modifiers)) {
            const std::shared_ptr<const Pressed> pressed = entry.second.pressed;
            (*pressed)();
            return;
        }
    }
}

} // namespace loopwren

#include "x11hotkeyservice.h"
#include "x11connection.h"
#include "x11testclient.h"
#include "x11testsupport.h"

#include <QScopeGuard>

// gtest before Xlib, whose macros (None, Bool) break gtest's declarations.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/record.h>

namespace loopwren {
namespace {

using namespace x11test;
using namespace test;
using Numbers = std::vector<std::uint32_t>;

// Model key codes (US positions) and modifier bits.
constexpr std::uint16_t kKeyK = 40;
constexpr std::uint16_t kKeyJ = 38;
constexpr std::uint16_t kKeyL = 37;
constexpr std::uint64_t kControlAlt = modifier::control | modifier::alt;

// Counts the presses of one key that the server processes, autorepeats included and whoever receives
// them, through a RECORD context of its own: an independent witness that a key was really held and
// repeated while a hotkey grab swallowed it.
struct KeyPressWitness
{
    explicit KeyPressWitness(unsigned keycode) : keycode(keycode)
    {
        XRecordRange* range = XRecordAllocRange();
        range->device_events = {KeyPress, KeyPress};
        XRecordClientSpec clients = XRecordAllClients;
        context = XRecordCreateContext(control->display(), 0, &clients, 1, &range, 1);
        XFree(range);
        XSync(control->display(), False);
        XRecordEnableContextAsync(data->display(), context, &seen, reinterpret_cast<XPointer>(this));
        XFlush(data->display());
    }
    ~KeyPressWitness()
    {
        XRecordDisableContext(control->display(), context);
        XRecordFreeContext(control->display(), context);
        XSync(control->display(), False);
    }
    int presses()
    {
        XRecordProcessReplies(data->display());
        return count;
    }
    static void seen(XPointer closure, XRecordInterceptData* intercepted)
    {
        auto* witness = reinterpret_cast<KeyPressWitness*>(closure);
        if (intercepted->category == XRecordFromServer && intercepted->data[1] == witness->keycode)
            ++witness->count;
        XRecordFreeData(intercepted);
    }

    std::unique_ptr<X11Connection> control = X11Connection::open({});
    std::unique_ptr<X11Connection> data = X11Connection::open({});
    unsigned keycode;
    XRecordContext context = 0;
    int count = 0;
};

// The service lets go of a grab without waiting for the server to handle it: another client gets the
// combination once the server has.
bool grabbedInTheEnd(X11TestClient& client, unsigned keycode, unsigned modifiers)
{
    return eventually([&] { return client.grabKey(keycode, modifiers); });
}

class X11HotkeyServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(displayProblem(), "");
        ASSERT_TRUE(m_client.isOpen());
    }

    // Binds the combination so that its presses note number; the service's answer.
    ServiceResult bind(std::uint16_t keyCode, std::uint64_t modifiers, std::uint32_t number,
                       HotkeyService::Binding* binding = nullptr)
    {
        HotkeyService::Binding bound = 0;
        const ServiceResult result = m_service->bind(
            EngineHotkeyRole::record, Hotkey{keyCode, modifiers},
            [this, number] { m_calls.push_back(number); }, bound);
        if (binding)
            *binding = bound;
        return result;
    }

    // Types with xdotool, waits until the callbacks have run `total` times in all, and a little longer,
    // so that calls which should not happen have their chance to.
    Numbers press(const std::vector<std::string>& keys, std::size_t total)
    {
        for (const auto& key : keys)
            EXPECT_TRUE(xdotool({"key", key})) << key;
        EXPECT_TRUE(eventually([&] { return m_calls.size() >= total; }))
            << "the callbacks ran " << m_calls.size();
        settle();
        return m_calls;
    }

    X11TestClient m_client;
    std::unique_ptr<X11HotkeyService> m_service = std::make_unique<X11HotkeyService>();
    Numbers m_calls;
};

// A grab matches the modifiers exactly: fewer or more are other combinations, but Caps Lock and Num Lock
// do not count. Each of a hotkey's modifiers is its own X modifier, as the server's modifier map has it.
// The unset key code and a code past X's 255 keycodes (evdev 0x200) bind, as combinations that can never
// be pressed.
TEST_F(X11HotkeyServiceTest, RunsTheCallbackOfThePressedCombinationOnceWhateverTheLocks)
{
    HotkeyService::Binding unset = 0;
    HotkeyService::Binding beyond = 0;
    EXPECT_TRUE(bind(65535, kControlAlt, 4, &unset).ok());
    EXPECT_TRUE(bind(0x8000 + 0x200, 0, 5, &beyond).ok());
    EXPECT_NE(unset, beyond);
    m_service->unbind(unset);
    m_service->unbind(beyond);
    bind(kKeyK, kControlAlt, 1);
    bind(kKeyJ, kControlAlt, 2);
    bind(kKeyL, modifier::shift | modifier::control | modifier::alt | modifier::super, 3);
    EXPECT_EQ(press({"ctrl+alt+k"}, 1), (Numbers{1}));
    EXPECT_EQ(press({"ctrl+alt+j"}, 2), (Numbers{1, 2}));
    EXPECT_EQ(press({"k", "ctrl+k", "alt+k", "ctrl+alt+shift+k", "ctrl+alt+super+k", "ctrl+alt+l",
                     "shift+ctrl+alt+l", "shift+ctrl+super+l", "shift+alt+super+l", "ctrl+alt+super+l",
                     "shift+ctrl+alt+super+l"},
                    3),
              (Numbers{1, 2, 3}));

    ASSERT_EQ(m_client.pointerMask() & (LockMask | Mod2Mask), 0u) << "a lock was already on";
    // Caps Lock and Num Lock off again, whatever happens below.
    const auto locksOff = qScopeGuard([this] {
        if (m_client.pointerMask() & LockMask)
            xdotool({"key", "Caps_Lock"});
        if (m_client.pointerMask() & Mod2Mask)
            xdotool({"key", "Num_Lock"});
    });
    const std::pair<const char*, unsigned> toggles[] = {
        {"Num_Lock", Mod2Mask}, {"Caps_Lock", LockMask | Mod2Mask}, {"Num_Lock", LockMask}};
    Numbers expected{1, 2, 3};
    for (const auto& [key, locks] : toggles) {
        ASSERT_TRUE(xdotool({"key", key}));
        ASSERT_TRUE(eventually([&] { return (m_client.pointerMask() & (LockMask | Mod2Mask)) == locks; }))
            << key;
        expected.push_back(1);
        EXPECT_EQ(press({"ctrl+alt+k"}, expected.size()), expected) << key;
    }
}

TEST_F(X11HotkeyServiceTest, HoldingAHotkeyRunsItOnce)
{
    bind(kKeyK, kControlAlt, 1);
    KeyPressWitness witness(m_client.keycode("k"));
    // Held until the server's autorepeat has repeated it a few times. (XTEST cannot fake a repeat: the
    // server drops a press of a key that is down already.)
    ASSERT_TRUE(xdotool({"keydown", "ctrl+alt+k"}));
    EXPECT_TRUE(eventually([&] { return witness.presses() >= 4; })) << "not repeated: " << witness.presses();
    ASSERT_TRUE(xdotool({"keyup", "k", "keyup", "alt", "keyup", "ctrl"}));
    settle();
    EXPECT_EQ(m_calls, (Numbers{1}));
    // Once released, the next press counts again.
    EXPECT_EQ(press({"ctrl+alt+k"}, 2), (Numbers{1, 1}));
}

// Held for a capture, the keyboard is taken from no window: the one with the focus, from which the
// capture was asked, is told of the grab and then at once that the focus is with it, so it keeps
// seeing itself focused (Qt's window does not turn inactive) and still learns when the user really
// takes the focus elsewhere, which ends the capture. A press that reaches the service meanwhile is the
// capture's: not even a combination bound meanwhile runs its callback. Once the hold ends, the same
// press does.
TEST_F(X11HotkeyServiceTest, HoldingTheKeyboardLeavesTheFocusAndRunsNoHotkey)
{
    Display* const display = m_client.display();
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask = FocusChangeMask;
    const Window window = XCreateWindow(display, m_client.root(), 0, 0, 40, 40, 0, CopyFromParent, InputOnly,
                                        CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
    XMapWindow(display, window);
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    ASSERT_EQ(m_client.inputFocus(), window);
    XEvent event;
    while (XCheckWindowEvent(display, window, FocusChangeMask, &event)) {
    }
    ASSERT_TRUE(m_service->holdKeyboard().ok());
    XSync(display, False); // the server sent the focus changes of the grab before this answer
    int last = 0;
    while (XCheckWindowEvent(display, window, FocusChangeMask, &event))
        last = event.type;
    EXPECT_EQ(last, FocusIn);
    bind(kKeyJ, kControlAlt, 7);
    EXPECT_TRUE(xdotool({"key", "ctrl+alt+j"}));
    m_service->releaseKeyboard();
    XDestroyWindow(display, window);
    EXPECT_EQ(press({"ctrl+alt+j"}, 1), (Numbers{7}));
}

// A combination another client holds is refused with BadAccess, as is one this service holds already,
// and nothing of a refused one is kept. Unbinding or destroying the service gives back every lock
// variant of its grabs.
TEST_F(X11HotkeyServiceTest, GrabsAreExclusiveAndGivenBackWhole)
{
    X11TestClient other, third;
    const unsigned keycode = other.keycode("k");
    ASSERT_TRUE(other.grabKey(keycode, ControlMask | Mod1Mask));
    EXPECT_EQ(bind(kKeyK, kControlAlt, 1).code, X11HotkeyService::badAccess);
    // Held only with both locks on, the variant the service asks for last: the others it got are
    // given back, so a third client can have them.
    const unsigned controlShiftAlt = ControlMask | ShiftMask | Mod1Mask;
    ASSERT_TRUE(other.grabKey(keycode, controlShiftAlt | LockMask | Mod2Mask));
    EXPECT_EQ(bind(kKeyK, kControlAlt | modifier::shift, 1).code, X11HotkeyService::badAccess);
    for (const int locks : {0, LockMask, Mod2Mask})
        EXPECT_TRUE(grabbedInTheEnd(third, keycode, controlShiftAlt | locks)) << locks;

    HotkeyService::Binding binding = 0;
    bind(kKeyJ, kControlAlt, 2);
    EXPECT_EQ(bind(kKeyJ, kControlAlt, 3).code, X11HotkeyService::badAccess);
    bind(kKeyL, kControlAlt, 4, &binding);
    m_service->unbind(binding);
    EXPECT_EQ(press({"ctrl+alt+k", "ctrl+alt+l", "ctrl+alt+j"}, 1), (Numbers{2}));
    for (const int locks : {0, LockMask, Mod2Mask, LockMask | Mod2Mask})
        EXPECT_TRUE(grabbedInTheEnd(third, third.keycode("l"), ControlMask | Mod1Mask | locks)) << locks;
    m_service.reset();
    EXPECT_TRUE(grabbedInTheEnd(third, third.keycode("j"), ControlMask | Mod1Mask));

    // Without a display nothing can be had.
    X11HotkeyService elsewhere(":9999");
    const HotkeyService::Pressed nothing = [] {};
    EXPECT_EQ(elsewhere.bind(EngineHotkeyRole::record, Hotkey{kKeyK, kControlAlt}, nothing, binding).code,
              X11HotkeyService::noConnection);
    EXPECT_FALSE(elsewhere.holdKeyboard().ok());
    elsewhere.unbind(binding); // harmless
}

} // namespace
} // namespace loopwren

#include "enginefixture.h"
#include "inputconversion.h"
#include "testevents.h"

#include <QRegularExpression>

#include <cmath>

// Inputs are written with designated initializers that name only the fields that matter.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace loopwren {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using enum InputKind;

TEST(InputConversion, EachKindBecomesItsEventOrNothing)
{
    using enum MouseButtonType;
    using test::Event;
    const Point at{-5, 7};
    // Input, whether movements are recorded, and the event it makes (with a delay of 0.5) or nothing.
    // Input without a flags word records none; a key and a wheel have no place, a click without one
    // would replay as nothing; scroll deltas are cut towards zero and clamped to 32 bits.
    // clang-format off
    const std::tuple<InputEvent, bool, std::optional<MacroEvent>> cases[] = {
        {{.kind = buttonDown, .location = at, .button = other, .clickCount = 2, .flags = 0x100}, false,
         Event(EventType::mouseDown, 0.5).at(-5, 7).button(other).clicks(2).flags(0x100)},
        {{.kind = keyUp, .location = at, .keyCode = 9}, false, Event(EventType::keyUp, 0.5).key(9)},
        {{.kind = pointerMoved, .location = at}, false, std::nullopt},
        {{.kind = pointerMoved, .location = at}, true, Event(EventType::mouseMoved, 0.5).at(-5, 7)},
        {{.kind = pointerMoved, .location = at, .button = right, .flags = 1}, true,
         Event(EventType::mouseMoved, 0.5).at(-5, 7).button(right).flags(1)},
        {{.kind = pointerMoved, .location = at, .button = other}, true, std::nullopt},
        {{.kind = modifiersChanged, .location = at}, true, std::nullopt},
        {{.kind = buttonDown, .button = left}, true, std::nullopt},
        {{.kind = scroll, .location = at, .scrollDeltaX = 2.7, .scrollDeltaY = -2.7}, false,
         Event(EventType::scroll, 0.5).scroll(2, -2)},
        {{.kind = scroll, .scrollDeltaX = -0.4, .scrollDeltaY = 1e12}, false,
         Event(EventType::scroll, 0.5).scroll(0, 2147483647)},
        {{.kind = scroll, .scrollDeltaX = -1e12, .scrollDeltaY = std::nan("")}, false,
         Event(EventType::scroll, 0.5).scroll(-2147483647 - 1, 0)},
    };
    // clang-format on
    for (const auto& [input, movements, expected] : cases) {
        std::optional<MacroEvent> event = toMacroEvent(input, movements, 0.5);
        if (event)
            event->id = Uuid(); // a fresh one each time
        EXPECT_EQ(event ? test::dump(*event) : "nothing", expected ? test::dump(*expected) : "nothing");
    }
}

class Recorder : public EngineFixture
{
protected:
    void deliver(InputKind kind, Clock::time_point at, std::uint16_t keyCode = 0)
    {
        input->deliver({.kind = kind, .timestamp = at, .location = Point{1, 2}, .keyCode = keyCode});
    }
};

// Each delay is the time between the stamps of an input and the one before it (the first: the start).
// The hotkeys' keys stay out whatever their modifiers (the unset one keeps nothing out) and movements
// follow the setting of the moment, but input left out still moves the clock.
TEST_F(Recorder, DelaysAreStampDifferencesAndLeftOutInputStillMovesTheClock)
{
    MacroEngine& e = build();
    e.setRecordHotkey(Hotkey{15, modifier::super | modifier::shift});
    e.setRecordMouseMovements(true);
    e.setRecordedEvents({makeEvent(EventType::wait, 1)});
    const Clock::time_point before = Clock::now();
    e.startRecording();
    const Clock::time_point t = Clock::now();
    EXPECT_TRUE(e.recordedEvents().empty());
    EXPECT_EQ(input->lastKinds, recordedKinds(true));
    deliver(keyDown, t + 1500ms, 0);
    deliver(keyDown, t + 1600ms, 15); // plain R, no modifiers: still the hotkey's key
    deliver(pointerMoved, t + 1650ms);
    e.setRecordMouseMovements(false);
    deliver(pointerMoved, t + 1700ms);
    deliver(keyUp, t + 1800ms, 65535);
    EXPECT_TRUE(e.recordedEvents().empty()) << "appends are queued";
    drain();
    ASSERT_EQ(e.recordedEvents().size(), 3u);
    EXPECT_GE(e.recordedEvents()[0].delaySincePrevious, 1.5);
    EXPECT_LE(e.recordedEvents()[0].delaySincePrevious,
              1.5 + std::chrono::duration<double>(t - before).count());
    EXPECT_EQ(e.recordedEvents()[1].type, EventType::mouseMoved);
    EXPECT_DOUBLE_EQ(e.recordedEvents()[1].delaySincePrevious, 0.15);
    EXPECT_DOUBLE_EQ(e.recordedEvents()[2].delaySincePrevious, 0.1) << "the move left out moved the clock";
    EXPECT_EQ(e.recordedEvents()[2].keyCode, 65535);
}

TEST_F(Recorder, StopEndsTheWatchHidesAndShowsAndStopsAPlaybackFirst)
{
    MacroEngine& e = build();
    e.setHideWhenRecording(true);
    e.setRecordedEvents({makeEvent(EventType::wait, 30)});
    e.startPlayback();
    e.startRecording();
    EXPECT_FALSE(e.isPlaying());
    EXPECT_EQ(input->lastKinds, recordedKinds(false));
    e.startRecording(); // already running: nothing
    EXPECT_EQ(input->watchCount(), 1u);
    e.stopRecording();
    e.stopRecording();
    EXPECT_EQ(input->watchCount(), 0u);
    deliver(keyDown, Clock::now(), 3);
    drain();
    EXPECT_TRUE(e.recordedEvents().empty());
    EXPECT_EQ(journal->lines().filter(QRegularExpression("^(hide|show)$")), QStringList({"hide", "show"}));

    input->refuse = true;
    e.startRecording();
    EXPECT_TRUE(e.isRecording()) << "a refused watch still makes a (silent) recording";
}

} // namespace
} // namespace loopwren

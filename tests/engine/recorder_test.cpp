#include "enginefixture.h"
#include "inputconversion.h"

namespace loopwren {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

InputEvent inputAt(InputKind kind, Clock::time_point at, std::optional<MouseButtonType> button = {})
{
    InputEvent e;
    e.kind = kind;
    e.timestamp = at;
    e.flags = 0x100;
    e.button = button;
    e.location = Point{-5, 7};
    return e;
}

TEST(InputConversion, EachKindBecomesItsEventOrNothing)
{
    InputEvent down = inputAt(InputKind::buttonDown, {}, MouseButtonType::other);
    down.clickCount = 2;
    auto event = toMacroEvent(down, false, 0.5);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->type, EventType::mouseDown);
    EXPECT_EQ(event->mouseButton, MouseButtonType::other);
    EXPECT_EQ(event->clickCount, 2);
    EXPECT_EQ(event->location->x, -5);
    EXPECT_EQ(event->delaySincePrevious, 0.5);
    EXPECT_EQ(event->flags, 0x100u);
    EXPECT_FALSE(event->keyCode);

    InputEvent key = inputAt(InputKind::keyUp, {});
    key.keyCode = 9;
    key.flags.reset();
    event = toMacroEvent(key, false, 0);
    EXPECT_EQ(event->type, EventType::keyUp);
    EXPECT_EQ(event->keyCode, 9);
    EXPECT_FALSE(event->flags) << "input without a flags word records none";
    EXPECT_FALSE(event->location);

    EXPECT_FALSE(toMacroEvent(inputAt(InputKind::pointerMoved, {}), false, 0)) << "movements switched off";
    EXPECT_FALSE(toMacroEvent(inputAt(InputKind::modifiersChanged, {}), true, 0));
    EXPECT_FALSE(toMacroEvent(inputAt(InputKind::pointerMoved, {}, MouseButtonType::other), true, 0));
    EXPECT_EQ(
        toMacroEvent(inputAt(InputKind::pointerMoved, {}, MouseButtonType::right), true, 0)->mouseButton,
        MouseButtonType::right);
    EXPECT_FALSE(toMacroEvent(inputAt(InputKind::pointerMoved, {}), true, 0)->mouseButton);
    InputEvent nowhere = inputAt(InputKind::buttonDown, {}, MouseButtonType::left);
    nowhere.location.reset();
    EXPECT_FALSE(toMacroEvent(nowhere, true, 0)) << "a click without a place would replay as nothing";

    // Scroll deltas are cut towards zero and clamped to 32 bits.
    const std::pair<double, std::int32_t> deltas[] = {
        {2.7, 2}, {-0.4, 0}, {-2.7, -2}, {1e12, 2147483647}, {-1e12, -2147483648}, {std::nan(""), 0}};
    for (auto [delta, stored] : deltas) {
        InputEvent wheel = inputAt(InputKind::scroll, {});
        wheel.scrollDeltaY = delta;
        EXPECT_EQ(toMacroEvent(wheel, false, 0)->scrollDeltaY, stored) << delta;
        EXPECT_FALSE(toMacroEvent(wheel, false, 0)->location);
    }
}

class Recorder : public EngineFixture
{
protected:
    void deliverKey(std::uint16_t code, InputKind kind, Clock::time_point at)
    {
        InputEvent e = inputAt(kind, at);
        e.keyCode = code;
        input->deliver(e);
    }
};

TEST_F(Recorder, StartEmptiesTheTimelineAndDelaysAreStampDifferences)
{
    MacroEngine& e = build();
    e.setRecordedEvents(Timeline(20, makeEvent(EventType::wait, 1)));
    const Clock::time_point before = Clock::now();
    e.startRecording();
    EXPECT_TRUE(e.recordedEvents().empty());
    EXPECT_EQ(input->lastKinds, recordedKinds(false));
    const Clock::time_point start = Clock::now();
    deliverKey(0, InputKind::keyDown, start + 1500ms);
    deliverKey(0, InputKind::keyUp, start + 1750ms);
    EXPECT_TRUE(e.recordedEvents().empty()) << "appends are queued";
    drain();
    ASSERT_EQ(e.recordedEvents().size(), 2u);
    EXPECT_GE(e.recordedEvents()[0].delaySincePrevious, 1.5);
    EXPECT_LE(e.recordedEvents()[0].delaySincePrevious,
              1.5 + std::chrono::duration<double>(start - before).count());
    EXPECT_DOUBLE_EQ(e.recordedEvents()[1].delaySincePrevious, 0.25);
}

// The hotkeys' keys stay out whatever their modifiers (the unset one keeps nothing out), and their
// time goes to the next event; movements follow the setting of the moment but move the clock anyway.
TEST_F(Recorder, LeftOutInputStillMovesTheClock)
{
    MacroEngine& e = build();
    e.setRecordHotkey(Hotkey{15, modifier::command | modifier::shift});
    e.setRecordMouseMovements(true);
    e.startRecording();
    EXPECT_EQ(input->lastKinds, recordedKinds(true));
    const Clock::time_point t = Clock::now();
    deliverKey(0, InputKind::keyDown, t);
    deliverKey(15, InputKind::keyDown, t + 100ms); // plain R, no modifiers: still the hotkey's key
    input->deliver(inputAt(InputKind::pointerMoved, t + 150ms));
    e.setRecordMouseMovements(false);
    input->deliver(inputAt(InputKind::pointerMoved, t + 200ms, MouseButtonType::right));
    deliverKey(65535, InputKind::keyUp, t + 300ms);
    drain();
    ASSERT_EQ(e.recordedEvents().size(), 3u);
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
    ASSERT_TRUE(e.isPlaying());
    journal->clear();
    e.startRecording();
    EXPECT_FALSE(e.isPlaying());
    e.startRecording(); // already running: nothing
    EXPECT_EQ(input->watchCount(), 1u);
    e.stopRecording();
    e.stopRecording();
    EXPECT_EQ(input->watchCount(), 0u);
    drain();
    EXPECT_TRUE(journal->lines().contains("hide"));
    EXPECT_EQ(journal->lines().filter("show").size(), 1);
    deliverKey(3, InputKind::keyDown, Clock::now());
    drain();
    EXPECT_TRUE(e.recordedEvents().empty());

    input->refuse = true;
    e.startRecording();
    EXPECT_TRUE(e.isRecording()) << "a refused watch still makes a (silent) recording";
}

} // namespace
} // namespace loopwren

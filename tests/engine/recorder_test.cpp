#include "enginefixture.h"
#include "inputconversion.h"

namespace loopwren {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

InputEvent inputAt(InputKind kind, Clock::time_point at)
{
    InputEvent e;
    e.kind = kind;
    e.timestamp = at;
    e.flags = 0x100;
    return e;
}

TEST(InputConversion, EachKindBecomesItsEvent)
{
    InputEvent down = inputAt(InputKind::otherMouseDown, {});
    down.buttonNumber = 3;
    down.clickCount = 2;
    down.location = Point{-5, 7};
    auto event = toMacroEvent(down, false, 0.5);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->type, EventType::mouseDown);
    EXPECT_EQ(event->mouseButton, MouseButtonType::other);
    EXPECT_EQ(event->clickCount, 2);
    EXPECT_EQ(event->location->x, -5);
    EXPECT_EQ(event->delaySincePrevious, 0.5);
    EXPECT_EQ(event->flags, 0x100u);
    EXPECT_FALSE(event->keyCode);

    InputEvent up = inputAt(InputKind::leftMouseUp, {});
    up.buttonNumber = 1; // the kind decides up or down, the number decides the button
    EXPECT_EQ(toMacroEvent(up, false, 0)->type, EventType::mouseUp);
    EXPECT_EQ(toMacroEvent(up, false, 0)->mouseButton, MouseButtonType::right);

    InputEvent key = inputAt(InputKind::keyUp, {});
    key.keyCode = 9;
    key.flags.reset();
    event = toMacroEvent(key, false, 0);
    EXPECT_EQ(event->type, EventType::keyUp);
    EXPECT_EQ(event->keyCode, 9);
    EXPECT_FALSE(event->flags) << "input without a flags word records none";
    EXPECT_FALSE(event->location);

    EXPECT_FALSE(toMacroEvent(inputAt(InputKind::mouseMoved, {}), false, 0)) << "movements switched off";
    EXPECT_FALSE(toMacroEvent(inputAt(InputKind::flagsChanged, {}), true, 0));
    EXPECT_FALSE(toMacroEvent(inputAt(InputKind::otherMouseDragged, {}), true, 0));
    EXPECT_EQ(toMacroEvent(inputAt(InputKind::rightMouseDragged, {}), true, 0)->mouseButton,
              MouseButtonType::right);
    EXPECT_FALSE(toMacroEvent(inputAt(InputKind::mouseMoved, {}), true, 0)->mouseButton);
}

TEST(InputConversion, ScrollDeltasTruncateTowardZeroAndClamp)
{
    const std::pair<double, std::int32_t> cases[] = {
        {2.7, 2}, {-0.4, 0}, {-2.7, -2}, {1e12, 2147483647}, {-1e12, -2147483648}, {std::nan(""), 0}};
    for (auto [delta, stored] : cases) {
        InputEvent wheel = inputAt(InputKind::scrollWheel, {});
        wheel.scrollDeltaY = delta;
        wheel.scrollDeltaX = -delta;
        const auto event = toMacroEvent(wheel, false, 0);
        EXPECT_EQ(event->scrollDeltaY, stored) << delta;
        EXPECT_FALSE(event->location);
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
    EXPECT_EQ(input->lastMask, 104860702u);
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

TEST_F(Recorder, HotkeyKeysAreLeftOutAndTheirTimeGoesToTheNextEvent)
{
    MacroEngine& e = build();
    e.setRecordHotkey(Hotkey{15, modifier::command | modifier::shift});
    e.setPlaybackHotkey(Hotkey{35, modifier::control});
    e.startRecording();
    const Clock::time_point t = Clock::now();
    deliverKey(0, InputKind::keyDown, t);
    deliverKey(15, InputKind::keyDown, t + 100ms); // plain R, no modifiers: still the hotkey's key
    deliverKey(15, InputKind::keyUp, t + 200ms);
    deliverKey(35, InputKind::keyDown, t + 250ms);
    deliverKey(0, InputKind::keyUp, t + 300ms);
    drain();
    ASSERT_EQ(e.recordedEvents().size(), 2u);
    EXPECT_DOUBLE_EQ(e.recordedEvents()[1].delaySincePrevious, 0.3);
}

TEST_F(Recorder, UnsetHotkeysKeepNoKeyOut)
{
    MacroEngine& e = build();
    e.startRecording();
    deliverKey(65535, InputKind::keyDown, Clock::now());
    drain();
    EXPECT_EQ(e.recordedEvents().size(), 1u);
}

TEST_F(Recorder, MovementsFollowTheSettingAndStillMoveTheClock)
{
    MacroEngine& e = build();
    e.setRecordMouseMovements(true);
    e.startRecording();
    EXPECT_EQ(input->lastMask, 104860926u);
    const Clock::time_point t = Clock::now();
    input->deliver(inputAt(InputKind::mouseMoved, t));
    e.setRecordMouseMovements(false);
    input->deliver(inputAt(InputKind::rightMouseDragged, t + 100ms));
    deliverKey(1, InputKind::keyDown, t + 300ms);
    drain();
    ASSERT_EQ(e.recordedEvents().size(), 2u);
    EXPECT_EQ(e.recordedEvents()[0].type, EventType::mouseMoved);
    EXPECT_DOUBLE_EQ(e.recordedEvents()[1].delaySincePrevious, 0.2);
}

TEST_F(Recorder, StopRemovesMonitorsHidesAndShowsAndStopsAPlaybackFirst)
{
    MacroEngine& e = build();
    e.setHideWhenRecording(true);
    e.setRecordedEvents({makeEvent(EventType::wait, 30)});
    e.startPlayback();
    ASSERT_TRUE(e.isPlaying());
    journal->clear();
    e.startRecording();
    EXPECT_FALSE(e.isPlaying());
    EXPECT_EQ(input->monitorCount(), 1u);
    e.startRecording(); // already running: nothing
    EXPECT_EQ(input->monitorCount(), 1u);
    e.stopRecording();
    e.stopRecording();
    EXPECT_EQ(input->monitorCount(), 0u);
    drain();
    EXPECT_TRUE(journal->lines().contains("hide"));
    EXPECT_EQ(journal->lines().filter("show").size(), 1);
    deliverKey(3, InputKind::keyDown, Clock::now());
    drain();
    EXPECT_TRUE(e.recordedEvents().empty());
}

TEST_F(Recorder, RefusedMonitorStillRecords)
{
    prepare = [this](FakeHotkeyService&, FakeWorkspace&) { input->refuseGlobal = true; };
    MacroEngine& e = build();
    e.startRecording();
    EXPECT_TRUE(e.isRecording());
    EXPECT_EQ(input->monitorCount(), 0u);
}

} // namespace
} // namespace loopwren

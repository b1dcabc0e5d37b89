#include "enginefixture.h"
#include "playbackworker.h"
#include "virtualclock.h"

#include <QSignalSpy>

namespace loopwren {
namespace {

using namespace std::chrono_literals;

MacroEvent at(EventType type, double x, double y, std::optional<MouseButtonType> button = {})
{
    MacroEvent e = makeEvent(type);
    e.location = Point{x, y};
    e.mouseButton = button;
    return e;
}

class Player : public EngineFixture
{
protected:
    // Outlives the engine, which the fixture's teardown destroys.
    VirtualClock clock;

    QStringList playToEnd(MacroEngine& e)
    {
        journal->clear();
        e.startPlayback();
        EXPECT_TRUE(runUntil([&] { return !e.isPlaying(); }));
        return journal->lines();
    }
};

TEST_F(Player, PostsEachKindAsItsInput)
{
    MacroEngine& e = build();
    MacroEvent click = at(EventType::mouseDown, 10, 20, MouseButtonType::left);
    click.clickCount = 2;
    click.flags = 0x100000;
    MacroEvent key = makeEvent(EventType::keyDown);
    key.keyCode = 9;
    key.flags = 0x100000;
    MacroEvent scroll = makeEvent(EventType::scroll);
    scroll.scrollDeltaY = -2;
    scroll.scrollDeltaX = 1;
    e.setRecordedEvents({
        click, at(EventType::mouseUp, 11, 21, MouseButtonType::left),
        at(EventType::mouseMoved, 5, 6, MouseButtonType::left), at(EventType::mouseMoved, 7, 8), key, scroll,
        makeEvent(EventType::wait, 0.01), at(EventType::mouseDown, 1, 1), // no button: skipped
        makeEvent(EventType::keyUp),                                      // no key code: skipped
        makeEvent(EventType::mouseMoved),                                 // no location: skipped
    });
    EXPECT_EQ(playToEnd(e), (QStringList{
                                "warp (10, 20)",
                                "left down (10, 20) flags=0x100000",
                                "warp (11, 21)",
                                "left up (11, 21)",
                                "move (5, 6)",
                                "move (7, 8)",
                                "key 9 down flags=0x100000",
                                "scroll down",
                                "scroll down",
                                "scroll left",
                                "release all",
                            }));
    EXPECT_EQ(e.currentPlaybackIndex(), -1);
}

TEST_F(Player, PlaysTheLoopCountOrUntilStopped)
{
    MacroEngine& e = build();
    MacroEvent key = makeEvent(EventType::keyDown, 0.001);
    key.keyCode = 1;
    e.setRecordedEvents({key});
    e.setLoopCount(3);
    EXPECT_EQ(playToEnd(e).filter("key 1").size(), 3);

    for (qint64 limit : {0, -4}) {
        e.setLoopCount(limit);
        journal->clear();
        e.startPlayback();
        ASSERT_TRUE(runUntil([&] { return journal->lines().filter("key 1").size() >= 5; }));
        e.stopPlayback();
        EXPECT_FALSE(e.isPlaying());
        ASSERT_TRUE(runUntil([&] { return journal->lines().contains("release all"); }));
    }
}

TEST_F(Player, StopDuringALongDelayPostsNothingMoreAndReleases)
{
    options.playbackClock = &clock;
    MacroEngine& e = build();
    MacroEvent key = makeEvent(EventType::keyDown, 1e300);
    key.keyCode = 4;
    e.setRecordedEvents({key});
    e.setPlaybackSpeed(0); // factor 0.001: the delay grows a thousandfold and still must not overflow
    QSignalSpy finished(&e, &MacroEngine::playbackFinished);
    journal->clear();
    e.startPlayback();
    clock.advanceBy(std::chrono::hours(24 * 365));
    e.stopPlayback();
    EXPECT_FALSE(e.isPlaying());
    EXPECT_EQ(e.currentPlaybackIndex(), -1);
    ASSERT_TRUE(runUntil([&] { return finished.count() == 1; }));
    EXPECT_EQ(journal->lines(), QStringList{"release all"});
}

TEST_F(Player, HugeScrollStopsBetweenNotches)
{
    MacroEngine& e = build();
    MacroEvent scroll = makeEvent(EventType::scroll);
    scroll.scrollDeltaY = std::numeric_limits<std::int32_t>::min();
    e.setRecordedEvents({scroll});
    e.startPlayback();
    ASSERT_TRUE(runUntil([&] { return journal->lines().size() > 1000; }));
    e.stopPlayback();
    ASSERT_TRUE(runUntil([&] { return journal->lines().contains("release all"); }));
    EXPECT_LT(journal->lines().size(), 100000000);
}

TEST_F(Player, DoesNotStartWhenEmptyRecordingOrAlreadyPlaying)
{
    MacroEngine& e = build();
    e.startPlayback();
    EXPECT_FALSE(e.isPlaying());
    e.setRecordedEvents({makeEvent(EventType::wait, 1)});
    e.startRecording();
    e.startPlayback();
    EXPECT_FALSE(e.isPlaying());
}

TEST_F(Player, PlaysACopyAndPublishesIndicesInOrder)
{
    MacroEngine& e = build();
    Timeline events;
    for (int i = 0; i < 5; ++i) {
        MacroEvent key = makeEvent(EventType::keyDown, 0.002);
        key.keyCode = static_cast<std::uint16_t>(i);
        events.push_back(key);
    }
    e.setRecordedEvents(events);
    std::vector<qint64> indices;
    QObject::connect(&e, &MacroEngine::currentPlaybackIndexChanged,
                     [&] { indices.push_back(e.currentPlaybackIndex()); });
    journal->clear();
    e.startPlayback();
    e.setRecordedEvents({});
    ASSERT_TRUE(runUntil([&] { return !e.isPlaying(); }));
    EXPECT_EQ(journal->lines().filter("key ").size(), 5) << "edits during playback change nothing played";
    EXPECT_EQ(indices, (std::vector<qint64>{-1, 0, 1, 2, 3, 4, -1}));
}

TEST_F(Player, SupersededPlaybackDoesNotResetItsReplacement)
{
    MacroEngine& e = build();
    MacroEvent key = makeEvent(EventType::keyDown, 0.05);
    key.keyCode = 2;
    e.setRecordedEvents({key});
    e.startPlayback();
    e.stopPlayback();
    e.startPlayback();
    EXPECT_TRUE(e.isPlaying());
    drain();
    EXPECT_TRUE(e.isPlaying()) << "the first playback's completion must not end the second";
    ASSERT_TRUE(runUntil([&] { return !e.isPlaying(); }));
}

TEST_F(Player, FocusesTheTargetAndHidesDuringPlayback)
{
    prepare = [](FakeHotkeyService&, FakeWorkspace& ws) {
        ws.applications = {RunningApplication{QString("Notes"), RunningApplication::Policy::regular, 7, 7}};
    };
    MacroEngine& e = build();
    drain();
    e.setFocusTargetAppBeforePlayback(true);
    e.setHideOnPlayback(true);
    MacroEvent key = makeEvent(EventType::keyDown, 0);
    key.keyCode = 3;
    e.setRecordedEvents({key});
    const QStringList lines = playToEnd(e);
    EXPECT_EQ(lines, (QStringList{"activate Notes pid=7", "hide", "key 3 down", "release all", "show"}));
}

// Delays that are not whole slices add up exactly: no event comes before its deadline measured from
// the pass start, nor a moment after it.
TEST(PlaybackWorker, PlaysEachEventExactlyAtItsDeadlineFromThePassStart)
{
    auto journal = std::make_shared<Journal>();
    VirtualClock clock;
    PlaybackPlan plan;
    for (int i = 0; i < 40; ++i) {
        MacroEvent key = makeEvent(EventType::keyDown, 0.025);
        key.keyCode = 1;
        plan.events.push_back(key);
    }
    std::atomic<std::size_t> reached{0};
    const PlaybackClock::TimePoint start = clock.now();
    PlaybackWorker worker(
        std::move(plan), std::make_unique<FakeInputPoster>(journal), clock,
        [&](std::size_t index) { reached = index + 1; }, [&] { clock.ended(); });
    clock.settle();
    for (int i = 1; i <= 40; ++i) {
        const auto deadline = start + std::chrono::microseconds(25000) * i;
        clock.advanceTo(deadline - std::chrono::nanoseconds(1));
        EXPECT_EQ(reached, static_cast<std::size_t>(i - 1)) << "event " << i << " came early";
        clock.advanceTo(deadline);
        EXPECT_EQ(reached, static_cast<std::size_t>(i)) << "event " << i << " came late";
    }
}

} // namespace
} // namespace loopwren

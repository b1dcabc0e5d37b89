#include "deadlinepriority.h"
#include "enginefixture.h"
#include "playbackclock.h"
#include "playbackworker.h"
#include "testevents.h"
#include "virtualclock.h"
#include "wakelateness.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>
#include <thread>

#include <sched.h>

namespace loopwren {
namespace {

using namespace std::chrono_literals;
using enum EventType;
using enum MouseButtonType;
using test::Event;

class Player : public EngineFixture
{
protected:
    VirtualClock clock;
};

// Each event posts its input; the indices reached are published in order, and edits of the timeline
// during the playback change nothing played.
TEST_F(Player, PostsEachKindAsItsInputAndPublishesTheIndicesReached)
{
    MacroEngine& e = build();
    e.setRecordedEvents({
        Event(mouseDown).at(10, 20).button(left).clicks(2).flags(0x100000),
        Event(mouseUp).at(11, 21).button(left), Event(mouseMoved).at(5, 6).button(left),
        Event(mouseMoved).at(7, 8), Event(keyDown).key(9).flags(0x100000), Event(scroll).scroll(1, -2),
        Event(wait, 0.01), Event(mouseDown).at(1, 1), // no button: skipped
        Event(keyUp),                                 // no key code: skipped
        Event(mouseMoved),                            // no location: skipped
    });
    std::vector<qint64> indices;
    QObject::connect(&e, &MacroEngine::currentPlaybackIndexChanged,
                     [&] { indices.push_back(e.currentPlaybackIndex()); });
    journal->clear();
    e.startPlayback();
    e.setRecordedEvents({});
    ASSERT_TRUE(test::eventually([&] { return !e.isPlaying(); }));
    EXPECT_EQ(journal->lines(),
              (QStringList{"warp (10, 20)", "left down (10, 20) flags=0x100000", "warp (11, 21)",
                           "left up (11, 21)", "move (5, 6)", "move (7, 8)", "key 9 down flags=0x100000",
                           "scroll down", "scroll down", "scroll left", "release all"}));
    // A notice tells the newest index when it runs, so a busy main thread may skip rows, never go back.
    ASSERT_GE(indices.size(), 3u);
    EXPECT_EQ(indices.front(), -1);
    EXPECT_EQ(indices[indices.size() - 2], 9);
    EXPECT_EQ(indices.back(), -1);
    EXPECT_EQ(std::adjacent_find(indices.begin(), indices.end() - 1, std::greater_equal<>()), indices.end() - 1)
        << "the rows reached go back or repeat";
}

TEST_F(Player, PlaysTheLoopCountOrUntilStopped)
{
    MacroEngine& e = build();
    e.startPlayback();
    EXPECT_FALSE(e.isPlaying()) << "nothing to play";
    e.setRecordedEvents({Event(keyDown, 0.001).key(1)});
    e.setLoopCount(3);
    e.startPlayback();
    ASSERT_TRUE(test::eventually([&] { return !e.isPlaying(); }));
    EXPECT_EQ(journal->lines().filter("key 1").size(), 3);
    // No count, a negative one, and the endless switch whatever the count.
    for (const auto& [count, endless] : {std::pair<qint64, bool>{0, false}, {-4, false}, {3, true}}) {
        e.setLoopCount(count);
        e.setInfiniteLoop(endless);
        journal->clear();
        e.startPlayback();
        ASSERT_TRUE(test::eventually([&] { return journal->lines().filter("key 1").size() >= 5; }));
        e.stopPlayback();
        EXPECT_FALSE(e.isPlaying());
        ASSERT_TRUE(test::eventually([&] { return journal->lines().contains("release all"); }));
    }
}

// Pointer input that lands off every screen is named once per playback, however many passes it has.
TEST_F(Player, NamesThePointerInputOffEveryScreenOncePerPlayback)
{
    MacroEngine& e = build();
    posters->reach = [](Point at) {
        return at.x > 1000 ? PointerReach::offScreen
               : at.x < 0  ? PointerReach::skipped
                           : PointerReach::onScreen;
    };
    e.setRecordedEvents({Event(mouseDown).at(10, 20).button(left), Event(mouseUp).at(2500, 300).button(left),
                         Event(keyDown).key(1), Event(mouseMoved).at(-5, 7)});
    e.setLoopCount(2);
    e.startPlayback();
    ASSERT_TRUE(test::eventually([&] { return !e.isPlaying(); }));
    EXPECT_EQ(logged, QStringList{"Pointer input off every screen: event 2 at 2500,300: played where no "
                                  "screen shows it, or at a screen's edge; event 4 at -5,7: skipped, no "
                                  "screen layout being known"});
    EXPECT_EQ(journal->lines().filter("left up (2500, 300)").size(), 2) << "played all the same";
}

// A player that stops and starts again keeps its turn in the session; another player is refused with
// the reason (the command-line tests show it across processes).
TEST_F(Player, AnotherPlayerOfTheSessionIsRefusedWhileOneThatRestartsKeepsItsTurn)
{
    QTemporaryDir folder;
    options.playbackLockPath = folder.filePath("playback.lock");
    MacroEngine& first = build();
    first.setRecordedEvents({Event(keyDown, 600).key(1)});
    first.startPlayback();
    first.stopPlayback();
    first.startPlayback();
    ASSERT_TRUE(first.isPlaying());
    MacroEngine second(PlatformServices{}, options);
    second.setRecordedEvents(first.recordedEvents());
    QSignalSpy refused(&second, &MacroEngine::playbackRefused);
    second.startPlayback();
    EXPECT_TRUE(!second.isPlaying() && refused.count() == 1 && logged.size() == 1 &&
                logged[0].startsWith("Playback refused: another playback is running"));
}

// A hostile delay must not overflow the schedule, nor a hostile scroll keep a stop waiting: a stop
// lands at once. The end of a stopped playback that a new one replaced does not end the new one.
TEST_F(Player, StopsLandDuringHostileEventsAndASupersededEndIsDropped)
{
    options.playbackClock = &clock;
    MacroEngine& e = build();
    e.setRecordedEvents({Event(keyDown, 1e300).key(4)});
    e.setPlaybackSpeed(0); // factor 0.001: the delay grows a thousandfold
    QSignalSpy finished(&e, &MacroEngine::playbackFinished);
    journal->clear();
    e.startPlayback();
    clock.advanceBy(24h * 365);
    e.stopPlayback();
    EXPECT_FALSE(e.isPlaying());
    EXPECT_EQ(e.currentPlaybackIndex(), -1);
    e.setRecordedEvents({Event(scroll).scroll(0, std::numeric_limits<std::int32_t>::min())});
    e.startPlayback();
    ASSERT_TRUE(test::eventually([&] { return journal->lines().size() > 1000; }));
    EXPECT_TRUE(e.isPlaying()) << "the first playback's end ended the second";
    e.stopPlayback();
    ASSERT_TRUE(test::eventually([&] { return finished.count() == 1; }));
    EXPECT_EQ(journal->lines().first(), "release all") << "the first playback posted something";
    EXPECT_EQ(journal->lines().last(), "release all");
}

// The target comes forward first and the worker waits a moment for it (where a stop still lands);
// the window hides for the playback and comes back at its end. Delays shrink with the speed.
TEST_F(Player, FocusesTheTargetWaitsForItAndHidesMeanwhile)
{
    options.playbackClock = &clock;
    prepare = [this] { workspace->applications = {{QString("Notes"), 7, 7}}; };
    MacroEngine& e = build();
    drain();
    e.setFocusTargetAppBeforePlayback(true);
    e.setHideOnPlayback(true);
    e.setPlaybackSpeed(200);
    e.setRecordedEvents({Event(keyDown, 0.5).key(3)});
    journal->clear();
    const PlaybackClock::TimePoint start = clock.now();
    e.startPlayback();
    clock.settle(); // the worker has taken the start of its pause
    clock.advanceTo(start + 500ms);
    clock.advanceTo(start + 750ms - 1ns);
    drain();
    EXPECT_EQ(journal->lines(), QStringList({"activate Notes pid=7", "hide"}));
    clock.ended(); // the worker ends after this step; nothing waits for it to wait again
    clock.advanceTo(start + 750ms);
    ASSERT_TRUE(test::eventually([&] { return !e.isPlaying(); }));
    EXPECT_EQ(journal->lines(),
              (QStringList{"activate Notes pid=7", "hide", "key 3 down", "release all", "show"}));
}

// The worker waits against absolute deadlines from the start of each pass, so delays that are not
// whole ticks add up exactly and a long macro does not drift: no input comes a moment before its
// deadline, nor a moment after. A button is approached a hover ahead and pressed on its beat, and a
// pass that ended far behind schedule starts the next one from then instead of rushing.
TEST(PlaybackWorker, PostsEachInputExactlyAtItsDeadline)
{
    auto journal = std::make_shared<Journal>();
    VirtualClock clock;
    PlaybackPlan plan;
    plan.events = Timeline(8, Event(keyDown, 0.025).key(1));
    plan.events.push_back(Event(mouseDown, 0.04).at(1, 2).button(left));
    plan.loopLimit = 0;
    const PlaybackClock::TimePoint start = clock.now();
    // Nothing new a nanosecond before `at`, exactly `posted` at it.
    const auto expectPostedAt = [&](PlaybackClock::TimePoint at, const QStringList& posted) {
        const QStringList before = journal->lines();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(at - start).count();
        clock.advanceTo(at - 1ns);
        EXPECT_EQ(journal->lines(), before) << "early, before " << ms << " ms";
        clock.advanceTo(at);
        EXPECT_EQ(journal->lines(), before + posted) << "late, at " << ms << " ms";
    };
    std::vector<qsizetype> toldAfter; // how many inputs were posted when each index was told
    {
        PlaybackWorker worker(
            std::move(plan), std::make_unique<FakeInputPoster>(journal), clock,
            [&](std::size_t) { toldAfter.push_back(journal->lines().size()); }, [&] { clock.ended(); });
        clock.settle(); // the worker has taken the start of its first pass
        for (auto pass = start; pass < start + 480ms; pass += 240ms) {
            for (int i = 1; i <= 8; ++i)
                expectPostedAt(pass + 25ms * i, {"key 1 down"});
            expectPostedAt(pass + 215ms, {"warp (1, 2)"});
            expectPostedAt(pass + 240ms, {"left down (1, 2)"});
        }
        // Far behind: the third pass comes at once up to the button, which still gets its hover.
        journal->clear();
        clock.advanceTo(start + 10s);
        EXPECT_EQ(journal->lines(), QStringList(8, "key 1 down") + QStringList{"warp (1, 2)"});
        expectPostedAt(start + 10s + 25ms, {"left down (1, 2)"});
        expectPostedAt(start + 10s + 50ms, {"key 1 down"});
    }
    EXPECT_EQ(journal->lines().last(), "release all");
    // Telling the main thread comes after the input it tells of, which is due at that moment; a
    // button's index is told as its hover starts.
    ASSERT_GE(toldAfter.size(), 9u);
    EXPECT_EQ(std::vector<qsizetype>(toldAfter.begin(), toldAfter.begin() + 9),
              (std::vector<qsizetype>{1, 2, 3, 4, 5, 6, 7, 8, 8}));
}

// The spin before a deadline covers how late this machine's sleeps come back, half again, within its
// bounds; a stall is forgotten over the sleeps after it.
TEST(WakeLateness, TheSpinCoversRecentLatenessAndForgetsAStall)
{
    WakeLateness lateness;
    for (int i = 0; i < 200; ++i)
        lateness.observe(10us);
    EXPECT_EQ(lateness.spin(), WakeLateness::shortest);
    lateness.observe(400us);
    EXPECT_EQ(lateness.spin(), 600us);
    lateness.observe(30ms);
    EXPECT_EQ(lateness.spin(), WakeLateness::longest);
    for (int i = 0; i < 100; ++i)
        lateness.observe(300us);
    EXPECT_EQ(lateness.spin(), 450us);
}

// Where the system allows real-time scheduling (root here), a wait's last stretch and the input after
// it run ahead of ordinary threads; the long wait before it, and a wait already behind schedule, do not.
// Elsewhere the waits run as before.
TEST(PlaybackClock, RaisesOnlyTheLastStretchBeforeADeadline)
{
    std::thread([] {
        sched_param realtime{};
        realtime.sched_priority = 1;
        const bool allowed = sched_setscheduler(0, SCHED_FIFO, &realtime) == 0;
        sched_param ordinary{};
        sched_setscheduler(0, SCHED_OTHER, &ordinary);
        const auto policy = [] { return sched_getscheduler(0) & ~SCHED_RESET_ON_FORK; };

        // A wait stalled past its deadline before it looked is rightly not raised: a few tries.
        SteadyPlaybackClock clock;
        bool raisedAtTheDeadline = false;
        for (int attempt = 0; attempt < 5 && !raisedAtTheDeadline; ++attempt) {
            EXPECT_TRUE(clock.waitUntil(clock.now() + 200ms, [] { return false; }));
            EXPECT_EQ(deadlinepriority::isRaised(), policy() == SCHED_FIFO);
            raisedAtTheDeadline = policy() == SCHED_FIFO;
        }
        EXPECT_EQ(raisedAtTheDeadline, allowed);
        std::optional<int> duringALongWait;
        EXPECT_FALSE(clock.waitUntil(clock.now() + 1h, [&] {
            duringALongWait = policy();
            return true;
        }));
        EXPECT_EQ(duringALongWait, SCHED_OTHER);
        EXPECT_TRUE(clock.waitUntil(clock.now() - 1ms, [] { return false; }));
        EXPECT_EQ(policy(), SCHED_OTHER);
        EXPECT_FALSE(deadlinepriority::isRaised());
    }).join();
}

} // namespace
} // namespace loopwren

#include "enginefixture.h"
#include "playbackworker.h"
#include "testevents.h"
#include "virtualclock.h"

#include <QRegularExpression>
#include <cmath>
#include <numeric>

// Inputs are written with designated initializers that name only the fields that matter.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace loopwren {
namespace {

using namespace std::chrono_literals;
using enum EventType;
using enum MouseButtonType;
using test::Event;

constexpr int kDraws = 10000;

struct Summary
{
    double lowest = INFINITY, highest = -INFINITY, mean = 0;
};

Summary summarise(const std::function<double()>& draw)
{
    Summary s;
    for (int i = 0; i < kDraws; ++i) {
        const double value = draw();
        s.lowest = std::min(s.lowest, value);
        s.highest = std::max(s.highest, value);
        s.mean += value / kDraws;
    }
    return s;
}

// Over 10,000 draws every value lies within its range and the range is filled: the lowest and highest
// come within 2 % of its ends, and the mean within 2 % of the range's middle (seven times the spread a
// uniform draw's mean has), which a range like [0, 1 + v] or a radius drawn uniformly instead of over
// the disc's area cannot meet. Zero stays zero, and a seed draws the same values again.
TEST(PlaybackVariation, DrawsFillTheirRangesUniformly)
{
    PlaybackVariation variation({0.5, 2.0, 5.0, 40.0}, 7);
    const Summary delays = summarise([&] { return variation.delay(2.0); });
    EXPECT_GE(delays.lowest, 1.0);
    EXPECT_LE(delays.highest, 3.0);
    EXPECT_LT(delays.lowest, 1.02);
    EXPECT_GT(delays.highest, 2.98);
    EXPECT_NEAR(delays.mean, 2.0, 0.04);
    const Summary pauses = summarise([&] { return variation.passPause(); });
    EXPECT_GE(pauses.lowest, 2.0);
    EXPECT_LE(pauses.highest, 5.0);
    EXPECT_NEAR(pauses.mean, 3.5, 0.06);
    // Uniform over the disc, the distance from the centre averages two thirds of the radius.
    const Summary radii = summarise([&] {
        const Point offset = variation.clickOffset();
        return std::hypot(offset.x, offset.y);
    });
    EXPECT_LE(radii.highest, 40.0);
    EXPECT_GT(radii.highest, 39.2);
    EXPECT_NEAR(radii.mean, 40.0 * 2 / 3, 0.8);
    EXPECT_EQ(variation.delay(0.0), 0.0);

    PlaybackVariation full({1.0, 0, 0, 0}, 7);
    EXPECT_GE(summarise([&] { return full.delay(1.0); }).lowest, 0.0);
    PlaybackVariation again({0.5, 2.0, 5.0, 40.0}, 7);
    EXPECT_EQ(again.delay(2.0), PlaybackVariation({0.5, 2.0, 5.0, 40.0}, 7).delay(2.0));
    EXPECT_NE(again.delay(2.0), PlaybackVariation({0.5, 2.0, 5.0, 40.0}, 8).delay(2.0));
}

std::chrono::steady_clock::duration onTheClock(double seconds)
{
    return std::chrono::round<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
}

// Drawn delays and pauses are deadlines like recorded ones: each input comes exactly when the same draws
// say, nothing a moment early, inputs recorded together stay together, and the second pass waits a
// pause drawn from its range first.
TEST(PlaybackVariation, DrawnDelaysAndPausesAreTheDeadlines)
{
    const VariationSettings settings{0.5, 2.0, 3.0, 0.0};
    auto journal = std::make_shared<Journal>();
    VirtualClock clock;
    PlaybackPlan plan;
    plan.events = {Event(keyDown, 0.1).key(1), Event(keyUp, 0).key(1), Event(keyDown, 0.2).key(2),
                   Event(keyUp, 0).key(2)};
    plan.loopLimit = 2;
    plan.variation = PlaybackVariation(settings, 42);
    PlaybackVariation twin(settings, 42);
    const PlaybackClock::TimePoint start = clock.now();
    {
        PlaybackWorker worker(
            std::move(plan), std::make_unique<FakeInputPoster>(journal), clock, [](std::size_t) {},
            [&] { clock.ended(); });
        clock.settle();
        PlaybackClock::TimePoint at = start;
        for (int pass = 0; pass < 2; ++pass) {
            if (pass == 1)
                at += onTheClock(twin.passPause());
            for (const int key : {1, 2}) {
                at += onTheClock(twin.delay(0.1 * key));
                const QStringList before = journal->lines();
                clock.advanceTo(at - 1ns);
                EXPECT_EQ(journal->lines(), before) << "early in pass " << pass;
                clock.advanceTo(at);
                const QStringList posted{QString("key %1 down").arg(key), QString("key %1 up").arg(key)};
                // After the last, the worker ends and releases what it holds.
                EXPECT_EQ(journal->lines().mid(0, before.size() + 2), before + posted)
                    << "late in pass " << pass;
            }
        }
    }
    EXPECT_EQ(journal->lines().last(), "release all");
}

using Variation = EngineFixture;

// A press lands off its recorded place by a drawn offset within the spread; its release and the drags
// while the button is held land off by the very same, moves with no button held not at all. The stored
// values reach the playback; a front end's overrides win for its run.
TEST_F(Variation, AClickAndItsDragMoveByOneOffsetWithinTheSpread)
{
    MacroEngine& e = build();
    e.setClickSpread(20);
    e.setPlaybackOverrides({.clickSpread = 50, .seed = 3});
    e.setRecordedEvents({Event(mouseMoved).at(100, 100), Event(mouseDown).at(10, 10).button(left),
                         Event(mouseMoved).at(20, 25).button(left), Event(mouseUp).at(30, 30).button(left),
                         Event(mouseMoved).at(40, 40)});
    journal->clear();
    e.startPlayback();
    ASSERT_TRUE(test::eventually([&] { return !e.isPlaying(); }));
    const QStringList lines = journal->lines();
    ASSERT_EQ(lines.size(), 8) << lines.join(" | ").toStdString();
    EXPECT_EQ(lines.first(), "move (100, 100)");
    EXPECT_EQ(lines.at(6), "move (40, 40)");
    const Point recorded[] = {{10, 10}, {10, 10}, {20, 25}, {30, 30}, {30, 30}};
    std::vector<Point> offsets;
    static const QRegularExpression point(R"(\((\S+), (\S+)\))");
    for (int i = 1; i <= 5; ++i) {
        const QRegularExpressionMatch match = point.match(lines.at(i));
        offsets.push_back({match.captured(1).toDouble() - recorded[i - 1].x,
                           match.captured(2).toDouble() - recorded[i - 1].y});
    }
    const double radius = std::hypot(offsets.front().x, offsets.front().y);
    EXPECT_TRUE(radius > 0 && radius <= 50) << radius;
    for (const Point& offset : offsets) {
        EXPECT_NEAR(offset.x, offsets.front().x, 1e-3);
        EXPECT_NEAR(offset.y, offsets.front().y, 1e-3);
    }
}

// With the switch on, the user's own key press, button press or move of more than a few pixels stops
// the playback at once and says so; the hotkeys' keys, modifier keys alone and a hand resting on the
// mouse do not. Off, nothing is watched.
TEST_F(Variation, TheUsersOwnInputStopsAPlaybackWhenAsked)
{
    MacroEngine& e = build();
    e.setPlaybackHotkey(Hotkey{9, 0});
    e.setRecordedEvents({Event(keyDown, 0.001).key(1)});
    e.setInfiniteLoop(true);
    e.startPlayback();
    EXPECT_EQ(userInput->watchCount(), 0u);
    e.stopPlayback();

    e.setStopPlaybackOnUserInput(true);
    using K = InputKind;
    for (const InputEvent& used :
         {InputEvent{.kind = K::keyDown, .keyCode = 2}, InputEvent{.kind = K::buttonDown},
          InputEvent{.kind = K::pointerMoved, .location = Point{3, 4.1}}}) {
        e.startPlayback();
        EXPECT_FALSE(e.playbackStoppedByUserInput());
        ASSERT_TRUE(test::eventually([&] { return journal->lines().contains("key 1 down"); }));
        for (const InputEvent& ignored :
             {InputEvent{.kind = K::keyDown, .keyCode = 9}, InputEvent{.kind = K::modifiersChanged},
              InputEvent{.kind = K::pointerMoved, .location = Point{0, 0}},
              InputEvent{.kind = K::pointerMoved, .location = Point{3, 4}}})
            userInput->deliver(ignored);
        EXPECT_TRUE(e.isPlaying());
        journal->clear();
        userInput->deliver(used);
        EXPECT_FALSE(e.isPlaying());
        EXPECT_TRUE(e.playbackStoppedByUserInput());
        EXPECT_EQ(userInput->watchCount(), 0u);
        ASSERT_TRUE(test::eventually([&] { return journal->lines().contains("release all"); }));
    }
}

} // namespace
} // namespace loopwren

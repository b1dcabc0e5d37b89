#include "x11inputmonitor.h"
#include "x11inputposter.h"
#include "x11testsupport.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <thread>

namespace loopwren {
namespace {

using namespace x11test;
using namespace test;
using Lines = std::vector<std::string>;

// What the recorder asks for when pointer movements are recorded.
const InputKinds kRecorderKinds{InputKind::buttonDown, InputKind::buttonUp, InputKind::pointerMoved,
                                InputKind::keyDown,    InputKind::keyUp,    InputKind::scroll};
const InputKinds kEverything = kRecorderKinds.with(InputKind::modifiersChanged);
const Lines kKeysABC{"keyDown 0", "keyUp 0", "keyDown 11", "keyUp 11", "keyDown 8", "keyUp 8"};

class X11InputMonitorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(displayProblem(), "");
        ASSERT_NE(qGuiApp, nullptr) << "no QGuiApplication";
        // A known pointer position, away from where the tests click.
        ASSERT_TRUE(xdotool({"mousemove", "1000", "800"}));
    }

    // Installs a global monitor that appends to the given list.
    InputMonitor::Token watch(std::vector<InputEvent>& into, InputKinds kinds = kRecorderKinds)
    {
        const auto token = m_monitor->watch(kinds, [&into](const InputEvent& e) { into.push_back(e); });
        EXPECT_TRUE(token.has_value());
        return token.value_or(0);
    }

    // Drives xdotool and returns what a monitor of these kinds delivered: at least `count` inputs, plus
    // whatever followed within a short while.
    Lines record(const std::vector<std::string>& arguments, std::size_t count)
    {
        std::vector<InputEvent> events;
        watch(events);
        EXPECT_TRUE(xdotool(arguments));
        EXPECT_TRUE(eventually([&] { return events.size() >= count; }))
            << "only " << events.size() << " arrived";
        settle();
        return describe(events);
    }

    std::unique_ptr<X11InputMonitor> m_monitor = std::make_unique<X11InputMonitor>();
};

// What the monitor itself adds to the translator (whose test covers how each input maps): keys and
// buttons as the server numbers them, root positions moved to the primary monitor, the server's times,
// which count the clicks, the modifiers already held when watching began (Shift here), and to each
// monitor only the kinds it asked for. The click interval is far longer than any scheduling delay, so
// the count never depends on how busy the machine is. xdotool's "key ctrl+alt+b" would let go of the
// modifiers before B, hence the explicit downs and ups.
TEST_F(X11InputMonitorTest, ReportsTheServersInputRelativeToThePrimaryMonitor)
{
    m_monitor = std::make_unique<X11InputMonitor>(std::string(), ClickSettings{20000, 5});
    ASSERT_TRUE(xdotool({"keydown", "shift"}));
    std::vector<InputEvent> everything;
    watch(everything, kEverything);
    // Root (150, 50) is (-50, -50) on the primary monitor at +200+100.
    // clang-format off
    const Lines recorded = record({
        "key", "a", "keyup", "shift", "keydown", "ctrl", "keydown", "alt", "key", "b", "keyup", "alt", "keyup",
        "ctrl", "mousemove", "150", "50", "mousedown", "1", "mousemove", "170", "70", "mouseup", "1", "click",
        "3", "click", "5", "click", "--repeat", "2", "1", "mousemove", "170", "76", "click", "1"}, 17);
    Lines expected{
        "keyDown 0 flags=0x20000", "keyUp 0 flags=0x20000", "modifiersChanged 56",
        "modifiersChanged 59 flags=0x40000", "modifiersChanged 58 flags=0xc0000", "keyDown 11 flags=0xc0000",
        "keyUp 11 flags=0xc0000", "modifiersChanged 58 flags=0x40000", "modifiersChanged 59",
        "pointerMoved (-50,-50)", "buttonDown left (-50,-50) clicks=1", "pointerMoved left (-30,-30)",
        "buttonUp left (-30,-30) clicks=1", "buttonDown right (-30,-30) clicks=1",
        "buttonUp right (-30,-30) clicks=1", "scroll dx=0 dy=-1", "buttonDown left (-30,-30) clicks=1",
        "buttonUp left (-30,-30) clicks=1", "buttonDown left (-30,-30) clicks=2",
        "buttonUp left (-30,-30) clicks=2", "pointerMoved (-30,-24)", "buttonDown left (-30,-24) clicks=1",
        "buttonUp left (-30,-24) clicks=1"};
    // clang-format on
    EXPECT_EQ(describe(everything), expected);
    std::erase_if(expected, [](const std::string& line) { return line.starts_with("modifiersChanged"); });
    EXPECT_EQ(recorded, expected);
}

// A monitor finished at once, without waiting for the capture to catch up, still gets every input the
// server took before (xdotool has returned, so it has taken every key) and nothing after. A removed
// monitor hears nothing more, not even input read but not yet handed to the main thread; a handler may
// remove its own monitor; and watching again after everything was removed starts afresh.
TEST_F(X11InputMonitorTest, AFinishedMonitorGetsEverythingBeforeAndARemovedOneNothingMore)
{
    std::vector<InputEvent> finished, removed, kept, self;
    const auto finishedToken = watch(finished);
    ASSERT_TRUE(xdotool({"key", "a", "b", "c"}));
    m_monitor->finishWatching(finishedToken);
    EXPECT_EQ(describe(finished), kKeysABC);

    const auto removedToken = watch(removed);
    watch(kept);
    ASSERT_TRUE(xdotool({"key", "a"}));
    ASSERT_TRUE(eventually([&] { return removed.size() >= 2 && kept.size() >= 2; }));
    // Input read but not yet handed to the main thread must not reach it either.
    ASSERT_TRUE(xdotool({"key", "b"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    m_monitor->stopWatching(removedToken);
    ASSERT_TRUE(xdotool({"key", "c"}));
    EXPECT_TRUE(eventually([&] { return kept.size() >= 6; }));
    settle();
    EXPECT_EQ(describe(removed), (Lines{"keyDown 0", "keyUp 0"}));
    EXPECT_EQ(describe(kept), kKeysABC);
    EXPECT_EQ(finished.size(), 6u) << "input reached a finished monitor";

    m_monitor = std::make_unique<X11InputMonitor>();
    std::optional<InputMonitor::Token> token;
    token = m_monitor->watch(kRecorderKinds, [&](const InputEvent& e) {
        self.push_back(e);
        m_monitor->stopWatching(*token);
    });
    ASSERT_TRUE(xdotool({"key", "d", "e"}));
    EXPECT_TRUE(eventually([&] { return !self.empty(); }));
    settle();
    EXPECT_EQ(describe(self), (Lines{"keyDown 2"}));
    EXPECT_EQ(record({"key", "e"}, 2), (Lines{"keyDown 14", "keyUp 14"}));
}

TEST_F(X11InputMonitorTest, EveryOneOfFiftyThousandMovesArrivesInOrder)
{
    constexpr int kMoves = 50000;
    std::vector<InputEvent> events;
    events.reserve(kMoves);
    watch(events, {InputKind::pointerMoved});
    auto poster = X11InputPoster::create({});
    ASSERT_NE(poster, nullptr);
    // Consecutive positions always differ: the server reports no motion to where the pointer already is.
    const auto position = [](int i) { return Point{double(i % 800), double(i / 800 % 600)}; };
    // Posted from another thread, as playback does, while this one keeps draining.
    std::jthread sender([&] {
        for (int i = 0; i < kMoves; ++i)
            poster->postMouseMoved(position(i), std::nullopt);
        poster->releaseAll();
    });
    EXPECT_TRUE(eventually([&] { return events.size() >= kMoves; }));
    sender.join();
    settle();
    ASSERT_EQ(events.size(), static_cast<std::size_t>(kMoves));
    int outOfPlace = 0;
    for (int i = 0; i < kMoves; ++i)
        outOfPlace += events[i].location->x != position(i).x || events[i].location->y != position(i).y;
    EXPECT_EQ(outOfPlace, 0);
}

} // namespace
} // namespace loopwren

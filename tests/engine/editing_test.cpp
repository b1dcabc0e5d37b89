#include "enginefixture.h"
#include "timelineedits.h"

#include <QSignalSpy>

namespace loopwren {
namespace {

// Timelines are written as letters: an event's letter is its delay (A = 1, B = 2, ...), a wait is w,
// so order and identity show in one string.
Timeline letters(const std::string& text)
{
    Timeline events;
    for (char c : text)
        events.push_back(makeEvent(EventType::keyDown, c - 'A' + 1));
    return events;
}

std::string text(const Timeline& events)
{
    std::string out;
    for (const MacroEvent& e : events)
        out += e.type == EventType::wait
                   ? 'w'
                   : static_cast<char>('A' + static_cast<int>(e.delaySincePrevious) - 1);
    return out;
}

// A timeline whose announced changes are noted as "insert 2", "move 0>3"...
struct Observed
{
    explicit Observed(const std::string& text) : events(letters(text)) {}

    Timeline events;
    std::vector<std::string> changes;
    ObservedTimeline timeline{
        events, {}, [this](const TimelineChange& change) {
            static const char* const names[] = {"insert", "remove", "move", "update", "replace"};
            changes.push_back(
                names[static_cast<int>(change.kind)] + (" " + std::to_string(change.row)) +
                (change.kind == TimelineChange::Kind::moved ? ">" + std::to_string(change.to) : ""));
        }};
};

TEST(TimelineEdits, MovesPutTheBlockInFrontOfTheDestinationOrExchangeOneEvent)
{
    const std::tuple<std::set<std::size_t>, std::size_t, std::string> cases[] = {
        {{0, 2}, 4, "BDAC"}, {{0, 2}, 0, "ACBD"},       {{1}, 1, "ABCD"},
        {{1}, 2, "ABCD"},    {{3}, 0, "DABC"},          {{0}, 4, "BCDA"},
        {{}, 2, "ABCD"},     {{0, 1, 2, 3}, 2, "ABCD"}, {{9}, 1, "ABCD"},
    };
    for (const auto& [positions, destination, expected] : cases) {
        Observed observed("ABCD");
        timelineedits::moveEvents(observed.timeline, positions, destination);
        EXPECT_EQ(text(observed.events), expected) << "destination " << destination;
    }
    Observed dragged("ABCD");
    timelineedits::moveEvents(dragged.timeline, {0}, 4);
    EXPECT_EQ(dragged.changes, std::vector<std::string>{"move 0>3"}) << "a dragged row is one move";
    // A single event moved farther than one place exchanges places with the event there.
    timelineedits::moveEvent(dragged.timeline, dragged.events[1].id, +2);
    EXPECT_EQ(text(dragged.events), "BADC");
    timelineedits::moveEvent(dragged.timeline, dragged.events[3].id, -3);
    EXPECT_EQ(text(dragged.events), "CADB");
}

// Each edit finds its event by id and announces exactly the rows it changes.
TEST(TimelineEdits, SingleEventEditsFindTheirEventByIdAndAnnounceTheirRows)
{
    Observed observed("ABC");
    ObservedTimeline& events = observed.timeline;
    const Uuid first = observed.events[0].id;
    const Uuid last = observed.events[2].id;

    timelineedits::moveEvent(events, first, -1);
    timelineedits::moveEvent(events, last, +1);
    timelineedits::moveEvent(events, first, +1);
    EXPECT_EQ(text(observed.events), "BAC");

    timelineedits::duplicateEvent(events, last);
    ASSERT_EQ(text(observed.events), "BACC");
    EXPECT_NE(observed.events[3].id, last);

    MacroEvent gone = observed.events[0];
    timelineedits::deleteEvent(events, gone.id);
    gone.delaySincePrevious = 26;
    timelineedits::updateEvent(events, gone);
    EXPECT_EQ(text(observed.events), "ACC") << "an update of a deleted event changes nothing";

    timelineedits::insertWait(events, observed.events[0].id);
    timelineedits::insertWait(events, std::nullopt);
    timelineedits::insertWait(events, Uuid::random());
    EXPECT_EQ(text(observed.events), "AwCCww");
    EXPECT_EQ(observed.events[1].delaySincePrevious, 1.0);
    EXPECT_FALSE(observed.events[1].location || observed.events[1].keyCode || observed.events[1].flags);
    EXPECT_EQ(observed.changes, (std::vector<std::string>{"move 0>1", "insert 3", "remove 0", "insert 1",
                                                          "insert 4", "insert 5"}));
}

TEST(TimelineEdits, RepeatedIdsDeleteAllButOtherwiseActOnTheFirst)
{
    Observed observed("ABCD");
    observed.events[2].id = observed.events[0].id;
    MacroEvent changed = observed.events[0];
    changed.delaySincePrevious = 26; // Z
    timelineedits::updateEvent(observed.timeline, changed);
    timelineedits::duplicateEvent(observed.timeline, changed.id);
    EXPECT_EQ(text(observed.events), "ZZBCD");
    timelineedits::deleteEvent(observed.timeline, changed.id);
    EXPECT_EQ(text(observed.events), "ZBD") << "the copy has its own id and stays";
}

using EngineEditing = EngineFixture;

TEST_F(EngineEditing, EditsLandAfterTheCallersStepInCallOrder)
{
    MacroEngine& e = build();
    e.setRecordedEvents(letters("ABCDE"));
    const Timeline before = e.recordedEvents();
    QSignalSpy changed(&e, &MacroEngine::recordedEventsChanged);
    MacroEvent rewritten = before[1];
    rewritten.delaySincePrevious = 26;
    e.updateEvent(rewritten);
    e.deleteEvent(before[1].id);
    e.insertWait(before[2].id);
    e.moveEvents({0}, 5);
    EXPECT_EQ(text(e.recordedEvents()), "ABCDE") << "nothing changes inside the caller's step";
    drain();
    EXPECT_EQ(text(e.recordedEvents()), "CwDEA");
    EXPECT_EQ(changed.count(), 4);
}

} // namespace
} // namespace loopwren

#include "enginefixture.h"
#include "timelineedits.h"

#include <QSignalSpy>

namespace loopwren {
namespace {

// Timelines are written as letters; an event's letter is its delay (A = 1, B = 2, ...), so order
// and identity show in one string.
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

TEST(TimelineEdits, MoveEventsPutsTheBlockInFrontOfTheDestination)
{
    struct Case
    {
        std::set<std::size_t> positions;
        std::size_t destination;
        std::string expected;
    };
    const Case cases[] = {
        {{0, 2}, 4, "BDAC"}, {{0, 2}, 0, "ACBD"},       {{1}, 1, "ABCD"},
        {{1}, 2, "ABCD"},    {{3}, 0, "DABC"},          {{0}, 4, "BCDA"},
        {{}, 2, "ABCD"},     {{0, 1, 2, 3}, 2, "ABCD"}, {{9}, 1, "ABCD"},
    };
    for (const Case& c : cases) {
        Timeline events = letters("ABCD");
        timelineedits::moveEvents(events, c.positions, c.destination);
        EXPECT_EQ(text(events), c.expected) << "destination " << c.destination;
    }
}

TEST(TimelineEdits, SingleEventEditsFindTheirEventById)
{
    Timeline events = letters("ABC");
    const Uuid first = events[0].id;
    const Uuid last = events[2].id;

    timelineedits::moveEvent(events, first, -1);
    timelineedits::moveEvent(events, last, +1);
    EXPECT_EQ(text(events), "ABC");
    timelineedits::moveEvent(events, first, +1);
    EXPECT_EQ(text(events), "BAC");

    timelineedits::duplicateEvent(events, last);
    ASSERT_EQ(text(events), "BACC");
    EXPECT_NE(events[3].id, last);
    EXPECT_EQ(events[3].keyCode, events[2].keyCode);

    MacroEvent gone = events[0];
    timelineedits::deleteEvent(events, gone.id);
    gone.delaySincePrevious = 26;
    timelineedits::updateEvent(events, gone);
    EXPECT_EQ(text(events), "ACC") << "an update of a deleted event changes nothing";

    timelineedits::insertWait(events, events[0].id);
    timelineedits::insertWait(events, std::nullopt);
    timelineedits::insertWait(events, Uuid::random());
    EXPECT_EQ(text(events), "AwCCww");
    EXPECT_EQ(events[1].delaySincePrevious, 1.0);
    EXPECT_FALSE(events[1].location || events[1].keyCode || events[1].flags);

    Timeline empty;
    timelineedits::insertWait(empty, Uuid::random());
    EXPECT_EQ(text(empty), "w");
}

TEST(TimelineEdits, RepeatedIdsDeleteAllButOtherwiseActOnTheFirst)
{
    Timeline events = letters("ABCD");
    events[2].id = events[0].id;
    MacroEvent changed = events[0];
    changed.delaySincePrevious = 26; // Z
    timelineedits::updateEvent(events, changed);
    EXPECT_EQ(text(events), "ZBCD");
    timelineedits::duplicateEvent(events, changed.id);
    EXPECT_EQ(text(events), "ZZBCD");
    timelineedits::deleteEvent(events, changed.id);
    EXPECT_EQ(text(events), "ZBD") << "the copy has its own id and stays";
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
    EXPECT_EQ(text(e.recordedEvents()), "ABCDE") << "nothing changes inside the caller's step";
    drain();
    EXPECT_EQ(text(e.recordedEvents()), "ACwDE");
    EXPECT_EQ(changed.count(), 3);
}

} // namespace
} // namespace loopwren

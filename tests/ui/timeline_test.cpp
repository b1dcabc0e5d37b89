// The timeline's rows: texts, states, and how the engine's changes reach the list model.
#include "eventrowtext.h"
#include "eventtext.h"
#include "timelinemodel.h"
#include "uifixture.h"

#include <QSignalSpy>
#include <cmath>
#include <limits>

namespace loopwren {
namespace {

const QString en = QStringLiteral("English");
const QString id = QStringLiteral("Indonesia");

TEST(RowText, DetailsByFirstMatchingRule)
{
    MacroEvent key = makeKeyEvent(EventType::keyDown, 0);
    EXPECT_EQ(rowtext::detail(key, en), QStringLiteral("Native Key Sequence Event"));
    EXPECT_EQ(rowtext::detail(key, id), QStringLiteral("Aksi Ketukan Tombol Keyboard"));

    MacroEvent scroll = makeEvent(EventType::scroll);
    scroll.scrollDeltaX = 0;
    scroll.scrollDeltaY = -3;
    EXPECT_EQ(rowtext::detail(scroll, en), QStringLiteral("Scroll Delta: dx:0 dy:-3"));
    EXPECT_EQ(rowtext::detail(scroll, id), QStringLiteral("Delta Gulir: dx:0 dy:-3"));
    scroll.scrollDeltaX.reset();
    EXPECT_EQ(rowtext::detail(scroll, en), QStringLiteral("Native Key Sequence Event"));

    // A location wins over everything but the wait rule, whatever the type.
    key.location = Point{120.7, 48.2};
    EXPECT_EQ(rowtext::detail(key, en), QStringLiteral("Screen Coordinate: X:120 Y:48"));
    EXPECT_EQ(rowtext::detail(key, id), QStringLiteral("Koordinat Layar: X:120 Y:48"));
    MacroEvent wait = makeEvent(EventType::wait, 1);
    wait.location = Point{1, 1};
    EXPECT_EQ(rowtext::detail(wait, en), QStringLiteral("Pause execution flow"));
}

TEST(RowText, CoordinatesAreCutTowardsZero)
{
    EXPECT_EQ(rowtext::wholeNumber(12.9), QStringLiteral("12"));
    EXPECT_EQ(rowtext::wholeNumber(-0.5), QStringLiteral("0"));
    EXPECT_EQ(rowtext::wholeNumber(-12.9), QStringLiteral("-12"));
    EXPECT_EQ(rowtext::wholeNumber(std::nan("")), QStringLiteral("nan"));
    EXPECT_EQ(rowtext::wholeNumber(-std::numeric_limits<double>::infinity()), QStringLiteral("-inf"));
    EXPECT_EQ(rowtext::wholeNumber(1e20), QStringLiteral("100000000000000000000"));
    EXPECT_EQ(rowtext::wholeNumber(-9223372036854775808.0), QStringLiteral("-9223372036854775808"));
}

TEST(RowText, TitlesBadgesAndTypeNames)
{
    const MacroEvent wait = makeEvent(EventType::wait, 1.5);
    EXPECT_EQ(rowtext::title(wait, en), QStringLiteral("Wait 1.50s"));
    EXPECT_EQ(rowtext::delayBadge(1.5), QStringLiteral("+1.50s"));
    EXPECT_EQ(rowtext::delayBadge(0.004), QStringLiteral("+0.00s"));
    const MacroEvent down = makeMouseEvent(EventType::mouseDown, 5, 6);
    EXPECT_EQ(rowtext::title(down, id), QString::fromStdString(eventDescription(down)));
    EXPECT_EQ(rowtext::editorTypeName(EventType::mouseDown, en), QStringLiteral("Mousedown"));
    EXPECT_EQ(rowtext::editorTypeName(EventType::mouseMoved, id), QStringLiteral("Mousemoved"));
    EXPECT_EQ(rowtext::editorTypeName(EventType::keyUp, en), QStringLiteral("Keyup"));
    EXPECT_EQ(rowtext::eventCount(12, en), QStringLiteral("12 Events"));
    EXPECT_EQ(rowtext::eventCount(12, id), QStringLiteral("12 Aksi"));
}

TEST(RowText, EditorFieldsFormatAndParse)
{
    EXPECT_EQ(rowtext::delayField(1.5), QStringLiteral("1.5"));
    EXPECT_EQ(rowtext::delayField(2.0), QStringLiteral("2"));
    EXPECT_EQ(rowtext::delayField(0.12345), QStringLiteral("0.123"));
    EXPECT_EQ(rowtext::parseDelayField(QStringLiteral(" 2.25 ")), 2.25);
    EXPECT_EQ(rowtext::parseDelayField(QStringLiteral("-3")),
              -3.0); // the field accepts what the stepper would not
    EXPECT_FALSE(rowtext::parseDelayField(QStringLiteral("abc")));
    EXPECT_FALSE(rowtext::parseDelayField(QStringLiteral("inf")));
    EXPECT_EQ(rowtext::wholeField(120.0), QStringLiteral("120"));
    EXPECT_EQ(rowtext::parseWholeField(QStringLiteral("-42")), -42);
    EXPECT_FALSE(rowtext::parseWholeField(QStringLiteral("4.5")));
    EXPECT_FALSE(rowtext::parseWholeField(QStringLiteral("1,000")));
}

class TimelineView : public UiFixture
{
protected:
    TimelineModel& model() { return *state->timeline(); }
    QVariant roleAt(int row, int role) { return model().data(model().index(row), role); }
};

TEST_F(TimelineView, RecordedAppendsAreRowInsertsNotResets)
{
    build();
    QSignalSpy inserted(&model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model(), &QAbstractItemModel::modelReset);
    engine->startRecording();
    drain();
    reset.clear();
    for (int i = 0; i < 5; ++i) {
        InputEvent input;
        input.kind = InputKind::keyDown;
        input.keyCode = static_cast<std::uint16_t>(i);
        input.timestamp = std::chrono::steady_clock::now();
        this->input->deliver(input);
    }
    drain();
    EXPECT_EQ(model().rowCount(), 5);
    EXPECT_EQ(inserted.count(), 5);
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(roleAt(4, TimelineModel::NumberRole).toInt(), 5);
}

TEST_F(TimelineView, SingleEditsBecomeSmallChangesAndKeepTheRest)
{
    build();
    setTimeline(sampleTimeline());
    QSignalSpy reset(&model(), &QAbstractItemModel::modelReset);
    QSignalSpy changed(&model(), &QAbstractItemModel::dataChanged);
    QSignalSpy removed(&model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(&model(), &QAbstractItemModel::rowsInserted);

    MacroEvent edited = engine->recordedEvents()[3];
    edited.delaySincePrevious = 4.0;
    engine->updateEvent(edited);
    drain();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 3);
    EXPECT_EQ(changed[0][1].toModelIndex().row(), 3);
    EXPECT_EQ(roleAt(3, TimelineModel::DelayTextRole).toString(), QStringLiteral("+4.00s"));

    engine->deleteEvent(engine->recordedEvents()[7].id);
    engine->insertWait(engine->recordedEvents()[0].id);
    drain();
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(reset.count(), 0);
    ASSERT_EQ(model().rowCount(), 12);
    for (int row = 0; row < 12; ++row)
        EXPECT_EQ(model().eventAt(row)->id, engine->recordedEvents()[static_cast<std::size_t>(row)].id)
            << row;
}

TEST_F(TimelineView, RowStatePrecedenceCurrentOverSelected)
{
    build();
    setTimeline(sampleTimeline());
    ASSERT_TRUE(playTo(1));
    // The window closes the editor when a playback starts; the model still knows both states.
    model().setSelectedId(engine->recordedEvents()[2].id);
    EXPECT_EQ(model().rowState(1), TimelineModel::Current);
    EXPECT_EQ(model().rowState(2), TimelineModel::Selected);
    EXPECT_EQ(model().rowState(3), TimelineModel::Plain);
    ASSERT_TRUE(playTo(2));
    EXPECT_EQ(model().rowState(2), TimelineModel::Current);
    engine->stopPlayback();
    EXPECT_EQ(model().rowState(2), TimelineModel::Selected);
}

TEST_F(TimelineView, FollowsOnlyNonNegativePlaybackIndexes)
{
    build();
    setTimeline(sampleTimeline());
    QSignalSpy follow(&model(), &TimelineModel::followRequested);
    ASSERT_TRUE(playTo(7));
    engine->stopPlayback();
    drain();
    ASSERT_FALSE(follow.isEmpty());
    for (const QList<QVariant>& request : follow)
        EXPECT_GE(request[0].toInt(), 0) << "the end of a playback scrolls nowhere";
    EXPECT_EQ(follow.last()[0].toInt(), 7);
}

TEST_F(TimelineView, DuplicateIdsShareTheFirstPosition)
{
    build();
    ::loopwren::Timeline events = sampleTimeline();
    events[5].id = events[2].id;
    setTimeline(events);
    EXPECT_EQ(roleAt(5, TimelineModel::NumberRole).toInt(), 3);
    ASSERT_TRUE(playTo(2));
    EXPECT_EQ(model().rowState(2), TimelineModel::Current);
    EXPECT_EQ(model().rowState(5), TimelineModel::Current);
    EXPECT_EQ(model().rowState(3), TimelineModel::Plain);
}

TEST_F(TimelineView, RowsShowTheirTextsAndReorderByDrop)
{
    build();
    setTimeline(sampleTimeline());
    openWindow();
    QQuickItem* first = row(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(childOf(first, "number")->property("text").toString(), QStringLiteral("1"));
    EXPECT_EQ(childOf(first, "detail")->property("text").toString(),
              QStringLiteral("Screen Coordinate: X:412 Y:218"));
    EXPECT_EQ(childOf(row(3), "title")->property("text").toString(), QStringLiteral("Wait 1.50s"));
    EXPECT_EQ(childOf(row(3), "delayText")->property("text").toString(), QStringLiteral("+1.50s"));

    engine->setLanguage(QStringLiteral("Indonesia"));
    drain();
    EXPECT_EQ(childOf(row(3), "title")->property("text").toString(), QStringLiteral("Jeda 1.50s"));

    const Uuid moved = engine->recordedEvents()[0].id;
    state->dropRow(0, 3);
    drain();
    EXPECT_EQ(engine->recordedEvents()[2].id, moved);
}

// The numbers as drawn: a row keeps what it was told, so rows behind an edit in the middle must be
// told again.
TEST_F(TimelineView, RowNumbersFollowEveryEditInTheMiddle)
{
    build();
    Timeline five = sampleTimeline();
    five.resize(5);
    setTimeline(five);
    openWindow();
    const auto drawnNumbers = [&] {
        QStringList numbers;
        for (int i = 0; i < int(engine->recordedEvents().size()); ++i)
            numbers << (row(i) ? childOf(row(i), "number")->property("text").toString()
                               : QStringLiteral("?"));
        return numbers;
    };
    state->tapRow(0);
    // The list lays out new rows when it next draws; until then some are not there yet.
    const auto expectNumbers = [&](int count, const char* after) {
        QStringList expected;
        for (int i = 1; i <= count; ++i)
            expected << QString::number(i);
        EXPECT_TRUE(waitUntil([&] { return drawnNumbers() == expected; }))
            << after << ": " << drawnNumbers().join(u' ').toStdString();
    };
    state->editor()->copy();
    expectNumbers(6, "after Copy");
    state->waitAction();
    expectNumbers(7, "after + Wait");
    engine->deleteEvent(engine->recordedEvents()[2].id);
    expectNumbers(6, "after a delete");
}

TEST_F(TimelineView, TapsAreIgnoredWhileRecordingOrPlaying)
{
    build();
    setTimeline(sampleTimeline());
    openWindow();
    engine->startPlayback();
    click(row(1));
    EXPECT_FALSE(state->editor()->hasSelection());
    engine->stopPlayback();
    click(row(1));
    EXPECT_TRUE(state->editor()->hasSelection());
    EXPECT_EQ(state->editor()->selectedEvent()->id, engine->recordedEvents()[1].id);
    EXPECT_TRUE(waitUntil([&] { return item("eventEditor")->isVisible(); }));
}

} // namespace
} // namespace loopwren

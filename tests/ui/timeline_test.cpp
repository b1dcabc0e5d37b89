// The timeline's rows: their texts, how the engine's changes reach the list model, the row states during
// a playback, and the rows as drawn.
#include "eventrowtext.h"
#include "eventtext.h"
#include "texttable.h"
#include "timelinemodel.h"
#include "uifixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <cmath>
#include <memory>

namespace loopwren {
namespace {

// A text left empty in either language would show as nothing at all.
TEST(RowTexts, EveryTableEntryHasBothTexts)
{
    for (const QString& key : TextTable::keys()) {
        EXPECT_FALSE(TextTable::localized(key, "English").isEmpty()) << key.toStdString();
        EXPECT_FALSE(TextTable::localized(key, "Indonesia").isEmpty()) << key.toStdString();
    }
}

// Row texts the sample timeline does not show: a scroll without both deltas, rounding, and coordinates
// cut towards zero and shown whole however large.
TEST(RowTexts, EdgesOfTheFormats)
{
    MacroEvent scroll = makeEvent(EventType::scroll);
    scroll.scrollDeltaY = -3;
    const MacroEvent down = makeMouseEvent(EventType::mouseDown, 5, 6);
    EXPECT_EQ(rowtext::detail(scroll, "English"), "Native Key Sequence Event");
    EXPECT_EQ(rowtext::title(down, "Indonesia"), QString::fromStdString(eventDescription(down)));
    EXPECT_EQ((QStringList{rowtext::delayBadge(0.004), rowtext::delayField(2.0), rowtext::delayField(0.12345),
                           rowtext::wholeNumber(-0.5), rowtext::wholeNumber(-12.9),
                           rowtext::wholeNumber(std::nan("")), rowtext::wholeNumber(-INFINITY),
                           rowtext::wholeNumber(1e20), rowtext::wholeNumber(-9223372036854775808.0)}),
              (QStringList{"+0.00s", "2", "0.123", "0", "-12", "nan", "-inf", "100000000000000000000",
                           "-9223372036854775808"}));
    EXPECT_EQ(rowtext::parseDelayField(" 2.25 "), 2.25);
    EXPECT_FALSE(rowtext::parseDelayField("inf"));
}

class TimelineView : public UiTest
{
protected:
    TimelineModel& model() { return *state().timeline(); }
    // Qt's own check of the row contract (counts, indexes and the signals around every change), run on
    // every change from here on; a break ends the test.
    void checkRowContract()
    {
        m_rowContract = std::make_unique<QAbstractItemModelTester>(
            &model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    QVariant roleAt(int row, int role) { return model().data(model().index(row), role); }

    // Plays the timeline on virtual time until the playback reaches index; false if it never does.
    bool playTo(qint64 index)
    {
        if (!engine().isPlaying())
            engine().startPlayback();
        // Millisecond steps: fine enough to stop on every event of the sample timeline.
        for (int step = 0; step < 100000 && engine().isPlaying(); ++step) {
            drain();
            if (engine().currentPlaybackIndex() == index)
                return true;
            clock.advanceBy(std::chrono::milliseconds(1));
        }
        return false;
    }

private:
    std::unique_ptr<QAbstractItemModelTester> m_rowContract;
};

TEST_F(TimelineView, PlayingRowIsCurrentOverSelectedAndDuplicatesShareIt)
{
    start();
    checkRowContract();
    setTimeline(sampleTimeline());
    QSignalSpy follow(&model(), &TimelineModel::followRequested);
    ASSERT_TRUE(playTo(1));
    // The window closes the editor when a playback starts; the model still knows both states.
    model().setSelectedId(engine().recordedEvents()[2].id);
    const auto states = [&] {
        return std::vector{model().rowState(1), model().rowState(2), model().rowState(3)};
    };
    using enum TimelineModel::RowState;
    EXPECT_EQ(states(), (std::vector{Current, Selected, Plain}));
    ASSERT_TRUE(playTo(2));
    EXPECT_EQ(states(), (std::vector{Plain, Current, Plain}));
    ASSERT_TRUE(playTo(7));
    engine().stopPlayback();
    drain();
    EXPECT_EQ(states(), (std::vector{Plain, Selected, Plain}));
    ASSERT_FALSE(follow.isEmpty());
    for (const QList<QVariant>& request : follow)
        EXPECT_GE(request[0].toInt(), 0) << "the end of a playback scrolls nowhere";
    EXPECT_EQ(follow.last()[0].toInt(), 7);

    // Rows with the same id share the number and the state of the first of them.
    Timeline events = sampleTimeline();
    events[5].id = events[2].id;
    setTimeline(events);
    EXPECT_EQ(roleAt(5, TimelineModel::NumberRole).toInt(), 3);
    ASSERT_TRUE(playTo(2));
    EXPECT_EQ(model().rowState(5), Current);
    EXPECT_EQ(states(), (std::vector{Plain, Current, Plain}));
}

// The numbers as drawn: a row keeps what it was told, so rows behind an edit in the middle must be
// told again. A list that is reset would lose its scroll position and redraw every row: the engine's
// changes arrive as the row changes they are.
TEST_F(TimelineView, DrawnRowsShowTheirTextsAndNumbersFollowEveryEditInTheMiddle)
{
    start();
    checkRowContract();
    setTimeline(sampleTimeline());
    QSignalSpy reset(&model(), &QAbstractItemModel::modelReset);
    window->resize(1040, 1700);
    const auto text = [&](int index, const char* name) {
        return row(index) ? childOf(row(index), name)->property("text").toString() : "<not laid out>";
    };
    const auto texts = [&] {
        return QStringList{text(0, "number"),    text(0, "detail"), text(3, "title"), text(3, "detail"),
                           text(3, "delayText"), text(4, "detail"), text(8, "detail")};
    };
    const QStringList english{"1",
                              "Screen Coordinate: X:412 Y:218",
                              "Wait 1.50s",
                              "Pause execution flow",
                              "+1.50s",
                              "Native Key Sequence Event",
                              "Scroll Delta: dx:0 dy:-3"};
    EXPECT_EQ(texts(), english);
    engine().setLanguage("Indonesia");
    drain();
    EXPECT_EQ(texts(), (QStringList{"1", "Koordinat Layar: X:412 Y:218", "Jeda 1.50s", "Jeda alur eksekusi",
                                    "+1.50s", "Aksi Ketukan Tombol Keyboard", "Delta Gulir: dx:0 dy:-3"}));
    // The row texts are English for any other language.
    engine().setLanguage("German");
    drain();
    EXPECT_EQ(texts(), english);
    const Uuid moved = engine().recordedEvents()[0].id;
    state().dropRow(0, 3);
    drain();
    EXPECT_EQ(engine().recordedEvents()[2].id, moved);
    MacroEvent edited = engine().recordedEvents()[3];
    edited.delaySincePrevious = 4.0;
    engine().updateEvent(edited);
    drain();
    EXPECT_EQ(text(3, "delayText"), "+4.00s");
    EXPECT_EQ(reset.count(), 0);

    Timeline five = sampleTimeline();
    five.resize(5);
    setTimeline(five);
    reset.clear();
    // The list lays out new rows when it next draws; until then some are not there yet.
    const auto expectNumbers = [&](int count, const char* after) {
        QStringList drawn;
        EXPECT_TRUE(test::eventually([&] {
            drawn.clear();
            for (int i = 0; i < count; ++i)
                drawn << text(i, "number");
            return drawn.join(' ') == QString("1 2 3 4 5 6 7").left(2 * count - 1);
        })) << after
            << ": " << drawn.join(' ').toStdString();
    };
    state().tapRow(0);
    editor().copy();
    expectNumbers(6, "after Copy");
    state().waitAction();
    expectNumbers(7, "after + Wait");
    engine().deleteEvent(engine().recordedEvents()[2].id);
    expectNumbers(6, "after a delete");
    EXPECT_EQ(reset.count(), 0);
}

} // namespace
} // namespace loopwren

// The event editor: its sections, the guarded write-back, the ranges and the footer actions.
#include "eventeditor.h"
#include "uifixture.h"

#include <QSignalSpy>
#include <QTest>

namespace loopwren {
namespace {

class Editor : public UiFixture
{
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        build();
        setTimeline(sampleTimeline());
    }
    EventEditor& editor() { return *state->editor(); }
    // Selects a row and lets the filling end and, in an open window, the panel slide in.
    void select(int row)
    {
        state->tapRow(row);
        ASSERT_TRUE(waitUntil([&] { return (!window || slidIn()) && !editor().isPopulating(); }));
    }
    bool slidIn() const { return item("editorSlot")->width() == 221 && item("editorSlot")->opacity() == 1; }
    // Lets the filling of a new selection end.
    void settle()
    {
        ASSERT_TRUE(waitUntil([&] { return !editor().isPopulating(); }));
    }
    QStringList visibleSections()
    {
        QStringList names;
        for (const char* name :
             {"delaySection", "locationSection", "mouseButtonSection", "keyboardSection"}) {
            if (item(name)->isVisible())
                names.append(QString::fromUtf8(name));
        }
        return names;
    }
};

TEST_F(Editor, SectionsFollowTheFieldsTheEventCarries)
{
    openWindow();
    select(3); // wait
    EXPECT_EQ(visibleSections(), QStringList{"delaySection"});
    EXPECT_EQ(labelOf("typeName"), QStringLiteral("Pause execution flow"));
    select(1); // mouse down
    EXPECT_EQ(visibleSections(), (QStringList{"delaySection", "locationSection", "mouseButtonSection"}));
    EXPECT_EQ(labelOf("typeName"), QStringLiteral("Mousedown"));
    select(0); // mouse moved
    EXPECT_EQ(visibleSections(), (QStringList{"delaySection", "locationSection"}));
    select(4); // key down
    EXPECT_EQ(visibleSections(), (QStringList{"delaySection", "keyboardSection"}));
    EXPECT_EQ(labelOf("keyName"), QStringLiteral("H"));

    MacroEvent keyWithLocation = makeKeyEvent(EventType::keyDown, 36);
    keyWithLocation.location = Point{1, 2};
    setTimeline({keyWithLocation});
    select(0);
    EXPECT_EQ(visibleSections(), (QStringList{"delaySection", "locationSection", "keyboardSection"}));
}

TEST_F(Editor, SelectingDoesNotWriteBack)
{
    QSignalSpy changes(engine.get(), &MacroEngine::timelineChanged);
    const ::loopwren::Timeline before = engine->recordedEvents();
    state->tapRow(1); // location (420, 224), left
    state->tapRow(9); // location (96.9, 640.4), right
    state->tapRow(4); // key without location: keeps the previous location values
    settle();
    drain();
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(engine->recordedEvents()[9].location->x, before[9].location->x);
    EXPECT_EQ(engine->recordedEvents()[9].mouseButton, MouseButtonType::right);
    EXPECT_EQ(editor().editX(), 96.9);
}

TEST_F(Editor, EachEditIsWrittenBackAtOnceWithoutAddingFields)
{
    select(4); // key down, no location, no button
    editor().setEditDelay(0.75);
    editor().setEditX(5);           // the event has no location: nothing may appear
    editor().setEditMouseButton(1); // nor a button
    EXPECT_TRUE(editor().commitKeyCodeText(QStringLiteral("36")));
    drain();
    const MacroEvent& event = engine->recordedEvents()[4];
    EXPECT_EQ(event.delaySincePrevious, 0.75);
    EXPECT_EQ(event.keyCode, 36);
    EXPECT_FALSE(event.location);
    EXPECT_FALSE(event.mouseButton);
    EXPECT_EQ(event.flags, 0u);
    EXPECT_EQ(editor().selectedEvent()->keyCode, 36);

    EXPECT_FALSE(editor().commitKeyCodeText(QStringLiteral("70000")));
    EXPECT_FALSE(editor().commitDelayText(QStringLiteral("soon")));
    EXPECT_EQ(editor().editKeyCode(), 36);
    EXPECT_EQ(editor().editDelay(), 0.75);
}

TEST_F(Editor, LocationAndButtonEditsReachTheRow)
{
    openWindow();
    select(1);
    EXPECT_TRUE(editor().commitXText(QStringLiteral("300")));
    EXPECT_TRUE(editor().commitYText(QStringLiteral("-12")));
    click(item("segment2"));
    drain();
    const MacroEvent& event = engine->recordedEvents()[1];
    EXPECT_EQ(event.location->x, 300);
    EXPECT_EQ(event.location->y, -12);
    EXPECT_EQ(event.mouseButton, MouseButtonType::other);
    EXPECT_EQ(childOf(row(1), "detail")->property("text").toString(),
              QStringLiteral("Screen Coordinate: X:300 Y:-12"));
}

TEST_F(Editor, StepperStaysWithinRangeWhileTheFieldDoesNot)
{
    select(0);
    editor().setEditDelay(0.05);
    editor().stepDelay(-1);
    EXPECT_EQ(editor().editDelay(), 0.0);
    editor().setEditDelay(9998.95);
    editor().stepDelay(+1);
    EXPECT_EQ(editor().editDelay(), 9999.0);
    EXPECT_TRUE(editor().commitDelayText(QStringLiteral("12000")));
    EXPECT_EQ(editor().editDelay(), 12000.0);
    editor().stepDelay(+1);
    EXPECT_EQ(editor().editDelay(), 9999.0);
}

TEST_F(Editor, DeleteAsksFirstAndCancelKeepsEverything)
{
    openWindow();
    select(2);
    const Uuid selected = editor().selectedEvent()->id;
    dialogs.alertAnswers.enqueue(1); // Cancel
    click(item("deleteButton"));
    drain();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0],
              QStringLiteral("alert: Confirm Delete | Are you sure you want to delete this action? "
                             "| Delete, Cancel"));
    EXPECT_EQ(engine->recordedEvents().size(), 12u);
    ASSERT_TRUE(editor().hasSelection());
    EXPECT_EQ(editor().selectedEvent()->id, selected);

    dialogs.alertAnswers.enqueue(0); // Delete
    click(item("deleteButton"));
    drain();
    EXPECT_EQ(engine->recordedEvents().size(), 11u);
    EXPECT_FALSE(editor().hasSelection());
    for (const MacroEvent& event : engine->recordedEvents())
        EXPECT_NE(event.id, selected);
}

TEST_F(Editor, DeleteWithoutConfirmationAndIndonesianAlert)
{
    engine->setLanguage(QStringLiteral("Indonesia"));
    state->tapRow(0);
    editor().remove(); // dismissed alert
    EXPECT_EQ(dialogs.shown.value(0),
              QStringLiteral("alert: Konfirmasi Hapus | Apakah Anda yakin ingin menghapus "
                             "aksi ini? | Hapus, Batal"));
    EXPECT_TRUE(editor().hasSelection());
    engine->setShowDeleteConfirmation(false);
    editor().remove();
    drain();
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(engine->recordedEvents().size(), 11u);
}

TEST_F(Editor, CopyUpDownAndTheirLimits)
{
    openWindow();
    select(11);
    EXPECT_TRUE(editor().canMoveUp());
    EXPECT_FALSE(editor().canMoveDown());
    EXPECT_FALSE(item("downButton")->isEnabled());
    const Uuid last = editor().selectedEvent()->id;
    click(item("copyButton"));
    drain();
    ASSERT_EQ(engine->recordedEvents().size(), 13u);
    EXPECT_NE(engine->recordedEvents()[12].id, last);
    EXPECT_EQ(engine->recordedEvents()[12].keyCode, 36);
    EXPECT_EQ(editor().selectedEvent()->id, last); // the selection stays on the original
    EXPECT_TRUE(editor().canMoveDown());

    click(item("upButton"));
    drain();
    EXPECT_EQ(engine->recordedEvents()[10].id, last);
    EXPECT_EQ(editor().selectedEvent()->id, last);

    setTimeline({makeEvent(EventType::wait, 1)});
    state->tapRow(0);
    EXPECT_FALSE(editor().canMoveUp());
    EXPECT_FALSE(editor().canMoveDown());
}

// Typed without Enter or Tab, then the user moves on: the value goes to the event it was typed for.
TEST_F(Editor, TypedTextIsKeptWhenTheEditorMovesOn)
{
    openWindow();
    const auto typeInto = [&](const char* field, const QString& text) {
        QQuickItem* input = item(field);
        input->forceActiveFocus();
        QMetaObject::invokeMethod(input, "selectAll");
        typeText(text);
    };
    select(1);
    typeInto("delayField", QStringLiteral("7.5"));
    typeInto("xField", QStringLiteral("33"));
    select(4); // another row
    drain();
    EXPECT_EQ(engine->recordedEvents()[1].delaySincePrevious, 7.5);
    EXPECT_EQ(engine->recordedEvents()[1].location->x, 33);
    EXPECT_EQ(engine->recordedEvents()[4].delaySincePrevious, sampleTimeline()[4].delaySincePrevious)
        << "the newly selected event took the typed value";

    typeInto("keyCodeField", QStringLiteral("36"));
    state->navigate(ContentViewState::Settings); // a page switch
    drain();
    EXPECT_EQ(engine->recordedEvents()[4].keyCode, 36);
}

TEST_F(Editor, CloseSlidesThePanelAway)
{
    openWindow();
    state->tapRow(0);
    EXPECT_TRUE(waitUntil([&] { return slidIn(); }));
    click(item("closeEditor"));
    EXPECT_FALSE(editor().hasSelection());
    EXPECT_TRUE(waitUntil([&] { return !item("editorSlot")->isVisible(); }));
}

} // namespace
} // namespace loopwren

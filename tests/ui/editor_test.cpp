// The event editor: its sections, the guarded write-back, the ranges and the footer actions.
#include "uifixture.h"

#include <QSignalSpy>

namespace loopwren {
namespace {

class Editor : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        start();
        setTimeline(sampleTimeline());
    }
};

TEST_F(Editor, SectionsFollowTheFieldsTheEventCarries)
{
    MacroEvent keyWithLocation = makeKeyEvent(EventType::keyDown, 36);
    keyWithLocation.location = Point{1, 2};
    Timeline events = sampleTimeline();
    events.push_back(keyWithLocation);
    setTimeline(events);
    const std::pair<int, QStringList> cases[] = {
        {3, {"delaySection", "Pause execution flow"}},
        {1, {"delaySection", "locationSection", "mouseButtonSection", "Mousedown"}},
        {0, {"delaySection", "locationSection", "Mousemoved"}},
        {4, {"delaySection", "keyboardSection", "Keydown", "H"}},
        {12, {"delaySection", "locationSection", "keyboardSection", "Keydown", "Return"}},
    };
    for (const auto& [row, expected] : cases) {
        openEditor(row);
        QStringList shown;
        for (const char* name :
             {"delaySection", "locationSection", "mouseButtonSection", "keyboardSection"}) {
            if (item(name)->isVisible())
                shown << name;
        }
        shown << labelOf("typeName");
        if (item("keyboardSection")->isVisible())
            shown << labelOf("keyName");
        EXPECT_EQ(shown, expected) << row;
    }
    click("closeEditor");
    EXPECT_FALSE(editor().hasSelection());
    EXPECT_TRUE(test::eventually([&] { return !item("editorSlot")->isVisible(); }));
}

// Showing an event sets every field; only the user's changes may reach the timeline, and only into the
// fields the event has.
TEST_F(Editor, OnlyEditsAreWrittenBackAndOnlyIntoFieldsTheEventHas)
{
    QSignalSpy changes(&engine(), &MacroEngine::timelineChanged);
    state().tapRow(1); // location (420, 224), left
    state().tapRow(9); // location (96.9, 640.4), right
    openEditor(4);     // key without location: keeps the previous location values
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(editor().editX(), 96.9);

    editor().setEditDelay(0.75);
    editor().setEditX(5);
    editor().setEditMouseButton(1);
    EXPECT_TRUE(editor().commitKeyCodeText("36"));
    EXPECT_FALSE(editor().commitKeyCodeText("70000"));
    EXPECT_FALSE(editor().commitDelayText("soon"));
    drain();
    const MacroEvent& key = engine().recordedEvents()[4];
    EXPECT_EQ(key.delaySincePrevious, 0.75);
    EXPECT_EQ(key.keyCode, 36);
    EXPECT_FALSE(key.location || key.mouseButton);
    EXPECT_EQ(editor().editKeyCode(), 36);

    openEditor(1);
    EXPECT_TRUE(editor().commitXText("300"));
    EXPECT_TRUE(editor().commitYText("-12"));
    click("segment2");
    EXPECT_EQ(engine().recordedEvents()[1].mouseButton, MouseButtonType::other);
    EXPECT_EQ(childOf(row(1), "detail")->property("text").toString(), "Screen Coordinate: X:300 Y:-12");

    // The stepper stays within 0 and 9999; the field does not.
    editor().setEditDelay(0.05);
    editor().stepDelay(-1);
    EXPECT_EQ(editor().editDelay(), 0.0);
    EXPECT_TRUE(editor().commitDelayText("12000"));
    EXPECT_EQ(editor().editDelay(), 12000.0);
    editor().stepDelay(+1);
    EXPECT_EQ(editor().editDelay(), 9999.0);
}

TEST_F(Editor, DeleteAsksInTheLanguageAndCancelKeepsEverything)
{
    openEditor(2);
    const Uuid selected = editor().selectedEvent()->id;
    dialogs.messageAnswers << 1; // Cancel
    click("deleteButton");
    engine().setLanguage("Indonesia");
    editor().remove(); // dismissed
    EXPECT_EQ(
        dialogs.shown,
        (QStringList{
            "message dialog: Confirm Delete | Are you sure you want to delete this action? | Delete, Cancel",
            "message dialog: Konfirmasi Hapus | Apakah Anda yakin ingin menghapus aksi ini? | Hapus, "
            "Batal"}));
    EXPECT_EQ(engine().recordedEvents().size(), 12u);
    EXPECT_TRUE(editor().hasSelection());

    dialogs.messageAnswers << 0; // Delete
    click("deleteButton");
    EXPECT_EQ(engine().recordedEvents().size(), 11u);
    EXPECT_FALSE(editor().hasSelection());
    EXPECT_NE(engine().recordedEvents()[2].id, selected);
    engine().setShowDeleteConfirmation(false);
    state().tapRow(0);
    editor().remove();
    drain();
    EXPECT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(engine().recordedEvents().size(), 10u);
}

TEST_F(Editor, CopyUpDownAndTheirLimits)
{
    openEditor(11);
    EXPECT_FALSE(item("downButton")->isEnabled());
    const Uuid last = editor().selectedEvent()->id;
    click("copyButton");
    ASSERT_EQ(engine().recordedEvents().size(), 13u);
    EXPECT_TRUE(item("downButton")->isEnabled()) << "the copy went behind the selected event";
    click("upButton");
    EXPECT_EQ(engine().recordedEvents()[10].id, last);
    EXPECT_EQ(editor().selectedEvent()->id, last);
}

// Typed without Enter or Tab, then the user moves on: the value goes to the event it was typed for.
TEST_F(Editor, TypedTextIsKeptWhenTheEditorMovesOn)
{
    openEditor(1);
    typeInto("delayField", "7.5");
    typeInto("xField", "33");
    openEditor(4); // another row
    drain();
    EXPECT_EQ(engine().recordedEvents()[1].delaySincePrevious, 7.5);
    EXPECT_EQ(engine().recordedEvents()[1].location->x, 33);
    EXPECT_EQ(engine().recordedEvents()[4].delaySincePrevious, 0.12)
        << "the newly selected event took the value";
    typeInto("keyCodeField", "36");
    state().navigate(ContentViewState::Settings); // a page switch
    drain();
    EXPECT_EQ(engine().recordedEvents()[4].keyCode, 36);
}

// The fields show rounded values (three decimals, whole coordinates): leaving one the user did not
// change, whenever that happens after the event was shown, must not round the event.
TEST_F(Editor, LeavingAFieldUnchangedChangesNothing)
{
    Timeline events = sampleTimeline();
    events[0].delaySincePrevious = 0.123456;
    setTimeline(events);
    openEditor(0); // at (412.6, 218.2)
    for (const char* field : {"delayField", "xField", "yField"}) {
        item(field)->forceActiveFocus();
        QTest::keyClick(window, Qt::Key_Return);
    }
    drain();
    const MacroEvent& kept = engine().recordedEvents()[0];
    EXPECT_EQ((std::tuple{kept.delaySincePrevious, kept.location->x, kept.location->y}),
              (std::tuple{0.123456, 412.6, 218.2}));
}

} // namespace
} // namespace loopwren

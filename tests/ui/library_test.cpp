#include "uifixture.h"

#include <QFile>

namespace loopwren {
namespace {

class LibraryPage : public UiTest
{
protected:
    LibraryState& library() { return app->libraryState(); }
    QStringList names()
    {
        QStringList out;
        for (const QVariant& row : library().rows())
            out << row.toMap().value("name").toString();
        return out;
    }
    void add(const QString& name, bool endless = false)
    {
        ASSERT_EQ(engine().changeLibrary([&](MacroLibrary& l) { return l.add(name, sampleTimeline()); }), "");
        LibraryEntry entry = *engine().library().find(name);
        entry.infiniteLoop = endless;
        ASSERT_EQ(engine().changeLibrary([&](MacroLibrary& l) { return l.update(entry); }), "");
    }
    // The folder is the run's, shared by the tests: each leaves it empty.
    void clearLibrary()
    {
        engine().stopPlayback();
        for (const LibraryEntry& entry : std::vector(engine().library().entries()))
            QFile::remove(engine().library().pathOf(entry));
        engine().changeLibrary([](MacroLibrary& l) { return l.reload(); });
    }
    void TearDown() override
    {
        if (app)
            clearLibrary();
        UiTest::TearDown();
    }
};

// The files are real, in the run's own data folder; a playback started from the page goes on while
// its macro is renamed and deleted, and the timeline is never touched by it.
TEST_F(LibraryPage, FiltersAndKeepsAPlaybackGoingThroughRenameAndDelete)
{
    start();
    add("Fill the form", true);
    add("Greeting");
    add("Backup");
    EXPECT_EQ(names(), (QStringList{"Backup", "Fill the form", "Greeting"}));
    library().setFilter("  G ");
    EXPECT_EQ(names(), (QStringList{"Greeting"}));
    library().setFilter("");

    library().choose(1);
    library().playAction();
    EXPECT_TRUE(engine().isPlaying());
    EXPECT_TRUE(library().currentPlaying());
    dialogs.textAnswers.enqueue("Greeting");
    library().renameAction();
    EXPECT_EQ(library().message(), "A macro named \"Greeting\" is already in the library");
    dialogs.textAnswers.enqueue("Form");
    library().renameAction();
    EXPECT_EQ(engine().playingLibraryMacro(), "Form");
    dialogs.alertAnswers.enqueue(0);
    library().choose(names().indexOf("Form"));
    library().deleteAction();
    EXPECT_EQ(names(), (QStringList{"Backup", "Greeting"}));
    EXPECT_TRUE(engine().isPlaying()) << "the playback goes on without its file";
    EXPECT_TRUE(engine().recordedEvents().empty());
    engine().stopPlayback();

    // A file that fails to load is listed with its reason, and a clash on saving is refused.
    QFile broken(engine().library().folder() + "/broken.json");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly) && broken.write("{") == 1);
    broken.close();
    library().setPageInFront(false);
    library().setPageInFront(true);
    EXPECT_TRUE(library().rows().at(1).toMap().value("problem").toString().startsWith("Cannot be loaded: "));
    setTimeline(sampleTimeline());
    dialogs.textAnswers.enqueue("backup");
    library().saveTimelineAction();
    EXPECT_EQ(state().noticeDetail(), "A macro named \"Backup\" is already in the library");
}

// The page in the window at its smallest, in both languages: every action reachable and the columns
// shown; Open asks to save a timeline that is not saved.
TEST_F(LibraryPage, ShowsInBothLanguagesAtTheMinimumSizeAndOpensIntoTheTimeline)
{
    for (const char* language : {"English", "Indonesia"}) {
        start({.stored = {{"appLanguage", language}}});
        add("Greeting");
        window->resize(850, 550);
        click("navLibrary");
        ASSERT_TRUE(test::eventually([&] { return item("libraryPage")->opacity() == 1; }));
        const bool id = QString(language) == "Indonesia";
        EXPECT_EQ(labelOf("navLibrary"), id ? "Pustaka" : "Library");
        const QStringList actions = id ? QStringList{"Buka", "Ganti Nama", "Atur Hotkey", "Jadwal"}
                                       : QStringList{"Open", "Rename", "Set Hotkey", "Schedule"};
        EXPECT_EQ(labels({"libraryOpen", "libraryRename", "libraryHotkey", "librarySchedule"}), actions);
        click("libraryRow0");
        EXPECT_EQ(library().current(), 0);
        for (const char* name : {"libraryPlay", "libraryDelete", "librarySchedule", "libraryRow0"}) {
            const QRectF box = item(name)->mapRectToScene(QRectF(0, 0, item(name)->width(), item(name)->height()));
            EXPECT_TRUE(QRectF(0, 0, 850, 550).contains(box)) << name << " lies outside the window";
        }
        // Where no user manager runs, Schedule says why instead of offering what cannot be kept.
        EXPECT_EQ(item("librarySchedule")->isEnabled(), library().scheduleProblem().isEmpty());
        EXPECT_EQ(item("scheduleProblem")->isVisible(), !library().scheduleProblem().isEmpty());

        setTimeline({sampleTimeline().front()});
        dialogs.shown.clear();
        click("libraryOpen");
        EXPECT_EQ(dialogs.shown.size(), 1) << "the unsaved timeline is offered for saving";
        dialogs.alertAnswers.enqueue(1); // don't save
        click("libraryOpen");
        ASSERT_TRUE(test::eventually([&] { return engine().recordedEvents().size() == 12; }));
        EXPECT_EQ(state().activeTab(), ContentViewState::Timeline);
        clearLibrary();
        stop();
    }
}

} // namespace
} // namespace loopwren

#include "eventtext.h"
#include "systemdstandin.h"
#include "uifixture.h"
#include "userschedules.h"

#include <QFile>
#include <QProcess>

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
    QVariantMap rowNamed(const QString& name)
    {
        for (const QVariant& row : library().rows()) {
            if (row.toMap().value("name") == name)
                return row.toMap();
        }
        return {};
    }
    void showPage()
    {
        window->resize(850, 550);
        click("navLibrary");
        ASSERT_TRUE(test::eventually([&] { return item("libraryPage")->opacity() == 1; }));
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
    dialogs.messageAnswers.enqueue(0);
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
        ASSERT_NO_FATAL_FAILURE(showPage());
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
        // Play turning into STOP moves nothing: a click meant for a row must not land on another.
        const qreal rowTop = item("libraryRow0")->mapToScene({0, 0}).y();
        click("libraryPlay");
        ASSERT_TRUE(engine().isPlaying());
        waitForFrame();
        EXPECT_EQ(item("libraryRow0")->mapToScene({0, 0}).y(), rowTop) << "the list moved when the macro played";
        engine().stopPlayback();
        // Where no user manager runs, Schedule says why instead of offering what cannot be kept.
        EXPECT_EQ(item("librarySchedule")->isEnabled(), library().scheduleProblem().isEmpty());
        EXPECT_EQ(item("scheduleProblem")->isVisible(), !library().scheduleProblem().isEmpty());
        if (!library().scheduleProblem().isEmpty())
            EXPECT_TRUE(library().scheduleProblem().startsWith(
                id ? "Jadwal tidak tersedia: tidak ada pengelola systemd" : "Schedules unavailable: no systemd user"))
                << library().scheduleProblem().toStdString();

        // The usual refusals read in the interface language too.
        dialogs.textAnswers.enqueue(" ");
        click("libraryRename");
        EXPECT_EQ(library().message(), id ? "Makro perlu nama" : "A macro needs a name");

        setTimeline({sampleTimeline().front()});
        dialogs.shown.clear();
        click("libraryOpen");
        EXPECT_EQ(dialogs.shown.size(), 1) << "the unsaved timeline is offered for saving";
        dialogs.messageAnswers.enqueue(1); // don't save
        click("libraryOpen");
        ASSERT_TRUE(test::eventually([&] { return engine().recordedEvents().size() == 12; }));
        EXPECT_EQ(state().activeTab(), ContentViewState::Timeline);
        clearLibrary();
        stop();
    }
}

// Each kind of schedule chosen in the dialog reaches the user's manager as the timer it means, and the
// list shows the next run the manager gives, asked once per change of the library rather than at each
// redraw; values the manager would keep but never run are refused.
TEST_F(LibraryPage, SchedulesReachTheUsersManagerAndTheListAsksItOncePerChange)
{
    test::SystemdStandIn systemd;
    start();
    add("Backup");
    ASSERT_NO_FATAL_FAILURE(showPage());
    click("libraryRow0");
    const QString unit = scheduleunits::unitName(*engine().library().find("Backup"));
    const auto timer = [&] {
        QFile file(UserSchedules::unitFolder() + "/" + unit + ".timer");
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString("<none>");
    };
    const auto schedule = [&](const MacroSchedule& chosen) {
        dialogs.scheduleAnswers.enqueue(chosen);
        click("librarySchedule");
        return library().message();
    };
    using Kind = MacroSchedule::Kind;
    EXPECT_EQ(schedule({Kind::daily, {}, QTime(9, 5), 0, 0}), "Choose at least one weekday");
    EXPECT_EQ(schedule({Kind::once, QDateTime::currentDateTime().addSecs(-60), {}, 0, 0}),
              "That time has already passed");
    EXPECT_EQ(timer(), "<none>");
    EXPECT_EQ(engine().library().find("Backup")->schedule.kind, Kind::none);

    const QDateTime tomorrow(QDate::currentDate().addDays(1), QTime(10, 30));
    for (const auto& [chosen, line] :
         {std::pair{MacroSchedule{Kind::daily, {}, QTime(9, 5), 0b0010001, 0},
                    std::string("OnCalendar=Mon,Fri *-*-* 09:05:00")},
          {MacroSchedule{Kind::interval, {}, {}, 0, 15}, "OnUnitActiveSec=15min"},
          {MacroSchedule{Kind::once, tomorrow, {}, 0, 0},
           "OnCalendar=" + tomorrow.toString("yyyy-MM-dd HH:mm:00").toStdString()}}) {
        EXPECT_EQ(schedule(chosen), "");
        EXPECT_TRUE(timer().contains(QString::fromStdString(line))) << timer().toStdString();
        EXPECT_EQ(engine().library().find("Backup")->schedule, chosen);
    }
    const QString next = QDateTime::fromMSecsSinceEpoch(test::SystemdStandIn::nextRunMs).toString("yyyy-MM-dd HH:mm");
    // Each question is a process of the page's own, gone once answered.
    const auto answered = [&] { return library().findChildren<QProcess*>().isEmpty(); };
    ASSERT_TRUE(test::eventually([&] { return answered() && rowNamed("Backup").value("nextRun") == next; }));
    const qsizetype asked = systemd.calls().filter("busctl").size();
    library().setFilter("back");
    library().setFilter("");
    click("libraryPlay");
    engine().stopPlayback();
    drain();
    EXPECT_TRUE(answered() && systemd.calls().filter("busctl").size() == asked)
        << "the list asked the manager again on a redraw";

    systemd.refuse();
    EXPECT_EQ(schedule({Kind::interval, {}, {}, 0, 30}), "Job for " + unit + ".timer failed");
    EXPECT_EQ(engine().library().find("Backup")->schedule.kind, Kind::once) << "the previous schedule is kept";
    EXPECT_EQ(schedule({}), "");
    EXPECT_EQ(timer(), "<none>");
    EXPECT_EQ(rowNamed("Backup").value("nextRun"), "Not scheduled");
}

// Set Hotkey captures the next combination as the settings page does; one another LoopWren hotkey
// uses is refused with whose it is, Backspace takes the hotkey away, and leaving the page ends a capture.
TEST_F(LibraryPage, SetHotkeyCapturesTheNextCombinationAndRefusesOneInUse)
{
    start();
    add("Backup");
    add("Greeting");
    ASSERT_NO_FATAL_FAILURE(showPage());
    const auto capture = [&](int row, std::uint16_t key, std::uint64_t modifiers) {
        click(QString("libraryRow%1").arg(row).toUtf8().constData());
        const qreal rowTop = item("libraryRow0")->mapToScene({0, 0}).y();
        click("libraryHotkey");
        EXPECT_EQ(labelOf("libraryDescription"), "Press the hotkey (Escape cancels, Backspace clears)...");
        waitForFrame();
        EXPECT_EQ(item("libraryRow0")->mapToScene({0, 0}).y(), rowTop) << "the list moved when the capture began";
        EXPECT_EQ(input->watchCount(), 1u);
        pressKey(key, modifiers);
        EXPECT_EQ(input->watchCount(), 0u);
        return library().message();
    };
    constexpr std::uint64_t control = 0x40000, shift = 0x20000;
    EXPECT_EQ(capture(0, 35, control | shift), "");
    EXPECT_EQ(rowNamed("Backup").value("hotkey"), QString::fromStdString(displayText(Hotkey{35, control | shift})));
    EXPECT_EQ(engine().library().find("Backup")->hotkey, (Hotkey{35, control | shift}));
    EXPECT_EQ(capture(1, 35, control | shift), "Hotkey already used by Backup");
    engine().setPlaybackHotkey(Hotkey{38, control});
    EXPECT_EQ(capture(1, 38, control), "Hotkey already used by Toggle Playback");
    EXPECT_EQ(engine().library().find("Greeting")->hotkey, Hotkey::unset());
    EXPECT_EQ(capture(0, 51, 0), ""); // Backspace
    EXPECT_EQ(rowNamed("Backup").value("hotkey"), "—");

    click("libraryHotkey");
    ASSERT_EQ(input->watchCount(), 1u);
    state().navigate(ContentViewState::Timeline);
    EXPECT_TRUE(test::eventually([&] { return input->watchCount() == 0 && !library().capturing(); }));
}

// The menu beside Import holds the last ten files read or written, the newest first; choosing one reads
// it into the timeline and puts it first, and one whose file is gone says so and leaves the list.
TEST_F(LibraryPage, RecentFilesListTheLastTenAndForgetOneThatIsGone)
{
    start();
    QTemporaryDir dir;
    QStringList paths;
    const Timeline sample = sampleTimeline();
    for (int n = 0; n < 11; ++n) {
        paths.prepend(dir.filePath(QString("macro%1.json").arg(n)));
        setTimeline(Timeline(sample.begin(), sample.begin() + n + 1));
        dialogs.fileAnswers.enqueue(paths.front());
        state().fileDialogs().showExportDialog();
    }
    paths.removeLast();
    click("recentFilesButton");
    ASSERT_TRUE(test::eventually([&] { return item("recentFile0") && item("recentFile0")->isVisible(); }));
    QStringList shown;
    for (int n = 0; item(QString("recentFile%1").arg(n).toUtf8().constData()); ++n)
        shown << labelOf(QString("recentFile%1").arg(n).toUtf8().constData());
    EXPECT_EQ(shown, paths);

    click("recentFile3"); // macro7.json, of eight events
    ASSERT_TRUE(test::eventually([&] { return engine().recordedEvents().size() == 8; }));
    EXPECT_EQ(library().recentFiles().front(), paths[3]);

    QFile::remove(paths[0]);
    library().openRecentAction(library().recentFiles().indexOf(paths[0]));
    drain();
    EXPECT_FALSE(state().noticeDetail().isEmpty());
    EXPECT_FALSE(library().recentFiles().contains(paths[0]));
    EXPECT_EQ(engine().recordedEvents().size(), 8u);
    library().openRecentAction(library().recentFiles().indexOf(paths[1]));
    ASSERT_TRUE(test::eventually([&] { return engine().recordedEvents().size() == 10; }));
    EXPECT_EQ(state().noticeDetail(), "") << "the failed import's notice outlived a good one";
}

} // namespace
} // namespace loopwren

#include "enginefixture.h"
#include "libraryindex.h"
#include "logline.h"
#include "macrolibrary.h"
#include "testevents.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace loopwren {
namespace {

using test::readFile;
using test::writeFile;

// A library in a scratch folder, with the log lines it writes kept in `logged`.
class Library : public testing::Test
{
protected:
    void SetUp() override
    {
        m_previousSink = setLogSink([this](const QString& line) { logged << line; });
    }
    void TearDown() override { setLogSink(m_previousSink); }

    QString folder() const { return dir.filePath(QStringLiteral("macros")); }
    QString index() const { return dir.filePath(QStringLiteral("library.json")); }
    static QStringList names(const MacroLibrary& library)
    {
        QStringList out;
        for (const LibraryEntry& entry : library.entries())
            out << entry.name;
        return out;
    }

    QTemporaryDir dir;
    QStringList logged;
    const Timeline twoKeys{test::Event(EventType::keyDown, 0.5).key(0),
                           test::Event(EventType::keyUp, 0.25).key(0)};

private:
    LogSink m_previousSink;
};

// Names and values survive a reload. Renaming keeps the file where it is, so a playback or a schedule
// that holds its path goes on; deleting removes the file and its entry, and a copy gets neither hotkey
// nor schedule. A name is refused where another has it, whatever the case.
TEST_F(Library, KeepsValuesAcrossReloadsAndFilesAndEntriesInStep)
{
    MacroLibrary library(folder());
    EXPECT_EQ(library.reload(), "");
    ASSERT_EQ(library.add("Fill the form", twoKeys), "");
    EXPECT_NE(library.add("fill THE form ", twoKeys), "") << "names are unique regardless of case";
    EXPECT_NE(library.add("  ", twoKeys), "");
    EXPECT_EQ(QFile::permissions(folder()) & 0x0077, 0) << "the folder is its owner's alone";

    LibraryEntry entry = *library.find("fill the form");
    EXPECT_EQ(entry.eventCount, 2u);
    EXPECT_DOUBLE_EQ(entry.duration, 0.75);
    entry.hotkey = Hotkey{12, modifier::control};
    entry.loopCount = 3;
    entry.delayVariation = 20;
    entry.schedule = {MacroSchedule::Kind::daily, {}, QTime(9, 30), 0x1F, 0};
    ASSERT_EQ(library.update(entry), "");

    MacroLibrary again(folder());
    EXPECT_EQ(again.reload(), "");
    const LibraryEntry* back = again.find("Fill the form");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->hotkey, entry.hotkey);
    EXPECT_EQ(back->loopCount, 3);
    EXPECT_EQ(back->delayVariation, 20.0);
    EXPECT_FALSE(back->clickSpread.has_value()) << "absent values follow the global settings";
    EXPECT_EQ(back->schedule, entry.schedule);

    const QString path = again.pathOf(*back);
    ASSERT_EQ(again.rename("fill the form", "Fill the report"), "");
    EXPECT_EQ(again.pathOf(*again.find("Fill the report")), path);
    EXPECT_EQ(again.find("Fill the form"), nullptr);
    QString copy;
    ASSERT_EQ(again.duplicate("Fill the report", &copy), "");
    EXPECT_EQ(copy, "Fill the report 2");
    EXPECT_EQ(again.find(copy)->hotkey, Hotkey::unset());
    EXPECT_EQ(again.find(copy)->schedule.kind, MacroSchedule::Kind::none);
    EXPECT_EQ(readFile(again.pathOf(*again.find(copy))), readFile(path));
    EXPECT_NE(again.rename(copy, "FILL THE REPORT"), "");

    ASSERT_EQ(again.remove("Fill the report"), "");
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_NE(again.remove("Fill the report"), "");
    MacroLibrary third(folder());
    third.reload();
    EXPECT_EQ(names(third), QStringList{"Fill the report 2"});
    EXPECT_TRUE(logged.isEmpty()) << logged.join('\n').toStdString();
}

TEST_F(Library, HandDroppedFilesAppearAndBrokenOnesStayListedWithTheirReason)
{
    MacroLibrary library(folder());
    ASSERT_EQ(library.add("Report", twoKeys), "");
    ASSERT_TRUE(
        writeFile(folder() + "/Report.json", "[]")); // a hand-dropped file whose name another macro has
    ASSERT_TRUE(writeFile(folder() + "/broken.json", "[{\"type\": \"keyDown\""));
    ASSERT_TRUE(writeFile(folder() + "/notes.txt", "not a macro"));
    ASSERT_EQ(library.reload(), "");

    EXPECT_EQ(names(library), (QStringList{"broken", "Report", "Report 2"}));
    const LibraryEntry* broken = library.find("broken");
    EXPECT_FALSE(broken->loadError.isEmpty());
    EXPECT_EQ(library.find("Report 2")->eventCount, 0u);
    EXPECT_TRUE(QFile::exists(folder() + "/broken.json")) << "never deleted for failing to load";

    // A file deleted by hand takes its entry with it; the index follows.
    ASSERT_TRUE(QFile::remove(folder() + "/Report.json"));
    library.reload();
    EXPECT_EQ(names(library), (QStringList{"broken", "Report"}));
    EXPECT_FALSE(readFile(index()).contains("Report 2"));
}

TEST_F(Library, ADamagedIndexIsKeptAsideAndRebuiltFromTheFiles)
{
    MacroLibrary library(folder());
    ASSERT_EQ(library.add("One", twoKeys), "");
    ASSERT_EQ(library.add("Two", twoKeys), "");
    const QByteArray damaged = readFile(index()).left(40);
    ASSERT_TRUE(writeFile(index(), damaged));

    MacroLibrary rebuilt(folder());
    EXPECT_NE(rebuilt.reload(), "");
    EXPECT_EQ(rebuilt.entries().size(), 2u);
    EXPECT_EQ(readFile(index() + ".damaged"), damaged);
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged[0].startsWith("Library index damaged, rebuilt from the macro files: "));

    // One bad entry costs that entry its values, not the others theirs.
    LibraryEntry two = *rebuilt.find("two");
    two.loopCount = 7;
    ASSERT_EQ(rebuilt.update(two), "");
    ASSERT_TRUE(writeFile(index(), readFile(index()).replace("\"loops\": 1", "\"loops\": -4")));
    MacroLibrary partly(folder());
    EXPECT_NE(partly.reload(), "");
    EXPECT_EQ(partly.find("two")->loopCount, 7);
}

class LibraryPlayback : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        options.libraryFolder = dir.filePath(QStringLiteral("macros"));
    }
    QTemporaryDir dir;
};

// A library macro plays with its own values beside the timeline, which stays as it is; its play
// stops it, and nothing else starts while it plays or a recording runs.
TEST_F(LibraryPlayback, PlaysByNameWithItsOwnValuesAndTogglesWithoutTouchingTheTimeline)
{
    MacroEngine& e = build();
    const Timeline own{test::Event(EventType::keyDown, 0.01).key(7)};
    e.setRecordedEvents({test::Event(EventType::keyDown, 0.01).key(1)});
    ASSERT_EQ(e.changeLibrary([&](MacroLibrary& l) { return l.add("Seven", own); }), "");
    LibraryEntry entry = *e.library().find("seven");
    entry.loopCount = 3;
    ASSERT_EQ(e.changeLibrary([&](MacroLibrary& l) { return l.update(entry); }), "");

    journal->clear();
    e.playLibraryMacro("SEVEN");
    EXPECT_EQ(e.playingLibraryMacro(), "Seven");
    ASSERT_TRUE(test::eventually([&] { return !e.isPlaying(); }));
    EXPECT_EQ(journal->lines().filter("key 7").size(), 3) << journal->lines().join('\n').toStdString();
    EXPECT_EQ(e.recordedEvents().size(), 1u);
    EXPECT_EQ(e.recordedEvents()[0].keyCode, 1) << "the timeline is not replaced";
    EXPECT_EQ(e.currentPlaybackIndex(), -1);

    entry.infiniteLoop = true;
    ASSERT_EQ(e.changeLibrary([&](MacroLibrary& l) { return l.update(entry); }), "");
    ASSERT_EQ(e.changeLibrary([&](MacroLibrary& l) { return l.add("Other", own); }), "");
    e.playLibraryMacro("Seven");
    ASSERT_TRUE(e.isPlaying());
    logged.clear();
    e.playLibraryMacro("Other");
    EXPECT_EQ(logged, QStringList{"Library macro not played: \"Other\": another playback runs"});
    e.playLibraryMacro("Seven");
    EXPECT_FALSE(e.isPlaying()) << "its own play stops it";
    EXPECT_EQ(e.playingLibraryMacro(), "");

    e.startRecording();
    logged.clear();
    e.playLibraryMacro("Seven");
    e.playLibraryMacro("Nobody");
    EXPECT_FALSE(e.isPlaying());
    EXPECT_EQ(logged, (QStringList{"Library macro not played: \"Seven\": a recording runs",
                                   "Library macro not played: no macro named \"Nobody\" in the library"}));
}

} // namespace
} // namespace loopwren

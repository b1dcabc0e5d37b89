#include "enginefixture.h"
#include "macrofiles.h"
#include "testevents.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include <sys/stat.h>

namespace loopwren {
namespace {

using test::kOwnerOnly;

class MacroFiles : public EngineFixture
{
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QByteArray read(const char* name) const { return test::readFile(path(name)); }

    QTemporaryDir dir;
};

// The loaded timeline replaces the old one in a later step, so a view never sees it change under a
// call of its own; an empty timeline makes an empty array. Recorded keystrokes may be passwords: a new
// file is its owner's alone, whatever the umask (and so is a recovery file, below); an overwritten file
// keeps the mode its owner chose.
TEST_F(MacroFiles, SaveThenLoadGivesTheSameTimelineInALaterStepAndKeepsItPrivate)
{
    MacroEngine& e = build();
    ASSERT_TRUE(e.saveMacro(path("empty.json")));
    EXPECT_EQ(read("empty.json").trimmed(), "[]");
    Timeline events{makeKeyEvent(EventType::keyDown, 36), makeMouseEvent(EventType::mouseDown, -10.7, 20.25)};
    events[0].flags = 0xFFFFFFFFFFFFFFFFull;
    events[1].delaySincePrevious = 1.0 / 3;
    e.setRecordedEvents(events);
    const mode_t previousMask = ::umask(0);
    const bool saved = e.saveMacro(path("a.json"));
    ::umask(previousMask);
    ASSERT_TRUE(saved);
    EXPECT_EQ(QFile::permissions(path("a.json")), kOwnerOnly);
    ASSERT_TRUE(test::writeFile(path("shared.json"), "[]"));
    const auto shared = kOwnerOnly | QFile::ReadGroup | QFile::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(path("shared.json"), shared));
    ASSERT_TRUE(e.saveMacro(path("shared.json")));
    EXPECT_EQ(QFile::permissions(path("shared.json")), shared);

    for (const char* name : {"empty.json", "a.json"}) {
        const Timeline before = e.recordedEvents();
        ASSERT_TRUE(e.loadMacro(path(name)));
        EXPECT_EQ(e.recordedEvents().size(), before.size()) << "replaced inside the caller's step";
        drain();
    }
    EXPECT_EQ(test::firstDifference(events, e.recordedEvents()), "");
    EXPECT_TRUE(logged.isEmpty());
}

// Where a recording could not be saved, it is kept in the state folder, a new file each time.
TEST_F(MacroFiles, ARecoveryFileKeepsTheTimelineInTheStateFolder)
{
    qputenv("XDG_STATE_HOME", path("state").toUtf8());
    const Timeline events{makeEvent(EventType::keyDown, 0.25), makeEvent(EventType::wait, 2)};
    QString problem;
    const QString first = macrofiles::saveRecovery(events, &problem);
    const QString second = macrofiles::saveRecovery(events, &problem);
    qunsetenv("XDG_STATE_HOME");
    ASSERT_FALSE(first.isEmpty()) << problem.toStdString();
    EXPECT_TRUE(first.startsWith(path("state/LoopWren/unsaved_"))) << first.toStdString();
    EXPECT_NE(first, second) << "a second recovery never replaces the first";
    EXPECT_EQ(QFile::permissions(first), kOwnerOnly);
    EXPECT_EQ(macrofiles::load(first).events.size(), 2u);
}

TEST_F(MacroFiles, FailuresAreLoggedAndLeaveFileAndTimelineAsTheyWere)
{
    MacroEngine& e = build();
    ASSERT_TRUE(test::writeFile(path("keep.json"), "[]\n"));
    e.setRecordedEvents({makeEvent(EventType::wait, std::nan(""))});
    EXPECT_FALSE(e.saveMacro(path("keep.json")));
    EXPECT_EQ(read("keep.json"), "[]\n");
    const Timeline current{makeEvent(EventType::wait, 1)};
    e.setRecordedEvents(current);
    EXPECT_FALSE(e.saveMacro(path("missing-folder/x.json")));
    // A folder where the file should be: nothing can be renamed over it.
    QDir(dir.path()).mkdir("taken.json");
    EXPECT_FALSE(e.saveMacro(path("taken.json")));
    // Nor over a pipe or a device, which would become a plain file.
    ASSERT_EQ(mkfifo(path("pipe.json").toLocal8Bit().constData(), 0600), 0);
    EXPECT_FALSE(e.saveMacro(path("pipe.json")));
    EXPECT_FALSE(macrofiles::checkWritable(path("pipe.json")).isEmpty());
    struct stat pipe
    {
    };
    EXPECT_TRUE(stat(path("pipe.json").toLocal8Bit().constData(), &pipe) == 0 && S_ISFIFO(pipe.st_mode));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              (QStringList{"keep.json", "pipe.json"}))
        << "no temporary file is left behind";

    // The reader says why: an empty file, a folder, no file at all.
    ASSERT_TRUE(test::writeFile(path("empty.json"), ""));
    for (const char* name : {"empty.json", "taken.json", "nothing-here.json"})
        EXPECT_FALSE(e.loadMacro(path(name)));
    drain();
    EXPECT_EQ(e.recordedEvents().at(0).id, current[0].id);
    ASSERT_EQ(logged.size(), 7);
    EXPECT_EQ(logged[0], R"(Failed to save macro: event 1: "delaySincePrevious" is not a finite number)");
    EXPECT_TRUE(logged[1].startsWith("Failed to save macro: " + path("missing-folder/x.json") + ": "));
    EXPECT_EQ(logged[2], "Failed to save macro: " + path("taken.json") + ": Is a directory");
    EXPECT_EQ(logged[3], "Failed to save macro: " + path("pipe.json") + ": Not a regular file");
    EXPECT_TRUE(logged[4].startsWith("Failed to load macro: invalid JSON: ")) << logged[4].toStdString();
    EXPECT_EQ(logged[5], "Failed to load macro: cannot read " + path("taken.json") + ": Is a directory");
    EXPECT_EQ(logged[6], "Failed to load macro: cannot read " + path("nothing-here.json") +
                             ": No such file or directory");
}

} // namespace
} // namespace loopwren

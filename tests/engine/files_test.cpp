#include "enginefixture.h"
#include "macrofiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include <sys/stat.h>

namespace loopwren {
namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class MacroFiles : public EngineFixture
{
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(MacroFiles, SaveThenLoadGivesTheSameTimelineAndResetsTheIndex)
{
    MacroEngine& e = build();
    Timeline events{makeEvent(EventType::keyDown, 0.25), makeEvent(EventType::mouseDown, 1.0 / 3)};
    events[0].keyCode = 36;
    events[0].flags = 0xFFFFFFFFFFFFFFFFull;
    events[1].location = Point{-10.7, 20.25};
    events[1].mouseButton = MouseButtonType::right;
    events[1].clickCount = 2;
    e.setRecordedEvents(events);
    ASSERT_TRUE(e.saveMacro(path("a.json")));

    e.setRecordedEvents({});
    ASSERT_TRUE(e.loadMacro(path("a.json")));
    EXPECT_TRUE(e.recordedEvents().empty()) << "the timeline is replaced in a later step";
    drain();
    ASSERT_EQ(e.recordedEvents().size(), 2u);
    EXPECT_EQ(e.recordedEvents()[0].id, events[0].id);
    EXPECT_EQ(e.recordedEvents()[0].flags, events[0].flags);
    EXPECT_EQ(e.recordedEvents()[1].delaySincePrevious, 1.0 / 3);
    EXPECT_EQ(e.recordedEvents()[1].location->x, -10.7);
    EXPECT_TRUE(logged.isEmpty());
}

// Recorded keystrokes may be passwords: a new file is its owner's alone, whatever the umask; an
// overwritten file keeps the mode its owner chose.
TEST_F(MacroFiles, NewFilesAreTheOwnersOnlyAndOverwrittenOnesKeepTheirMode)
{
    MacroEngine& e = build();
    e.setRecordedEvents({makeEvent(EventType::keyDown, 0.25)});
    const mode_t previousMask = ::umask(0);
    const bool saved = e.saveMacro(path("new.json"));
    ::umask(previousMask);
    ASSERT_TRUE(saved);
    EXPECT_EQ(QFile::permissions(path("new.json")),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

    writeAll(path("shared.json"), "[]");
    const auto shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                        QFile::ReadGroup | QFile::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(path("shared.json"), shared));
    ASSERT_TRUE(e.saveMacro(path("shared.json")));
    EXPECT_EQ(QFile::permissions(path("shared.json")), shared);
}

// Where a recording could not be saved, it is kept in the state folder, also the owner's only.
TEST_F(MacroFiles, ARecoveryFileKeepsTheTimelineInTheStateFolder)
{
    qputenv("XDG_STATE_HOME", dir.filePath("state").toUtf8());
    const Timeline events{makeEvent(EventType::keyDown, 0.25), makeEvent(EventType::wait, 2)};
    QString problem;
    const QString first = macrofiles::saveRecovery(events, &problem);
    const QString second = macrofiles::saveRecovery(events, &problem);
    qunsetenv("XDG_STATE_HOME");
    ASSERT_FALSE(first.isEmpty()) << problem.toStdString();
    EXPECT_TRUE(first.startsWith(dir.filePath("state/LoopWren/unsaved_"))) << first.toStdString();
    EXPECT_NE(first, second) << "a second recovery never replaces the first";
    EXPECT_EQ(QFile::permissions(first),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    const MacroReadResult kept = macrofiles::load(first);
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept.events.size(), 2u);
}

TEST_F(MacroFiles, EmptyTimelineSavesAsEmptyArrayAndLoadsBackEmpty)
{
    MacroEngine& e = build();
    ASSERT_TRUE(e.saveMacro(path("empty.json")));
    EXPECT_EQ(readAll(path("empty.json")).trimmed(), "[]");
    e.setRecordedEvents({makeEvent(EventType::wait, 1)});
    ASSERT_TRUE(e.loadMacro(path("empty.json")));
    drain();
    EXPECT_TRUE(e.recordedEvents().empty());
}

TEST_F(MacroFiles, FailedSaveLeavesThePreviousFileIntactAndLogs)
{
    MacroEngine& e = build();
    writeAll(path("keep.json"), "[]\n");
    Timeline bad{makeEvent(EventType::wait, std::nan(""))};
    e.setRecordedEvents(bad);
    EXPECT_FALSE(e.saveMacro(path("keep.json")));
    EXPECT_EQ(readAll(path("keep.json")), "[]\n");

    e.setRecordedEvents({makeEvent(EventType::wait, 1)});
    EXPECT_FALSE(e.saveMacro(path("missing-folder/x.json")));
    // A folder where the file should be: nothing can be renamed over it.
    QDir(dir.path()).mkdir("taken.json");
    EXPECT_FALSE(e.saveMacro(path("taken.json")));
    ASSERT_EQ(logged.size(), 3);
    for (const QString& line : logged)
        EXPECT_TRUE(line.startsWith("Failed to save macro: ")) << line.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() == 1)
        << "no temporary file is left behind";
}

TEST_F(MacroFiles, BadFilesLeaveTheTimelineAsItWas)
{
    MacroEngine& e = build();
    Timeline current{makeEvent(EventType::wait, 2)};
    e.setRecordedEvents(current);
    writeAll(path("object.json"), R"({"id":"x"})");
    writeAll(path("broken.json"), "[{");
    writeAll(path("badtype.json"),
             R"([{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","type":"MouseDown","delaySincePrevious":0}])");
    for (const char* name : {"object.json", "broken.json", "badtype.json", "nothing-here.json"})
        EXPECT_FALSE(e.loadMacro(path(name))) << name;
    drain();
    ASSERT_EQ(e.recordedEvents().size(), 1u);
    EXPECT_EQ(e.recordedEvents()[0].id, current[0].id);
    ASSERT_EQ(logged.size(), 4);
    for (const QString& line : logged)
        EXPECT_TRUE(line.startsWith("Failed to load macro: ")) << line.toStdString();
    EXPECT_TRUE(logged[2].contains("MouseDown")) << logged[2].toStdString();
}

} // namespace
} // namespace loopwren

// Saves that meet a fault on the way: a full file system, a read-only folder, a process killed in the
// middle of writing. The save goes through a temporary file that replaces the target only once it is
// complete, so the file that was there before must come out intact, byte for byte, every time, and
// the engine must report the failure and keep its timeline.
#include "helperprocess.h"
#include "testfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace loopwren {
namespace {

using test::readFile;

class SaveFaults : public testing::Test
{
protected:
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // A macro file of count events written by the engine itself.
    QByteArray macro(const QString& file, int count)
    {
        const HelperRun run = runHelper({QStringLiteral("save"), file, QString::number(count)});
        EXPECT_EQ(run.exitCode, 0) << run.describe();
        return readFile(file);
    }

    QTemporaryDir dir;
};

TEST_F(SaveFaults, FullOrReadOnlyFileSystemRefusesTheSaveAndKeepsThePreviousFile)
{
    struct Row
    {
        const char* name;
        // Makes $DIR/mnt full or read-only with the previous file in it as macro.json; on a file
        // system of the test's own it notes the free space.
        const char* mount;
        int events;
        QString reason;
    };
    const QString target = path("mnt/macro.json");
    const Row rows[] = {
        // Some 4 MB: far more than the tmpfs holds.
        {"full tmpfs", R"sh(must mount -t tmpfs -o size=256k loopwren-full "$DIR/mnt"
cp "$DIR/previous.json" "$DIR/mnt/macro.json"
free=$(stat -f -c %a "$DIR/mnt"))sh",
         20000, QStringLiteral("No space left on device")},
        // Qt's own words: it checks the target before it writes anything.
        {"read-only bind mount of a folder on disk", R"(must mount --bind "$DIR/mnt" "$DIR/mnt"
must mount -o remount,bind,ro "$DIR/mnt")",
         1000, QStringLiteral("Existing file %1 is not writable").arg(target)},
    };
    const QByteArray previous = macro(path("previous.json"), 300);
    ASSERT_TRUE(QDir().mkpath(path("mnt")));
    ASSERT_TRUE(QFile::copy(path("previous.json"), target));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // The script reports the helper's exit status, a failed save that still holds space, what is
        // left in the folder and a damaged previous file.
        const HelperRun run = runInPrivateMounts(
            QString::fromLatin1(row.mount) + QStringLiteral(R"sh(
"$HELPER" save "$DIR/mnt/macro.json" "$EVENTS"
echo "exit $?"
[ -z "$free" ] || [ "$(stat -f -c %a "$DIR/mnt")" = "$free" ] || echo "the failed save still holds space"
ls -A "$DIR/mnt"
cmp -s "$DIR/mnt/macro.json" "$DIR/previous.json" || echo "the previous file was damaged"
)sh"),
            {{QStringLiteral("DIR"), dir.path()}, {QStringLiteral("EVENTS"), QString::number(row.events)}});
        const QString expected =
            QStringLiteral("saving\nFailed to save macro: %1: %2\n%3 events kept\nexit 1\n"
                           "macro.json\n")
                .arg(target, row.reason)
                .arg(row.events);
        EXPECT_EQ(QString::fromUtf8(run.out).toStdString(), expected.toStdString()) << run.describe();
    }
}

// A save of tens of megabytes over an existing file, killed at moments spread over its writing (the
// last once the new file is whole): the target is the whole old file or the whole new one.
TEST_F(SaveFaults, KilledSaveLeavesTheOldOrTheNewFileWhole)
{
    constexpr int kEvents = 150000;
    const QByteArray fresh = macro(path("fresh.json"), kEvents);
    ASSERT_GT(fresh.size(), 20 * 1024 * 1024);
    QTemporaryDir work;
    const QString target = work.filePath(QStringLiteral("macro.json"));
    const QByteArray previous = macro(target, 1000);
    for (const qint64 written : {fresh.size() / 4, fresh.size() / 2, fresh.size() * 3 / 4, fresh.size()}) {
        // Whatever the last save left beside the target goes, so the progress seen is this save's.
        for (const QFileInfo& entry : QDir(work.path()).entryInfoList(QDir::Files | QDir::Hidden))
            ASSERT_TRUE(QFile::remove(entry.filePath()));
        ASSERT_TRUE(test::writeFile(target, previous));
        // The save has come that far once a file beside the target has grown to it, or the target has
        // changed size.
        const auto reached = [&] {
            for (const QFileInfo& entry : QDir(work.path()).entryInfoList(QDir::Files | QDir::Hidden)) {
                if (entry.fileName() == QLatin1String("macro.json") ? entry.size() != previous.size()
                                                                    : entry.size() >= written)
                    return true;
            }
            return false;
        };
        QProcess helper;
        helper.start(helperPath(), {QStringLiteral("save"), target, QString::number(kEvents)});
        const QDeadlineTimer hang(120000);
        while (!reached() && helper.state() != QProcess::NotRunning) {
            ASSERT_FALSE(hang.hasExpired()) << "the save never got that far";
            helper.waitForFinished(1);
        }
        helper.kill();
        helper.waitForFinished();
        const QByteArray after = readFile(target);
        EXPECT_TRUE(after == previous || after == fresh)
            << "killed at " << written << " bytes: the target holds " << after.size() << " bytes, neither "
            << previous.size() << " (old) nor " << fresh.size() << " (new)";
    }
}

} // namespace
} // namespace loopwren

// Saves that meet a fault on the way: a full file system, a read-only folder, a process killed in the
// middle of writing. The save goes through a temporary file that replaces the target only once it is
// complete, so the file that was there before must come out intact, byte for byte, every time, and
// the engine must report the failure and keep its timeline.
#include "helperprocess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <iostream>

namespace loopwren {
namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

class SaveFaults : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path(const QString& name) const { return dir.filePath(name); }

    // A macro file of count events written by the engine itself.
    QByteArray makeMacro(const QString& file, int count)
    {
        const HelperProcess::Result run =
            HelperProcess::run({QStringLiteral("save"), file, QString::number(count)});
        EXPECT_EQ(run.exitCode, 0) << run.describe().toStdString();
        return readAll(file);
    }

    // The helper's report of a save into a fault: refused, with one log line naming the file, and
    // the timeline in memory as it was.
    static void expectRefusedSave(const HelperProcess::Result& run, const QString& target,
                                  const QString& reason)
    {
        const QStringList lines = run.outLines();
        ASSERT_EQ(lines.size(), 3) << run.describe().toStdString();
        EXPECT_EQ(lines[0].toStdString(), "saving");
        EXPECT_EQ(lines[1].toStdString(),
                  QStringLiteral("Failed to save macro: %1: %2").arg(target, reason).toStdString());
        EXPECT_EQ(lines[2].toStdString(), "timeline unchanged");
    }

    QTemporaryDir dir;
};

TEST_F(SaveFaults, FullFileSystemKeepsThePreviousFileAndFreesTheSpaceAgain)
{
    const QByteArray previous = makeMacro(path(QStringLiteral("previous.json")), 300);
    ASSERT_GT(previous.size(), 32 * 1024);
    ASSERT_LT(previous.size(), 128 * 1024);
    QDir(dir.path()).mkdir(QStringLiteral("mnt"));
    // 20000 events make some 4 MB: far more than the tmpfs holds.
    const HelperProcess::Result run = HelperProcess::runWithPrivateMounts(
        R"(must mount -t tmpfs -o size=256k loopwren-full "$DIR/mnt"
cp "$DIR/previous.json" "$DIR/mnt/macro.json"
stat -f -c %a "$DIR/mnt" > "$DIR/free-before"
"$HELPER" save "$DIR/mnt/macro.json" 20000
echo $? > "$DIR/status"
stat -f -c %a "$DIR/mnt" > "$DIR/free-after"
cp "$DIR/mnt/macro.json" "$DIR/after.json"
ls -A "$DIR/mnt" > "$DIR/left"
)",
        {{QStringLiteral("DIR"), dir.path()}});
    ASSERT_TRUE(run.namespaceEntered) << "cannot enter a private user and mount namespace (unshare --user "
                                         "--map-root-user --mount): "
                                      << run.describe().toStdString();
    ASSERT_TRUE(run.mountsMade) << "cannot mount a tmpfs in the private namespace: "
                                << run.describe().toStdString();
    ASSERT_EQ(readAll(path(QStringLiteral("status"))).trimmed(), "1") << run.describe().toStdString();
    expectRefusedSave(run, dir.path() + QStringLiteral("/mnt/macro.json"),
                      QStringLiteral("No space left on device"));
    EXPECT_TRUE(readAll(path(QStringLiteral("after.json"))) == previous) << "the previous file was damaged";
    EXPECT_EQ(readAll(path(QStringLiteral("left"))), "macro.json\n") << "a temporary file was left behind";
    EXPECT_EQ(readAll(path(QStringLiteral("free-after"))), readAll(path(QStringLiteral("free-before"))))
        << "the failed save still holds space";
}

TEST_F(SaveFaults, ReadOnlyFolderKeepsThePreviousFile)
{
    struct Row
    {
        const char* name;
        // Makes $DIR/mnt read-only with macro.json (the previous file) in it.
        const char* mount;
    };
    const QString target = dir.path() + QStringLiteral("/mnt/macro.json");
    const Row rows[] = {
        {"tmpfs remounted read-only", R"(must mount -t tmpfs -o size=1m loopwren-ro "$DIR/mnt"
cp "$DIR/previous.json" "$DIR/mnt/macro.json"
must mount -o remount,ro "$DIR/mnt"
)"},
        {"read-only bind mount of a folder on disk", R"(must mount --bind "$DIR/mnt" "$DIR/mnt"
must mount -o remount,bind,ro "$DIR/mnt"
)"},
    };
    const QByteArray previous = makeMacro(path(QStringLiteral("previous.json")), 50);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QDir(path(QStringLiteral("mnt"))).removeRecursively();
        QDir(dir.path()).mkdir(QStringLiteral("mnt"));
        writeAll(path(QStringLiteral("mnt/macro.json")), previous);
        const HelperProcess::Result run = HelperProcess::runWithPrivateMounts(
            QString::fromLatin1(row.mount) + QStringLiteral(R"(touch "$DIR/mnt/probe" 2>/dev/null && exit 98
"$HELPER" save "$DIR/mnt/macro.json" 1000
echo $? > "$DIR/status"
cp "$DIR/mnt/macro.json" "$DIR/after.json"
ls -A "$DIR/mnt" > "$DIR/left"
)"),
            {{QStringLiteral("DIR"), dir.path()}});
        ASSERT_TRUE(run.namespaceEntered)
            << "cannot enter a private user and mount namespace: " << run.describe().toStdString();
        ASSERT_TRUE(run.mountsMade) << "cannot make the read-only mount: " << run.describe().toStdString();
        ASSERT_NE(run.exitCode, 98) << "the folder is still writable";
        ASSERT_EQ(readAll(path(QStringLiteral("status"))).trimmed(), "1") << run.describe().toStdString();
        // Qt's own words: it checks the target before it writes anything.
        expectRefusedSave(run, target, QStringLiteral("Existing file %1 is not writable").arg(target));
        EXPECT_TRUE(readAll(path(QStringLiteral("after.json"))) == previous)
            << "the previous file was damaged";
        EXPECT_EQ(readAll(path(QStringLiteral("left"))), "macro.json\n");
    }
}

// A save of tens of megabytes over an existing file, killed at moments spread over its whole run (the
// last one after it would have ended): the target is the whole old file or the whole new one.
TEST_F(SaveFaults, KilledSaveLeavesTheOldOrTheNewFileWhole)
{
    constexpr int kEvents = 200000;
    constexpr int kKills = 10;
    QTemporaryDir referenceDir;
    const QByteArray fresh = makeMacro(referenceDir.filePath(QStringLiteral("new.json")), kEvents);
    ASSERT_GT(fresh.size(), 20 * 1024 * 1024);
    const QString target = path(QStringLiteral("macro.json"));
    const QByteArray previous = makeMacro(target, 1000);

    // Starts a save over the target and returns once the helper is about to save.
    QElapsedTimer sinceSaving;
    const auto startSave = [&](QProcess& process) {
        process.start(HelperProcess::helperPath(),
                      {QStringLiteral("save"), target, QString::number(kEvents)});
        ASSERT_TRUE(process.waitForStarted(10000));
        QByteArray out;
        while (!out.contains("saving\n")) {
            ASSERT_TRUE(process.waitForReadyRead(60000)) << "the helper never began to save";
            out += process.readAllStandardOutput();
        }
        sinceSaving.start();
    };

    // How long a whole save takes here, to spread the kills over it.
    qint64 saveMs = 0;
    {
        QProcess process;
        startSave(process);
        ASSERT_TRUE(process.waitForFinished(120000));
        saveMs = sinceSaving.elapsed();
        ASSERT_EQ(process.exitCode(), 0);
        ASSERT_TRUE(readAll(target) == fresh) << "the same timeline must give the same bytes";
    }

    int oldFiles = 0, newFiles = 0, finishedFirst = 0;
    QStringList strays;
    for (int i = 0; i < kKills; ++i) {
        writeAll(target, previous);
        const qint64 delayMs = saveMs * i / (kKills - 2);
        QProcess process;
        startSave(process);
        QThread::msleep(static_cast<unsigned long>(delayMs));
        process.kill();
        ASSERT_TRUE(process.waitForFinished(10000));
        // A helper that had already ended ignored the kill and left its own exit status.
        finishedFirst += process.exitStatus() == QProcess::NormalExit ? 1 : 0;

        const QByteArray after = readAll(target);
        const bool isOld = after == previous;
        const bool isNew = after == fresh;
        EXPECT_TRUE(isOld || isNew) << "killed after " << delayMs << " ms of a " << saveMs
                                    << " ms save: the target holds " << after.size() << " bytes, neither "
                                    << previous.size() << " (old) nor " << fresh.size() << " (new)";
        oldFiles += isOld ? 1 : 0;
        newFiles += isNew ? 1 : 0;
        for (const QString& name : entries(dir.path())) {
            if (name != QLatin1String("macro.json")) {
                strays << name;
                QFile::remove(path(name));
            }
        }
    }
    std::cout << "A save of " << fresh.size() << " bytes took " << saveMs << " ms; of " << kKills
              << " killed saves " << oldFiles << " left the old file, " << newFiles << " the new one ("
              << finishedFirst << " had ended before the kill); temporary files left behind: "
              << (strays.isEmpty() ? QStringLiteral("none") : strays.join(QLatin1Char(' '))).toStdString()
              << std::endl;
}

} // namespace
} // namespace loopwren

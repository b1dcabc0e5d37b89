#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char* argv[])
{
    // The real settings file goes to a folder of this run's own, never the user's. QSettings fixes its
    // path on first use, so this comes before anything else.
    char folder[] = "/tmp/loopwren-engine-tests.XXXXXX";
    if (!mkdtemp(folder))
        return 2;
    setenv("XDG_CONFIG_HOME", folder, 1);
    // The macro library's default folder too.
    setenv("XDG_DATA_HOME", folder, 1);
    // Queued work needs an event loop; tests drain it explicitly.
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    QDir(QString::fromLocal8Bit(folder)).removeRecursively();
    return status;
}

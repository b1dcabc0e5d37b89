#include "backendchoice.h"
#include "headlesskwin.h"
#include "kwinfakepointer.h"
#include "kwinscript.h"
#include "kwintestwindow.h"
#include "waylanddesktop.h"

#include "eventually.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

using namespace loopwren;

namespace {

QString testBinary;

// Maximises the window of that process through a script of the test's own, which prints KWin's id for
// it into KWin's log: a channel apart from LoopWren's bridge. The id, or empty.
QString maximizeAndIdentify(HeadlessKWin& kwin, qint64 processId)
{
    const QByteArray text =
        QStringLiteral("var w = workspace.clientList ? workspace.clientList() : workspace.windowList();"
                       "for (var i = 0; i < w.length; ++i) if (w[i].pid === %1) {"
                       "w[i].setMaximize(true, true); print('test-id ' + w[i].internalId); }")
            .arg(processId)
            .toUtf8();
    const KWinScript script(QDBusConnection::sessionBus(), QStringLiteral("test-maximize"), text);
    static const QRegularExpression line(QStringLiteral("test-id (\\{[-0-9a-f]+\\})"));
    QString id;
    loopwren::test::eventually([&] {
        id = line.match(kwin.kwinOutput()).captured(1);
        return !id.isEmpty() || !script.isRunning();
    });
    return id;
}

// What KWin's own D-Bus interface reports for the window: frame geometry and state.
QVariantMap windowInfo(const QString& kwinId)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin"), QStringLiteral("/KWin"),
                                       QStringLiteral("org.kde.KWin"), QStringLiteral("getWindowInfo"));
    call.setArguments({kwinId});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    return reply.arguments().isEmpty() ? QVariantMap()
                                       : qdbus_cast<QVariantMap>(reply.arguments().constFirst());
}

QRect frameOf(const QVariantMap& info)
{
    return QRect(info.value(QStringLiteral("x")).toInt(), info.value(QStringLiteral("y")).toInt(),
                 info.value(QStringLiteral("width")).toInt(), info.value(QStringLiteral("height")).toInt());
}

void expectFrame(const QString& kwinId, QRect expected)
{
    QVariantMap info;
    const bool placed = loopwren::test::eventually([&] {
        info = windowInfo(kwinId);
        return frameOf(info) == expected;
    });
    const QRect frame = frameOf(info);
    EXPECT_TRUE(placed) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
}

bool lastLineIs(const QString& output, const QString& line)
{
    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return !lines.isEmpty() && lines.constLast() == line;
}

} // namespace

TEST(KWinDesktop, ListsFocusesAndPlacesWindowsFromAnyThread)
{
    HeadlessKWin kwin;
    ASSERT_TRUE(kwin.start()) << kwin.error().toStdString();
    const qint64 first = kwin.startClient(
        testBinary, {QStringLiteral("--window"), QStringLiteral("io.github.loopwren.KWinTestWindow")});
    ASSERT_NE(first, 0) << kwin.error().toStdString();
    ASSERT_TRUE(loopwren::test::eventually(
        [&] { return lastLineIs(kwin.clientOutput(first), QStringLiteral("active")); }));
    const qint64 second =
        kwin.startClient(testBinary, {QStringLiteral("--window"), QStringLiteral("loopwren-no-entry")});
    ASSERT_NE(second, 0) << kwin.error().toStdString();
    // KWin focuses a new window.
    ASSERT_TRUE(loopwren::test::eventually(
        [&] { return lastLineIs(kwin.clientOutput(second), QStringLiteral("active")); }));

    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    const std::unique_ptr<WaylandDesktop> desktop = chooseWaylandDesktop();
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->name(), QStringLiteral("KWin"));
    EXPECT_EQ(desktop->absolutePointerArea(), WaylandDesktop::PointerArea::fromOrigin);
    const std::unique_ptr<Workspace> workspace = desktop->workspace({});
    ASSERT_TRUE(workspace);
    const std::vector<RunningApplication> applications = workspace->runningApplications();
    ASSERT_EQ(applications.size(), 2u);
    // Named by the Wayland app id, which has no desktop entry here (the names' rules have a table).
    EXPECT_EQ(applications[0].name, QStringLiteral("io.github.loopwren.KWinTestWindow"));
    EXPECT_EQ(applications[0].processId, first);
    EXPECT_EQ(applications[1].name, QStringLiteral("loopwren-no-entry"));
    EXPECT_EQ(applications[1].processId, second);

    workspace->activate(applications[0]);
    EXPECT_TRUE(loopwren::test::eventually(
        [&] { return lastLineIs(kwin.clientOutput(first), QStringLiteral("active")); }));
    EXPECT_TRUE(loopwren::test::eventually(
        [&] { return lastLineIs(kwin.clientOutput(second), QStringLiteral("inactive")); }));

    // From a maximised start, on a worker thread as playback places windows.
    const QString firstId = maximizeAndIdentify(kwin, first);
    ASSERT_FALSE(firstId.isEmpty()) << kwin.kwinOutput().right(2000).toStdString();
    expectFrame(firstId, QRect(0, 0, 1280, 800));
    const auto placeOnWorker = [&](Workspace& target, WindowFrame frame) {
        std::thread worker([&] { target.placeFirstWindow(applications[0], frame); });
        worker.join();
    };
    // The model's origin is the primary output's top-left, wherever that lies in KWin's layout.
    placeOnWorker(*desktop->workspace(QPoint(-40, 30)), {240.0, 70.0, 500.0, 300.0});
    expectFrame(firstId, QRect(200, 100, 500, 300));
    EXPECT_EQ(windowInfo(firstId).value(QStringLiteral("maximizeHorizontal")).toInt(), 0);

    // A size alone keeps the top-left.
    placeOnWorker(*workspace, {NAN, std::nullopt, 520.0, 320.0});
    expectFrame(firstId, QRect(200, 100, 520, 320));
}

TEST(KWinDesktop, PointerPositionsComeFromKWinAsItMoves)
{
    HeadlessKWin kwin;
    ASSERT_TRUE(kwin.trust(testBinary, QStringLiteral("org_kde_kwin_fake_input")));
    ASSERT_TRUE(kwin.start()) << kwin.error().toStdString();
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    const std::unique_ptr<WaylandDesktop> desktop = chooseWaylandDesktop();
    ASSERT_TRUE(desktop);
    EXPECT_TRUE(desktop->pointerProblem().isEmpty()) << desktop->pointerProblem().toStdString();
    const std::shared_ptr<PointerPositionSource> positions = desktop->pointerPositions(QPoint(100, 50));
    ASSERT_TRUE(positions);

    KWinFakePointer pointer(kwin.runtimeFolder(), kwin.waylandDisplay());
    ASSERT_TRUE(pointer.isConnected());
    ASSERT_TRUE(pointer.moveTo(300, 200));
    EXPECT_TRUE(loopwren::test::eventually([&] {
        const std::optional<Point> at = positions->pointerPosition();
        return at && at->x == 200.0 && at->y == 150.0;
    }));

    // The kernel backend takes its pointer positions from KWin.
    const auto backend = openKernelBackend("/nonexistent/uinput");
    EXPECT_TRUE(backend->abilities().pointerProblem.isEmpty())
        << backend->abilities().pointerProblem.toStdString();
    EXPECT_TRUE(backend->abilities().placeWindows);
    const std::vector<SessionCheck> checks = backend->checks();
    EXPECT_TRUE(std::any_of(checks.begin(), checks.end(), [](const SessionCheck& check) {
        return check.subject == QStringLiteral("desktop services") &&
               check.finding == QStringLiteral("KWin: windows listed and placed, pointer positions");
    }));

    // Once KWin is gone its last position would be a guess; it lists and places nothing.
    const std::unique_ptr<Workspace> workspace = desktop->workspace({});
    kwin.stopKWin();
    EXPECT_TRUE(loopwren::test::eventually([&] { return !positions->pointerPosition(); }));
    EXPECT_TRUE(workspace->runningApplications().empty());
    workspace->placeFirstWindow(RunningApplication{}, {1.0, 2.0, 300.0, 200.0});

    // Outside a KDE session KWin is not asked.
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    EXPECT_FALSE(chooseWaylandDesktop());
}

int main(int argc, char* argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--window")
        return KWinTestWindow::run(argc, argv, QString::fromLocal8Bit(argv[2]));
    QCoreApplication application(argc, argv);
    testBinary = QCoreApplication::applicationFilePath();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

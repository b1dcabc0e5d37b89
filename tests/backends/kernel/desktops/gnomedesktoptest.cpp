#include "gnomedesktop.h"
#include "backendchoice.h"
#include "gnomeshellbus.h"
#include "headlessgnomeshell.h"
#include "remotepointer.h"
#include "waylanddesktop.h"

#include "eventually.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRect>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

using namespace loopwren;

namespace {

constexpr const char* kEnableCommand = "gnome-extensions enable loopwren@loopwren.github.io";

// The desktop as LoopWren finds it in a GNOME session on this Shell.
void enterSession(const HeadlessGnomeShell& shell)
{
    qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    qputenv("DBUS_SESSION_BUS_ADDRESS", shell.busAddress().toLocal8Bit());
    qunsetenv("SWAYSOCK");
}

// The Shell's own view of a window, read back through mutter's window list (the frame mutter reports,
// not the one asked for), by process id.
struct ShownWindow
{
    QRect frame;
    bool focused = false;
    bool maximized = false;
};

std::optional<ShownWindow> shownWindow(GnomeShellBus& bus, qint64 processId)
{
    const QDBusMessage reply = bus.call(QStringLiteral("ListWindows"));
    if (reply.arguments().isEmpty())
        return std::nullopt;
    for (const QJsonValue value : QJsonDocument::fromJson(reply.arguments()[0].toString().toUtf8()).array()) {
        const QJsonObject window = value.toObject();
        if (window[QStringLiteral("pid")].toInteger() != processId)
            continue;
        return ShownWindow{
            QRect(window[QStringLiteral("x")].toInt(), window[QStringLiteral("y")].toInt(),
                  window[QStringLiteral("width")].toInt(), window[QStringLiteral("height")].toInt()),
            window[QStringLiteral("focused")].toBool(), window[QStringLiteral("maximized")].toBool()};
    }
    return std::nullopt;
}

void expectFrame(GnomeShellBus& bus, qint64 processId, QRect expected)
{
    std::optional<ShownWindow> window;
    const bool placed = loopwren::test::eventually([&] {
        window = shownWindow(bus, processId);
        return window && !window->maximized && window->frame == expected;
    });
    ASSERT_TRUE(window);
    EXPECT_TRUE(placed) << "maximised " << window->maximized << ", frame " << window->frame.x() << ","
                        << window->frame.y() << " " << window->frame.width() << "x" << window->frame.height();
}

bool isAt(PointerPositionSource& positions, double x, double y)
{
    const std::optional<Point> at = positions.pointerPosition();
    return at && at->x == x && at->y == y;
}

} // namespace

TEST(GnomeDesktop, ListsFocusesAndPlacesWindowsOnceTheExtensionIsEnabled)
{
    int argc = 0;
    const QCoreApplication application(argc, nullptr);
    HeadlessGnomeShell shell;
    ASSERT_TRUE(shell.start(false)) << shell.error().toStdString();
    enterSession(shell);

    // Installed by the package but not enabled: the Shell is found, and its user told how to enable it.
    std::unique_ptr<WaylandDesktop> desktop = chooseWaylandDesktop();
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->name(), QStringLiteral("GNOME Shell"));
    EXPECT_EQ(desktop->absolutePointerArea(), WaylandDesktop::PointerArea::fromOrigin);
    EXPECT_TRUE(desktop->pointerProblem().contains(QLatin1String(kEnableCommand)))
        << desktop->pointerProblem().toStdString();
    EXPECT_FALSE(desktop->workspace({}));
    EXPECT_FALSE(desktop->pointerPositions({}));
    const std::unique_ptr<Backend> disabled = openKernelBackend("/nonexistent/uinput");
    EXPECT_FALSE(disabled->abilities().placeWindows);
    QProcess apps;
    apps.start(QStringLiteral(LOOPWREN_CLI),
               {QStringLiteral("apps"), QStringLiteral("--backend"), QStringLiteral("kernel")});
    ASSERT_TRUE(apps.waitForFinished(60000));
    EXPECT_EQ(apps.exitCode(), 1);
    EXPECT_TRUE(apps.readAllStandardError().contains(kEnableCommand)) << "apps (and place) say why";
    // The doctor says so, whatever else this machine can do.
    const std::vector<SessionCheck> checks = disabled->checks();
    EXPECT_TRUE(std::any_of(checks.begin(), checks.end(), [](const SessionCheck& check) {
        return check.subject == QLatin1String("desktop services") && check.finding.contains(kEnableCommand);
    }));

    // The command the user is told to run.
    ASSERT_TRUE(
        shell.gnomeExtensions({QStringLiteral("enable"), QStringLiteral("loopwren@loopwren.github.io")}))
        << shell.error().toStdString();
    ASSERT_TRUE(loopwren::test::eventually([&] {
        desktop = chooseWaylandDesktop();
        return desktop && desktop->pointerProblem().isEmpty();
    }));
    const Backend::Abilities abilities = openKernelBackend("/nonexistent/uinput")->abilities();
    EXPECT_TRUE(abilities.placeWindows);
    EXPECT_TRUE(abilities.pointerProblem.isEmpty()) << abilities.pointerProblem.toStdString();

    GnomeShellBus bus(shell.busAddress());
    // foot's app id "foot" names the desktop entry foot.desktop ("Foot"); the second has no entry.
    const qint64 foot = shell.startFoot({QStringLiteral("--maximized"), QStringLiteral("cat")});
    ASSERT_NE(foot, 0) << shell.error().toStdString();
    ASSERT_TRUE(loopwren::test::eventually([&] {
        const std::optional<ShownWindow> window = shownWindow(bus, foot);
        return window && window->maximized && !window->frame.isEmpty();
    }));
    const qint64 other =
        shell.startFoot({QStringLiteral("--app-id=loopwren-no-entry"), QStringLiteral("cat")});
    ASSERT_NE(other, 0) << shell.error().toStdString();
    // Drawn, not only opened: the Shell shows a window (and decides whether it takes the focus) once
    // its application has drawn it, and a focus given before that could be taken back then.
    ASSERT_TRUE(loopwren::test::eventually([&] {
        const std::optional<ShownWindow> window = shownWindow(bus, other);
        return window && !window->frame.isEmpty();
    }));

    const std::unique_ptr<Workspace> workspace = desktop->workspace({});
    ASSERT_TRUE(workspace);
    const std::vector<RunningApplication> applications = workspace->runningApplications();
    ASSERT_EQ(applications.size(), 2u);
    EXPECT_EQ(applications[0].name, QStringLiteral("Foot"));
    EXPECT_EQ(applications[0].processId, foot);
    EXPECT_EQ(applications[1].name, QStringLiteral("loopwren-no-entry"));
    EXPECT_EQ(applications[1].processId, other);

    workspace->activate(applications[1]);
    EXPECT_TRUE(loopwren::test::eventually([&] {
        const std::optional<ShownWindow> window = shownWindow(bus, other);
        return window && window->focused;
    }));
    workspace->activate(applications[0]);
    EXPECT_TRUE(loopwren::test::eventually([&] {
        const std::optional<ShownWindow> window = shownWindow(bus, foot);
        return window && window->focused;
    }));

    // From maximised, from a worker thread as playback places windows.
    std::thread([&] { workspace->placeFirstWindow(applications[0], {100.0, 60.0, 640.0, 400.0}); }).join();
    expectFrame(bus, foot, QRect(100, 60, 640, 400));
    // A size alone keeps the top-left; a position alone keeps the size, counted from the primary
    // output's top-left wherever that lies in the Shell's stage.
    workspace->placeFirstWindow(applications[0], {NAN, std::nullopt, 500.0, 300.0});
    expectFrame(bus, foot, QRect(100, 60, 500, 300));
    desktop->workspace(QPoint(-40, 30))->placeFirstWindow(applications[0], {250.4, 150.6, NAN, NAN});
    expectFrame(bus, foot, QRect(210, 181, 500, 300));
}

TEST(GnomeDesktop, FollowsThePointerAsTheShellMovesIt)
{
    int argc = 0;
    const QCoreApplication application(argc, nullptr);
    HeadlessGnomeShell shell;
    ASSERT_TRUE(shell.start(true)) << shell.error().toStdString();
    enterSession(shell);
    const std::unique_ptr<WaylandDesktop> desktop = chooseWaylandDesktop();
    ASSERT_TRUE(desktop);
    ASSERT_TRUE(desktop->pointerProblem().isEmpty()) << desktop->pointerProblem().toStdString();
    const std::shared_ptr<PointerPositionSource> positions = desktop->pointerPositions({});
    const std::shared_ptr<PointerPositionSource> shifted = desktop->pointerPositions(QPoint(-40, 30));
    ASSERT_TRUE(positions && shifted);
    // The position is known from the start, before any move.
    EXPECT_TRUE(positions->pointerPosition());

    RemotePointer pointer(shell.busAddress());
    ASSERT_TRUE(pointer.isStarted());
    // Far beyond the bottom-right corner, the pointer stops in it: a place known without asking the
    // Shell. (Not the top-left: the Shell's hot corner holds a pointer there.)
    ASSERT_TRUE(pointer.move(5000, 5000));
    EXPECT_TRUE(loopwren::test::eventually([&] { return isAt(*positions, 1279, 799); }));
    ASSERT_TRUE(pointer.move(-979, -599));
    EXPECT_TRUE(loopwren::test::eventually([&] { return isAt(*positions, 300, 200); }));
    EXPECT_TRUE(loopwren::test::eventually([&] { return isAt(*shifted, 340, 170); }));

    // Switched off, the extension leaves no stale position, and the user is told how to switch it on.
    ASSERT_TRUE(
        shell.gnomeExtensions({QStringLiteral("disable"), QStringLiteral("loopwren@loopwren.github.io")}))
        << shell.error().toStdString();
    EXPECT_TRUE(loopwren::test::eventually([&] { return !positions->pointerPosition(); }));
    const std::unique_ptr<WaylandDesktop> without = chooseWaylandDesktop();
    ASSERT_TRUE(without);
    EXPECT_TRUE(without->pointerProblem().contains(QLatin1String(kEnableCommand)));
}

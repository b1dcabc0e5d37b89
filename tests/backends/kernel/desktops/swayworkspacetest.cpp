#include "swayworkspace.h"
#include "backendchoice.h"
#include "clilauncher.h"
#include "headlesssway.h"
#include "swayipc.h"
#include "swaytree.h"
#include "waylanddesktop.h"

#include "eventually.h"

#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace loopwren;

namespace {

std::optional<SwayWindow> windowOf(const HeadlessSway& sway, qint64 processId)
{
    const SwayTree tree(SwayIpc(sway.socketPath()).tree().value_or(QJsonObject()));
    for (const SwayWindow& window : tree.windows()) {
        if (window.processId == processId)
            return window;
    }
    return std::nullopt;
}

bool near(QRect frame, QRect expected)
{
    return std::abs(frame.x() - expected.x()) <= 1 && std::abs(frame.y() - expected.y()) <= 1 &&
           std::abs(frame.width() - expected.width()) <= 1 &&
           std::abs(frame.height() - expected.height()) <= 1;
}

bool isFootRed(const QImage& shot, int x, int y)
{
    const QRgb pixel = shot.pixel(x, y);
    return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

// Whether foot, painting in red, has drawn exactly the window's content area sway reports. A floating
// window in sway takes the size its client last drew, so a client still answering an earlier size
// could undo a placement; the test places only a window drawn at the size sway gave it.
bool drawnAsReported(HeadlessSway& sway, qint64 processId)
{
    const std::optional<SwayWindow> window = windowOf(sway, processId);
    const QImage shot = sway.screenshot();
    if (!window || shot.isNull())
        return false;
    const QRect content = window->content;
    for (const QPoint corner : {content.topRight(), content.bottomLeft(), content.bottomRight()}) {
        if (!shot.rect().contains(corner) || !isFootRed(shot, corner.x(), corner.y()))
            return false;
    }
    for (const QPoint beyond : {QPoint(content.right() + 4, content.center().y()),
                                QPoint(content.center().x(), content.bottom() + 4)}) {
        if (shot.rect().contains(beyond) && isFootRed(shot, beyond.x(), beyond.y()))
            return false;
    }
    return true;
}

// Read back through sway's tree, a channel apart from the commands that placed the window, once foot
// has drawn it (which also shows that the frame is what the output shows).
void expectFloatingFrame(HeadlessSway& sway, qint64 processId, QRect expected)
{
    std::optional<SwayWindow> window;
    const bool placed = loopwren::test::eventually([&] {
        window = windowOf(sway, processId);
        return window && window->floating && near(window->frame, expected) &&
               drawnAsReported(sway, processId);
    });
    ASSERT_TRUE(window) << sway.error().toStdString();
    EXPECT_TRUE(placed) << "floating " << window->floating << ", frame " << window->frame.x() << ","
                        << window->frame.y() << " " << window->frame.width() << "x" << window->frame.height()
                        << " " << sway.error().toStdString();
}

} // namespace

TEST(SwayWorkspace, ListsWindowsByTheirDesktopEntriesAndFocusesThem)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.start()) << sway.error().toStdString();
    // foot's app id "foot" names the desktop entry foot.desktop ("Foot"); the second has no entry.
    const qint64 foot = sway.startFoot({QStringLiteral("cat")});
    ASSERT_NE(foot, 0) << sway.error().toStdString();
    ASSERT_TRUE(loopwren::test::eventually([&] { return windowOf(sway, foot).has_value(); }));
    const qint64 other =
        sway.startFoot({QStringLiteral("--app-id=loopwren-no-entry"), QStringLiteral("cat")});
    ASSERT_NE(other, 0) << sway.error().toStdString();
    // sway focuses a new window.
    ASSERT_TRUE(loopwren::test::eventually([&] {
        const std::optional<SwayWindow> window = windowOf(sway, other);
        return window && window->focused;
    }));

    SwayWorkspace workspace(sway.socketPath());
    const std::vector<RunningApplication> applications = workspace.runningApplications();
    ASSERT_EQ(applications.size(), 2u);
    EXPECT_EQ(applications[0].name, QStringLiteral("Foot"));
    EXPECT_EQ(applications[0].processId, foot);
    EXPECT_EQ(applications[0].handle, static_cast<std::uint64_t>(windowOf(sway, foot)->id));
    EXPECT_EQ(applications[1].name, QStringLiteral("loopwren-no-entry"));
    EXPECT_EQ(applications[1].processId, other);

    workspace.activate(applications[0]);
    EXPECT_TRUE(loopwren::test::eventually([&] {
        const std::optional<SwayWindow> window = windowOf(sway, foot);
        return window && window->focused;
    }));

    // The kernel path, which serves Wayland sessions, takes sway's workspace where $SWAYSOCK answers.
    qputenv("SWAYSOCK", sway.socketPath().toLocal8Bit());
    EXPECT_TRUE(openKernelBackend("/nonexistent/uinput")->abilities().placeWindows);
    const std::unique_ptr<WaylandDesktop> desktop = chooseWaylandDesktop();
    ASSERT_TRUE(desktop);
    // wlroots spans the replay device over the outputs' bounding box.
    EXPECT_EQ(desktop->absolutePointerArea(), WaylandDesktop::PointerArea::boundingBox);
    const std::unique_ptr<Workspace> chosen = desktop->workspace({});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->runningApplications().size(), 2u);

    // A connection whose compositor goes away reports an error and nothing else.
    SwayIpc open(sway.socketPath());
    ASSERT_TRUE(open.isConnected());
    sway.stop();
    EXPECT_FALSE(open.tree());
    EXPECT_FALSE(open.error().isEmpty());
    EXPECT_FALSE(chooseWaylandDesktop());
    EXPECT_FALSE(openKernelBackend("/nonexistent/uinput")->abilities().placeWindows);
    qunsetenv("SWAYSOCK");
    EXPECT_TRUE(workspace.runningApplications().empty());
    workspace.activate(applications[0]);
    workspace.placeFirstWindow(applications[0], {1.0, 2.0, 300.0, 200.0});
}

TEST(SwayWorkspace, PlacesTheOuterFrameWhereStoredEvenFromATiledStart)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.start()) << sway.error().toStdString();
    const qint64 foot =
        sway.startFoot({QStringLiteral("--override=colors.background=ff0000"), QStringLiteral("cat")});
    ASSERT_NE(foot, 0) << sway.error().toStdString();
    ASSERT_TRUE(loopwren::test::eventually([&] { return drawnAsReported(sway, foot); }))
        << sway.error().toStdString();
    // A lone tiled window fills the output, title bar included: that is its outer frame.
    ASSERT_FALSE(windowOf(sway, foot)->floating);
    EXPECT_EQ(windowOf(sway, foot)->frame, QRect(0, 0, 1280, 800));

    // As a script would: loopwren-cli lists the application and places it from the stored settings.
    QTemporaryDir home;
    CliLauncher cli{home.path(), {}, {}, {QStringLiteral("DISPLAY")}};
    const QProcessEnvironment session = sway.clientEnvironment();
    for (const QString& name : session.keys()) {
        if (name != QLatin1String("XDG_CONFIG_HOME"))
            cli.variables << name + '=' + session.value(name);
    }
    QSettings stored(cli.settingsPath(), QSettings::IniFormat);
    for (const auto& [key, value] :
         std::initializer_list<std::pair<const char*, QVariant>>{{"targetAppName", "Foot"},
                                                                 {"setTargetWindowPosition", true},
                                                                 {"targetWindowX", 100},
                                                                 {"targetWindowY", 60},
                                                                 {"setTargetWindowSize", true},
                                                                 {"targetWindowWidth", 640},
                                                                 {"targetWindowHeight", 400}})
        stored.setValue(QString::fromLatin1(key), value);
    stored.sync();
    // What it printed, with its errors when it failed.
    const auto run = [&](const QString& command) {
        const std::unique_ptr<QProcess> process = cli.start({command});
        const bool ended = process->waitForFinished(kProcessTimeoutMs) && process->exitCode() == 0;
        return (process->readAllStandardOutput() + (ended ? "" : process->readAllStandardError()))
            .toStdString();
    };
    EXPECT_EQ(run(QStringLiteral("apps")), "Foot\n");
    EXPECT_EQ(run(QStringLiteral("place")), "Brought Foot forward\n");
    expectFloatingFrame(sway, foot, QRect(100, 60, 640, 400));

    SwayWorkspace workspace(sway.socketPath());
    const std::vector<RunningApplication> applications = workspace.runningApplications();
    ASSERT_EQ(applications.size(), 1u);

    // A size alone keeps the top-left; a position alone keeps the size, counted from the primary
    // output's top-left wherever that lies in sway's layout.
    workspace.placeFirstWindow(applications[0], {NAN, std::nullopt, 500.0, 300.0});
    expectFloatingFrame(sway, foot, QRect(100, 60, 500, 300));
    SwayWorkspace(sway.socketPath(), QPoint(-40, 30)).placeFirstWindow(applications[0], {250.4, 150.6, NAN, NAN});
    expectFloatingFrame(sway, foot, QRect(210, 181, 500, 300));
}

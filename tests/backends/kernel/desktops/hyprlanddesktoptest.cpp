#include "backendchoice.h"
#include "hyprlanddesktop.h"
#include "hyprlandipc.h"
#include "hyprlandstandin.h"
#include "waylanddesktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace loopwren;

namespace {

// Hyprland is not packaged in Debian 12: these run against HyprlandStandIn, which speaks its socket's
// protocol.
class HyprlandDesktopTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        qputenv("HYPRLAND_INSTANCE_SIGNATURE", "loopwren_test_1700000000_1");
        qunsetenv("SWAYSOCK");
    }
    void TearDown() override { qunsetenv("HYPRLAND_INSTANCE_SIGNATURE"); }

    QTemporaryDir m_runtime;
};

TEST_F(HyprlandDesktopTest, ListsFocusesAndPlacesWindowsAndSaysWhereThePointerIs)
{
    EXPECT_FALSE(chooseWaylandDesktop()) << "no socket yet";
    HyprlandStandIn hyprland(m_runtime.path(), QStringLiteral("loopwren_test_1700000000_1"));
    ASSERT_TRUE(hyprland.isListening());
    // foot's class names the desktop entry foot.desktop ("Foot"); the other has no entry.
    hyprland.addWindow({"0x5a10", "foot", 4242});
    hyprland.addWindow({"0x5b20", "loopwren-no-entry", 4343});
    hyprland.setCursor(QPoint(500, 300));

    const std::unique_ptr<WaylandDesktop> desktop = chooseWaylandDesktop();
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->name(), QStringLiteral("Hyprland"));
    EXPECT_EQ(desktop->absolutePointerArea(), WaylandDesktop::PointerArea::boundingBox);
    EXPECT_EQ(desktop->pointerProblem(), QString());
    // Positions count from the primary monitor's top-left, here at (-100, 50) in Hyprland's layout.
    const QPoint origin(-100, 50);
    const std::shared_ptr<PointerPositionSource> pointer = desktop->pointerPositions(origin);
    const std::optional<Point> position = pointer->pointerPosition();
    ASSERT_TRUE(position);
    EXPECT_EQ(position->x, 600.0);
    EXPECT_EQ(position->y, 250.0);

    const std::unique_ptr<Workspace> workspace = desktop->workspace(origin);
    const std::vector<RunningApplication> applications = workspace->runningApplications();
    ASSERT_EQ(applications.size(), 2u);
    EXPECT_EQ(applications[0].name, QStringLiteral("Foot"));
    EXPECT_EQ(applications[0].processId, 4242);
    EXPECT_EQ(applications[1].name, QStringLiteral("loopwren-no-entry"));
    workspace->activate(applications[1]);
    EXPECT_EQ(hyprland.focused(), QStringLiteral("0x5b20"));

    // What a placement asks for has a table; here, that it reaches the socket counted from the origin.
    workspace->placeFirstWindow(applications[0], {100.0, 60.0, 640.0, 400.0});
    const QStringList placement = hyprland.dispatched();
    EXPECT_TRUE(placement.contains(QStringLiteral("dispatch movewindowpixel exact 0 110,address:0x5a10")))
        << placement.join(';').toStdString();

    // A Hyprland that stops answering gives no position and no windows, and moves nothing.
    hyprland.stopAnswering();
    EXPECT_FALSE(pointer->pointerPosition());
    EXPECT_TRUE(workspace->runningApplications().empty());
    workspace->placeFirstWindow(applications[0], {1.0, 2.0, 300.0, 200.0});
    EXPECT_EQ(hyprland.dispatched(), placement);
    EXPECT_FALSE(chooseWaylandDesktop());
}

// Before 0.40 Hyprland kept its socket under /tmp/hypr.
TEST_F(HyprlandDesktopTest, FindsTheSocketOfOlderReleasesUnderTmp)
{
    const QString signature = QStringLiteral("loopwren_test_%1").arg(QCoreApplication::applicationPid());
    qputenv("HYPRLAND_INSTANCE_SIGNATURE", signature.toLocal8Bit());
    {
        HyprlandStandIn old(QStringLiteral("/tmp"), signature);
        ASSERT_TRUE(old.isListening());
        EXPECT_EQ(HyprlandIpc::sessionSocket(), QStringLiteral("/tmp/hypr/%1/.socket.sock").arg(signature));
        EXPECT_TRUE(chooseWaylandDesktop());
    }
    QDir(QStringLiteral("/tmp/hypr/") + signature).removeRecursively();
    qputenv("HYPRLAND_INSTANCE_SIGNATURE", "../escape");
    EXPECT_EQ(HyprlandIpc::sessionSocket(), QString());
}

} // namespace

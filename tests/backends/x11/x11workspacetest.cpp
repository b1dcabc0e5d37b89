#include "x11workspace.h"
#include "testdesktop.h"

#include <gtest/gtest.h>

#include <QScopeGuard>

#include <limits>
#include <thread>

namespace loopwren {
namespace {

using namespace x11test;
using namespace test;

// Where the test session's primary monitor lies in root coordinates.
constexpr int kOriginX = 200;
constexpr int kOriginY = 100;

class X11WorkspaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(displayProblem(), "");
        ASSERT_EQ(m_desktop.problem(), "");
    }

    // The entry the workspace lists for a window.
    RunningApplication applicationFor(unsigned long window)
    {
        for (const auto& application : m_workspace.runningApplications()) {
            if (application.handle == window)
                return application;
        }
        ADD_FAILURE() << "window " << window << " is not listed";
        return {};
    }

    void expectFrame(unsigned long window, const Rect& expected)
    {
        EXPECT_TRUE(eventually([&] { return inspector().frameRect(window) == expected; }))
            << inspector().frameRect(window).value_or(Rect{}) << " instead of " << expected;
    }

    X11TestClient& inspector() { return m_desktop.inspector(); }

    TestDesktop m_desktop;
    X11Workspace m_workspace;
};

TEST_F(X11WorkspaceTest, ListsTaskbarWindowsInMappingOrderByTheirEntryNames)
{
    m_desktop.addEntry(0, "org.example.Writer.desktop", "Wren Writer", "StartupWMClass=WrenWriter\n");
    m_desktop.addEntry(1, "org.example.Writer.desktop", "Shadowed Writer", "StartupWMClass=WrenWriter\n");
    m_desktop.addEntry(1, "alphanotes.desktop", "Alpha Notes");
    m_desktop.addEntry(0, "dialogonly.desktop", "Dialog Only");
    m_desktop.addEntry(0, "helper.desktop", "Hidden Helper");
    const auto writer = m_desktop.start({"wren-writer", "WrenWriter", 2, 101});
    const auto notes = m_desktop.start({"alphanotes", "AlphaNotes", 1, 102});
    const auto zebra = m_desktop.start({"zebrapad", "Zebrapad", 1, 103});
    ASSERT_FALSE(m_desktop.start({"dialogonly", "DialogOnly", 1, 104, "DIALOG"}).empty());
    ASSERT_FALSE(m_desktop.start({"utility", "DialogOnly", 1, 105, "UTILITY"}).empty());
    ASSERT_FALSE(m_desktop.start({"helper", "Helper", 1, 106, "NORMAL", true}).empty());
    ASSERT_TRUE(writer.size() == 2 && notes.size() == 1 && zebra.size() == 1);

    using Listed = std::tuple<std::string, std::int64_t, std::uint64_t>;
    std::vector<Listed> listed;
    for (const RunningApplication& application : m_workspace.runningApplications())
        listed.emplace_back(application.name.value_or("(none)").toStdString(), application.processId,
                            application.handle);
    EXPECT_EQ(listed, (std::vector<Listed>{{"Wren Writer", 101, writer[0]},
                                           {"Wren Writer", 101, writer[1]},
                                           {"Alpha Notes", 102, notes[0]},
                                           {"Zebrapad", 103, zebra[0]}}));
}

// Activation brings the window forward with the keyboard focus, restores it when minimised, and first
// switches to the desktop it is on.
TEST_F(X11WorkspaceTest, ActivateBringsTheWindowForwardFromWhereverItIs)
{
    const auto writer = m_desktop.start({"wren-writer", "WrenWriter", 1, 101});
    const auto other = m_desktop.start({"zebrapad", "Zebrapad", 1, 103});
    ASSERT_TRUE(writer.size() == 1 && other.size() == 1);
    const unsigned long window = writer[0];
    ASSERT_TRUE(eventually([&] { return inspector().activeWindow() == other[0]; }));
    m_workspace.activate(applicationFor(window));
    EXPECT_TRUE(eventually([&] {
        return inspector().activeWindow() == window && inspector().inputFocus() == window;
    })) << "active: "
        << inspector().activeWindow();

    inspector().request("WM_CHANGE_STATE", {3}, window); // iconify
    ASSERT_TRUE(eventually([&] { return inspector().isIconic(window); }));
    m_workspace.activate(applicationFor(window));
    EXPECT_TRUE(
        eventually([&] { return !inspector().isIconic(window) && inspector().activeWindow() == window; }));

    const auto desktops = inspector().value("_NET_NUMBER_OF_DESKTOPS");
    ASSERT_TRUE(desktops.has_value());
    // Put the session back as it was, whatever happens below.
    const auto restore = qScopeGuard([&] {
        inspector().request("_NET_CURRENT_DESKTOP", {0, 0});
        inspector().request("_NET_NUMBER_OF_DESKTOPS", {long(*desktops)});
        eventually([&] { return inspector().value("_NET_NUMBER_OF_DESKTOPS") == desktops; });
    });
    inspector().request("_NET_NUMBER_OF_DESKTOPS", {2});
    ASSERT_TRUE(eventually([&] { return inspector().value("_NET_NUMBER_OF_DESKTOPS") == 2u; }));
    inspector().request("_NET_WM_DESKTOP", {1, 2}, window);
    ASSERT_TRUE(eventually([&] { return inspector().value("_NET_WM_DESKTOP", window) == 1u; }));
    ASSERT_EQ(inspector().value("_NET_CURRENT_DESKTOP"), 0u);
    m_workspace.activate(applicationFor(window));
    EXPECT_TRUE(eventually([&] {
        return inspector().value("_NET_CURRENT_DESKTOP") == 1u && inspector().activeWindow() == window;
    })) << "desktop "
        << inspector().value("_NET_CURRENT_DESKTOP").value_or(99);
    EXPECT_EQ(inspector().value("_NET_WM_DESKTOP", window), 1u);
}

// The frame of an application's first window is placed, however the application was listed: by its
// process id, or without one by its WM_CLASS. A maximised window is restored first; what is absent or
// not a number stays as it is; sizes X cannot express do not wrap around.
TEST_F(X11WorkspaceTest, PlacesTheFrameOfTheApplicationsFirstWindow)
{
    const auto writer = m_desktop.start({"wren-writer", "WrenWriter", 2, 101});
    const auto pidless = m_desktop.start({"pidless", "Pidless", 2, 0});
    ASSERT_TRUE(writer.size() == 2 && pidless.size() == 2);
    const auto secondBefore = inspector().frameRect(writer[1]);
    // From another thread, as the engine places the target's window.
    std::thread([&, application = applicationFor(writer[1])] {
        m_workspace.placeFirstWindow(application, {40.0, 30.0, 500.0, 360.0});
    }).join();
    expectFrame(writer[0], {kOriginX + 40, kOriginY + 30, 500, 360});
    EXPECT_EQ(inspector().frameRect(writer[1]), secondBefore);
    const RunningApplication second = applicationFor(pidless[1]);
    EXPECT_EQ(second.name, QString("Pidless"));
    EXPECT_EQ(second.processId, 0);
    m_workspace.placeFirstWindow(second, {60.0, 50.0, 380.0, 260.0});
    expectFrame(pidless[0], {kOriginX + 60, kOriginY + 50, 380, 260});

    const unsigned long window = writer[0];
    inspector().request("_NET_WM_STATE",
                        {1, long(inspector().atom("_NET_WM_STATE_MAXIMIZED_VERT")),
                         long(inspector().atom("_NET_WM_STATE_MAXIMIZED_HORZ")), 2},
                        window);
    ASSERT_TRUE(eventually([&] { return inspector().isMaximized(window); }));
    const RunningApplication application = applicationFor(window);
    m_workspace.placeFirstWindow(application, {10.0, 20.0, 450.0, 330.0});
    expectFrame(window, {kOriginX + 10, kOriginY + 20, 450, 330});
    EXPECT_FALSE(inspector().isMaximized(window));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<WindowFrame, Rect> steps[] = {
        {{-50.0, 70.0, std::nullopt, std::nullopt}, {kOriginX - 50, kOriginY + 70, 450, 330}},
        {{std::nullopt, std::nullopt, 410.0, 290.0}, {kOriginX - 50, kOriginY + 70, 410, 290}},
        {{nan, 10.0, 300.0, 250.0}, {kOriginX - 50, kOriginY + 70, 300, 250}},
        {{10.0, 10.0, nan, 250.0}, {kOriginX + 10, kOriginY + 10, 300, 250}}};
    for (const auto& [frame, expected] : steps) {
        m_workspace.placeFirstWindow(application, frame);
        expectFrame(window, expected);
    }
    m_workspace.placeFirstWindow(application, {std::nullopt, std::nullopt, 1e12, -1e12});
    EXPECT_TRUE(eventually([&] {
        const auto frame = inspector().frameRect(window);
        return frame && frame->width > 1000 && frame->height < 250;
    })) << inspector().frameRect(window).value_or(Rect{});
    EXPECT_EQ(X11Workspace::windowLength(499.6), 500);
    EXPECT_EQ(X11Workspace::windowLength(-20.0), 1);
    EXPECT_EQ(X11Workspace::windowLength(std::numeric_limits<double>::infinity()), 32767);
}

// A bare X server, no window manager: the root's children stand in for the client list, and windows
// are placed and focused directly, with no frame and no monitor offset.
TEST(X11WorkspaceWithoutWindowManagerTest, FallsBackToTheRootsChildren)
{
    PrivateXServer server;
    ASSERT_NE(server.display(), "");
    TestDesktop desktop(server.display());
    ASSERT_EQ(desktop.problem(), "");
    const auto bare = desktop.start({"bare", "BareApp", 2, 101});
    const auto pidless = desktop.start({"pidless", "Pidless", 1, 0});
    ASSERT_TRUE(bare.size() == 2 && pidless.size() == 1);

    X11Workspace workspace(server.display());
    const std::vector<RunningApplication> listed = workspace.runningApplications();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].name, QString("BareApp"));
    EXPECT_EQ(listed[0].handle, bare[0]);
    EXPECT_EQ(listed[1].handle, bare[1]);
    EXPECT_EQ(listed[2].name, QString("Pidless"));
    EXPECT_EQ(listed[2].processId, 0);
    X11TestClient& inspector = desktop.inspector();
    workspace.activate(listed[1]);
    EXPECT_TRUE(eventually([&] { return inspector.inputFocus() == bare[1]; }));
    workspace.placeFirstWindow(listed[1], {15.0, 25.0, 300.0, 150.0});
    EXPECT_TRUE(eventually([&] {
        return inspector.clientRect(bare[0]) == Rect{15, 25, 300, 150};
    })) << inspector.clientRect(bare[0]).value_or(Rect{});
    workspace.placeFirstWindow(listed[2], {5.0, 6.0, std::nullopt, std::nullopt});
    EXPECT_TRUE(eventually([&] { return inspector.clientRect(pidless[0]) == Rect{5, 6, 320, 200}; }));
}

} // namespace
} // namespace loopwren

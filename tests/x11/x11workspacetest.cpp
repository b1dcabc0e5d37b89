#include "x11workspace.h"
#include "privatexserver.h"
#include "testdesktop.h"
#include "x11testenvironment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace loopwren {
namespace {

// Where the test session's primary monitor lies in root coordinates.
constexpr int kOriginX = 200;
constexpr int kOriginY = 100;

std::string describe(const std::vector<RunningApplication>& applications)
{
    std::string text;
    for (const auto& application : applications)
        text += (application.name ? application.name->toStdString() : "(none)") + "; ";
    return text;
}

class X11WorkspaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto problem = X11TestEnvironment::displayProblem();
        ASSERT_TRUE(problem.empty()) << problem;
        ASSERT_TRUE(m_desktop.problem().empty()) << m_desktop.problem();
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

    TestClient* startWriter(int windows = 2, bool withPid = true)
    {
        TestClient::Options writer("wren-writer", "WrenWriter");
        writer.windows = windows;
        writer.withPid = withPid;
        return m_desktop.start(writer);
    }

    TestClient* startOther() { return m_desktop.start(TestClient::Options("zebrapad", "Zebrapad")); }

    bool frameBecomes(unsigned long window, const Rect& expected)
    {
        return X11TestEnvironment::waitUntil(
            [&] { return m_desktop.inspector().frameRect(window) == expected; });
    }

    TestDesktop m_desktop;
    X11Workspace m_workspace;
};

TEST_F(X11WorkspaceTest, ListsTaskbarWindowsInMappingOrderByTheirEntryNames)
{
    m_desktop.addEntry(0, "org.example.Writer.desktop",
                       TestDesktop::entry("Wren Writer", "StartupWMClass=WrenWriter\n"));
    m_desktop.addEntry(1, "org.example.Writer.desktop",
                       TestDesktop::entry("Shadowed Writer", "StartupWMClass=WrenWriter\n"));
    m_desktop.addEntry(1, "alphanotes.desktop", TestDesktop::entry("Alpha Notes"));
    m_desktop.addEntry(0, "dialogonly.desktop", TestDesktop::entry("Dialog Only"));
    m_desktop.addEntry(0, "helper.desktop", TestDesktop::entry("Hidden Helper"));

    const TestClient* writer = startWriter();
    const TestClient* notes = m_desktop.start(TestClient::Options("alphanotes", "AlphaNotes"));
    const TestClient* zebra = startOther();
    TestClient::Options dialog("dialogonly", "DialogOnly");
    dialog.type = "dialog";
    TestClient::Options utility("utility", "DialogOnly");
    utility.type = "utility";
    TestClient::Options helper("helper", "Helper");
    helper.skipTaskbar = true;
    ASSERT_TRUE(writer && notes && zebra && m_desktop.start(dialog) && m_desktop.start(utility) &&
                m_desktop.start(helper));

    const std::vector<RunningApplication> listed = m_workspace.runningApplications();
    ASSERT_EQ(listed.size(), 4u) << describe(listed);
    const std::vector<std::pair<std::string, const TestClient*>> expected{
        {"Wren Writer", writer}, {"Wren Writer", writer}, {"Alpha Notes", notes}, {"Zebrapad", zebra}};
    const std::vector<unsigned long> windows{writer->windows()[0], writer->windows()[1], notes->windows()[0],
                                             zebra->windows()[0]};
    for (std::size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].name, QString::fromStdString(expected[i].first)) << i;
        EXPECT_EQ(listed[i].policy, RunningApplication::Policy::regular) << i;
        EXPECT_EQ(listed[i].processId, expected[i].second->pid()) << i;
        EXPECT_EQ(listed[i].handle, windows[i]) << i;
    }
}

TEST_F(X11WorkspaceTest, ActivateBringsTheWindowForwardAndRestoresItWhenMinimized)
{
    const TestClient* writer = startWriter();
    const TestClient* other = startOther();
    ASSERT_TRUE(writer && other);
    WindowInspector& inspector = m_desktop.inspector();
    const unsigned long window = writer->windows()[0];
    ASSERT_TRUE(
        X11TestEnvironment::waitUntil([&] { return inspector.activeWindow() == other->windows()[0]; }));

    m_workspace.activate(applicationFor(window));
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] {
        return inspector.activeWindow() == window && inspector.inputFocus() == window;
    })) << "active: "
        << inspector.activeWindow();

    const RunningApplication application = applicationFor(window);
    inspector.requestIconify(window);
    ASSERT_TRUE(X11TestEnvironment::waitUntil([&] { return inspector.isIconic(window); }));
    m_workspace.activate(application);
    EXPECT_TRUE(X11TestEnvironment::waitUntil(
        [&] { return !inspector.isIconic(window) && inspector.activeWindow() == window; }));
}

TEST_F(X11WorkspaceTest, ActivateSwitchesToTheWindowsDesktopFirst)
{
    WindowInspector& inspector = m_desktop.inspector();
    const auto desktops = inspector.desktopCount();
    ASSERT_TRUE(desktops.has_value());
    // Put the session back as it was, whatever happens below.
    struct Restore
    {
        WindowInspector& inspector;
        std::uint32_t count;
        ~Restore()
        {
            inspector.requestCurrentDesktop(0);
            inspector.requestDesktopCount(count);
            X11TestEnvironment::waitUntil([&] { return inspector.desktopCount() == count; });
        }
    } restore{inspector, *desktops};
    inspector.requestDesktopCount(2);
    ASSERT_TRUE(X11TestEnvironment::waitUntil([&] { return inspector.desktopCount() == 2u; }));

    const TestClient* writer = startWriter(1);
    ASSERT_TRUE(writer);
    const unsigned long window = writer->windows()[0];
    inspector.requestWindowDesktop(window, 1);
    ASSERT_TRUE(X11TestEnvironment::waitUntil([&] { return inspector.desktopOf(window) == 1u; }));
    ASSERT_EQ(inspector.currentDesktop(), 0u);

    m_workspace.activate(applicationFor(window));
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] {
        return inspector.currentDesktop() == 1u && inspector.activeWindow() == window;
    })) << "desktop "
        << inspector.currentDesktop().value_or(99) << ", active " << inspector.activeWindow();
    EXPECT_EQ(inspector.desktopOf(window), 1u);
}

TEST_F(X11WorkspaceTest, PlacesTheFrameOfTheApplicationsFirstWindow)
{
    const TestClient* writer = startWriter();
    ASSERT_TRUE(writer);
    WindowInspector& inspector = m_desktop.inspector();
    const auto secondBefore = inspector.frameRect(writer->windows()[1]);
    // Listed by its second window: the placement still goes to the first.
    const RunningApplication application = applicationFor(writer->windows()[1]);

    m_workspace.placeFirstWindow(application, {40.0, 30.0, 500.0, 360.0});
    const Rect expected{kOriginX + 40, kOriginY + 30, 500, 360};
    EXPECT_TRUE(frameBecomes(writer->windows()[0], expected))
        << "frame " << inspector.frameRect(writer->windows()[0]).value_or(Rect{}) << ", expected "
        << expected;
    EXPECT_EQ(inspector.frameRect(writer->windows()[1]), secondBefore);
}

TEST_F(X11WorkspaceTest, AMaximizedWindowIsRestoredBeforeItIsPlaced)
{
    const TestClient* writer = startWriter(1);
    ASSERT_TRUE(writer);
    WindowInspector& inspector = m_desktop.inspector();
    const unsigned long window = writer->windows()[0];
    inspector.requestMaximize(window);
    ASSERT_TRUE(X11TestEnvironment::waitUntil([&] { return inspector.isMaximized(window); }));

    m_workspace.placeFirstWindow(applicationFor(window), {10.0, 20.0, 450.0, 330.0});
    const Rect expected{kOriginX + 10, kOriginY + 20, 450, 330};
    EXPECT_TRUE(frameBecomes(window, expected))
        << inspector.frameRect(window).value_or(Rect{}) << " vs " << expected;
    EXPECT_FALSE(inspector.isMaximized(window));
}

// Without _NET_WM_PID an application is its WM_CLASS: listed by it, and its first window found by it.
TEST_F(X11WorkspaceTest, AWindowWithoutPidIsFoundByItsWmClass)
{
    const TestClient* writer = startWriter(2, false);
    ASSERT_TRUE(writer);
    const RunningApplication second = applicationFor(writer->windows()[1]);
    EXPECT_EQ(second.name, QString("WrenWriter"));
    EXPECT_EQ(second.processId, 0);
    m_workspace.placeFirstWindow(second, {60.0, 50.0, 380.0, 260.0});
    EXPECT_TRUE(frameBecomes(writer->windows()[0], Rect{kOriginX + 60, kOriginY + 50, 380, 260}));
}

// What is absent or not a number stays as it is; sizes X cannot express do not wrap around.
TEST_F(X11WorkspaceTest, PartialOrHostileFramesChangeOnlyWhatTheyCan)
{
    const TestClient* writer = startWriter(1);
    ASSERT_TRUE(writer);
    WindowInspector& inspector = m_desktop.inspector();
    const unsigned long window = writer->windows()[0];
    const RunningApplication application = applicationFor(window);
    const auto before = inspector.frameRect(window);
    ASSERT_TRUE(before.has_value());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<WindowFrame, Rect> steps[] = {
        {{-50.0, 70.0, std::nullopt, std::nullopt},
         {kOriginX - 50, kOriginY + 70, before->width, before->height}},
        {{std::nullopt, std::nullopt, 410.0, 290.0}, {kOriginX - 50, kOriginY + 70, 410, 290}},
        {{nan, 10.0, 300.0, 250.0}, {kOriginX - 50, kOriginY + 70, 300, 250}},
        {{10.0, 10.0, nan, 250.0}, {kOriginX + 10, kOriginY + 10, 300, 250}},
    };
    for (const auto& [frame, expected] : steps) {
        m_workspace.placeFirstWindow(application, frame);
        EXPECT_TRUE(frameBecomes(window, expected))
            << inspector.frameRect(window).value_or(Rect{}) << " vs " << expected;
    }
    m_workspace.placeFirstWindow(application, {std::nullopt, std::nullopt, 1e12, -1e12});
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] {
        const auto frame = inspector.frameRect(window);
        return frame && frame->width > 1000 && frame->height < 250;
    })) << inspector.frameRect(window).value_or(Rect{});
}

TEST(X11WorkspaceLengthTest, WindowLengthsAreRoundedAndKeptDrawable)
{
    EXPECT_EQ(X11Workspace::windowLength(499.6), 500);
    EXPECT_EQ(X11Workspace::windowLength(0.0), 1);
    EXPECT_EQ(X11Workspace::windowLength(-20.0), 1);
    EXPECT_EQ(X11Workspace::windowLength(1e12), 32767);
    EXPECT_EQ(X11Workspace::windowLength(std::numeric_limits<double>::infinity()), 32767);
    EXPECT_EQ(X11Workspace::windowLength(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

// A bare X server, no window manager: the root's children stand in for the client list, and windows
// are placed and focused directly.
TEST(X11WorkspaceWithoutWindowManagerTest, FallsBackToTheRootsChildren)
{
    PrivateXServer server;
    ASSERT_TRUE(server.problem().empty()) << server.problem();
    TestDesktop desktop;
    ASSERT_TRUE(desktop.problem().empty()) << desktop.problem();
    TestClient::Options options("bare", "BareApp");
    options.windows = 2;
    options.display = server.displayName();
    const TestClient* client = desktop.start(options);
    ASSERT_TRUE(client);
    TestClient::Options pidless("pidless", "Pidless");
    pidless.withPid = false;
    pidless.display = server.displayName();
    const TestClient* other = desktop.start(pidless);
    ASSERT_TRUE(other);

    X11Workspace workspace(server.displayName());
    const std::vector<RunningApplication> listed = workspace.runningApplications();
    ASSERT_EQ(listed.size(), 3u) << describe(listed);
    EXPECT_EQ(listed[0].name, QString("BareApp"));
    EXPECT_EQ(listed[0].handle, client->windows()[0]);
    EXPECT_EQ(listed[1].handle, client->windows()[1]);
    EXPECT_EQ(listed[2].name, QString("Pidless"));
    EXPECT_EQ(listed[2].processId, 0);

    const auto inspector = WindowInspector::open(server.displayName());
    ASSERT_NE(inspector, nullptr);
    workspace.activate(listed[1]);
    EXPECT_TRUE(
        X11TestEnvironment::waitUntil([&] { return inspector->inputFocus() == client->windows()[1]; }));

    // No frame and no offset monitor: the window itself lands at the numbers.
    workspace.placeFirstWindow(listed[1], {15.0, 25.0, 300.0, 150.0});
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] {
        return inspector->clientRect(client->windows()[0]) == Rect{15, 25, 300, 150};
    })) << inspector->clientRect(client->windows()[0]).value_or(Rect{});
    workspace.placeFirstWindow(listed[2], {5.0, 6.0, std::nullopt, std::nullopt});
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] {
        const auto rect = inspector->clientRect(other->windows()[0]);
        return rect && rect->x == 5 && rect->y == 6 && rect->width == 320;
    }));
}

} // namespace
} // namespace loopwren

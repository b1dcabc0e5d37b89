#include "engineonx11.h"
#include "scopedenvironment.h"
#include "testdesktop.h"
#include "x11testenvironment.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace loopwren {
namespace {

constexpr int kOriginX = 200;
constexpr int kOriginY = 100;

// Four applications, started in this order: Wren Writer (two windows, named by StartupWMClass), Alpha
// Notes (named by its desktop file id), Zebrapad (no entry: its WM_CLASS), beta tool; plus a dialog
// and a task-bar-less helper that are no applications of their own.
class EngineTargetTest : public EngineOnX11
{
  protected:
    void SetUp() override
    {
        EngineOnX11::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(m_desktop.problem().empty()) << m_desktop.problem();
        m_desktop.addEntry(0, "org.example.Writer.desktop",
                           TestDesktop::entry("Wren Writer", "StartupWMClass=WrenWriter\n"));
        m_desktop.addEntry(1, "alphanotes.desktop", TestDesktop::entry("Alpha Notes"));
        m_desktop.addEntry(1, "betatool.desktop", TestDesktop::entry("beta tool"));
        m_desktop.addEntry(1, "dialogonly.desktop", TestDesktop::entry("Dialog Only"));
        TestClient::Options writer("wren-writer", "WrenWriter");
        writer.windows = 2;
        TestClient::Options dialog("dialogonly", "DialogOnly");
        dialog.type = "dialog";
        TestClient::Options helper("helper", "Helper");
        helper.skipTaskbar = true;
        m_writer = m_desktop.start(writer);
        m_notes = m_desktop.start(TestClient::Options("alphanotes", "AlphaNotes"));
        m_zebra = m_desktop.start(TestClient::Options("zebrapad", "Zebrapad"));
        const TestClient* beta = m_desktop.start(TestClient::Options("betatool", "Betatool"));
        const TestClient* dialogClient = m_desktop.start(dialog);
        const TestClient* helperClient = m_desktop.start(helper);
        ASSERT_TRUE(m_writer && m_notes && m_zebra && beta && dialogClient && helperClient);
        build();
    }

    Rect frameOf(unsigned long window) { return m_desktop.inspector().frameRect(window).value_or(Rect{}); }

    void placementSettings(bool position, bool size)
    {
        m_engine->setTargetAppName(QStringLiteral("Wren Writer"));
        m_engine->setSetTargetWindowPosition(position);
        m_engine->setSetTargetWindowSize(size);
        m_engine->setTargetWindowX(40.0);
        m_engine->setTargetWindowY(30.0);
        m_engine->setTargetWindowWidth(500.0);
        m_engine->setTargetWindowHeight(360.0);
    }

    // Another application in front, so activation has something to do.
    void focusElsewhere()
    {
        WindowInspector& inspector = m_desktop.inspector();
        inspector.requestActivation(m_zebra->windows()[0]);
        ASSERT_TRUE(
            X11TestEnvironment::waitUntil([&] { return inspector.activeWindow() == m_zebra->windows()[0]; }));
    }

    TestDesktop m_desktop;
    const TestClient* m_writer = nullptr;
    const TestClient* m_notes = nullptr;
    const TestClient* m_zebra = nullptr;
};

TEST_F(EngineTargetTest, RunningApplicationsAreListedByTheirEntryNamesInPlainOrder)
{
    // Built with the applications running: the start-up refresh found them and chose a target.
    ASSERT_TRUE(X11TestEnvironment::waitUntil([&] { return !m_engine->runningApps().isEmpty(); }));
    EXPECT_EQ(m_engine->runningApps(), (QStringList{"Alpha Notes", "Wren Writer", "Zebrapad", "beta tool"}));
    EXPECT_EQ(m_engine->targetAppName(), QString("Alpha Notes"));
    EXPECT_EQ(m_store->values().value("targetAppName").toString(), QString("Alpha Notes"));
}

TEST_F(EngineTargetTest, FocusingTheTargetActivatesAndPlacesItsFirstWindow)
{
    placementSettings(true, true);
    focusElsewhere();
    const Rect secondBefore = frameOf(m_writer->windows()[1]);

    m_engine->focusTargetApp();
    const unsigned long first = m_writer->windows()[0];
    const Rect expected{kOriginX + 40, kOriginY + 30, 500, 360};
    WindowInspector& inspector = m_desktop.inspector();
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] { return inspector.activeWindow() == first; }))
        << "active: " << inspector.activeWindow();
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] { return frameOf(first) == expected; }))
        << frameOf(first) << " instead of " << expected;
    EXPECT_EQ(frameOf(m_writer->windows()[1]), secondBefore);
}

TEST_F(EngineTargetTest, PositionOnlyPlacementLeavesTheSize)
{
    placementSettings(true, false);
    const unsigned long first = m_writer->windows()[0];
    const Rect before = frameOf(first);
    m_engine->focusTargetApp();
    const Rect expected{kOriginX + 40, kOriginY + 30, before.width, before.height};
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] { return frameOf(first) == expected; }))
        << frameOf(first) << " instead of " << expected;
}

TEST_F(EngineTargetTest, WithoutPlacementTheTargetIsOnlyActivated)
{
    placementSettings(false, false);
    focusElsewhere();
    const unsigned long first = m_writer->windows()[0];
    const Rect before = frameOf(first);
    m_engine->focusTargetApp();
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] { return m_desktop.inspector().activeWindow() == first; }));
    X11TestEnvironment::settle(std::chrono::milliseconds(400));
    EXPECT_EQ(frameOf(first), before);
}

TEST_F(EngineTargetTest, AccessIsGrantedOnThisSession)
{
    QTemporaryDir cache;
    ScopedEnvironment environment;
    environment.set("XDG_CACHE_HOME", cache.path().toStdString());
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] { return m_engine->isAccessibilityGranted(); }));
    m_engine->requestAccessibility();
    X11TestEnvironment::settle(std::chrono::milliseconds(1200));
    EXPECT_TRUE(m_engine->isAccessibilityGranted());
}

} // namespace
} // namespace loopwren

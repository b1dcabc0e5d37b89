#include "engineonx11.h"
#include "testdesktop.h"
#include "x11testenvironment.h"

#include <gtest/gtest.h>

namespace loopwren {
namespace {

// Three applications, started in this order: Wren Writer (two windows, named by StartupWMClass),
// Alpha Notes (named by its desktop file id) and Zebrapad (no entry: its WM_CLASS).
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
        TestClient::Options writer("wren-writer", "WrenWriter");
        writer.windows = 2;
        m_writer = m_desktop.start(writer);
        m_zebra = m_desktop.start(TestClient::Options("zebrapad", "Zebrapad"));
        ASSERT_TRUE(m_writer && m_zebra && m_desktop.start(TestClient::Options("alphanotes", "AlphaNotes")));
        build();
    }

    Rect frameOf(unsigned long window) { return m_desktop.inspector().frameRect(window).value_or(Rect{}); }

    TestDesktop m_desktop;
    const TestClient* m_writer = nullptr;
    const TestClient* m_zebra = nullptr;
};

TEST_F(EngineTargetTest, RunningApplicationsAreListedByTheirEntryNamesInPlainOrder)
{
    // Built with the applications running: the start-up refresh found them and chose a target.
    ASSERT_TRUE(X11TestEnvironment::waitUntil([&] { return !m_engine->runningApps().isEmpty(); }));
    EXPECT_EQ(m_engine->runningApps(), (QStringList{"Alpha Notes", "Wren Writer", "Zebrapad"}));
    EXPECT_EQ(m_engine->targetAppName(), QString("Alpha Notes"));
    EXPECT_EQ(m_store->values().value("targetAppName").toString(), QString("Alpha Notes"));
}

TEST_F(EngineTargetTest, FocusingTheTargetActivatesAndPlacesItsFirstWindow)
{
    m_engine->setTargetAppName(QStringLiteral("Wren Writer"));
    m_engine->setSetTargetWindowPosition(true);
    m_engine->setSetTargetWindowSize(true);
    m_engine->setTargetWindowX(40.0);
    m_engine->setTargetWindowY(30.0);
    m_engine->setTargetWindowWidth(500.0);
    m_engine->setTargetWindowHeight(360.0);
    // Another application in front, so activation has something to do.
    WindowInspector& inspector = m_desktop.inspector();
    inspector.requestActivation(m_zebra->windows()[0]);
    ASSERT_TRUE(
        X11TestEnvironment::waitUntil([&] { return inspector.activeWindow() == m_zebra->windows()[0]; }));
    const Rect secondBefore = frameOf(m_writer->windows()[1]);

    m_engine->focusTargetApp();
    const unsigned long first = m_writer->windows()[0];
    const Rect expected{200 + 40, 100 + 30, 500, 360}; // the primary monitor is at +200+100
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] { return inspector.activeWindow() == first; }))
        << "active: " << inspector.activeWindow();
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] { return frameOf(first) == expected; }))
        << frameOf(first) << " instead of " << expected;
    EXPECT_EQ(frameOf(m_writer->windows()[1]), secondBefore);
}

} // namespace
} // namespace loopwren

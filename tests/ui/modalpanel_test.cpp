// Work queued while a panel or alert is open waits for it: a dialog runs a nested event loop, in which a
// hotkey's queued start would otherwise run beneath it.
#include "appfixture.h"
#include "fakedialogs.h"

#include <QEventLoop>
#include <QTimer>

namespace loopwren {
namespace {

// Runs a real nested event loop while a panel or alert is open, as Qt's dialogs do, and lets the test
// act inside it.
class NestedLoopDialogs : public FakeDialogs
{
public:
    std::optional<QString> runSavePanel(const SavePanel& panel) override
    {
        runNestedLoop();
        return FakeDialogs::runSavePanel(panel);
    }
    int runAlert(const Alert& alert) override
    {
        runNestedLoop();
        return FakeDialogs::runAlert(alert);
    }

    std::function<void()> whileOpen;

private:
    void runNestedLoop()
    {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            whileOpen();
            loop.quit();
        });
        loop.exec();
    }
};

class ModalPanel : public AppFixture
{
};

TEST_F(ModalPanel, APlaybackHotkeyStartsOnlyOnceTheExportPanelHasClosedButStopsAtOnce)
{
    NestedLoopDialogs dialogs;
    Start start;
    start.dialogs = &dialogs;
    startApp(start);
    MacroEvent wait;
    wait.id = Uuid::random();
    wait.type = EventType::wait;
    wait.delaySincePrevious = 3600;
    appEngine().setRecordedEvents({wait});
    const Hotkey playback{38, modifier::control};
    appEngine().setPlaybackHotkey(playback);

    dialogs.whileOpen = [&] {
        hotkeys->press(playback);
        drain();
        EXPECT_FALSE(appEngine().isPlaying()) << "the playback started beneath the open panel";
    };
    tap(item("exportButton"));
    EXPECT_TRUE(appEngine().isPlaying()) << "the start was lost";

    // The playback goes on under the quit prompt until the hotkey stops it, which does not wait.
    dialogs.whileOpen = [&] {
        hotkeys->press(playback);
        drain();
        EXPECT_FALSE(appEngine().isPlaying()) << "the stop waited for the alert";
    };
    app().window()->close(); // the alert is dismissed: the window stays
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_FALSE(appEngine().isPlaying());
}

} // namespace
} // namespace loopwren

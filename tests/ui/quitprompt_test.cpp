// The quit prompt: when it asks and what each answer leads to; and work queued while a dialog is open.
#include "macrofile.h"
#include "quitprompt.h"
#include "uifixture.h"

#include <QTemporaryDir>

namespace loopwren {
namespace {

using Reply = QuitPrompt::Answer;

TEST_F(UiTest, QuitPromptAsksOnlyWithSomethingToLoseAndSaveQuitsOnceTheFileIsWritten)
{
    start();
    QuitPrompt prompt{engine(), dialogs, [] { return qint64{1733390123}; }};
    const auto quit = [&] { return prompt.ask(); };
    // Nothing to lose, or the prompt switched off: no question asked.
    EXPECT_EQ(quit(), Reply::quit);
    engine().setShowCloseSavePrompt(false);
    setTimeline(sampleTimeline());
    EXPECT_EQ(quit(), Reply::quit);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    engine().setShowCloseSavePrompt(true);

    // Don't Save quits; Cancel or a dismissed message dialog stays and leaves the timeline alone.
    dialogs.messageAnswers << 1 << 2;
    EXPECT_EQ((std::vector{quit(), quit(), quit()}), (std::vector{Reply::quit, Reply::stay, Reply::stay}));
    EXPECT_EQ(dialogs.shown.value(0),
              "message dialog: Save Last Recording? | You have recorded actions in your timeline. "
              "Would you like to save them before exiting? | Save, Don't Save, Cancel");
    EXPECT_EQ(engine().recordedEvents().size(), 12u);

    // Save quits only once the file is written: a cancelled file dialog or an unwritable path stays.
    QTemporaryDir folder;
    dialogs.shown.clear();
    dialogs.messageAnswers << 0 << 0 << 0;
    dialogs.fileAnswers << std::nullopt << "/nonexistent-loopwren-dir/macro.json"
                        << folder.filePath("saved.json");
    EXPECT_EQ((std::vector{quit(), quit(), quit()}), (std::vector{Reply::stay, Reply::stay, Reply::quit}));
    EXPECT_EQ(dialogs.shown.value(1), "save file dialog: Export Macro |  | macro_1733390123.json");
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged[0].startsWith("Failed to save macro: ")) << logged[0].toStdString();
    EXPECT_EQ(readMacroFile(folder.filePath("saved.json").toStdString()).events.size(), 12u);

    dialogs.shown.clear();
    engine().setLanguage("Indonesia");
    dialogs.messageAnswers << 0;
    quit();
    EXPECT_EQ(
        dialogs.shown,
        (QStringList{"message dialog: Simpan Rekaman Terakhir? | Anda memiliki rekaman aksi di linimasa. "
                     "Apakah Anda ingin menyimpannya sebelum keluar? | Simpan, Jangan Simpan, Batal",
                     "save file dialog: Ekspor Makro |  | macro_1733390123.json"}));
}

// Typed and not handed over (no Enter, no Tab): Export writes it, Copy copies it, a playback its hotkey
// starts plays it, and the save at quit, when the window closes right after the typing, holds it.
TEST_F(UiTest, EveryActionThatReadsTheTimelineTakesWhatIsTyped)
{
    start();
    setTimeline(sampleTimeline());
    openEditor(3);
    QTemporaryDir folder;
    dialogs.fileAnswers.enqueue(folder.filePath("typed.json"));
    typeInto("delayField", "4.25");
    click("exportButton");
    EXPECT_EQ(readMacroFile(folder.filePath("typed.json").toStdString()).events.at(3).delaySincePrevious,
              4.25);

    typeInto("delayField", "5.5");
    click("copyButton");
    EXPECT_EQ(engine().recordedEvents().at(4).delaySincePrevious, 5.5) << "the copy";

    typeInto("delayField", "6.75");
    const Hotkey playback{38, modifier::control};
    engine().setPlaybackHotkey(playback);
    double played = 0;
    QObject::connect(&engine(), &MacroEngine::isPlayingChanged, window,
                     [&] { played = engine().recordedEvents().at(3).delaySincePrevious; });
    hotkeys->press(playback);
    drain();
    EXPECT_EQ(played, 6.75) << "when the playback started";

    hotkeys->press(playback);
    drain();
    ASSERT_FALSE(engine().isPlaying());
    ASSERT_NO_FATAL_FAILURE(openEditor(3));
    typeInto("delayField", "7.5");
    dialogs.messageAnswers.enqueue(0);
    dialogs.fileAnswers.enqueue(folder.filePath("kept.json"));
    window->close();
    const MacroReadResult saved = readMacroFile(folder.filePath("kept.json").toStdString());
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_EQ(saved.events[3].delaySincePrevious, 7.5);
}

// A dialog runs a nested event loop, in which a hotkey's queued start would otherwise run beneath it;
// a stop does not wait.
TEST_F(UiTest, APlaybackHotkeyStartsOnlyOnceTheExportPanelHasClosedButStopsAtOnce)
{
    start();
    setTimeline({makeEvent(EventType::wait, 3600)});
    const Hotkey playback{38, modifier::control};
    engine().setPlaybackHotkey(playback);
    dialogs.whileOpen = [&] {
        hotkeys->press(playback);
        drain();
        EXPECT_FALSE(engine().isPlaying()) << "a start ran beneath the open dialog, or a stop waited for it";
    };
    click("exportButton");
    EXPECT_TRUE(engine().isPlaying()) << "the start was lost";
    // The playback goes on under the quit prompt until the hotkey stops it.
    window->close(); // the message dialog is dismissed: the window stays
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_FALSE(engine().isPlaying());
}

} // namespace
} // namespace loopwren

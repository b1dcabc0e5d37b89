// The quit prompt: when it asks, and what each answer leads to.
#include "appdelegate.h"
#include "appfixture.h"
#include "macrofile.h"
#include "uifixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace loopwren {
namespace {

class QuitPrompt : public UiFixture
{
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        build();
    }
    AppDelegate::TerminateReply quit() { return delegate.applicationShouldTerminate(); }

    AppDelegate delegate{dialogs, [] { return qint64{1733390123}; }};
};

using Reply = AppDelegate::TerminateReply;

// Nothing to lose, the prompt switched off (even while recording), or no engine: no question asked.
TEST_F(QuitPrompt, QuitsAtOnceWithoutAsking)
{
    EXPECT_EQ(quit(), Reply::now);
    engine->setShowCloseSavePrompt(false);
    engine->startRecording();
    engine->setRecordedEvents(sampleTimeline());
    EXPECT_EQ(quit(), Reply::now);
    state.reset();
    settings.reset();
    hotkeyCapture.reset();
    engine.reset();
    EXPECT_EQ(quit(), Reply::now);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(QuitPrompt, AsksWithThreeChoicesAndDontSaveQuits)
{
    setTimeline(sampleTimeline());
    dialogs.alertAnswers.enqueue(1);
    EXPECT_EQ(quit(), Reply::now);
    EXPECT_EQ(dialogs.shown,
              QStringList{QStringLiteral(
                  "alert: Save Last Recording? | You have recorded actions in your timeline. Would you "
                  "like to save them before exiting? | Save, Don't Save, Cancel")});
}

TEST_F(QuitPrompt, CancelOrDismissStaysAndLeavesTheTimeline)
{
    setTimeline(sampleTimeline());
    const Uuid first = engine->recordedEvents()[0].id;
    dialogs.alertAnswers.enqueue(2);
    EXPECT_EQ(quit(), Reply::cancel);
    EXPECT_EQ(quit(), Reply::cancel); // dismissed without a button
    EXPECT_EQ(engine->recordedEvents().size(), 12u);
    EXPECT_EQ(engine->recordedEvents()[0].id, first);
}

// Save quits only once the file is written: a cancelled panel or an unwritable path stays.
TEST_F(QuitPrompt, SaveQuitsOnceTheFileIsWritten)
{
    setTimeline(sampleTimeline());
    dialogs.alertAnswers.enqueue(0);
    EXPECT_EQ(quit(), Reply::cancel);
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[1], QStringLiteral("save panel: Export Macro |  | macro_1733390123.json"));

    dialogs.alertAnswers.enqueue(0);
    dialogs.panelAnswers.enqueue(QStringLiteral("/nonexistent-loopwren-dir/macro.json"));
    EXPECT_EQ(quit(), Reply::cancel);
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged[0].startsWith(QStringLiteral("Failed to save macro: "))) << logged[0].toStdString();

    const QString path = QDir::tempPath() + QStringLiteral("/loopwren-quit-test.json");
    dialogs.alertAnswers.enqueue(0);
    dialogs.panelAnswers.enqueue(path);
    EXPECT_EQ(quit(), Reply::now);
    EXPECT_TRUE(QFile::exists(path));
    QFile::remove(path);
}

TEST_F(QuitPrompt, IndonesianTextsOnlyForExactlyIndonesia)
{
    setTimeline(sampleTimeline());
    engine->setLanguage(QStringLiteral("Indonesia"));
    dialogs.alertAnswers.enqueue(0);
    quit();
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0],
              QStringLiteral("alert: Simpan Rekaman Terakhir? | Anda memiliki rekaman aksi di "
                             "linimasa. Apakah Anda ingin menyimpannya sebelum keluar? | Simpan, "
                             "Jangan Simpan, Batal"));
    EXPECT_EQ(dialogs.shown[1], QStringLiteral("save panel: Ekspor Makro |  | macro_1733390123.json"));

    dialogs.shown.clear();
    engine->setLanguage(QStringLiteral("Bahasa"));
    quit();
    EXPECT_TRUE(dialogs.shown.value(0).startsWith(QStringLiteral("alert: Save Last Recording?")));
}

// Closing the window right after typing into the editor: the save at quit holds the typed value.
class QuitFromTheWindow : public AppFixture
{
};

TEST_F(QuitFromTheWindow, SavesWhatWasTypedButNotHandedOver)
{
    FakeDialogs answers;
    Start start;
    start.dialogs = &answers;
    startApp(start);
    appEngine().setRecordedEvents(sampleTimeline());
    drain();
    app().viewState().tapRow(3);
    ASSERT_TRUE(waitUntil([&] { return item("delayField") && item("delayField")->isVisible(); }));
    QQuickItem* delay = item("delayField");
    delay->forceActiveFocus();
    QMetaObject::invokeMethod(delay, "selectAll");
    typeText(QStringLiteral("4.25"));

    QTemporaryDir folder;
    answers.alertAnswers.enqueue(0);
    answers.panelAnswers.enqueue(folder.filePath(QStringLiteral("kept.json")));
    window->close();
    const MacroReadResult saved = readMacroFile(folder.filePath(QStringLiteral("kept.json")).toStdString());
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_EQ(saved.events[3].delaySincePrevious, 4.25);
}

} // namespace
} // namespace loopwren

// The text table, the two ways of choosing a language, and the window's texts in each language.
#include "eventrowtext.h"
#include "eventtext.h"
#include "texttable.h"
#include "uifixture.h"

namespace loopwren {
namespace {

TEST(TextTable, HoldsTheFiftyNineEntriesWithBothTexts)
{
    EXPECT_EQ(TextTable::entryCount(), 59);
    for (const QString& key : TextTable::keys()) {
        EXPECT_FALSE(TextTable::localized(key, QStringLiteral("English")).isEmpty()) << key.toStdString();
        EXPECT_FALSE(TextTable::localized(key, QStringLiteral("Indonesia")).isEmpty()) << key.toStdString();
    }
}

TEST(TextTable, LooksUpByExactLanguageNameAndShowsTheKeyOtherwise)
{
    const QString key = QStringLiteral("Setting Description");
    EXPECT_EQ(TextTable::localized(key, QStringLiteral("English")),
              QStringLiteral("Configure trigger hotkeys, targets, and execution rate defaults."));
    EXPECT_EQ(TextTable::localized(key, QStringLiteral("Indonesia")),
              QStringLiteral("Atur tombol pintas, target aplikasi, dan bawaan kecepatan eksekusi."));
    // Not "English" and not "Indonesia": the key itself, also for a near miss in case.
    EXPECT_EQ(TextTable::localized(key, QStringLiteral("German")), key);
    EXPECT_EQ(TextTable::localized(key, QStringLiteral("indonesia")), key);
    EXPECT_EQ(TextTable::localized(QStringLiteral("NAVIGATION"), QStringLiteral("German")),
              QStringLiteral("NAVIGATION"));
    // A key without an entry passes through in every language.
    EXPECT_EQ(TextTable::localized(QStringLiteral("+ Wait"), QStringLiteral("Indonesia")),
              QStringLiteral("+ Wait"));
}

TEST(TextTable, DirectChoiceFallsBackToEnglish)
{
    MacroEvent wait;
    wait.type = EventType::wait;
    wait.delaySincePrevious = 1.5;
    EXPECT_EQ(rowtext::title(wait, QStringLiteral("German")), QStringLiteral("Wait 1.50s"));
    EXPECT_EQ(rowtext::detail(wait, QStringLiteral("German")), QStringLiteral("Pause execution flow"));
    EXPECT_EQ(rowtext::title(wait, QStringLiteral("Indonesia")), QStringLiteral("Jeda 1.50s"));
    EXPECT_EQ(rowtext::detail(wait, QStringLiteral("Indonesia")), QStringLiteral("Jeda alur eksekusi"));
    EXPECT_EQ(rowtext::editorTypeName(EventType::wait, QStringLiteral("Indonesia")),
              QStringLiteral("Pause execution flow"));
}

class WindowTexts : public UiFixture
{
};

TEST_F(WindowTexts, ControlBarAndSidebarInEachLanguage)
{
    build();
    openWindow();
    const auto texts = [this] {
        return QStringList{
            labelOf("recordButton"), labelOf("playbackButton"), labelOf("waitButton"),
            labelOf("importButton"), labelOf("exportButton"),   labelOf("navigationHeading"),
            labelOf("navTimeline"),  labelOf("navSettings"),    labelOf("accessibilityStatus")};
    };
    EXPECT_EQ(texts(), (QStringList{"RECORD", "PLAYBACK", "+ Wait", "Import", "Export", "NAVIGATION",
                                    "Timeline", "Setting", "API Access Active"}));

    // Switching re-renders every text at once, without reopening the window.
    engine->setLanguage(QStringLiteral("Indonesia"));
    drain();
    EXPECT_EQ(texts(), (QStringList{"REKAM", "PUTAR ULANG", "+ Wait", "Impor", "Ekspor", "NAVIGASI",
                                    "Linimasa", "Pengaturan", "Akses API Aktif"}));

    engine->setLanguage(QStringLiteral("German"));
    drain();
    EXPECT_EQ(texts(), (QStringList{"RECORD", "PLAYBACK", "+ Wait", "Import", "Export", "NAVIGATION",
                                    "Timeline", "Setting", "API Access Active"}));
}

TEST_F(WindowTexts, UnknownLanguageShowsKeysWhereTheyDifferFromEnglish)
{
    build({{QStringLiteral("appLanguage"), QStringLiteral("German")}});
    openWindow();
    engine->startRecording();
    drain();
    EXPECT_EQ(labelOf("recordingLabel"), QStringLiteral("Floating Recording Overlay Label"));
    EXPECT_EQ(labelOf("recordButton"), QStringLiteral("STOP"));
    engine->stopRecording();
    state->navigate(ContentViewState::Settings);
    wait(250); // the page fades in
    EXPECT_EQ(labelOf("settingsTitle"), QStringLiteral("Setting"));
    EXPECT_EQ(labelOf("settingsDescription"), QStringLiteral("Setting Description"));
}

TEST_F(WindowTexts, IndonesianRecordingAndSettingsTexts)
{
    build({{QStringLiteral("appLanguage"), QStringLiteral("Indonesia")}});
    openWindow();
    engine->startRecording();
    drain();
    EXPECT_EQ(labelOf("recordButton"), QStringLiteral("BERHENTI"));
    EXPECT_EQ(labelOf("recordingLabel"), QStringLiteral("MEREKAM INTERAKSI"));
    EXPECT_EQ(labelOf("recordingCount"), QStringLiteral("0 Aksi"));
    EXPECT_EQ(labelOf("emptyTitle"), QStringLiteral("Merekam Aksi..."));
    engine->stopRecording();
    state->navigate(ContentViewState::Settings);
    wait(250); // the page fades in
    EXPECT_EQ(labelOf("settingsTitle"), QStringLiteral("Pengaturan"));
    EXPECT_EQ(labelOf("settingsDescription"),
              QStringLiteral("Atur tombol pintas, target aplikasi, dan bawaan kecepatan eksekusi."));
}

TEST_F(WindowTexts, EmptyTimelineHintsAroundTheRecordHotkey)
{
    build();
    openWindow();
    const QString unset = QStringLiteral("(Click here to set hotkeys)");
    EXPECT_EQ(labelOf("emptyTitle"), QStringLiteral("No Actions Recorded"));
    EXPECT_EQ(labelOf("emptyHint"), QStringLiteral("Click Record above or press ") + unset +
                                        QStringLiteral(" to start capturing keyboard and mouse actions."));
    EXPECT_EQ(item("emptySymbol")->property("name").toString(), QStringLiteral("video.badge.plus"));

    engine->startRecording();
    drain();
    EXPECT_EQ(labelOf("emptyTitle"), QStringLiteral("Capturing Actions..."));
    EXPECT_EQ(item("emptySymbol")->property("name").toString(), QStringLiteral("waveform"));
    EXPECT_EQ(labelOf("emptyHint"), QStringLiteral("Interact with other applications. Press ") + unset +
                                        QStringLiteral(" to complete recording."));

    engine->setLanguage(QStringLiteral("Indonesia"));
    drain();
    EXPECT_EQ(labelOf("emptyHint"), QStringLiteral("Berinteraksilah dengan aplikasi lain. Tekan ") + unset +
                                        QStringLiteral(" untuk menyelesaikan perekaman."));
    engine->stopRecording();
    Hotkey hotkey;
    hotkey.keyCode = 15; // R
    hotkey.modifiers = modifier::command | modifier::shift;
    engine->setRecordHotkey(hotkey);
    drain();
    const QString shown = QString::fromStdString(displayText(hotkey));
    EXPECT_EQ(labelOf("emptyHint"), QStringLiteral("Klik Rekam di atas atau tekan ") + shown +
                                        QStringLiteral(" untuk mulai merekam aksi keyboard dan mouse."));
}

} // namespace
} // namespace loopwren

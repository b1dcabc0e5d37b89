// The text table, the two ways of choosing a language, and the window's texts in each language.
#include "eventrowtext.h"
#include "eventtext.h"
#include "texttable.h"
#include "uifixture.h"

namespace loopwren {
namespace {

TEST(TextTable, EveryEntryHasBothTexts)
{
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

using WindowTexts = UiFixture;

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

// Opened in the stored language; an unknown one shows the keys where they differ from the English texts.
TEST_F(WindowTexts, RecordingTextsAndTheEmptyTimelineHintFollowTheLanguage)
{
    build({{QStringLiteral("appLanguage"), QStringLiteral("Indonesia")}});
    openWindow();
    const QString unset = QStringLiteral("(Click here to set hotkeys)");
    engine->startRecording();
    drain();
    EXPECT_EQ(labelOf("recordButton"), QStringLiteral("BERHENTI"));
    EXPECT_EQ(labelOf("recordingLabel"), QStringLiteral("MEREKAM INTERAKSI"));
    EXPECT_EQ(labelOf("recordingCount"), QStringLiteral("0 Aksi"));
    EXPECT_EQ(labelOf("emptyTitle"), QStringLiteral("Merekam Aksi..."));
    EXPECT_EQ(labelOf("emptyHint"), QStringLiteral("Berinteraksilah dengan aplikasi lain. Tekan ") + unset +
                                        QStringLiteral(" untuk menyelesaikan perekaman."));

    engine->setLanguage(QStringLiteral("German"));
    drain();
    EXPECT_EQ(labelOf("recordingLabel"), QStringLiteral("Floating Recording Overlay Label"));
    EXPECT_EQ(labelOf("recordButton"), QStringLiteral("STOP"));

    engine->setLanguage(QStringLiteral("English"));
    drain();
    EXPECT_EQ(labelOf("emptyTitle"), QStringLiteral("Capturing Actions..."));
    EXPECT_EQ(item("emptySymbol")->property("name").toString(), QStringLiteral("waveform"));
    EXPECT_EQ(labelOf("emptyHint"), QStringLiteral("Interact with other applications. Press ") + unset +
                                        QStringLiteral(" to complete recording."));
    engine->stopRecording();
    drain();
    EXPECT_EQ(labelOf("emptyTitle"), QStringLiteral("No Actions Recorded"));
    EXPECT_EQ(item("emptySymbol")->property("name").toString(), QStringLiteral("video.badge.plus"));
    EXPECT_EQ(labelOf("emptyHint"), QStringLiteral("Click Record above or press ") + unset +
                                        QStringLiteral(" to start capturing keyboard and mouse actions."));

    const Hotkey hotkey{15, modifier::command | modifier::shift}; // R
    engine->setRecordHotkey(hotkey);
    engine->setLanguage(QStringLiteral("Indonesia"));
    drain();
    EXPECT_EQ(labelOf("emptyHint"), QStringLiteral("Klik Rekam di atas atau tekan ") +
                                        QString::fromStdString(displayText(hotkey)) +
                                        QStringLiteral(" untuk mulai merekam aksi keyboard dan mouse."));
}

} // namespace
} // namespace loopwren

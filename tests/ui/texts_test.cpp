// The texts of both languages: the table, the row texts, and the window's labels as they switch.
#include "eventrowtext.h"
#include "eventtext.h"
#include "texttable.h"
#include "uifixture.h"

#include <cmath>
#include <limits>

namespace loopwren {
namespace {

const QString en = "English";
const QString id = "Indonesia";

TEST(Texts, TableAndRowTextsInBothLanguages)
{
    for (const QString& key : TextTable::keys()) {
        EXPECT_FALSE(TextTable::localized(key, en).isEmpty()) << key.toStdString();
        EXPECT_FALSE(TextTable::localized(key, id).isEmpty()) << key.toStdString();
    }
    const MacroEvent key = makeKeyEvent(EventType::keyDown, 0);
    MacroEvent located = key;
    located.location = Point{120.7, 48.2};
    MacroEvent scroll = makeEvent(EventType::scroll);
    scroll.scrollDeltaX = 0;
    scroll.scrollDeltaY = -3;
    MacroEvent halfScroll = scroll;
    halfScroll.scrollDeltaX.reset();
    MacroEvent wait = makeEvent(EventType::wait, 1.5);
    wait.location = Point{1, 1};
    const MacroEvent down = makeMouseEvent(EventType::mouseDown, 5, 6);
    const QString setting = "Setting Description";
    const std::pair<QString, QString> cases[] = {
        {TextTable::localized(setting, en),
         "Configure trigger hotkeys, targets, and execution rate defaults."},
        {TextTable::localized(setting, id),
         "Atur tombol pintas, target aplikasi, dan bawaan kecepatan eksekusi."},
        // Only the exact names choose a language; any other shows the key, and so does a key without an
        // entry in every language.
        {TextTable::localized(setting, "indonesia"), setting},
        {TextTable::localized("+ Wait", id), "+ Wait"},
        {rowtext::detail(key, en), "Native Key Sequence Event"},
        {rowtext::detail(key, id), "Aksi Ketukan Tombol Keyboard"},
        {rowtext::detail(scroll, en), "Scroll Delta: dx:0 dy:-3"},
        {rowtext::detail(scroll, id), "Delta Gulir: dx:0 dy:-3"},
        {rowtext::detail(halfScroll, en), "Native Key Sequence Event"},
        {rowtext::detail(located, id), "Koordinat Layar: X:120 Y:48"},
        // The wait rule comes before the location; the row texts choose English for any other language.
        {rowtext::detail(wait, id), "Jeda alur eksekusi"},
        {rowtext::detail(wait, "German"), "Pause execution flow"},
        {rowtext::title(wait, "German"), "Wait 1.50s"},
        {rowtext::title(down, id), QString::fromStdString(eventDescription(down))},
        {rowtext::delayBadge(0.004), "+0.00s"},
        {rowtext::editorTypeName(EventType::wait, id), "Pause execution flow"},
        {rowtext::eventCount(12, id), "12 Aksi"},
        // Coordinates are cut towards zero, and shown whole however large.
        {rowtext::wholeNumber(-0.5) + " " + rowtext::wholeNumber(-12.9) + " " +
             rowtext::wholeNumber(std::nan("")),
         "0 -12 nan"},
        {rowtext::wholeNumber(-std::numeric_limits<double>::infinity()) + " " + rowtext::wholeNumber(1e20),
         "-inf 100000000000000000000"},
        {rowtext::wholeNumber(-9223372036854775808.0), "-9223372036854775808"},
        {rowtext::delayField(2.0) + " " + rowtext::delayField(0.12345), "2 0.123"},
    };
    for (const auto& [actual, expected] : cases)
        EXPECT_EQ(actual, expected);
    EXPECT_EQ(rowtext::parseDelayField(" 2.25 "), 2.25);
    EXPECT_FALSE(rowtext::parseDelayField("inf"));
}

TEST_F(UiTest, WindowTextsFollowTheLanguageAtOnce)
{
    start({{{"appLanguage", id}}}); // opened in the stored language
    const auto texts = [&] {
        return labels({"recordButton", "playbackButton", "waitButton", "importButton", "exportButton",
                       "navigationHeading", "navTimeline", "navSettings", "accessibilityStatus", "emptyTitle",
                       "emptyHint"});
    };
    const QString unset = "(Click here to set hotkeys)";
    EXPECT_EQ(texts(), (QStringList{"REKAM", "PUTAR ULANG", "+ Wait", "Impor", "Ekspor", "NAVIGASI",
                                    "Linimasa", "Pengaturan", "Akses API Aktif", "Tidak Ada Aksi Terekam",
                                    "Klik Rekam di atas atau tekan " + unset +
                                        " untuk mulai merekam aksi keyboard dan mouse."}));
    // An unknown language shows the keys, which are the English texts here.
    for (const QString& language : {en, QString("German")}) {
        engine().setLanguage(language);
        drain();
        EXPECT_EQ(texts(), (QStringList{"RECORD", "PLAYBACK", "+ Wait", "Import", "Export", "NAVIGATION",
                                        "Timeline", "Setting", "API Access Active", "No Actions Recorded",
                                        "Click Record above or press " + unset +
                                            " to start capturing keyboard and mouse actions."}))
            << language.toStdString();
    }
    EXPECT_EQ(item("emptySymbol")->property("name").toString(), "video.badge.plus");
    EXPECT_TRUE(item("logoFallback")->isVisible()) << "no logo picture: the gradient mark stands in";

    engine().startRecording();
    const auto recordingTexts = [&] {
        drain();
        return labels({"recordButton", "recordingLabel", "recordingCount", "emptyTitle", "emptyHint"});
    };
    EXPECT_EQ(recordingTexts(),
              (QStringList{"STOP", "Floating Recording Overlay Label", "0 Events", "Capturing Actions...",
                           "Interact with other applications. Press " + unset + " to complete recording."}));
    engine().setLanguage(id);
    EXPECT_EQ(recordingTexts(), (QStringList{"BERHENTI", "MEREKAM INTERAKSI", "0 Aksi", "Merekam Aksi...",
                                             "Berinteraksilah dengan aplikasi lain. Tekan " + unset +
                                                 " untuk menyelesaikan perekaman."}));
    engine().setLanguage(en);
    EXPECT_EQ(recordingTexts(),
              (QStringList{"STOP", "RECORDING INTERACTION", "0 Events", "Capturing Actions...",
                           "Interact with other applications. Press " + unset + " to complete recording."}));
    EXPECT_EQ(item("emptySymbol")->property("name").toString(), "waveform");

    engine().stopRecording();
    const Hotkey hotkey{15, modifier::command | modifier::shift}; // R
    engine().setRecordHotkey(hotkey);
    engine().setLanguage(id);
    drain();
    EXPECT_EQ(labelOf("emptyHint"), "Klik Rekam di atas atau tekan " +
                                        QString::fromStdString(displayText(hotkey)) +
                                        " untuk mulai merekam aksi keyboard dan mouse.");
}

} // namespace
} // namespace loopwren

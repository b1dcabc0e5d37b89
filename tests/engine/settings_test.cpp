#include "enginefixture.h"
#include "helperprocess.h"
#include "qsettingspreferencesstore.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QMetaProperty>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <random>

namespace loopwren {
namespace {

// Every stored setting the engine publishes as a writable property: its property, its key and its
// default as the settings file holds it.
struct Stored
{
    QByteArray property;
    QString key;
    QString fallback;
};
const std::vector<Stored>& storedProperties()
{
    static const std::vector<Stored> stored = [] {
        std::vector<Stored> rows;
        for (const StoredSettings::Setting setting : StoredSettings::all()) {
            const char* name = StoredSettings::name(setting);
            const int index = MacroEngine::staticMetaObject.indexOfProperty(name);
            if (index < 0 || !MacroEngine::staticMetaObject.property(index).isWritable())
                continue;
            const QVariant fallback = std::visit([](const auto& value) { return QVariant::fromValue(value); },
                                                 StoredSettings::fallback(setting));
            rows.push_back({name, QString::fromLatin1(StoredSettings::key(setting)), settingText(fallback)});
        }
        return rows;
    }();
    return stored;
}

using Settings = EngineFixture;

// Each property announces every assignment, of an unchanged value too, with its own signal; a stored
// one reaches the store at once.
TEST_F(Settings, EveryAssignmentIsAnnouncedAndStoredEvenWhenUnchanged)
{
    MacroEngine& e = build();
    // The defaults that are neither empty, false nor 0.
    QStringList defaults;
    for (const Stored& s : storedProperties()) {
        if (!QStringList{"", "false", "0"}.contains(s.fallback))
            defaults << s.key + "=" + s.fallback;
    }
    EXPECT_EQ(defaults,
              (QStringList{"recordHotkey={\"keyCode\":65535,\"modifiers\":0}",
                           "playbackHotkey={\"keyCode\":65535,\"modifiers\":0}", "appLanguage=English",
                           "showDeleteConfirmation=true", "showCloseSavePrompt=true", "targetWindowWidth=800",
                           "targetWindowHeight=600"}));
    // Speed, loops and movements are never stored: every start begins with these.
    EXPECT_EQ(QVariantList({e.playbackSpeed(), e.loopCount(), e.infiniteLoop(), e.recordMouseMovements()}),
              QVariantList({100.0, qint64(1), false, false}));
    const QMetaObject* meta = e.metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.isWritable())
            continue;
        const bool isStored = std::any_of(storedProperties().begin(), storedProperties().end(),
                                          [&](const Stored& s) { return property.name() == s.property; });
        QSignalSpy announced(&e, property.notifySignal());
        const int writes = store->writeCount();
        ASSERT_TRUE(property.write(&e, property.read(&e)));
        EXPECT_EQ(announced.count(), 1) << property.name();
        EXPECT_EQ(store->writeCount() > writes, isStored) << property.name();
    }
}

// The playback's variation stays within its ranges whatever the store holds or a caller assigns, and
// each end of the pause range pushes the other along.
TEST_F(Settings, VariationSettingsStayWithinTheirRanges)
{
    MacroEngine& e = build({{"delayVariation", 250.0},
                            {"clickSpread", -3.0},
                            {"passPauseMaximum", "soon"},
                            {"passPauseMinimum", 1e12}});
    EXPECT_EQ(QVariantList({e.delayVariation(), e.clickSpread(), e.passPauseMaximum(), e.passPauseMinimum()}),
              QVariantList({100.0, 0.0, 0.0, 3600.0}));
    EXPECT_EQ(store->readDouble("delayVariation"), 100.0) << "written back as loaded";
    e.setClickSpread(std::nan(""));
    e.setDelayVariation(-1);
    EXPECT_EQ(QVariantList({e.clickSpread(), e.delayVariation()}), QVariantList({0.0, 0.0}));
    e.setClickSpread(51);
    EXPECT_EQ(store->readDouble("clickSpread"), 50.0);
    e.setPassPauseMaximum(2);
    EXPECT_EQ(QVariantList({e.passPauseMinimum(), e.passPauseMaximum()}), QVariantList({2.0, 2.0}));
    e.setPassPauseMinimum(5);
    EXPECT_EQ(QVariantList({e.passPauseMinimum(), e.passPauseMaximum()}), QVariantList({5.0, 5.0}));
}

// Within one process QSettings hands back what it was given, with its type, rather than text: the
// values survive a restart of the engine either way.
TEST(SettingsFile, ValuesSurviveARestartWithinTheProcess)
{
    QSettings(QStringLiteral("LoopWren"), QStringLiteral("LoopWren")).clear();
    const auto start = [] {
        auto store = std::make_unique<QSettingsPreferencesStore>();
        EXPECT_TRUE(store->fileName().endsWith("LoopWren/LoopWren.conf")) << store->fileName().toStdString();
        PlatformServices services;
        services.preferences = std::move(store);
        return std::make_unique<MacroEngine>(std::move(services));
    };
    const Hotkey hotkey{15, modifier::super | modifier::shift};
    {
        const auto first = start();
        first->setRecordHotkey(hotkey);
        first->setShowDeleteConfirmation(false);
        first->setTargetWindowX(-12.5);
        first->setTargetAppName(QStringLiteral("Text, Editor \u00e9"));
    }
    const auto second = start();
    EXPECT_EQ(second->recordHotkey(), hotkey);
    EXPECT_FALSE(second->showDeleteConfirmation());
    EXPECT_EQ(second->targetWindowX(), -12.5);
    EXPECT_EQ(second->targetAppName(), QStringLiteral("Text, Editor \u00e9"));
}

// The real settings file as a crash, a disk fault or a hand edit may leave it, read by the engine at
// the start of the application. Every damaged value gives its default and every valid one is kept,
// nothing crashes, and where the file can be written the engine leaves one that holds what it uses.
TEST(SettingsFile, DamageGivesDefaultsKeepsValidValuesAndLeavesASaneFile)
{
    struct Row
    {
        const char* name;
        QByteArray contents;             // null: a folder where the file should be
        QMap<QString, QString> expected; // the settings that differ from their defaults
        const char* readOnly = nullptr;  // "$FILE" or "$FOLDER": bound read-only for the run
    };
    // As QSettings writes them: a hotkey is a quoted, escaped byte array.
    const QByteArray valid = R"ini([General]
appLanguage=Indonesia
hideOnPlayback=true
playbackHotkey="@ByteArray({\"keyCode\":35,\"modifiers\":262144})"
targetWindowX=-12.5
)ini"
                             "targetAppName=\"Text, Editor \u00e9\"\n"
                             R"ini(recordHotkey="@ByteArray({\"keyCode\":15,\"modifiers\":1179648})"
)ini";
    QMap<QString, QString> validValues = {{"appLanguage", "Indonesia"},
                                          {"hideOnPlayback", "true"},
                                          {"playbackHotkey", R"({"keyCode":35,"modifiers":262144})"},
                                          {"targetAppName", "Text, Editor \u00e9"},
                                          {"targetWindowX", "-12.5"},
                                          {"recordHotkey", R"({"keyCode":15,"modifiers":1179648})"}};
    QMap<QString, QString> validButRecord = validValues;
    validButRecord.remove("recordHotkey");
    QByteArray randomBytes(64 * 1024, '\0');
    std::mt19937 random(7);
    for (char& byte : randomBytes)
        byte = static_cast<char>(random());
    const Row rows[] = {
        {"empty file", "", {}},
        {"text where numbers, switches and hotkeys belong",
         "[General]\nrecordHotkey=hello\nfocusTargetAppBeforePlayback=yes\nsetTargetWindowPosition=1\n"
         "setTargetWindowSize=on\nshowDeleteConfirmation=no\nhideWhenRecording=TRUE\nhideOnPlayback=1 2 3\n"
         "showCloseSavePrompt=off\ntargetWindowX=inf\ntargetWindowY=12px\ntargetWindowWidth=0\n"
         "targetWindowHeight=-600\nappLanguage=Indonesia\n",
         {{"appLanguage", "Indonesia"}}},
        {"lists and other kinds of value where single values belong",
         "[General]\nrecordHotkey=15, 0\nplaybackHotkey=@Rect(1 2 3 4)\ntargetAppName=Files, Terminal\n"
         "appLanguage=@Size(1 2)\nshowDeleteConfirmation=false, false\nhideOnPlayback=@Point(1 1)\n"
         "showCloseSavePrompt=@Variant(\\xff\\xff\\xff\\xff\\0garbage)\ntargetWindowX=1, 2\n"
         "targetWindowY=@Point(3 4)\ntargetWindowWidth=@ByteArray(1024)\ntargetWindowHeight=@Variant(\\0)\n"
         "setTargetWindowSize=true\n",
         {{"setTargetWindowSize", "true"}}},
        // Older versions stored 100 and 101 as the defaults of their own slot: never the user's choice.
        {"each slot's own old default beside valid values",
         R"ini([General]
recordHotkey="@ByteArray({\"keyCode\":100,\"modifiers\":262144})"
playbackHotkey="@ByteArray({\"keyCode\":101,\"modifiers\":0})"
focusTargetAppBeforePlayback=true
setTargetWindowPosition=true
targetWindowY=42
targetWindowWidth=1024
showCloseSavePrompt=false
)ini",
         {{"focusTargetAppBeforePlayback", "true"},
          {"setTargetWindowPosition", "true"},
          {"targetWindowY", "42"},
          {"targetWindowWidth", "1024"},
          {"showCloseSavePrompt", "false"}}},
        {"the other slot's old default, one stored as text",
         R"ini([General]
recordHotkey="@ByteArray({\"keyCode\":101,\"modifiers\":0})"
playbackHotkey="{\"keyCode\":100,\"modifiers\":0}"
)ini",
         {{"recordHotkey", R"({"keyCode":101,"modifiers":0})"},
          {"playbackHotkey", R"({"keyCode":100,"modifiers":0})"}}},
        {"truncated in the middle of a line", valid.left(valid.size() - 20), validButRecord},
        {"junk lines between valid ones",
         QByteArrayLiteral("[General]\nshowDeleteConfirmation=false\n\x01\x02 "
                           "junk\n\0\0\0=\xff\xfe\n=\nhideWhenRecording=true\n[\n"),
         {{"showDeleteConfirmation", "false"}, {"hideWhenRecording", "true"}}},
        {"random binary bytes", randomBytes, {}},
        {"a folder where the file should be", {}, {}},
        {"read-only file", valid, validValues, "$FILE"},
        {"read-only folder with a damaged file",
         "[General]\nhideOnPlayback=perhaps\ntargetWindowHeight=480\n\x01\n",
         {{"targetWindowHeight", "480"}},
         "$FOLDER"},
    };
    QString properties;
    for (const Stored& s : storedProperties())
        properties += QStringLiteral(" ") + QString::fromLatin1(s.property);

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir config;
        const QString folder = config.filePath(QStringLiteral("LoopWren"));
        const QString file = folder + QStringLiteral("/LoopWren.conf");
        ASSERT_TRUE(QDir().mkpath(row.contents.isNull() ? file : folder));
        ASSERT_TRUE(row.contents.isNull() || test::writeFile(file, row.contents));
        const QString mount =
            QStringLiteral("must mount --bind \"%1\" \"%1\"\nmust mount -o remount,bind,ro \"%1\"\n");
        const HelperRun run = runInPrivateMounts((row.readOnly ? mount.arg(row.readOnly) : QString()) +
                                                     QStringLiteral(R"("$HELPER" settings)") + properties,
                                                 {{QStringLiteral("XDG_CONFIG_HOME"), config.path()},
                                                  {QStringLiteral("FILE"), file},
                                                  {QStringLiteral("FOLDER"), folder}});
        QString expected;
        for (const Stored& s : storedProperties())
            expected += row.expected.value(s.key, s.fallback) + QLatin1Char('\n');
        EXPECT_EQ(run.exitCode, 0) << run.describe();
        EXPECT_EQ(QString::fromUtf8(run.out).toStdString(), expected.toStdString()) << run.describe();
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{"LoopWren.conf"});
        if (row.readOnly) {
            EXPECT_TRUE(test::readFile(file) == row.contents) << "the read-only file changed";
        } else if (row.contents.isNull()) {
            EXPECT_TRUE(QFileInfo(file).isDir());
        } else {
            QSettings left(file, QSettings::IniFormat);
            QString leftValues;
            for (const Stored& s : storedProperties())
                leftValues += settingText(left.value(s.key)) + QLatin1Char('\n');
            EXPECT_EQ(leftValues.toStdString(), expected.toStdString()) << "the file written back";
        }
    }
}

} // namespace
} // namespace loopwren

#include "enginefixture.h"
#include "helperprocess.h"
#include "qsettingspreferencesstore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <random>

namespace loopwren {
namespace {

// The whole literal, NUL bytes included.
template <std::size_t N>
QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

// The engine over the real settings file in $XDG_CONFIG_HOME/LoopWren/LoopWren.conf.
class SettingsFile : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        QSettings(QStringLiteral("LoopWren"), QStringLiteral("LoopWren")).clear();
    }

    std::unique_ptr<MacroEngine> startEngine()
    {
        PlatformServices services;
        auto store = std::make_unique<QSettingsPreferencesStore>();
        path = store->fileName();
        services.preferences = std::move(store);
        return std::make_unique<MacroEngine>(std::move(services));
    }

    QString path;
};

TEST_F(SettingsFile, ValuesSurviveARestartWithTheirTypes)
{
    {
        auto first = startEngine();
        EXPECT_TRUE(path.endsWith("LoopWren/LoopWren.conf")) << path.toStdString();
        first->setRecordHotkey(Hotkey{15, modifier::command | modifier::shift});
        first->setPlaybackHotkey(Hotkey{35, modifier::control});
        first->setShowDeleteConfirmation(false);
        first->setTargetWindowX(-12.5);
        first->setTargetAppName(QStringLiteral("Text, Editor \u00e9"));
        first->setLanguage(QStringLiteral("Indonesia"));
    }
    auto second = startEngine();
    EXPECT_EQ(second->recordHotkey(), (Hotkey{15, modifier::command | modifier::shift}));
    EXPECT_EQ(second->playbackHotkey(), (Hotkey{35, modifier::control}));
    EXPECT_FALSE(second->showDeleteConfirmation());
    EXPECT_EQ(second->targetWindowX(), -12.5);
    EXPECT_EQ(second->targetAppName(), QStringLiteral("Text, Editor \u00e9"));
    EXPECT_EQ(second->language(), "Indonesia");
}

// The file as a crash, a disk fault or a hand edit may leave it, read at the start of the application
// in a process of its own. Every damaged value falls back to its default, every valid one is kept,
// nothing crashes, and where the file can be written the engine leaves one whose every value reads
// back as its kind.
TEST(SettingsFileFaults, DamageGivesDefaultsKeepsValidValuesAndWritesASaneFileWhereItCan)
{
    enum class Form
    {
        file,
        folderInItsPlace,
        readOnlyFile,
        readOnlyFolder
    };
    struct Row
    {
        const char* name;
        QByteArray contents;
        // The settings that differ from their defaults after the start.
        QMap<QString, QString> expected;
        Form form = Form::file;
    };
    const QMap<QString, QString> defaults = {
        {"recordHotkey", R"({"keyCode":65535,"modifiers":0})"},
        {"playbackHotkey", R"({"keyCode":65535,"modifiers":0})"},
        {"targetAppName", ""},
        {"appLanguage", "English"},
        {"focusTargetAppBeforePlayback", "false"},
        {"setTargetWindowPosition", "false"},
        {"setTargetWindowSize", "false"},
        {"showDeleteConfirmation", "true"},
        {"hideWhenRecording", "false"},
        {"hideOnPlayback", "false"},
        {"showCloseSavePrompt", "true"},
        {"targetWindowX", "0"},
        {"targetWindowY", "0"},
        {"targetWindowWidth", "800"},
        {"targetWindowHeight", "600"},
    };
    QByteArray randomBytes(64 * 1024, '\0');
    std::mt19937 random(7);
    for (char& byte : randomBytes)
        byte = static_cast<char>(random());
    // As QSettings writes them: a hotkey is a quoted, escaped byte array.
    const QByteArray valid = R"ini([General]
appLanguage=Indonesia
hideOnPlayback=true
playbackHotkey="@ByteArray({\"keyCode\":35,\"modifiers\":262144})"
targetWindowX=-12.5
recordHotkey="@ByteArray({\"keyCode\":15,\"modifiers\":1179648})"
)ini";
    const QMap<QString, QString> validValues = {{"appLanguage", "Indonesia"},
                                                {"hideOnPlayback", "true"},
                                                {"playbackHotkey", R"({"keyCode":35,"modifiers":262144})"},
                                                {"targetWindowX", "-12.5"},
                                                {"recordHotkey", R"({"keyCode":15,"modifiers":1179648})"}};
    QMap<QString, QString> validButRecord = validValues;
    validButRecord.remove("recordHotkey");

    const Row rows[] = {
        {"empty file", "", {}},
        {"text where numbers and switches belong",
         "[General]\n"
         "focusTargetAppBeforePlayback=yes\nsetTargetWindowPosition=1\nsetTargetWindowSize=on\n"
         "showDeleteConfirmation=no\nhideWhenRecording=TRUE\nhideOnPlayback=1 2 3\nshowCloseSavePrompt=off\n"
         "targetWindowX=inf\ntargetWindowY=12px\ntargetWindowWidth=nan\ntargetWindowHeight=-600\n"
         "appLanguage=Indonesia\n",
         {{"appLanguage", "Indonesia"}}},
        {"lists and other kinds of value where single values belong",
         "[General]\n"
         "recordHotkey=15, 0\nplaybackHotkey=@Rect(1 2 3 4)\ntargetAppName=Files, Terminal\n"
         "appLanguage=@Size(1 2)\nshowDeleteConfirmation=false, false\nhideOnPlayback=@Point(1 1)\n"
         "showCloseSavePrompt=@Variant(\\xff\\xff\\xff\\xff\\0garbage)\ntargetWindowX=1, 2\n"
         "targetWindowY=@Point(3 4)\ntargetWindowWidth=@ByteArray(1024)\ntargetWindowHeight=@Variant(\\0)\n"
         "setTargetWindowSize=true\n",
         {{"setTargetWindowSize", "true"}}},
        {"hotkeys that are not JSON",
         R"ini([General]
recordHotkey=hello
playbackHotkey="@ByteArray({\"keyCode\":15,\"modifiers\":0)"
targetWindowY=42
)ini",
         {{"targetWindowY", "42"}}},
        {"hotkeys of the wrong shape",
         R"ini([General]
recordHotkey="@ByteArray([15,1048576])"
playbackHotkey="@ByteArray({\"keyCode\":15})"
targetWindowWidth=1024
)ini",
         {{"targetWindowWidth", "1024"}}},
        {"hotkeys with members of the wrong kind",
         R"ini([General]
recordHotkey="@ByteArray({\"keyCode\":\"15\",\"modifiers\":0})"
playbackHotkey="@ByteArray({\"keyCode\":15,\"modifiers\":0.5})"
)ini",
         {}},
        {"hotkey codes out of range",
         R"ini([General]
recordHotkey="@ByteArray({\"keyCode\":70000,\"modifiers\":0})"
playbackHotkey="@ByteArray({\"keyCode\":-1,\"modifiers\":-1})"
focusTargetAppBeforePlayback=true
)ini",
         {{"focusTargetAppBeforePlayback", "true"}}},
        {"a hotkey with text after it beside a valid one",
         R"ini([General]
recordHotkey="@ByteArray({\"keyCode\":15,\"modifiers\":0}x)"
playbackHotkey="@ByteArray({\"keyCode\":35,\"modifiers\":262144})"
)ini",
         {{"playbackHotkey", R"({"keyCode":35,"modifiers":262144})"}}},
        {"truncated in the middle of a line", valid.left(valid.size() - 20), validButRecord},
        {"junk lines between valid ones",
         bytes("[General]\nshowDeleteConfirmation=false\n\x01\x02 binary junk\n\0\0\0=\xff\xfe\n"
               "=\nhideWhenRecording=true\n[\n"),
         {{"showDeleteConfirmation", "false"}, {"hideWhenRecording", "true"}}},
        {"random binary bytes", randomBytes, {}},
        {"a folder where the file should be", {}, {}, Form::folderInItsPlace},
        {"read-only file", valid, validValues, Form::readOnlyFile},
        {"read-only folder with a damaged file",
         "[General]\nhideOnPlayback=perhaps\ntargetWindowHeight=480\n\x01\x02\n",
         {{"targetWindowHeight", "480"}},
         Form::readOnlyFolder},
    };

    // Every setting as the helper printed it, one "key=value" a line in the order of the keys, and the
    // keys the file held nothing usable for.
    const auto text = [](const QMap<QString, QString>& values) {
        std::string lines;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            lines += (it.key() + QLatin1Char('=') + it.value()).toStdString() + '\n';
        return lines;
    };
    const auto parse = [&text](const HelperProcess::Result& run, QString& unreadable) {
        QMap<QString, QString> values;
        for (const QString& line : run.outLines()) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            if (line.startsWith(QLatin1String("unreadable=")))
                unreadable = line.mid(equals + 1);
            else if (equals > 0)
                values.insert(line.left(equals), line.mid(equals + 1));
        }
        return text(values);
    };

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir config;
        ASSERT_TRUE(config.isValid());
        const QString folder = config.filePath(QStringLiteral("LoopWren"));
        const QString file = folder + QStringLiteral("/LoopWren.conf");
        ASSERT_TRUE(QDir().mkpath(folder));
        if (row.form == Form::folderInItsPlace) {
            ASSERT_TRUE(QDir().mkpath(file));
        } else {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            ASSERT_EQ(out.write(row.contents), row.contents.size());
        }
        const QMap<QString, QString> environment = {{QStringLiteral("XDG_CONFIG_HOME"), config.path()},
                                                    {QStringLiteral("TARGET"), file},
                                                    {QStringLiteral("FOLDER"), folder}};
        QMap<QString, QString> expectedValues = defaults;
        for (auto it = row.expected.cbegin(); it != row.expected.cend(); ++it)
            expectedValues.insert(it.key(), it.value());
        const std::string expected = text(expectedValues);
        const QStringList onlyTheFile{QStringLiteral("LoopWren.conf")};
        const auto entries = [&folder] {
            return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        };
        QString unreadable;

        if (row.form == Form::readOnlyFile || row.form == Form::readOnlyFolder) {
            const QString target =
                row.form == Form::readOnlyFile ? QStringLiteral("$TARGET") : QStringLiteral("$FOLDER");
            const HelperProcess::Result run =
                HelperProcess::runWithPrivateMounts(QStringLiteral(R"(must mount --bind "%1" "%1"
must mount -o remount,bind,ro "%1"
(echo >> "$TARGET") 2>/dev/null && exit 98
"$HELPER" settings
)")
                                                        .arg(target),
                                                    environment);
            ASSERT_TRUE(run.namespaceEntered)
                << "cannot enter a private user and mount namespace: " << run.describe().toStdString();
            ASSERT_TRUE(run.mountsMade)
                << "cannot make the read-only mount: " << run.describe().toStdString();
            ASSERT_NE(run.exitCode, 98) << "the settings file is still writable";
            ASSERT_FALSE(run.crashed) << run.describe().toStdString();
            ASSERT_EQ(run.exitCode, 0) << run.describe().toStdString();
            EXPECT_EQ(parse(run, unreadable), expected) << run.describe().toStdString();
            QFile kept(file);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_TRUE(kept.readAll() == row.contents) << "the read-only file changed";
            EXPECT_EQ(entries(), onlyTheFile);
            continue;
        }

        const HelperProcess::Result run = HelperProcess::run({QStringLiteral("settings")}, environment);
        ASSERT_FALSE(run.crashed) << run.describe().toStdString();
        ASSERT_EQ(run.exitCode, 0) << run.describe().toStdString();
        EXPECT_EQ(parse(run, unreadable), expected) << run.describe().toStdString();
        // The next start finds what this one left.
        const HelperProcess::Result again = HelperProcess::run({QStringLiteral("settings")}, environment);
        ASSERT_EQ(again.exitCode, 0) << again.describe().toStdString();
        EXPECT_EQ(parse(again, unreadable), expected) << again.describe().toStdString();
        if (row.form == Form::folderInItsPlace)
            EXPECT_TRUE(QFileInfo(file).isDir());
        else
            EXPECT_EQ(unreadable.toStdString(), "") << "the file written back holds unusable values";
        EXPECT_EQ(entries(), onlyTheFile);
    }
}

} // namespace
} // namespace loopwren

#include "enginefixture.h"
#include "qsettingspreferencesstore.h"

#include <QFile>
#include <QSettings>

namespace loopwren {
namespace {

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

    void writeFile(const QByteArray& text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
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

TEST_F(SettingsFile, GarbageFallsBackToDefaultsAndASaneFileIsWrittenBack)
{
    startEngine().reset();
    writeFile("[General]\n"
              "recordHotkey=@ByteArray({\"keyCode\":1.5,\"modifiers\":0})\n"
              "showDeleteConfirmation=perhaps\n"
              "hideOnPlayback=1 2 3\n"
              "targetWindowWidth=nan\n"
              "targetWindowHeight=wide\n"
              "targetWindowX=inf\n"
              "\x01\x02 binary junk\n");
    auto engine = startEngine();
    EXPECT_EQ(engine->recordHotkey(), Hotkey::unset());
    EXPECT_TRUE(engine->showDeleteConfirmation());
    EXPECT_FALSE(engine->hideOnPlayback());
    EXPECT_EQ(engine->targetWindowWidth(), 800.0);
    EXPECT_EQ(engine->targetWindowHeight(), 600.0);
    EXPECT_EQ(engine->targetWindowX(), 0.0);
    QSettings written(path, QSettings::IniFormat);
    EXPECT_EQ(written.value("showDeleteConfirmation").toString(), "true");
    EXPECT_EQ(written.value("targetWindowWidth").toDouble(), 800.0);
}

} // namespace
} // namespace loopwren

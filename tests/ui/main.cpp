#include <QGuiApplication>
#include <QQmlEngineExtensionPlugin>
#include <QTemporaryDir>
#include <gtest/gtest.h>

Q_IMPORT_QML_PLUGIN(LoopWren_UiPlugin)

int main(int argc, char* argv[])
{
    // The real QML renders into an offscreen window; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The settings file lives in a folder of this run alone; Qt fixes the folder when the first settings
    // object is made, so it is set before anything else.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // The macro library lives there too, never in the user's folder.
    qputenv("XDG_DATA_HOME", config.path().toLocal8Bit());
    // The update check talks to a server on 127.0.0.1 only, never through a proxy of the environment.
    for (const char* name :
         {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
        qunsetenv(name);
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return config.isValid() ? RUN_ALL_TESTS() : 1;
}

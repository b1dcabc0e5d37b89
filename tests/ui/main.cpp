#include <QGuiApplication>
#include <QQmlEngineExtensionPlugin>
#include <gtest/gtest.h>

Q_IMPORT_QML_PLUGIN(LoopWren_UiPlugin)

int main(int argc, char* argv[])
{
    // The real QML renders into an offscreen window; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

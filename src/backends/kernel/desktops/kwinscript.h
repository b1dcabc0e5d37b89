#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QString>
#include <QTemporaryFile>

namespace loopwren {

// One script loaded into KWin over D-Bus (org.kde.KWin /Scripting) and run; unloaded when the object
// goes, so KWin keeps nothing of LoopWren's once it is done or gone. Nothing is installed: the text is
// written to a private temporary file that KWin reads when it runs the script.
class KWinScript
{
public:
    // Loads and runs the text under the plugin name; error() says why KWin did not.
    KWinScript(QDBusConnection bus, QString pluginName, const QByteArray& text);
    ~KWinScript();

    KWinScript(const KWinScript&) = delete;
    KWinScript& operator=(const KWinScript&) = delete;

    bool isRunning() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

private:
    bool load(const QByteArray& text);
    bool run();

    QDBusConnection m_bus;
    QString m_pluginName;
    QTemporaryFile m_file;
    bool m_loaded = false;
    int m_id = -1;
    QString m_error;
};

} // namespace loopwren

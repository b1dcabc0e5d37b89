#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

// What the fixtures do with the programs they start: compositors, buses, stand-ins.
namespace loopwren::test {

// Asks the process to end, and ends it if it does not.
inline void stopProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(10000);
    }
}

// The end of a log, to say why a program did not come up.
inline QString logTail(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(file.readAll().right(3000));
}

} // namespace loopwren::test

#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The macro both stop-latency benchmarks play: key presses and releases every 2 ms, played without end.
inline bool writeKeyMacro(const QString& path)
{
    QByteArray macro = "[";
    for (int i = 0; i < 100; ++i) {
        macro += QByteArray(i ? "," : "") + R"({"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","type":")" +
                 (i % 2 ? "keyUp" : "keyDown") + R"(","delaySincePrevious":0.002,"keyCode":0})";
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(macro + "]") > 0;
}

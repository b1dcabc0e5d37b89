#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QFile>
#include <QString>

namespace loopwren::test {

// The mode of a file only its owner may read and write, as files of recorded keystrokes are.
inline constexpr auto kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;

// The file's bytes; "<missing>" when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Replaces the file's contents; false when that fails.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// One event of a macro file as its JSON object: type, delay and further members, e.g. R"(,"keyCode":56)".
inline QByteArray macroEvent(const char* type, double delay, const QByteArray& members = {})
{
    return R"({"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","type":")" + QByteArray(type) +
           R"(","delaySincePrevious":)" + QByteArray::number(delay) + members + "}";
}

// A macro file of these events.
inline QByteArray macroText(const QByteArrayList& events) { return "[" + events.join(',') + "]"; }

} // namespace loopwren::test

#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <ostream>

// Failures show Qt strings as text rather than as bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '{' << list.join(", ").toStdString() << '}';
}
QT_END_NAMESPACE

namespace loopwren::test {

// Runs queued main-thread work: the engine's queued edits and appends, and what they queue in turn.
inline void drain()
{
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace loopwren::test

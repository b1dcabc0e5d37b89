#include "logline.h"

#include <cstdio>
#include <mutex>

namespace loopwren {
namespace {

std::mutex& sinkMutex()
{
    static std::mutex mutex;
    return mutex;
}

LogSink& currentSink()
{
    static LogSink sink;
    return sink;
}

} // namespace

void logLine(const QString& prefix, const QString& detail)
{
    QString line = prefix + detail;
    // One line per failure, whatever the detail holds.
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::lock_guard lock(sinkMutex());
    if (currentSink()) {
        currentSink()(line);
        return;
    }
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

LogSink setLogSink(LogSink sink)
{
    std::lock_guard lock(sinkMutex());
    return std::exchange(currentSink(), std::move(sink));
}

} // namespace loopwren

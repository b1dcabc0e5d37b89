#pragma once

#include <QString>
#include <functional>

namespace loopwren {

// Failures the user need not see go to standard output as one line: a fixed English prefix and the
// detail. Tests can divert the lines to see what was logged.
void logLine(const QString& prefix, const QString& detail);

using LogSink = std::function<void(const QString& line)>;
// Replaces the destination of log lines; an empty sink restores standard output. Returns the old one.
LogSink setLogSink(LogSink sink);

} // namespace loopwren

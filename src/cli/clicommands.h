#pragma once

#include <QStringList>

namespace loopwren::cli {

// Each command takes its own arguments (after the command name) and returns the exit status.
int validate(const QStringList& arguments);
int record(const QStringList& arguments);
int play(const QStringList& arguments);
int apps(const QStringList& arguments);
int place(const QStringList& arguments);
int doctor(const QStringList& arguments);
int printHelp();

} // namespace loopwren::cli

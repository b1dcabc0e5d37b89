#pragma once

#include <QStringList>

namespace loopwren::cli {

// `library list | play NAME [OPTIONS] | export NAME FILE | import FILE [NAME] | schedule NAME WHEN |
// remove NAME`: the macro library for scripts. Returns the exit status.
int library(const QStringList& arguments);

} // namespace loopwren::cli

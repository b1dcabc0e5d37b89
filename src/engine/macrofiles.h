#pragma once

#include "macrofile.h"

#include <QString>

namespace loopwren {

// Macro files on disk. A save goes to a temporary file beside the target that is renamed over it
// only once it is complete, so a failed or interrupted save never destroys the file that was there.
namespace macrofiles {

// Empty on success, else why the file could not be written.
QString save(const QString& path, const Timeline& events);
MacroReadResult load(const QString& path);

} // namespace macrofiles
} // namespace loopwren

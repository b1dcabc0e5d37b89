#pragma once

#include "macrofile.h"

#include <QString>

namespace loopwren {

// Macro files on disk. A save goes to a temporary file beside the target that is renamed over it
// only once it is complete, so a failed or interrupted save never destroys the file that was there.
//
// A macro holds every key typed while it was recorded, passwords included, so a new file is readable
// by its owner only; a file that is overwritten keeps the mode its owner gave it.
namespace macrofiles {

// Empty on success, else why the file could not be written.
QString save(const QString& path, const Timeline& events);
MacroReadResult load(const QString& path);

// Empty when a save to path could succeed now (the folder takes new files, an existing file may be
// replaced), else why it cannot; nothing is left behind either way.
QString checkWritable(const QString& path);

// Keeps a timeline that could not be saved where it was meant to go: a new file in LoopWren's state
// folder ($XDG_STATE_HOME/LoopWren, else ~/.local/state/LoopWren). The path written, or empty with
// the reason in *error.
QString saveRecovery(const Timeline& events, QString* error);

} // namespace macrofiles
} // namespace loopwren

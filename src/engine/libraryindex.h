#pragma once

#include "libraryentry.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace loopwren {

// The library's index: what the macro files themselves do not hold (names, hotkeys, playback values,
// schedules), as one small JSON document beside the folder.
namespace libraryindex {

struct ReadResult
{
    std::vector<LibraryEntry> entries;
    // Empty when the document was whole; otherwise what was wrong. Entries that could be read are kept
    // even then, so one bad member does not cost every macro its name and hotkey.
    QString damage;
};

ReadResult read(const QByteArray& document);
QByteArray write(const std::vector<LibraryEntry>& entries);

} // namespace libraryindex
} // namespace loopwren

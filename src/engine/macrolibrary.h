#pragma once

#include "libraryentry.h"
#include "macrofile.h"

#include <QString>
#include <vector>

namespace loopwren {

// A folder of ordinary macro files and, beside it, the index of what the files do not hold. The files
// are the truth: a file dropped into the folder by hand appears with default values, an index entry
// whose file is gone is forgotten, a damaged index is set aside and rebuilt from the files, and a file
// that fails to load stays listed with its reason. The library never deletes a file it was not asked
// to delete.
//
// An entry's file name is given once and never changes, so renaming a macro while it plays, or while
// a schedule points at it, cannot pull the file away from under either.
class MacroLibrary
{
public:
    // $XDG_DATA_HOME/LoopWren/macros (else ~/.local/share/LoopWren/macros).
    static QString defaultFolder();

    // The index lives beside the folder, as library.json in the folder's parent.
    explicit MacroLibrary(QString folder = defaultFolder());

    // Reads the index and the folder again. Empty when all was well, else what was repaired (already
    // logged); the library is usable either way.
    QString reload();

    const std::vector<LibraryEntry>& entries() const { return m_entries; }
    // Case-insensitive, as names are unique regardless of case.
    const LibraryEntry* find(const QString& name) const;
    QString folder() const { return m_folder; }
    QString pathOf(const LibraryEntry& entry) const;

    // Each returns an empty string on success, else the reason for the user; nothing changes then.
    QString add(const QString& name, const Timeline& events);
    QString rename(const QString& name, const QString& newName);
    QString duplicate(const QString& name, QString* copyName);
    QString remove(const QString& name);
    // Replaces what the index holds for the entry of the same file: name, hotkey, playback values and
    // schedule. The name must stay unique.
    QString update(const LibraryEntry& entry);

    // "Name", else "Name 2", "Name 3", … whichever is free.
    QString uniqueName(const QString& base) const;

private:
    QString checkNewName(const QString& name, const QString& keptFile) const;
    QString newFileName(const QString& name) const;
    void readFacts(LibraryEntry& entry) const;
    QString storeIndex();

    QString m_folder;
    QString m_indexPath;
    std::vector<LibraryEntry> m_entries;
};

} // namespace loopwren

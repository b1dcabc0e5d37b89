#include "macrolibrary.h"

#include "libraryindex.h"
#include "logline.h"
#include "macrofiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <set>

namespace loopwren {
namespace {

constexpr auto kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr int kLongestFileStem = 80;

QString dataHome()
{
    // Only an absolute XDG_DATA_HOME counts, as the base-directory rules say.
    const QString base = qEnvironmentVariable("XDG_DATA_HOME");
    return base.isEmpty() || QDir::isRelativePath(base) ? QDir::homePath() + QStringLiteral("/.local/share") : base;
}

// A file name that any file system takes and that a shell or a unit file need not quote.
QString fileStem(const QString& name)
{
    QString stem;
    for (const QChar c : name) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            stem += c.toLower();
        else if (!stem.isEmpty() && !stem.endsWith(QLatin1Char('-')))
            stem += QLatin1Char('-');
        if (stem.size() >= kLongestFileStem)
            break;
    }
    while (stem.endsWith(QLatin1Char('-')))
        stem.chop(1);
    return stem.isEmpty() ? QStringLiteral("macro") : stem;
}

QString invalidName(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("A macro needs a name");
    if (std::any_of(name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        return QStringLiteral("A macro's name cannot hold control characters");
    return {};
}

} // namespace

QString MacroLibrary::defaultFolder() { return dataHome() + QStringLiteral("/LoopWren/macros"); }

MacroLibrary::MacroLibrary(QString folder)
    : m_folder(std::move(folder))
    , m_indexPath(QFileInfo(m_folder).absolutePath() + QStringLiteral("/library.json"))
{
}

QString MacroLibrary::reload()
{
    QStringList repairs;
    if (!QDir().mkpath(m_folder))
        repairs << QStringLiteral("%1: cannot create the folder").arg(m_folder);
    QFile::setPermissions(m_folder, kOwnerOnly | QFileDevice::ExeOwner);

    libraryindex::ReadResult index;
    QFile indexFile(m_indexPath);
    if (indexFile.exists()) {
        if (!indexFile.open(QIODevice::ReadOnly)) {
            index.damage = indexFile.errorString();
        } else {
            index = libraryindex::read(indexFile.readAll());
            indexFile.close();
        }
        if (!index.damage.isEmpty()) {
            // The damaged index is kept for whoever wants to look at it; the files hold the macros.
            const QString kept = m_indexPath + QStringLiteral(".damaged");
            QFile::remove(kept);
            QFile::copy(m_indexPath, kept);
            logLine(QStringLiteral("Library index damaged, rebuilt from the macro files: "), index.damage);
            repairs << index.damage;
        }
    }

    const QStringList files = QDir(m_folder).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    std::vector<LibraryEntry> entries;
    bool changed = !index.damage.isEmpty();
    for (LibraryEntry& known : index.entries) {
        if (files.contains(known.file))
            entries.push_back(std::move(known));
        else
            changed = true;
    }
    for (const QString& file : files) {
        if (std::any_of(entries.begin(), entries.end(), [&](const LibraryEntry& e) { return e.file == file; }))
            continue;
        LibraryEntry added;
        added.file = file;
        entries.push_back(std::move(added));
        changed = true;
    }
    m_entries.clear();
    // Names are given in a second round, so that a file dropped in by hand never takes the name of a
    // macro the index already knows.
    for (LibraryEntry& entry : entries) {
        if (entry.name.isEmpty() || find(entry.name))
            entry.name = uniqueName(QFileInfo(entry.file).completeBaseName());
        readFacts(entry);
        m_entries.push_back(std::move(entry));
    }
    std::sort(m_entries.begin(), m_entries.end(), [](const LibraryEntry& a, const LibraryEntry& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    if (changed) {
        if (QString failed = storeIndex(); !failed.isEmpty())
            repairs << failed;
    }
    return repairs.join(QStringLiteral("; "));
}

const LibraryEntry* MacroLibrary::find(const QString& name) const
{
    const QString wanted = name.trimmed();
    for (const LibraryEntry& entry : m_entries) {
        if (QString::compare(entry.name, wanted, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

QString MacroLibrary::pathOf(const LibraryEntry& entry) const { return m_folder + QLatin1Char('/') + entry.file; }

QString MacroLibrary::uniqueName(const QString& base) const
{
    const QString trimmed = base.trimmed().isEmpty() ? QStringLiteral("Macro") : base.trimmed();
    QString name = trimmed;
    for (int n = 2; find(name); ++n)
        name = QStringLiteral("%1 %2").arg(trimmed).arg(n);
    return name;
}

QString MacroLibrary::checkNewName(const QString& name, const QString& keptFile) const
{
    if (QString invalid = invalidName(name); !invalid.isEmpty())
        return invalid;
    const LibraryEntry* other = find(name);
    if (other && other->file != keptFile)
        return QStringLiteral("A macro named \"%1\" is already in the library").arg(other->name);
    return {};
}

QString MacroLibrary::newFileName(const QString& name) const
{
    const QString stem = fileStem(name);
    QString file = stem + QStringLiteral(".json");
    for (int n = 2; QFileInfo::exists(m_folder + QLatin1Char('/') + file); ++n)
        file = QStringLiteral("%1-%2.json").arg(stem).arg(n);
    return file;
}

void MacroLibrary::readFacts(LibraryEntry& entry) const
{
    const MacroReadResult read = macrofiles::load(pathOf(entry));
    entry.loadError = QString::fromStdString(read.error);
    entry.eventCount = read.ok() ? read.events.size() : 0;
    entry.duration = 0.0;
    for (const MacroEvent& event : read.events)
        entry.duration += event.delaySincePrevious;
}

QString MacroLibrary::add(const QString& name, const Timeline& events)
{
    if (QString refused = checkNewName(name, {}); !refused.isEmpty())
        return refused;
    if (!QDir().mkpath(m_folder))
        return QStringLiteral("%1: cannot create the folder").arg(m_folder);
    LibraryEntry entry;
    entry.name = name.trimmed();
    entry.file = newFileName(entry.name);
    if (QString failed = macrofiles::save(pathOf(entry), events); !failed.isEmpty())
        return failed;
    readFacts(entry);
    m_entries.push_back(std::move(entry));
    return storeIndex();
}

QString MacroLibrary::rename(const QString& name, const QString& newName)
{
    const LibraryEntry* entry = find(name);
    if (!entry)
        return QStringLiteral("No macro named \"%1\" in the library").arg(name);
    LibraryEntry renamed = *entry;
    renamed.name = newName.trimmed();
    return update(renamed);
}

QString MacroLibrary::duplicate(const QString& name, QString* copyName)
{
    const LibraryEntry* entry = find(name);
    if (!entry)
        return QStringLiteral("No macro named \"%1\" in the library").arg(name);
    LibraryEntry copy = *entry;
    copy.name = uniqueName(entry->name);
    copy.file = newFileName(copy.name);
    // A copy plays when asked; it does not inherit the original's hotkey or schedule, which would fire
    // both macros at once.
    copy.hotkey = Hotkey::unset();
    copy.schedule = {};
    if (!QFile::copy(pathOf(*entry), pathOf(copy)))
        return QStringLiteral("%1: cannot copy the file").arg(pathOf(*entry));
    QFile::setPermissions(pathOf(copy), kOwnerOnly);
    *copyName = copy.name;
    m_entries.push_back(std::move(copy));
    return storeIndex();
}

QString MacroLibrary::remove(const QString& name)
{
    const LibraryEntry* entry = find(name);
    if (!entry)
        return QStringLiteral("No macro named \"%1\" in the library").arg(name);
    QFile file(pathOf(*entry));
    if (file.exists() && !file.remove())
        return QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
    m_entries.erase(m_entries.begin() + (entry - m_entries.data()));
    return storeIndex();
}

QString MacroLibrary::update(const LibraryEntry& changed)
{
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const LibraryEntry& e) { return e.file == changed.file; });
    if (entry == m_entries.end())
        return QStringLiteral("No macro file %1 in the library").arg(changed.file);
    if (QString refused = checkNewName(changed.name, changed.file); !refused.isEmpty())
        return refused;
    const LibraryEntry before = *entry;
    *entry = changed;
    entry->name = changed.name.trimmed();
    entry->eventCount = before.eventCount;
    entry->duration = before.duration;
    entry->loadError = before.loadError;
    if (QString failed = storeIndex(); !failed.isEmpty()) {
        *entry = before;
        return failed;
    }
    return {};
}

QString MacroLibrary::storeIndex()
{
    QSaveFile file(m_indexPath);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1: %2").arg(m_indexPath, file.errorString());
    file.setPermissions(kOwnerOnly);
    file.write(libraryindex::write(m_entries));
    if (!file.commit()) {
        const QString reason = QStringLiteral("%1: %2").arg(m_indexPath, file.errorString());
        logLine(QStringLiteral("Failed to save the library index: "), reason);
        return reason;
    }
    return {};
}

} // namespace loopwren

#include "desktopentryindex.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>

#include <algorithm>

namespace loopwren {
namespace {

QString unescaped(const QString& value)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            result += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == u's')
            result += u' ';
        else if (next == u'n')
            result += u'\n';
        else if (next == u't')
            result += u'\t';
        else if (next == u'r')
            result += u'\r';
        else
            result += next; // "\\" and anything unknown
    }
    return result;
}

// The keys of the file's [Desktop Entry] group; other groups (actions) describe other things.
QHash<QString, QString> mainGroup(const QString& path)
{
    QHash<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return keys;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            if (inMainGroup)
                break;
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inMainGroup || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        // The first occurrence counts; a repeated key makes the file invalid, and menus keep the first.
        if (!keys.contains(key))
            keys.insert(key, unescaped(line.mid(equals + 1).trimmed()));
    }
    return keys;
}

QString environmentOr(const char* name, const QString& fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

} // namespace

DesktopEntryIndex::DesktopEntryIndex(const QStringList& applicationFolders, const QStringList& localeNames)
{
    QStringList keys;
    for (const QString& locale : localeNames)
        keys += localeKeys(locale);
    QSet<QString> seenIds;
    for (const QString& folder : applicationFolders)
        readFolder(folder, keys, seenIds);
}

void DesktopEntryIndex::readFolder(const QString& folder, const QStringList& localeKeys,
                                   QSet<QString>& seenIds)
{
    const QDir root(folder);
    if (!root.exists())
        return;
    QStringList paths;
    QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext())
        paths.append(it.next());
    // Directory order is the file system's whim; sorted, the same files always give the same answer.
    paths.sort();
    for (const QString& path : paths) {
        // The id of "applications/kde/okular.desktop" is "kde-okular.desktop".
        QString id = root.relativeFilePath(path);
        id.chop(static_cast<qsizetype>(sizeof(".desktop") - 1));
        id.replace(u'/', u'-');
        if (seenIds.contains(id))
            continue;
        seenIds.insert(id);

        const QHash<QString, QString> keys = mainGroup(path);
        if (keys.value(QStringLiteral("Type")) != QLatin1String("Application") ||
            keys.value(QStringLiteral("Hidden")) == QLatin1String("true"))
            continue;
        QString name;
        for (const QString& locale : localeKeys) {
            name = keys.value(QStringLiteral("Name[%1]").arg(locale));
            if (!name.isEmpty())
                break;
        }
        if (name.isEmpty())
            name = keys.value(QStringLiteral("Name"));
        if (name.isEmpty())
            continue;
        m_entries.push_back({id, name, keys.value(QStringLiteral("StartupWMClass"))});
    }
}

QStringList DesktopEntryIndex::applicationFolders()
{
    QStringList folders;
    folders.append(
        QDir::cleanPath(environmentOr("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share")) +
                        QStringLiteral("/applications")));
    const QString dataDirs = environmentOr("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString& dir : dataDirs.split(u':', Qt::SkipEmptyParts))
        folders.append(QDir::cleanPath(dir + QStringLiteral("/applications")));
    return folders;
}

QString DesktopEntryIndex::messagesLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

QStringList DesktopEntryIndex::localeKeys(const QString& locale)
{
    // lang_COUNTRY.ENCODING@MODIFIER; the encoding plays no part in matching.
    QString rest = locale;
    QString modifier;
    if (const qsizetype at = rest.indexOf(u'@'); at >= 0) {
        modifier = rest.mid(at + 1);
        rest.truncate(at);
    }
    if (const qsizetype dot = rest.indexOf(u'.'); dot >= 0)
        rest.truncate(dot);
    QString country;
    if (const qsizetype underscore = rest.indexOf(u'_'); underscore >= 0) {
        country = rest.mid(underscore + 1);
        rest.truncate(underscore);
    }
    const QString& language = rest;
    if (language.isEmpty() || language == QLatin1String("C") || language == QLatin1String("POSIX"))
        return {};
    QStringList keys;
    if (!country.isEmpty() && !modifier.isEmpty())
        keys.append(language + u'_' + country + u'@' + modifier);
    if (!country.isEmpty())
        keys.append(language + u'_' + country);
    if (!modifier.isEmpty())
        keys.append(language + u'@' + modifier);
    keys.append(language);
    return keys;
}

DesktopEntryIndex DesktopEntryIndex::fromEnvironment()
{
    const QString locale = messagesLocale();
    return DesktopEntryIndex(applicationFolders(), locale.isEmpty() ? QStringList{} : QStringList{locale});
}

std::optional<QString> DesktopEntryIndex::nameFor(const QString& instance, const QString& className) const
{
    // The class before the instance: the class names the application, the instance may name a role.
    for (const QString& wanted : {className, instance}) {
        if (wanted.isEmpty())
            continue;
        const auto byWmClass = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
            return entry.startupWmClass == wanted;
        });
        if (byWmClass != m_entries.end())
            return byWmClass->name;
    }
    for (const QString& wanted : {className, instance}) {
        if (wanted.isEmpty())
            continue;
        const auto byId = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
            return entry.id.compare(wanted, Qt::CaseInsensitive) == 0;
        });
        if (byId != m_entries.end())
            return byId->name;
    }
    return std::nullopt;
}

} // namespace loopwren

#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace loopwren {

// The names applications go by, from their desktop entries (the .desktop files menus and docks read),
// looked up by a window's X11 WM_CLASS or, for a Wayland window, its app id (given as both instance and
// class).
//
// An entry matches a window when its StartupWMClass equals the window's class or instance, or else when
// its desktop file id, without ".desktop", equals one of them ignoring case (the convention most
// applications follow instead; a Wayland app id is meant to be the desktop file id). Where several
// folders hold the same id the first folder wins, as in menus; a Hidden entry there hides the ones
// behind it.
class DesktopEntryIndex
{
public:
    // Reads the entries of every applications folder, in precedence order.
    DesktopEntryIndex(const QStringList& applicationFolders, const QStringList& localeNames);

    // The folders the environment names: $XDG_DATA_HOME (default ~/.local/share) first, then each of
    // $XDG_DATA_DIRS (default /usr/local/share:/usr/share), each with "/applications" appended.
    static QStringList applicationFolders();
    // The locale Name[...] keys are chosen by: $LC_ALL, $LC_MESSAGES or $LANG, the first one set.
    static QString messagesLocale();
    // The suffixes to try for a locale, most specific first: "sr_YU@Latn" gives sr_YU@Latn, sr_YU,
    // sr@Latn and sr; the plain key comes after all of them.
    static QStringList localeKeys(const QString& locale);
    static DesktopEntryIndex fromEnvironment();

    std::optional<QString> nameFor(const QString& instance, const QString& className) const;

    std::size_t size() const { return m_entries.size(); }

private:
    struct Entry
    {
        QString id; // without ".desktop"
        QString name;
        QString startupWmClass;
    };

    void readFolder(const QString& folder, const QStringList& localeKeys, QSet<QString>& seenIds);

    std::vector<Entry> m_entries;
};

} // namespace loopwren

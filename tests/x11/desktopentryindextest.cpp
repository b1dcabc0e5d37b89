#include "desktopentryindex.h"
#include "scopedenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace loopwren {
namespace {

class DesktopEntryIndexTest : public ::testing::Test
{
protected:
    QString folder(const QString& name) const { return m_root.path() + u'/' + name; }

    void write(const QString& folderName, const QString& relativePath, const QString& content)
    {
        const QString path = folder(folderName) + u'/' + relativePath;
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.toUtf8());
    }

    static QString entry(const QString& name, const QString& extra = {})
    {
        return QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=true\n%2").arg(name, extra);
    }

    QTemporaryDir m_root;
};

TEST_F(DesktopEntryIndexTest, MatchesByStartupWmClassThenByDesktopFileId)
{
    write("a", "writer-app.desktop", entry("Wren Writer", "StartupWMClass=WrenWriter\n"));
    write("a", "notes.desktop", entry("Wren Notes", "StartupWMClass=wren-notes-main\n"));
    write("a", "wrennotes.desktop", entry("Notes By Id"));
    write("a", "alphanotes.desktop", entry("Alpha Notes"));
    write("a", "kde/okular.desktop", entry("Okular"));
    const DesktopEntryIndex index({folder("a")}, {});
    EXPECT_EQ(index.nameFor("whatever", "WrenWriter"), QString("Wren Writer"));
    EXPECT_EQ(index.nameFor("x", "wrenwriter"), std::nullopt); // StartupWMClass is exact
    EXPECT_EQ(index.nameFor("wren-notes-main", "WrenNotes"), QString("Wren Notes"));
    EXPECT_EQ(index.nameFor("alphanotes", "AlphaNotes"), QString("Alpha Notes")); // the id ignores case
    EXPECT_EQ(index.nameFor("kde-okular", "Okular"), QString("Okular"));          // subfolders are in the id
    EXPECT_EQ(index.nameFor("okular", "Okular"), std::nullopt);
}

TEST_F(DesktopEntryIndexTest, TheFirstFolderWinsAndHiddenEntriesHideTheOnesBehind)
{
    write("home", "wren.desktop", entry("Wren (mine)"));
    write("system", "wren.desktop", entry("Wren"));
    write("home", "pad.desktop", entry("Pad", "Hidden=true\n"));
    write("system", "pad.desktop", entry("Pad"));
    const DesktopEntryIndex index({folder("home"), folder("missing"), folder("system")}, {});
    EXPECT_EQ(index.nameFor("wren", "Wren"), QString("Wren (mine)"));
    EXPECT_EQ(index.nameFor("pad", "Pad"), std::nullopt);
}

TEST_F(DesktopEntryIndexTest, OnlyNamedApplicationsInTheMainGroupCount)
{
    write("a", "link.desktop", "[Desktop Entry]\nType=Link\nName=A Link\nURL=https://example.org\n");
    write("a", "nameless.desktop", "[Desktop Entry]\nType=Application\nExec=true\n");
    write("a", "actions.desktop",
          "# comment\n[Desktop Entry]\nType=Application\nName = Main\\sName\nExec=true\n\n"
          "[Desktop Action new]\nName=New Window\nStartupWMClass=Actions\n");
    const DesktopEntryIndex index({folder("a")}, {});
    EXPECT_EQ(index.nameFor("link", "Link"), std::nullopt);
    EXPECT_EQ(index.nameFor("actions", "Actions"), QString("Main Name"));
    EXPECT_EQ(index.size(), 1u);
}

TEST_F(DesktopEntryIndexTest, LocalizedNamesFollowTheMessagesLocale)
{
    EXPECT_EQ(DesktopEntryIndex::localeKeys("sr_YU.UTF-8@Latn"),
              (QStringList{"sr_YU@Latn", "sr_YU", "sr@Latn", "sr"}));
    EXPECT_TRUE(DesktopEntryIndex::localeKeys("C").isEmpty());
    write("a", "wren.desktop",
          entry("Wren", "Name[de]=Zaunkönig\nName[de_AT]=Zaunkönig (AT)\nName[sr@latin]=Carić\n"));
    const auto nameIn = [&](const QString& locale) {
        return DesktopEntryIndex({folder("a")}, {locale}).nameFor("wren", "Wren").value_or("(none)");
    };
    EXPECT_EQ(nameIn("de_DE.UTF-8"), QString("Zaunkönig"));
    EXPECT_EQ(nameIn("de_AT.UTF-8"), QString("Zaunkönig (AT)"));
    EXPECT_EQ(nameIn("sr_RS.UTF-8@latin"), QString("Carić"));
    EXPECT_EQ(nameIn("C.UTF-8"), QString("Wren"));
    EXPECT_EQ(nameIn("fr_FR.UTF-8"), QString("Wren"));
}

TEST(DesktopEntryFoldersTest, ComeFromTheXdgVariablesWithTheirDefaults)
{
    ScopedEnvironment environment;
    environment.set("HOME", "/home/wren");
    environment.set("XDG_DATA_HOME", "/data/home");
    environment.set("XDG_DATA_DIRS", "/one:/two/");
    EXPECT_EQ(DesktopEntryIndex::applicationFolders(),
              (QStringList{"/data/home/applications", "/one/applications", "/two/applications"}));
    environment.unset("XDG_DATA_HOME");
    environment.unset("XDG_DATA_DIRS");
    EXPECT_EQ(DesktopEntryIndex::applicationFolders(),
              (QStringList{"/home/wren/.local/share/applications", "/usr/local/share/applications",
                           "/usr/share/applications"}));
}

} // namespace
} // namespace loopwren

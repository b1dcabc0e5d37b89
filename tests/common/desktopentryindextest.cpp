#include "desktopentryindex.h"
#include "scopedenvironment.h"
#include "testfiles.h"

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

    void write(const QString& folderName, const QString& relativePath, const QString& name,
               const QString& extra = {})
    {
        const QString path = folder(folderName) + u'/' + relativePath;
        const QString header = "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=true\n";
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        ASSERT_TRUE(test::writeFile(path, ((name.isNull() ? QString() : header) + extra).toUtf8()));
    }

    QTemporaryDir m_root;
};

// An application's name comes from the entry whose StartupWMClass is its WM_CLASS class (exactly), or
// else whose desktop file id (subfolders joined by dashes) is its instance (in any case). Of entries
// with one id the first folder's counts, and a hidden one hides those behind it. Only named
// applications in the main group count.
TEST_F(DesktopEntryIndexTest, MatchesByStartupWmClassThenByDesktopFileId)
{
    write("home", "writer-app.desktop", "Wren Writer", "StartupWMClass=WrenWriter\n");
    write("home", "kde/okular.desktop", "Okular");
    write("home", "wren.desktop", "Wren (mine)");
    write("system", "wren.desktop", "Wren");
    write("home", "pad.desktop", "Pad", "Hidden=true\n");
    write("system", "pad.desktop", "Pad");
    write("home", "link.desktop", {}, "[Desktop Entry]\nType=Link\nName=A Link\nURL=https://example.org\n");
    write("home", "nameless.desktop", {}, "[Desktop Entry]\nType=Application\nExec=true\n");
    write("home", "actions.desktop", {},
          "# comment\n[Desktop Entry]\nType=Application\nName = Main\\sName\nExec=true\n\n"
          "[Desktop Action new]\nName=New Window\nStartupWMClass=Actions\n");
    const DesktopEntryIndex index({folder("home"), folder("missing"), folder("system")}, {});
    const std::pair<std::pair<const char*, const char*>, std::optional<QString>> cases[] = {
        {{"whatever", "WrenWriter"}, "Wren Writer"},
        {{"x", "wrenwriter"}, std::nullopt},
        {{"Wren", "X"}, "Wren (mine)"},
        {{"kde-okular", "Okular"}, "Okular"},
        {{"okular", "Okular"}, std::nullopt},
        {{"pad", "Pad"}, std::nullopt},
        {{"link", "Link"}, std::nullopt},
        {{"actions", "Actions"}, "Main Name"}};
    for (const auto& [wmClass, name] : cases)
        EXPECT_EQ(index.nameFor(wmClass.first, wmClass.second), name)
            << wmClass.first << " " << wmClass.second;
    EXPECT_EQ(index.size(), 4u);
}

TEST_F(DesktopEntryIndexTest, LocalizedNamesFollowTheMessagesLocale)
{
    EXPECT_EQ(DesktopEntryIndex::localeKeys("sr_YU.UTF-8@Latn"),
              (QStringList{"sr_YU@Latn", "sr_YU", "sr@Latn", "sr"}));
    EXPECT_TRUE(DesktopEntryIndex::localeKeys("C").isEmpty());
    write("a", "wren.desktop", "Wren",
          "Name[de]=Zaunkönig\nName[de_AT]=Zaunkönig (AT)\nName[sr@latin]=Carić\n");
    const std::pair<const char*, const char*> cases[] = {{"de_DE.UTF-8", "Zaunkönig"},
                                                         {"de_AT.UTF-8", "Zaunkönig (AT)"},
                                                         {"sr_RS.UTF-8@latin", "Carić"},
                                                         {"C.UTF-8", "Wren"},
                                                         {"fr_FR.UTF-8", "Wren"}};
    for (const auto& [locale, name] : cases)
        EXPECT_EQ(DesktopEntryIndex({folder("a")}, {locale}).nameFor("wren", "Wren"), QString(name))
            << locale;
}

TEST(DesktopEntryFoldersTest, ComeFromTheXdgVariablesWithTheirDefaults)
{
    test::ScopedEnvironment environment;
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

#include "x11accessibility.h"
#include "testfiles.h"
#include "x11testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace loopwren {
namespace {

// Input access is granted in an X11 session (said so, or not said at all) with XTEST and RECORD; a nested
// compositor inside an X session sets WAYLAND_DISPLAY for its own clients. It is not granted in a Wayland
// session whatever its X server offers, or no X server.
TEST(X11Accessibility, GrantsInputAccessToAnX11SessionWithXtestAndRecord)
{
    ASSERT_EQ(x11test::displayProblem(), "");
    test::ScopedEnvironment environment;
    const std::tuple<const char*, const char*, const char*, bool> cases[] = {
        {"x11", nullptr, "", true},
        {nullptr, nullptr, "", true},
        {"x11", "wayland-1", "", true},
        {"wayland", "wayland-0", "", false},
        {nullptr, "wayland-0", ":9999", false}};
    for (const auto& [session, wayland, display, granted] : cases) {
        session ? environment.set("XDG_SESSION_TYPE", session) : environment.unset("XDG_SESSION_TYPE");
        wayland ? environment.set("WAYLAND_DISPLAY", wayland) : environment.unset("WAYLAND_DISPLAY");
        EXPECT_EQ(X11Accessibility(display).isInputAccessGranted(), granted)
            << session << " " << wayland << " " << display;
    }
}

TEST(X11Accessibility, RequestingInputAccessOpensTheHelpPageFromTheUsersCache)
{
    QTemporaryDir cache;
    test::ScopedEnvironment environment;
    environment.set("XDG_CACHE_HOME", cache.path().toUtf8());
    std::vector<QUrl> opened;
    X11Accessibility accessibility({}, [&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    // Asked twice, the page is written again, not appended to.
    accessibility.requestInputAccess();
    const QByteArray page = test::readFile(opened.at(0).toLocalFile());
    accessibility.requestInputAccess();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_TRUE(opened[1].isLocalFile() && opened[1].toLocalFile().startsWith(cache.path() + u'/'))
        << opened[1].toString().toStdString();
    EXPECT_EQ(test::readFile(opened[1].toLocalFile()), page);
    for (const char* needed : {"<html", "X11 session", "Wayland", "XTEST", "RECORD"})
        EXPECT_TRUE(page.contains(needed)) << needed;

    for (const char* refused :
         {"x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility",
          "javascript:alert(1)", "ftp://example.org/"})
        EXPECT_FALSE(helppage::openInBrowser(QUrl(refused))) << refused;
}

} // namespace
} // namespace loopwren

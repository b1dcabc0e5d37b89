#include "x11accessibility.h"
#include "scopedenvironment.h"
#include "x11testenvironment.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace loopwren {
namespace {

class X11AccessibilityTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto problem = X11TestEnvironment::displayProblem();
        ASSERT_TRUE(problem.empty()) << problem;
    }
    ScopedEnvironment m_environment;
};

TEST_F(X11AccessibilityTest, AnX11SessionWithXtestAndRecordIsTrusted)
{
    m_environment.set("XDG_SESSION_TYPE", "x11");
    m_environment.unset("WAYLAND_DISPLAY");
    EXPECT_TRUE(X11Accessibility().isTrusted());
    m_environment.unset("XDG_SESSION_TYPE");
    EXPECT_TRUE(X11Accessibility().isTrusted());
    // A nested compositor inside an X session sets WAYLAND_DISPLAY for its own clients.
    m_environment.set("XDG_SESSION_TYPE", "x11");
    m_environment.set("WAYLAND_DISPLAY", "wayland-1");
    EXPECT_TRUE(X11Accessibility().isTrusted());
}

TEST_F(X11AccessibilityTest, AWaylandSessionOrNoXServerIsNotTrusted)
{
    m_environment.set("XDG_SESSION_TYPE", "wayland");
    m_environment.set("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_FALSE(X11Accessibility().isTrusted()); // whatever the X server offers
    m_environment.unset("XDG_SESSION_TYPE");
    EXPECT_FALSE(X11Accessibility(":9999").isTrusted());
}

TEST_F(X11AccessibilityTest, RequestingTrustOpensTheHelpPageFromTheUsersCache)
{
    QTemporaryDir cache;
    ASSERT_TRUE(cache.isValid());
    m_environment.set("XDG_CACHE_HOME", cache.path().toStdString());
    std::vector<QUrl> opened;
    X11Accessibility accessibility({}, [&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    accessibility.requestTrust();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].scheme(), QString("file"));
    EXPECT_TRUE(opened[0].toLocalFile().startsWith(cache.path() + u'/'))
        << opened[0].toString().toStdString();
    QFile page(opened[0].toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    for (const char* needed : {"<html", "X11 session", "Wayland", "XTEST", "RECORD"})
        EXPECT_TRUE(text.contains(QLatin1String(needed))) << needed;

    // Asked again, the page is written again, not appended to.
    accessibility.requestTrust();
    ASSERT_EQ(opened.size(), 2u);
    QFile again(opened[1].toLocalFile());
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(again.readAll()), text);
}

TEST_F(X11AccessibilityTest, OnlyFileAndWebAddressesAreOpened)
{
    EXPECT_FALSE(X11Accessibility::openInBrowser(
        QUrl("x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility")));
    EXPECT_FALSE(X11Accessibility::openInBrowser(QUrl("javascript:alert(1)")));
    EXPECT_FALSE(X11Accessibility::openInBrowser(QUrl("ftp://example.org/")));
}

} // namespace
} // namespace loopwren

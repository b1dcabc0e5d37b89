// The update check of the running application against an HTTP server on 127.0.0.1: what each answer
// shows, logs or leaves alone, and the notice's two buttons.
#include "appfixture.h"
#include "urlcatcher.h"

#include <QTest>

namespace loopwren {
namespace {

const QByteArray kNewer = R"({"version": "1.5.0", "download_url": "https://example.invalid/loopwren-1.5.0",
    "release_notes_en": "Faster playback\nFixed hotkeys", "release_notes_id": "Pemutaran lebih cepat"})";

class UpdateCheck : public AppFixture
{
protected:
    bool noticeShown() { return item("updateNotice")->isVisible(); }
};

TEST_F(UpdateCheck, NewerVersionShowsTheNoticeWithTheNotesOfTheLanguageAtCompletion)
{
    TestHttpServer::Response held = TestHttpServer::json(kNewer);
    held.hold = true;
    server.setResponse(held);
    startApp(); // asks at start, in English
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requestCount() == 1; }, 20000));
    EXPECT_EQ(server.requestLines(), QStringList{QStringLiteral("GET /api/version.json HTTP/1.1")});

    // The language changes while the answer is on its way: the notes follow the language of the moment
    // the check completes.
    appEngine().setLanguage(QStringLiteral("Indonesia"));
    server.release();
    waitForChecks(1);
    EXPECT_TRUE(appEngine().updateAvailable());
    EXPECT_EQ(appEngine().updateDownloadURL(), QStringLiteral("https://example.invalid/loopwren-1.5.0"));
    EXPECT_EQ(appEngine().updateNotes(), QStringLiteral("Pemutaran lebih cepat"));
    ASSERT_TRUE(noticeShown());
    EXPECT_EQ(labelOf("updateTitle"), QStringLiteral("Pembaruan Tersedia"));
    EXPECT_TRUE(item("updateNotes")->isVisible());

    // The notice's texts follow a later switch at once; the notes wait for the next finding.
    appEngine().setLanguage(QStringLiteral("English"));
    drain();
    EXPECT_EQ(labelOf("updateTitle"), QStringLiteral("Update Available"));
    EXPECT_EQ(appEngine().updateNotes(), QStringLiteral("Pemutaran lebih cepat"));
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join(QLatin1Char('\n')).toStdString();
}

TEST_F(UpdateCheck, EqualOrOlderChangesNothingAndKeepsAnEarlierFinding)
{
    server.setResponse(
        TestHttpServer::json(R"({"version": "1.4.2.0", "download_url": "https://a.invalid/"})"));
    startApp();
    waitForChecks(1);
    EXPECT_FALSE(appEngine().updateAvailable());
    EXPECT_FALSE(noticeShown());

    server.setResponse(TestHttpServer::json(kNewer));
    appEngine().checkForUpdates();
    waitForChecks(2);
    ASSERT_TRUE(appEngine().updateAvailable());

    int requests = 2;
    for (const char* older :
         {R"({"version": "1.4.2", "download_url": "https://b.invalid/", "release_notes_en": "B"})",
          R"({"version": "1.3.9", "download_url": "https://c.invalid/"})"}) {
        server.setResponse(TestHttpServer::json(older));
        appEngine().checkForUpdates();
        waitForChecks(++requests);
        EXPECT_TRUE(appEngine().updateAvailable());
        EXPECT_EQ(appEngine().updateDownloadURL(), QStringLiteral("https://example.invalid/loopwren-1.5.0"));
        EXPECT_EQ(appEngine().updateNotes(), QStringLiteral("Faster playback\nFixed hotkeys"));
        EXPECT_TRUE(noticeShown());
    }
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(UpdateCheck, HtmlErrorPageGivesTheParseLogLine)
{
    server.setResponse(TestHttpServer::page(502, "<html><body><h1>502 Bad Gateway</h1></body></html>"));
    startApp();
    waitForChecks(1);
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].startsWith(QStringLiteral("Failed to parse update version JSON: ")))
        << logLines()[0].toStdString();
    EXPECT_GT(logLines()[0].size(), QStringLiteral("Failed to parse update version JSON: ").size());
    EXPECT_FALSE(appEngine().updateAvailable());
    EXPECT_FALSE(noticeShown());

    // The status is not judged: a document that parses counts, whatever the status says.
    TestHttpServer::Response notFound = TestHttpServer::json(kNewer);
    notFound.status = 404;
    server.setResponse(notFound);
    appEngine().checkForUpdates();
    waitForChecks(2);
    EXPECT_TRUE(appEngine().updateAvailable());
    EXPECT_EQ(logLines().size(), 1);
}

TEST_F(UpdateCheck, DocumentsWithoutAStringVersionAndAddressDoNothing)
{
    const QByteArray bodies[] = {
        "{}",
        R"({"version": "9.0", "release_notes_en": "no address"})",
        R"({"version": 9, "download_url": "https://example.invalid/"})",
        R"({"version": "9.0", "download_url": null})",
        R"(["9.0", "https://example.invalid/"])",
    };
    server.setResponse(TestHttpServer::json(bodies[0]));
    startApp();
    waitForChecks(1);
    for (int i = 1; i < int(std::size(bodies)); ++i) {
        server.setResponse(TestHttpServer::json(bodies[i]));
        appEngine().checkForUpdates();
        waitForChecks(i + 1);
    }
    EXPECT_FALSE(appEngine().updateAvailable());
    EXPECT_TRUE(appEngine().updateDownloadURL().isEmpty());
    EXPECT_FALSE(noticeShown());
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join(QLatin1Char('\n')).toStdString();

    // In Indonesian, a document with English notes only shows the notice without its notes box.
    appEngine().setLanguage(QStringLiteral("Indonesia"));
    server.setResponse(TestHttpServer::json(
        R"({"version": "2", "download_url": "https://x.invalid/", "release_notes_en": "Only English"})"));
    appEngine().checkForUpdates();
    waitForChecks(int(std::size(bodies)) + 1);
    ASSERT_TRUE(noticeShown());
    EXPECT_EQ(appEngine().updateNotes(), QString());
    EXPECT_FALSE(item("updateNotes")->isVisible());
}

TEST_F(UpdateCheck, RefusedConnectionGivesTheCheckLogLine)
{
    Start start;
    start.updateBaseUrl = TestHttpServer::refusingUrl();
    startApp(start);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fetcher->pendingRequests() == 0; }, 20000));
    drain();
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_EQ(logLines()[0], QStringLiteral("Failed to check for updates: Connection refused"));
    EXPECT_FALSE(noticeShown());
}

TEST_F(UpdateCheck, OversizedBodiesFailAndNeverHang)
{
    TestHttpServer::Response huge = TestHttpServer::json(QByteArray(5 * 1024 * 1024, ' ') + kNewer);
    server.setResponse(huge);
    startApp();
    waitForChecks(1);
    huge.announceLength = false; // cut off while it streams in
    server.setResponse(huge);
    appEngine().checkForUpdates();
    waitForChecks(2);
    const QString line =
        QStringLiteral("Failed to check for updates: The response is larger than 1048576 bytes.");
    EXPECT_EQ(logLines(), (QStringList{line, line}));
    EXPECT_FALSE(appEngine().updateAvailable());
}

TEST_F(UpdateCheck, SilentServerTimesOut)
{
    TestHttpServer::Response never;
    never.never = true;
    server.setResponse(never);
    Start start;
    start.timeout = std::chrono::milliseconds(1000);
    startApp(start);
    waitForChecks(1);
    EXPECT_EQ(logLines(), QStringList{QStringLiteral("Failed to check for updates: The request timed out.")});
    EXPECT_FALSE(noticeShown());
}

// The body stops in the middle and the connection closes. What arrived is a whole document offering a
// newer version, so only the announced length shows that the answer is not complete.
TEST_F(UpdateCheck, ConnectionDroppedInTheBodyFailsWithoutANotice)
{
    TestHttpServer::Response dropped = TestHttpServer::json(kNewer + QByteArray(4096, ' '));
    dropped.cutAfter = kNewer.size();
    server.setResponse(dropped);
    startApp();
    waitForChecks(1);
    EXPECT_EQ(logLines(), QStringList{QStringLiteral("Failed to check for updates: Connection closed")});
    EXPECT_FALSE(appEngine().updateAvailable());
    EXPECT_FALSE(noticeShown());
}

// One byte a second would take minutes: the whole request ends at its deadline, with the body unfinished.
TEST_F(UpdateCheck, TricklingServerEndsAtTheDeadline)
{
    TestHttpServer::Response slow = TestHttpServer::json(kNewer);
    slow.trickle = std::chrono::milliseconds(1000);
    server.setResponse(slow);
    Start start;
    start.timeout = std::chrono::milliseconds(2000);
    startApp(start);
    waitForChecks(1);
    EXPECT_EQ(logLines(), QStringList{QStringLiteral("Failed to check for updates: The request timed out.")});
    EXPECT_LT(server.bodyBytesSent(), kNewer.size());
    EXPECT_FALSE(noticeShown());
}

// 100 MiB without a length, sent as fast as the client takes it: the fetcher holds at most the cap and
// one read-ahead of Qt's, because the transfer is flow-controlled rather than watched.
TEST_F(UpdateCheck, FloodIsCutOffAtTheCapWhateverTheServersPace)
{
    server.setResponse(TestHttpServer::json(R"({"version": "1.0", "download_url": "https://a.invalid/"})"));
    Start start;
    start.timeout = std::chrono::milliseconds(60000); // only the size cap may end it
    startApp(start);
    waitForChecks(1);
    ASSERT_TRUE(logLines().isEmpty());

    constexpr qint64 kFlood = 100 * 1024 * 1024;
    TestHttpServer::Response flood;
    flood.flood = kFlood;
    flood.announceLength = false;
    server.setResponse(flood);
    appEngine().checkForUpdates();
    waitForChecks(2);
    EXPECT_EQ(logLines(), QStringList{QStringLiteral(
                              "Failed to check for updates: The response is larger than 1048576 bytes.")});
    EXPECT_FALSE(noticeShown());
    EXPECT_GT(fetcher->mostBytesHeld(), 1024 * 1024);
    EXPECT_LE(fetcher->mostBytesHeld(), 1024 * 1024 + QtUpdateFetcher::kReadBufferBytes);
    EXPECT_LT(server.bodyBytesSent(), kFlood) << "the transfer ran to its end";
}

TEST_F(UpdateCheck, QuittingWhileAskingStaysSilent)
{
    TestHttpServer::Response never;
    never.never = true;
    server.setResponse(never);
    Start start;
    start.timeout = std::chrono::milliseconds(60000);
    startApp(start);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requestCount() == 1; }, 20000));
    stopApp();
    wait(100);
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join(QLatin1Char('\n')).toStdString();
}

TEST_F(UpdateCheck, UpdateNowOpensOnlyWebAddressesAndLaterHidesUntilTheNextFinding)
{
    UrlCatcher browser;
    server.setResponse(TestHttpServer::json(kNewer));
    startApp();
    waitForChecks(1);
    ASSERT_TRUE(noticeShown());

    tap(item("updateNowButton"));
    EXPECT_EQ(browser.opened, QStringList{QStringLiteral("https://example.invalid/loopwren-1.5.0")});
    EXPECT_TRUE(noticeShown()); // the notice stays after "Update Now"
    tap(item("laterButton"));
    EXPECT_FALSE(appEngine().updateAvailable());
    EXPECT_FALSE(noticeShown());

    // "Check Update" on the settings page asks again; a finding whose address is not a web page shows,
    // but "Update Now" opens nothing.
    server.setResponse(TestHttpServer::json(R"({"version": "9.0", "download_url": "file:///etc/passwd"})"));
    showSettings();
    tap(item("checkUpdateButton"));
    waitForChecks(2);
    EXPECT_TRUE(noticeShown());
    EXPECT_EQ(appEngine().updateDownloadURL(), QStringLiteral("file:///etc/passwd"));
    tap(item("updateNowButton"));
    EXPECT_EQ(browser.opened.size(), 1);
}

} // namespace
} // namespace loopwren

// The update check of the running application against an HTTP server on 127.0.0.1: what each answer
// shows, logs or leaves alone, and the notice's two buttons.
#include "uifixture.h"

#include <QDesktopServices>
#include <QTcpServer>
#include <QTcpSocket>

namespace loopwren {
namespace {

// Stands in for the web browser: QDesktopServices hands it the addresses it would have opened.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    UrlCatcher()
    {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlCatcher() override
    {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QStringList opened;

public slots:
    void open(const QUrl& url) { opened.append(url.toString()); }
};

// An HTTP/1.1 answer; without a Content-Length the body ends where the connection does.
QByteArray http(const QByteArray& body, int status = 200, bool announceLength = true)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " Test\r\nConnection: close\r\n" +
           (announceLength ? "Content-Length: " + QByteArray::number(body.size()) + "\r\n" : "") + "\r\n" +
           body;
}

const QByteArray kNewer = R"({"version": "1.5.0", "download_url": "https://example.invalid/loopwren-1.5.0",
    "release_notes_en": "Faster playback\nFixed hotkeys", "release_notes_id": "Pemutaran lebih cepat"})";
const QString kFailed = "Failed to check for updates: ";
const QString kTooLarge = kFailed + "The response is larger than 1048576 bytes.";

// The server is a listening socket on the test's event loop: the test takes each request's connection
// and writes the answer by hand, whole, in pieces, late or never, as a broken or hostile server would.
class UpdateCheck : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    }
    QString url() const { return QString("http://127.0.0.1:%1").arg(server.serverPort()); }
    // The connection of the next request, once the whole request has arrived; null if none comes.
    QTcpSocket* request()
    {
        QTcpSocket* client = nullptr;
        EXPECT_TRUE(test::eventually([&] {
            if (!client && server.hasPendingConnections())
                client = server.nextPendingConnection();
            return client && client->peek(8192).contains("\r\n\r\n");
        })) << "no request came";
        return client;
    }
    QTcpSocket* ask()
    {
        engine().checkForUpdates();
        return request();
    }
    // Answers and hangs up, then waits until the fetch has completed and its finding has landed.
    void answer(QTcpSocket* client, const QByteArray& reply)
    {
        if (client) {
            client->write(reply);
            client->disconnectFromHost();
        }
        finish();
    }
    void finish()
    {
        ASSERT_TRUE(test::eventually([&] { return fetcher->pendingRequests() == 0; }));
        drain();
    }
    bool noticeShown() { return item("updateNotice")->isVisible(); }

    QTcpServer server;
};

TEST_F(UpdateCheck, BrokenOrHostileAnswersChangeNothingAndOnlyANewerVersionShows)
{
    start({.updateBaseUrl = url()}); // asks at start
    QTcpSocket* first = request();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->peek(8192).startsWith("GET /api/version.json HTTP/1.1\r\n"));
    answer(first, http(R"({"version": "1.4.2.0", "download_url": "https://a.invalid/"})"));

    // clang-format off
    const std::pair<QByteArray, QString> cases[] = {
        {http("{}"), {}}, {http(R"(["9.0", "https://example.invalid/"])"), {}},
        {http(R"({"version": "9.0", "download_url": null})"), {}},
        {http(R"({"version": 9, "download_url": "https://example.invalid/"})"), {}},
        // An error page: the parser's reason follows.
        {http("<html><body><h1>502 Bad Gateway</h1></body></html>", 502), "Failed to parse update version JSON: "},
        // A length over the cap ends the request before the body is read.
        {http(QByteArray(5 * 1024 * 1024, ' ') + kNewer), kTooLarge},
        // The body stops in the middle and the connection closes. What arrived is a whole document offering
        // a newer version, so only the announced length shows that the answer is not complete.
        {http(kNewer + QByteArray(4096, ' ')).chopped(4096), kFailed + "Connection closed"},
    };
    // clang-format on
    for (const auto& [reply, log] : cases) {
        SCOPED_TRACE(reply.left(120).toStdString());
        logged.clear();
        answer(ask(), reply);
        EXPECT_EQ(logged.size(), log.isEmpty() ? 0 : 1);
        EXPECT_TRUE(logged.value(0).startsWith(log)) << logged.join('\n').toStdString();
        EXPECT_FALSE(engine().updateAvailable() || noticeShown());
    }

    // 100 MiB without a length, a piece whenever the last has gone to the network: the body is counted as
    // it comes, the request ends, and the fetcher never holds more than one byte past the cap, however far
    // the server runs ahead.
    constexpr qint64 kFlood = 100 * 1024 * 1024;
    logged.clear();
    QTcpSocket* flooded = ask();
    ASSERT_NE(flooded, nullptr);
    qint64 sent = 0;
    const QObject scope;
    QObject::connect(flooded, &QTcpSocket::bytesWritten, &scope, [&] {
        if (flooded->bytesToWrite() == 0 && sent < kFlood)
            sent += flooded->write(QByteArray(64 * 1024, ' '));
    });
    flooded->write(http({}, 200, false));
    finish();
    EXPECT_EQ(logged, QStringList{kTooLarge});
    EXPECT_EQ(fetcher->mostBytesHeld(), 1024 * 1024 + 1);
    EXPECT_LT(sent, kFlood) << "the flood ran to its end";

    // The status is not judged: a document that parses counts, whatever the status says. An equal or
    // older version later keeps the earlier finding.
    logged.clear();
    for (const char* body :
         {kNewer.constData(), R"({"version": "1.4.2", "download_url": "https://b.invalid/"})",
          R"({"version": "1.3.9", "download_url": "https://c.invalid/"})"}) {
        answer(ask(), http(body, 404));
        EXPECT_TRUE(noticeShown());
        EXPECT_EQ(engine().updateDownloadURL(), "https://example.invalid/loopwren-1.5.0");
        EXPECT_EQ(engine().updateNotes(), "Faster playback\nFixed hotkeys");
    }
    EXPECT_TRUE(logged.isEmpty()) << logged.join('\n').toStdString();
}

TEST_F(UpdateCheck, NoticeFollowsTheLanguageAndItsButtonsOpenOnlyWebAddresses)
{
    UrlCatcher browser;
    start({.updateBaseUrl = url()});
    QTcpSocket* held = request();
    // The language changes while the answer is on its way: the notes follow the language of the moment
    // the check completes.
    engine().setLanguage("Indonesia");
    answer(held, http(kNewer));
    EXPECT_EQ(engine().updateNotes(), "Pemutaran lebih cepat");
    ASSERT_TRUE(noticeShown());
    EXPECT_EQ(labelOf("updateTitle"), "Pembaruan Tersedia");
    EXPECT_TRUE(item("updateNotes")->isVisible());
    // The notice's texts follow a later switch at once; the notes wait for the next finding.
    engine().setLanguage("English");
    drain();
    EXPECT_EQ(labelOf("updateTitle"), "Update Available");
    EXPECT_EQ(engine().updateNotes(), "Pemutaran lebih cepat");

    click("updateNowButton");
    EXPECT_EQ(browser.opened, QStringList{"https://example.invalid/loopwren-1.5.0"});
    EXPECT_TRUE(noticeShown()) << "the notice stays after Update Now";
    click("laterButton");
    EXPECT_FALSE(engine().updateAvailable() || noticeShown());

    // "Check Update" on the settings page asks again. In Indonesian, a document with English notes only
    // shows the notice without its notes box; an address that is not a web page shows, but opens nothing.
    engine().setLanguage("Indonesia");
    showSettings();
    click("checkUpdateButton");
    answer(request(),
           http(R"({"version": "9", "download_url": "file:///etc/passwd", "release_notes_en": "x"})"));
    ASSERT_TRUE(noticeShown());
    EXPECT_FALSE(item("updateNotes")->isVisible());
    click("updateNowButton");
    EXPECT_EQ(browser.opened.size(), 1);

    // Quitting while a check is on its way stays silent.
    ASSERT_NE(ask(), nullptr);
    stop();
    EXPECT_TRUE(logged.isEmpty()) << logged.join('\n').toStdString();
}

TEST_F(UpdateCheck, RefusedConnectionAndTheWholeRequestDeadline)
{
    const QString refusing = url();
    server.close();
    start({.updateBaseUrl = refusing});
    finish();
    EXPECT_EQ(logged, QStringList{kFailed + "Connection refused"});
    stop();

    // One byte a second would take minutes: the request ends at its deadline, with the body unfinished,
    // however steadily the bytes come.
    logged.clear();
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    start({.updateBaseUrl = url(), .timeout = std::chrono::milliseconds(2000)});
    QTcpSocket* slow = request();
    ASSERT_NE(slow, nullptr);
    const QByteArray reply = http(kNewer);
    qsizetype sent = reply.size() - kNewer.size();
    slow->write(reply.left(sent));
    QTimer trickle;
    QObject::connect(&trickle, &QTimer::timeout, [&] { slow->write(reply.mid(sent++, 1)); });
    trickle.start(1000);
    finish();
    EXPECT_EQ(logged, QStringList{kFailed + "The request timed out."});
    EXPECT_LT(sent, reply.size());
    EXPECT_FALSE(noticeShown());
}

} // namespace
} // namespace loopwren

#include "updatecheck_test.moc"

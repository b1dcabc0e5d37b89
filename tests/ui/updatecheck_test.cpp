// The update check of the running application against an HTTP server on 127.0.0.1: what each answer
// shows, logs or leaves alone, and the notice's two buttons.
#include "uifixture.h"

#include <QDesktopServices>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace loopwren {
namespace {

// An HTTP/1.1 server on the test's event loop that answers every request with the reply set last, counts
// the requests, and can misbehave as a broken or hostile server does. Each piece of a body is written
// once the one before has gone to the network, so a client that stops reading holds the server back.
class HttpServer : public QTcpServer
{
public:
    struct Reply
    {
        int status = 200;
        QByteArray body{};
        bool announceLength = true; // without a Content-Length the body ends where the connection does
        bool hold = false;          // the answer waits for release()
        qint64 cutAfter = -1;       // hangs up after this many bytes of the body, whatever was announced
        int trickleMs = 0;          // one byte of the body per interval
        qint64 flood = 0; // this many filler bytes instead of the body, as fast as the client takes them
    };

    HttpServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* client = nextPendingConnection();
            connect(client, &QTcpSocket::readyRead, this, [this, client] { read(client); });
            connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        });
    }
    QString baseUrl() const { return QString("http://127.0.0.1:%1").arg(serverPort()); }
    void release()
    {
        for (const QPointer<QTcpSocket>& client : std::exchange(m_held, {}))
            answer(client, reply);
    }

    Reply reply;
    int requests = 0;
    QString firstRequestLine;
    qint64 bodyBytesSent = 0; // handed to the network, over all answers

private:
    void read(QTcpSocket* client)
    {
        if (!client->peek(8192).contains("\r\n\r\n"))
            return;
        const QByteArray request = client->readAll();
        if (requests++ == 0)
            firstRequestLine = QString::fromLatin1(request.left(request.indexOf("\r\n")));
        if (reply.hold)
            m_held << client;
        else
            answer(client, reply);
    }
    void answer(QTcpSocket* client, const Reply& r)
    {
        if (!client)
            return;
        const qint64 length = r.flood > 0 ? r.flood : r.body.size();
        QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + " Test\r\nConnection: close\r\n";
        if (r.announceLength)
            head += "Content-Length: " + QByteArray::number(length) + "\r\n";
        client->write(head + "\r\n");
        const qint64 end = r.cutAfter >= 0 ? r.cutAfter : length;
        const auto next = [this, client, r, end, sent = std::make_shared<qint64>(0)] {
            if (*sent >= end)
                return client->disconnectFromHost();
            if (r.trickleMs == 0 && client->bytesToWrite() > 0)
                return;
            const qint64 piece = r.trickleMs > 0 ? 1 : std::min(end - *sent, qint64(64 * 1024));
            client->write(r.flood > 0 ? QByteArray(piece, ' ') : r.body.mid(*sent, piece));
            *sent += piece;
            bodyBytesSent += piece;
        };
        if (r.trickleMs == 0)
            return void(connect(client, &QTcpSocket::bytesWritten, client, next));
        auto* timer = new QTimer(client);
        connect(timer, &QTimer::timeout, client, next);
        timer->start(r.trickleMs);
    }

    QList<QPointer<QTcpSocket>> m_held;
};

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

const QByteArray kNewer = R"({"version": "1.5.0", "download_url": "https://example.invalid/loopwren-1.5.0",
    "release_notes_en": "Faster playback\nFixed hotkeys", "release_notes_id": "Pemutaran lebih cepat"})";
const QString kFailed = "Failed to check for updates: ";

class UpdateCheck : public UiTest
{
protected:
    // Asks (unless the start did) with the reply set, and waits until the server has seen count requests
    // in all and every fetch has completed, then lets the queued findings land.
    void check(int count, bool ask = true)
    {
        if (ask)
            engine().checkForUpdates();
        ASSERT_TRUE(test::eventually([&] {
            return server.requests >= count && fetcher->pendingRequests() == 0;
        })) << "requests seen: "
            << server.requests;
        drain();
        EXPECT_EQ(server.requests, count);
    }
    bool noticeShown() { return item("updateNotice")->isVisible(); }

    HttpServer server;
};

TEST_F(UpdateCheck, BrokenOrHostileAnswersChangeNothingAndOnlyANewerVersionShows)
{
    server.reply = {.body = R"({"version": "1.4.2.0", "download_url": "https://a.invalid/"})"};
    start({.updateBaseUrl = server.baseUrl()}); // asks at start
    check(1, false);
    EXPECT_EQ(server.firstRequestLine, "GET /api/version.json HTTP/1.1");

    constexpr qint64 kFlood = 100 * 1024 * 1024;
    const QString tooLarge = kFailed + "The response is larger than 1048576 bytes.";
    // clang-format off
    const std::pair<HttpServer::Reply, QString> cases[] = {
        {{.body = "{}"}, {}}, {{.body = R"(["9.0", "https://example.invalid/"])"}, {}},
        {{.body = R"({"version": "9.0", "download_url": null})"}, {}},
        {{.body = R"({"version": 9, "download_url": "https://example.invalid/"})"}, {}},
        // An error page: the parser's reason follows.
        {{.status = 502, .body = "<html><body><h1>502 Bad Gateway</h1></body></html>"},
         "Failed to parse update version JSON: "},
        // A length over the cap ends the request before the body; without one, the body is counted.
        {{.body = QByteArray(5 * 1024 * 1024, ' ') + kNewer}, tooLarge},
        {{.announceLength = false, .flood = kFlood}, tooLarge},
        // The body stops in the middle and the connection closes. What arrived is a whole document offering
        // a newer version, so only the announced length shows that the answer is not complete.
        {{.body = kNewer + QByteArray(4096, ' '), .cutAfter = kNewer.size()}, kFailed + "Connection closed"},
    };
    // clang-format on
    for (const auto& [reply, log] : cases) {
        SCOPED_TRACE(reply.body.left(60).toStdString());
        logged.clear();
        server.reply = reply;
        check(server.requests + 1);
        EXPECT_EQ(logged.size(), log.isEmpty() ? 0 : 1);
        EXPECT_TRUE(logged.value(0).startsWith(log)) << logged.join('\n').toStdString();
        EXPECT_FALSE(engine().updateAvailable() || noticeShown());
    }
    // The fetcher never held more than one byte past the cap, however far the server ran ahead.
    EXPECT_EQ(fetcher->mostBytesHeld(), 1024 * 1024 + 1);
    EXPECT_LT(server.bodyBytesSent, kFlood) << "the flood ran to its end";

    // The status is not judged: a document that parses counts, whatever the status says. An equal or
    // older version later keeps the earlier finding.
    logged.clear();
    for (const char* body :
         {kNewer.constData(), R"({"version": "1.4.2", "download_url": "https://b.invalid/"})",
          R"({"version": "1.3.9", "download_url": "https://c.invalid/"})"}) {
        server.reply = {.status = 404, .body = body};
        check(server.requests + 1);
        EXPECT_TRUE(noticeShown());
        EXPECT_EQ(engine().updateDownloadURL(), "https://example.invalid/loopwren-1.5.0");
        EXPECT_EQ(engine().updateNotes(), "Faster playback\nFixed hotkeys");
    }
    EXPECT_TRUE(logged.isEmpty()) << logged.join('\n').toStdString();
}

TEST_F(UpdateCheck, NoticeFollowsTheLanguageAndItsButtonsOpenOnlyWebAddresses)
{
    UrlCatcher browser;
    server.reply = {.body = kNewer, .hold = true};
    start({.updateBaseUrl = server.baseUrl()});
    ASSERT_TRUE(test::eventually([&] { return server.requests == 1; }));
    // The language changes while the answer is on its way: the notes follow the language of the moment
    // the check completes.
    engine().setLanguage("Indonesia");
    server.release();
    check(1, false);
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
    server.reply = {.body =
                        R"({"version": "9", "download_url": "file:///etc/passwd", "release_notes_en": "x"})"};
    showSettings();
    click("checkUpdateButton");
    check(2, false);
    ASSERT_TRUE(noticeShown());
    EXPECT_FALSE(item("updateNotes")->isVisible());
    click("updateNowButton");
    EXPECT_EQ(browser.opened.size(), 1);

    // Quitting while a check is on its way stays silent.
    server.reply = {.body = kNewer, .hold = true};
    engine().checkForUpdates();
    ASSERT_TRUE(test::eventually([&] { return server.requests == 3; }));
    stop();
    EXPECT_TRUE(logged.isEmpty()) << logged.join('\n').toStdString();
}

TEST_F(UpdateCheck, RefusedConnectionAndTheWholeRequestDeadline)
{
    const QString refusing = HttpServer().baseUrl(); // a port that was free a moment ago
    start({.updateBaseUrl = refusing});
    ASSERT_TRUE(test::eventually([&] { return fetcher->pendingRequests() == 0; }));
    drain();
    EXPECT_EQ(logged, QStringList{kFailed + "Connection refused"});
    stop();

    // One byte a second would take minutes: the request ends at its deadline, with the body unfinished,
    // however steadily the bytes come.
    logged.clear();
    server.reply = {.body = kNewer, .trickleMs = 1000};
    start({.updateBaseUrl = server.baseUrl(), .timeout = std::chrono::milliseconds(2000)});
    check(1, false);
    EXPECT_EQ(logged, QStringList{kFailed + "The request timed out."});
    EXPECT_LT(server.bodyBytesSent, kNewer.size());
    EXPECT_FALSE(noticeShown());
}

} // namespace
} // namespace loopwren

#include "updatecheck_test.moc"

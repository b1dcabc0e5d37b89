// The update check of the running application against an HTTP server on 127.0.0.1: what each answer
// shows, logs or leaves alone, and the notice's two buttons.
#include "uifixture.h"

#include <QDesktopServices>

#include <arpa/inet.h>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace loopwren {
namespace {

// A small HTTP/1.1 server with a thread of its own, as a server in another process has: the client's
// event loop does not pace it. It answers every request with the response set last, counts the
// requests, and can misbehave as a broken or hostile server does.
class HttpServer
{
public:
    struct Response
    {
        int status = 200;
        QByteArray body{};
        bool announceLength = true; // without a Content-Length the body ends where the connection does
        bool hold = false;          // the answer waits for release()
        qint64 cutAfter = -1;       // hangs up after this many bytes of the body, whatever was announced
        std::chrono::milliseconds trickle{0}; // one byte of the body per interval
        qint64 flood = 0; // this many filler bytes instead of the body, as fast as the client takes them
    };

    HttpServer()
    {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(m_listener, 8) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            qFatal("the test HTTP server cannot listen on 127.0.0.1");
        m_url = QString("http://127.0.0.1:%1").arg(ntohs(address.sin_port));
        m_thread = std::thread([this] { serve(); });
    }
    // The application has gone by now, so no answer is left blocked on it.
    ~HttpServer()
    {
        m_stopping = true;
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }

    QString baseUrl() const { return m_url; }
    // An address on 127.0.0.1 where nothing listens: a port that was free a moment ago.
    static QString refusingUrl() { return HttpServer().baseUrl(); }
    void setResponse(const Response& response)
    {
        const std::lock_guard lock(m_mutex);
        m_response = response;
        released = false;
    }

    std::atomic<bool> released = false; // the held answer goes out
    std::atomic<int> requests = 0;
    QString firstRequestLine;              // set before the first request is counted
    std::atomic<qint64> bodyBytesSent = 0; // handed to the network, over all answers

private:
    // One connection at a time: the update check never asks twice at once.
    void serve()
    {
        for (int client; (client = ::accept(m_listener, nullptr, nullptr)) >= 0; ::close(client)) {
            QByteArray request(4096, 0);
            for (qsizetype size = 0, got = 1; got > 0 && !request.left(size).contains("\r\n\r\n");
                 size += got)
                got = ::recv(client, request.data() + size, std::size_t(request.size() - size), 0);
            if (requests == 0)
                firstRequestLine = QString::fromLatin1(request.left(request.indexOf("\r\n")));
            ++requests;
            const Response response = [this] {
                const std::lock_guard lock(m_mutex);
                return m_response;
            }();
            while (response.hold && !released && !m_stopping)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            answer(client, response);
        }
    }

    void answer(int client, const Response& response)
    {
        const bool flood = response.flood > 0;
        const QByteArray body = flood ? QByteArray(64 * 1024, ' ') : response.body;
        const qint64 length = flood ? response.flood : body.size();
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) +
                          " Test\r\nContent-Type: application/json\r\nConnection: close\r\n";
        if (response.announceLength)
            head += "Content-Length: " + QByteArray::number(length) + "\r\n";
        head += "\r\n";
        ::send(client, head.constData(), std::size_t(head.size()), MSG_NOSIGNAL);
        const qint64 end = response.cutAfter >= 0 ? response.cutAfter : length;
        for (qint64 sent = 0; sent < end && !m_stopping;) {
            const qint64 piece = response.trickle.count() > 0 ? 1 : std::min(end - sent, qint64(64 * 1024));
            std::this_thread::sleep_for(response.trickle);
            const char* data = flood ? body.constData() : body.constData() + sent;
            if (::send(client, data, std::size_t(piece), MSG_NOSIGNAL) != piece)
                return;
            sent += piece;
            bodyBytesSent += piece;
        }
        ::shutdown(client, SHUT_WR);
    }

    int m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    QString m_url;
    std::thread m_thread;
    std::mutex m_mutex;
    Response m_response;
    std::atomic<bool> m_stopping = false;
};

// Stands in for the web browser: QDesktopServices hands it the addresses it would have opened.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    UrlCatcher()
    {
        for (const char* scheme : kSchemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlCatcher() override
    {
        for (const char* scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    static constexpr const char* kSchemes[] = {"http", "https", "file"};
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
    // Waits until the server has seen count requests in all and every fetch has completed, then lets the
    // queued findings land.
    void waitForChecks(int count)
    {
        ASSERT_TRUE(test::eventually([&] { return server.requests >= count && fetcher->pendingRequests() == 0; }))
            << "requests seen: " << server.requests;
        drain();
        EXPECT_EQ(server.requests, count);
    }
    void check(const HttpServer::Response& response)
    {
        const int count = server.requests + 1;
        server.setResponse(response);
        engine().checkForUpdates();
        waitForChecks(count);
    }
    bool noticeShown() { return item("updateNotice")->isVisible(); }

    HttpServer server;
};

TEST_F(UpdateCheck, BrokenOrHostileAnswersChangeNothingAndOnlyANewerVersionShows)
{
    server.setResponse({.body = R"({"version": "1.4.2.0", "download_url": "https://a.invalid/"})"});
    start({.updateBaseUrl = server.baseUrl()}); // asks at start
    waitForChecks(1);
    EXPECT_EQ(server.firstRequestLine, "GET /api/version.json HTTP/1.1");

    const QByteArray huge = QByteArray(5 * 1024 * 1024, ' ') + kNewer;
    constexpr qint64 kFlood = 100 * 1024 * 1024;
    const QString tooLarge = kFailed + "The response is larger than 1048576 bytes.";
    // clang-format off
    const std::pair<HttpServer::Response, QString> cases[] = {
        {{.body = "{}"}, {}}, {{.body = R"(["9.0", "https://example.invalid/"])"}, {}},
        {{.body = R"({"version": "9.0", "download_url": null})"}, {}},
        {{.body = R"({"version": 9, "download_url": "https://example.invalid/"})"}, {}},
        // An error page: the parser's reason follows.
        {{.status = 502, .body = "<html><body><h1>502 Bad Gateway</h1></body></html>"},
         "Failed to parse update version JSON: "},
        {{.body = huge}, tooLarge}, {{.body = huge, .announceLength = false}, tooLarge},
        // The body stops in the middle and the connection closes. What arrived is a whole document offering
        // a newer version, so only the announced length shows that the answer is not complete.
        {{.body = kNewer + QByteArray(4096, ' '), .cutAfter = kNewer.size()}, kFailed + "Connection closed"},
        // 100 MiB without a length, sent as fast as the client takes it.
        {{.announceLength = false, .flood = kFlood}, tooLarge},
    };
    // clang-format on
    for (const auto& [response, log] : cases) {
        SCOPED_TRACE(response.body.left(60).toStdString());
        logged.clear();
        check(response);
        EXPECT_EQ(logged.size(), log.isEmpty() ? 0 : 1);
        EXPECT_TRUE(logged.value(0).startsWith(log)) << logged.join('\n').toStdString();
        EXPECT_FALSE(engine().updateAvailable() || noticeShown());
    }
    // The fetcher never held more than one byte past the cap, however far the server ran ahead: it takes
    // no more than that from the reply, and Qt's own read-ahead is bounded by its read buffer.
    EXPECT_EQ(fetcher->mostBytesHeld(), 1024 * 1024 + 1);
    EXPECT_LT(server.bodyBytesSent, kFlood) << "the flood ran to its end";

    // The status is not judged: a document that parses counts, whatever the status says. An equal or
    // older version later keeps the earlier finding.
    logged.clear();
    for (const char* body :
         {kNewer.constData(), R"({"version": "1.4.2", "download_url": "https://b.invalid/"})",
          R"({"version": "1.3.9", "download_url": "https://c.invalid/"})"}) {
        check({.status = 404, .body = body});
        EXPECT_TRUE(noticeShown());
        EXPECT_EQ(engine().updateDownloadURL(), "https://example.invalid/loopwren-1.5.0");
        EXPECT_EQ(engine().updateNotes(), "Faster playback\nFixed hotkeys");
    }
    EXPECT_TRUE(logged.isEmpty()) << logged.join('\n').toStdString();
}

TEST_F(UpdateCheck, NoticeFollowsTheLanguageAndItsButtonsOpenOnlyWebAddresses)
{
    UrlCatcher browser;
    const HttpServer::Response held{.body = kNewer, .hold = true};
    server.setResponse(held);
    start({.updateBaseUrl = server.baseUrl()});
    ASSERT_TRUE(test::eventually([&] { return server.requests == 1; }));
    // The language changes while the answer is on its way: the notes follow the language of the moment
    // the check completes.
    engine().setLanguage("Indonesia");
    server.released = true;
    waitForChecks(1);
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
    server.setResponse(
        {.body = R"({"version": "9", "download_url": "file:///etc/passwd", "release_notes_en": "x"})"});
    showSettings();
    click("checkUpdateButton");
    waitForChecks(2);
    ASSERT_TRUE(noticeShown());
    EXPECT_FALSE(item("updateNotes")->isVisible());
    click("updateNowButton");
    EXPECT_EQ(browser.opened.size(), 1);

    // Quitting while a check is on its way stays silent.
    server.setResponse(held);
    engine().checkForUpdates();
    ASSERT_TRUE(test::eventually([&] { return server.requests == 3; }));
    stop();
    EXPECT_TRUE(logged.isEmpty()) << logged.join('\n').toStdString();
}

TEST_F(UpdateCheck, RefusedConnectionAndTheWholeRequestDeadline)
{
    start({.updateBaseUrl = HttpServer::refusingUrl()});
    ASSERT_TRUE(test::eventually([&] { return fetcher->pendingRequests() == 0; }));
    drain();
    EXPECT_EQ(logged, QStringList{kFailed + "Connection refused"});
    stop();

    // One byte a second would take minutes: the request ends at its deadline, with the body unfinished,
    // however steadily the bytes come.
    logged.clear();
    server.setResponse({.body = kNewer, .trickle = std::chrono::milliseconds(1000)});
    start({.updateBaseUrl = server.baseUrl(), .timeout = std::chrono::milliseconds(2000)});
    waitForChecks(1);
    EXPECT_EQ(logged, QStringList{kFailed + "The request timed out."});
    EXPECT_LT(server.bodyBytesSent, kNewer.size());
    EXPECT_FALSE(noticeShown());
}

} // namespace
} // namespace loopwren

#include "updatecheck_test.moc"

#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace loopwren {

// A small HTTP/1.1 server on 127.0.0.1 for the update check: it answers every request with the
// response set last, counts the requests and can hold its answers back or never give one, or misbehave
// as a broken server does: hang up in the middle of the body, send it a byte at a time, flood.
class TestHttpServer
{
public:
    struct Response
    {
        int status = 200;
        QByteArray contentType = "application/json";
        QByteArray body;
        // Without a Content-Length the body ends where the connection does.
        bool announceLength = true;
        // Held answers wait for release(); a server that never answers keeps the connection open.
        bool hold = false;
        bool never = false;
        // Hangs up after this many bytes of the body, whatever the Content-Length announced.
        qint64 cutAfter = -1;
        // Sends the body one byte per interval.
        std::chrono::milliseconds trickle{0};
        // Sends this many filler bytes instead of body, as fast as the client takes them.
        qint64 flood = 0;
    };

    static Response json(const QByteArray& body);
    static Response page(int status, const QByteArray& html);

    TestHttpServer();
    ~TestHttpServer();

    QString baseUrl() const;
    // An address on 127.0.0.1 where nothing listens.
    static QString refusingUrl();

    void setResponse(Response response) { m_response = std::move(response); }
    // Sends the held answers.
    void release();
    int requestCount() const { return m_requestLines.size(); }
    QStringList requestLines() const { return m_requestLines; }
    // Body bytes handed to the network so far, over all answers.
    qint64 bodyBytesSent() const { return m_bodyBytesSent; }

private:
    void accept();
    void readRequest(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Response& response);
    void trickle(QTcpSocket* socket, const QByteArray& body, std::chrono::milliseconds interval);
    void flood(QTcpSocket* socket, const QByteArray& head, qint64 size);

    QTcpServer m_server;
    Response m_response;
    QStringList m_requestLines;
    QList<QPointer<QTcpSocket>> m_held;
    QList<QPointer<QTcpSocket>> m_sockets;
    std::atomic<qint64> m_bodyBytesSent = 0;
    std::vector<std::thread> m_floods;
    std::vector<int> m_floodDescriptors;
};

} // namespace loopwren

#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

namespace loopwren {

// A small HTTP/1.1 server on 127.0.0.1 for the update check: it answers every request with the
// response set last, counts the requests and can hold its answers back or never give one.
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

  private:
    void accept();
    void readRequest(QTcpSocket* socket);
    static void answer(QTcpSocket* socket, const Response& response);

    QTcpServer m_server;
    Response m_response;
    QStringList m_requestLines;
    QList<QPointer<QTcpSocket>> m_held;
    QList<QPointer<QTcpSocket>> m_sockets;
};

} // namespace loopwren

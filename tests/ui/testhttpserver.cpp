#include "testhttpserver.h"

#include <QHostAddress>
#include <QTimer>

#include <memory>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace loopwren {
namespace {

constexpr qint64 kFloodChunk = 64 * 1024;

} // namespace

TestHttpServer::Response TestHttpServer::json(const QByteArray& body)
{
    Response response;
    response.body = body;
    return response;
}

TestHttpServer::Response TestHttpServer::page(int status, const QByteArray& html)
{
    Response response;
    response.status = status;
    response.contentType = "text/html; charset=utf-8";
    response.body = html;
    return response;
}

TestHttpServer::TestHttpServer()
{
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        qFatal("the test HTTP server cannot listen on 127.0.0.1");
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
}

TestHttpServer::~TestHttpServer()
{
    // A flood blocked on a client that stopped reading ends here.
    for (const int fd : m_floodDescriptors)
        ::shutdown(fd, SHUT_RDWR);
    for (std::thread& flood : m_floods)
        flood.join();
    for (const int fd : m_floodDescriptors)
        ::close(fd);
    for (const QPointer<QTcpSocket>& socket : m_sockets) {
        if (socket)
            socket->abort();
    }
}

QString TestHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

QString TestHttpServer::refusingUrl()
{
    // A port that was free a moment ago; nothing on this machine listens there now.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

void TestHttpServer::release()
{
    const QList<QPointer<QTcpSocket>> held = std::exchange(m_held, {});
    for (const QPointer<QTcpSocket>& socket : held) {
        if (socket)
            answer(socket, m_response);
    }
}

void TestHttpServer::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        m_sockets.append(socket);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { readRequest(socket); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestHttpServer::readRequest(QTcpSocket* socket)
{
    // The request is a GET without a body: it is complete with its empty line.
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n") || socket->property("counted").toBool())
        return;
    socket->setProperty("counted", true);
    m_requestLines.append(QString::fromLatin1(request.left(request.indexOf("\r\n"))));
    if (m_response.never)
        return;
    if (m_response.hold)
        m_held.append(socket);
    else
        answer(socket, m_response);
}

void TestHttpServer::answer(QTcpSocket* socket, const Response& response)
{
    const qint64 length = response.flood > 0 ? response.flood : response.body.size();
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " Test\r\n";
    head += "Content-Type: " + response.contentType + "\r\n";
    if (response.announceLength)
        head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    head += "Connection: close\r\n\r\n";
    if (response.flood > 0) {
        flood(socket, head, response.flood);
        return;
    }
    socket->write(head);
    const QByteArray body = response.cutAfter >= 0 ? response.body.left(response.cutAfter) : response.body;
    if (response.trickle.count() > 0) {
        trickle(socket, body, response.trickle);
        return;
    }
    socket->write(body);
    m_bodyBytesSent += body.size();
    // Closes once everything written has gone out (or the client has hung up).
    socket->disconnectFromHost();
}

void TestHttpServer::trickle(QTcpSocket* socket, const QByteArray& body, std::chrono::milliseconds interval)
{
    auto* timer = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    QObject::connect(timer, &QTimer::timeout, socket, [this, socket, timer, body, sent] {
        if (*sent == body.size()) {
            timer->stop();
            socket->disconnectFromHost();
            return;
        }
        socket->write(body.mid(*sent, 1));
        ++*sent;
        ++m_bodyBytesSent;
    });
    timer->start(interval);
}

void TestHttpServer::flood(QTcpSocket* socket, const QByteArray& head, qint64 size)
{
    // A server in another process sends as fast as the client takes the bytes. Sent from this thread,
    // the flood would be paced by the event loop the client shares, so a thread of its own sends it
    // over a copy of the connection's descriptor, blocking while the client does not read.
    const int fd = ::dup(static_cast<int>(socket->socketDescriptor()));
    if (fd < 0)
        qFatal("the test HTTP server cannot take over a connection");
    socket->abort(); // the copy keeps the connection open
    m_floodDescriptors.push_back(fd);
    m_floods.emplace_back([this, fd, head, size] {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        // A small send buffer, so that what the client does not take stays with the sender.
        const int sendBuffer = kFloodChunk;
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
        static const QByteArray filler(kFloodChunk, ' ');
        bool open =
            ::send(fd, head.constData(), static_cast<std::size_t>(head.size()), MSG_NOSIGNAL) == head.size();
        for (qint64 left = size; open && left > 0;) {
            const ssize_t sent = ::send(fd, filler.constData(),
                                        static_cast<std::size_t>(std::min(left, kFloodChunk)), MSG_NOSIGNAL);
            open = sent > 0;
            if (open) {
                left -= sent;
                m_bodyBytesSent += sent;
            }
        }
        // Ends the body; the descriptor itself is closed with the server.
        ::shutdown(fd, SHUT_RDWR);
    });
}

} // namespace loopwren

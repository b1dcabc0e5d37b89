#include "testhttpserver.h"

#include <QHostAddress>

namespace loopwren {

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
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " Test\r\n";
    head += "Content-Type: " + response.contentType + "\r\n";
    if (response.announceLength)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    socket->write(response.body);
    // Closes once everything written has gone out (or the client has hung up).
    socket->disconnectFromHost();
}

} // namespace loopwren

#include "cannedsocket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>

CannedSocket::CannedSocket(std::function<QByteArray(const QByteArray&)> reply, const QString& path)
    : m_path(path.isEmpty() ? m_folder.filePath(QStringLiteral("sock")) : path), m_reply(std::move(reply))
{
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = m_path.toLocal8Bit();
    if (static_cast<std::size_t>(name.size()) < sizeof(address.sun_path)) {
        std::copy(name.begin(), name.end(), address.sun_path);
        ::unlink(address.sun_path);
        m_listening = ::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
                      ::listen(m_listener, 8) == 0;
    }
    m_thread = std::thread([this] {
        for (;;) {
            // Ends when the destructor shuts the listener down.
            const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                return;
            // The client sends its whole request before it reads; one message is all it says.
            QByteArray request;
            pollfd readable{client, POLLIN, 0};
            char chunk[65536];
            while (::poll(&readable, 1, request.isEmpty() ? 10000 : 50) > 0) {
                const ssize_t got = ::recv(client, chunk, sizeof(chunk), 0);
                if (got <= 0)
                    break;
                request.append(chunk, static_cast<qsizetype>(got));
            }
            const QByteArray answer = m_reply(request);
            {
                std::lock_guard lock(m_mutex);
                m_requests.append(request);
            }
            ::send(client, answer.constData(), static_cast<std::size_t>(answer.size()), MSG_NOSIGNAL);
            ::close(client);
        }
    });
}

CannedSocket::~CannedSocket()
{
    ::shutdown(m_listener, SHUT_RDWR);
    m_thread.join();
    ::close(m_listener);
}

QList<QByteArray> CannedSocket::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

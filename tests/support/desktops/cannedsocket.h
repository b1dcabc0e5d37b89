#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <mutex>
#include <thread>

// A Unix socket that answers each connection's first message with what reply() makes of it, then
// closes: a compositor's IPC as a table of answers, for the parsing of what compositors say. reply() runs
// on the socket's own thread.
class CannedSocket
{
public:
    // Listens at path, or in a folder of its own when none is given.
    explicit CannedSocket(std::function<QByteArray(const QByteArray& request)> reply,
                          const QString& path = QString());
    ~CannedSocket();

    bool isListening() const { return m_listening; }
    QString path() const { return m_path; }
    // Every message received, oldest first.
    QList<QByteArray> requests() const;

private:
    QTemporaryDir m_folder;
    QString m_path;
    std::function<QByteArray(const QByteArray&)> m_reply;
    int m_listener = -1;
    bool m_listening = false;
    mutable std::mutex m_mutex;
    QList<QByteArray> m_requests;
    std::thread m_thread;
};

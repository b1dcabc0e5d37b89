#pragma once

#include "cannedsocket.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <vector>

// Stands in for Hyprland, which Debian does not package: a request socket that speaks the protocol
// hyprctl speaks (one request per connection, "j/" for JSON, "[[BATCH]]" for dispatches separated by
// ";", the reply until the socket closes) over a list of windows and the pointer, keeping the dispatches
// for the test to read back. It models what LoopWren uses and nothing else: only focus takes effect.
class HyprlandStandIn
{
public:
    struct Window
    {
        QString address;
        QString className;
        qint64 processId = 0;
    };

    // Listens at runtimeFolder/hypr/SIGNATURE/.socket.sock, as Hyprland 0.40 and later do.
    HyprlandStandIn(const QString& runtimeFolder, const QString& signature);

    bool isListening() const { return m_socket.isListening(); }
    void addWindow(const Window& window);
    void setCursor(QPoint position);
    QString focused() const;
    // Every dispatch so far, "dispatch NAME ARGUMENTS".
    QStringList dispatched() const;
    // How often the pointer's position was asked for.
    int cursorQueries() const { return m_cursorQueries; }
    // Stops answering: connections are accepted and closed at once, as by a compositor going down.
    void stopAnswering() { m_answering = false; }

private:
    QByteArray answer(const QByteArray& request);
    QByteArray dispatch(const QString& command);

    std::atomic<bool> m_answering{true};
    std::atomic<int> m_cursorQueries{0};
    mutable std::mutex m_mutex;
    std::vector<Window> m_windows;
    QPoint m_cursor;
    QString m_focused;
    QStringList m_dispatched;
    // Last, so that it stops answering before the desktop it answers about goes.
    CannedSocket m_socket;
};

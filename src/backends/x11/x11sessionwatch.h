#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <memory>

namespace loopwren {

class X11Connection;

// Tells the main thread when the X display goes away. The input connections fail quietly by design
// (every call on a lost connection returns at once), so without this a recording whose server died
// would go on capturing nothing, and an endless playback would post into the void for ever.
//
// It keeps a connection of its own that asks for nothing: the server never writes to it, so its
// socket turns readable only when the server closes it.
class X11SessionWatch : public QObject
{
    Q_OBJECT

public:
    // isWatching() is false when the display cannot be opened.
    explicit X11SessionWatch(const std::string& displayName, QObject* parent = nullptr);
    ~X11SessionWatch() override;

    bool isWatching() const { return m_notifier != nullptr; }
    QString displayName() const { return m_displayName; }

signals:
    // Emitted once, when the server has closed the connection.
    void lost();

private:
    void check();

    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QString m_displayName;
};

} // namespace loopwren

#pragma once

#include <QDBusConnection>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointF>
#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace loopwren {

class KWinBridgeEndpoint;
class KWinScript;

// LoopWren's line into KWin. Requests (list, focus, place) each run a short KWin script that answers
// by calling an object LoopWren registers on the session bus under its own unique name; one script
// stays loaded while LoopWren runs and pushes every change of the pointer's position to the same
// object, which keeps the last one for any thread to read without a D-Bus round trip.
//
// The object answers on a thread of its own, so a request may be made from any thread, the main one
// included, and blocks only that thread; each waits for its own answer.
class KWinBridge
{
public:
    // The bridge on the session bus, or nullptr with the reason in problem when the bus cannot be used.
    static std::shared_ptr<KWinBridge> connect(QString* problem);
    ~KWinBridge();

    KWinBridge(const KWinBridge&) = delete;
    KWinBridge& operator=(const KWinBridge&) = delete;

    // Runs the command ({"op": ...}) in KWin and returns its answer, or nullopt when KWin did not run the
    // script or did not answer in time.
    std::optional<QJsonDocument> request(const QJsonObject& command);
    // Loads the script that pushes the pointer and waits for its first push; empty once it came, else
    // why it did not.
    QString watchPointer();
    // The last position KWin pushed, in its logical coordinates; nullopt once KWin left the bus.
    std::optional<QPointF> pointer() const;

    // A position as the script pushes it, "x y"; nullopt when it is not two numbers.
    static std::optional<QPointF> pointerFrom(const QString& position);

private:
    KWinBridge(QDBusConnection bus, QString path, QString scriptPrefix);
    QByteArray scriptFor(const QString& token, const QJsonObject& command) const;
    QString nextToken();
    void receivePointer(const QString& token, const QString& position);
    void receiveAnswer(const QString& token, const QString& result);

    QDBusConnection m_bus;
    QString m_path;
    // Names KWin knows this bridge's scripts by: unique per process and bridge.
    QString m_scriptPrefix;
    QThread m_thread;
    KWinBridgeEndpoint* m_endpoint = nullptr;
    std::atomic<quint64> m_tokens{0};

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    // Requests waiting, with their answer once it came.
    std::map<QString, std::optional<QByteArray>> m_answers;
    QString m_pointerToken;
    std::optional<QPointF> m_pointer;
    std::unique_ptr<KWinScript> m_pointerScript;
};

} // namespace loopwren

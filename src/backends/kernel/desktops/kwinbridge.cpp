#include "kwinbridge.h"

#include "kwinbridgeendpoint.h"
#include "kwinscript.h"

#include <QCoreApplication>
#include <QDBusError>
#include <QDBusServiceWatcher>
#include <QFile>

#include <chrono>

namespace loopwren {
namespace {

// KWin answers within milliseconds; these only bound the wait on a compositor that is stuck or that
// dropped the script, generously for a machine busy with other work.
constexpr auto kAnswerTimeout = std::chrono::seconds(10);
constexpr auto kFirstPushTimeout = std::chrono::seconds(10);

// A deadline on the system clock: libstdc++ waits for one with pthread_cond_timedwait, which
// ThreadSanitizer follows, where a steady one uses pthread_cond_clockwait, which GCC 12's does not
// (it would see the mutex as never taken back). A clock set meanwhile only stretches or shortens
// these bounds.
std::chrono::system_clock::time_point deadlineIn(std::chrono::seconds timeout)
{
    return std::chrono::system_clock::now() + timeout;
}

std::atomic<int> bridgesMade{0};

QByteArray scriptText()
{
    QFile file(QStringLiteral(":/loopwren/kwin/kwinbridge.js"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

std::shared_ptr<KWinBridge> KWinBridge::connect(QString* problem)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        *problem = QStringLiteral("no session bus: %1").arg(bus.lastError().message());
        return nullptr;
    }
    // QtDBus holds back incoming calls until the main thread's event loop has handled the event it posts
    // when the connection is made; KWin's answers must come while the main thread waits for them, even
    // before that loop first runs (a command line program asks at once).
    QCoreApplication* const application = QCoreApplication::instance();
    if (application && application->thread() == QThread::currentThread())
        QCoreApplication::sendPostedEvents();
    // Several bridges may serve one process (the doctor opens the backend more than once).
    const int number = bridgesMade++;
    std::shared_ptr<KWinBridge> bridge(new KWinBridge(
        bus, QStringLiteral("/io/github/loopwren/KWinBridge/%1").arg(number),
        QStringLiteral("loopwren-%1-%2-").arg(QCoreApplication::applicationPid()).arg(number)));
    const QString path = bridge->m_path;
    if (!bus.registerObject(path, bridge->m_endpoint, QDBusConnection::ExportScriptableSlots)) {
        *problem =
            QStringLiteral("cannot offer %1 on the session bus: %2").arg(path, bus.lastError().message());
        return nullptr;
    }
    return bridge;
}

KWinBridge::KWinBridge(QDBusConnection bus, QString path, QString scriptPrefix)
    : m_bus(std::move(bus)), m_path(std::move(path)), m_scriptPrefix(std::move(scriptPrefix))
{
    m_endpoint = new KWinBridgeEndpoint(
        [this](const QString& token, const QString& position) { receivePointer(token, position); },
        [this](const QString& token, const QString& result) { receiveAnswer(token, result); });
    // A KWin that left the bus no longer knows where the pointer is: the last position it pushed would
    // be a guess.
    auto* const watcher = new QDBusServiceWatcher(QStringLiteral("org.kde.KWin"), m_bus,
                                                  QDBusServiceWatcher::WatchForUnregistration, m_endpoint);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceUnregistered, m_endpoint, [this] {
        const std::lock_guard lock(m_mutex);
        m_pointer.reset();
    });
    m_endpoint->moveToThread(&m_thread);
    m_thread.setObjectName(QStringLiteral("KWin bridge"));
    m_thread.start();
}

KWinBridge::~KWinBridge()
{
    m_pointerScript.reset();
    m_bus.unregisterObject(m_path);
    m_thread.quit();
    m_thread.wait();
    delete m_endpoint;
}

QString KWinBridge::nextToken() { return QString::number(++m_tokens); }

QByteArray KWinBridge::scriptFor(const QString& token, const QJsonObject& command) const
{
    const QJsonObject header{{QStringLiteral("service"), m_bus.baseService()},
                             {QStringLiteral("path"), m_path},
                             {QStringLiteral("token"), token},
                             {QStringLiteral("command"), command}};
    return "var loopwren = " + QJsonDocument(header).toJson(QJsonDocument::Compact) + ";\n" + scriptText();
}

std::optional<QJsonDocument> KWinBridge::request(const QJsonObject& command)
{
    const QString token = nextToken();
    {
        const std::lock_guard lock(m_mutex);
        m_answers.emplace(token, std::nullopt);
    }
    std::optional<QByteArray> answer;
    {
        // Unloaded as soon as it answered: one script per request keeps KWin free of LoopWren's state.
        const KWinScript script(m_bus, m_scriptPrefix + token, scriptFor(token, command));
        std::unique_lock lock(m_mutex);
        if (script.isRunning())
            m_changed.wait_until(lock, deadlineIn(kAnswerTimeout),
                                 [&] { return m_answers[token].has_value(); });
        answer = std::move(m_answers[token]);
        m_answers.erase(token);
    }
    if (!answer)
        return std::nullopt;
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(*answer, &error);
    if (error.error != QJsonParseError::NoError)
        return std::nullopt;
    return document;
}

QString KWinBridge::watchPointer()
{
    const QString token = nextToken();
    {
        const std::lock_guard lock(m_mutex);
        m_pointerToken = token;
    }
    auto script = std::make_unique<KWinScript>(
        m_bus, m_scriptPrefix + QStringLiteral("pointer"),
        scriptFor(token, {{QStringLiteral("op"), QStringLiteral("watchPointer")}}));
    if (!script->isRunning())
        return QStringLiteral("KWin did not run LoopWren's script: %1").arg(script->error());
    std::unique_lock lock(m_mutex);
    if (!m_changed.wait_until(lock, deadlineIn(kFirstPushTimeout),
                              [this] { return m_pointer.has_value(); })) {
        return QStringLiteral("KWin did not run LoopWren's script: it ran it, but no pointer position came "
                              "back on the session bus");
    }
    m_pointerScript = std::move(script);
    return QString();
}

std::optional<QPointF> KWinBridge::pointer() const
{
    const std::lock_guard lock(m_mutex);
    return m_pointer;
}

std::optional<QPointF> KWinBridge::pointerFrom(const QString& position)
{
    const QStringList parts = position.split(QLatin1Char(' '));
    bool xOk = false;
    bool yOk = false;
    const double x = parts.size() == 2 ? parts[0].toDouble(&xOk) : 0.0;
    const double y = parts.size() == 2 ? parts[1].toDouble(&yOk) : 0.0;
    if (!xOk || !yOk)
        return std::nullopt;
    return QPointF(x, y);
}

void KWinBridge::receivePointer(const QString& token, const QString& position)
{
    const std::optional<QPointF> pushed = pointerFrom(position);
    {
        const std::lock_guard lock(m_mutex);
        // Only the script this bridge keeps loaded may move it.
        if (token != m_pointerToken || !pushed)
            return;
        m_pointer = pushed;
    }
    m_changed.notify_all();
}

void KWinBridge::receiveAnswer(const QString& token, const QString& result)
{
    {
        const std::lock_guard lock(m_mutex);
        const auto waiting = m_answers.find(token);
        if (waiting == m_answers.end())
            return;
        waiting->second = result.toUtf8();
    }
    m_changed.notify_all();
}

} // namespace loopwren

#include "portalrequest.h"

#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <atomic>

namespace loopwren {
namespace {

const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");

QString nextToken()
{
    static std::atomic<unsigned> counter = 0;
    return QStringLiteral("loopwren%1").arg(++counter);
}

} // namespace

PortalRequest::PortalRequest(QDBusConnection bus, QDBusMessage call, Answered answered, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_service(call.service()), m_answered(std::move(answered))
{
    const QString token = nextToken();
    // The portal names the request after the caller's unique name, without its colon and with its dots
    // as underscores.
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    listen(QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token));

    QList<QVariant> arguments = call.arguments();
    QVariantMap options = arguments.isEmpty() ? QVariantMap() : arguments.takeLast().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    arguments.append(options);
    call.setArguments(arguments);

    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *call;
        if (reply.isError())
            answer(false, {}, reply.error().message());
        else if (!m_path.isEmpty() && reply.value().path() != m_path)
            listen(reply.value().path()); // a portal older than the tokens chose a path of its own
    });
}

PortalRequest::~PortalRequest() { stopListening(); }

void PortalRequest::listen(const QString& path)
{
    stopListening();
    m_path = path;
    m_bus.connect(m_service, m_path, kRequestInterface, QStringLiteral("Response"), this,
                  SLOT(response(uint, QVariantMap)));
}

void PortalRequest::stopListening()
{
    if (m_path.isEmpty())
        return;
    m_bus.disconnect(m_service, m_path, kRequestInterface, QStringLiteral("Response"), this,
                     SLOT(response(uint, QVariantMap)));
    m_path.clear();
}

void PortalRequest::response(uint code, const QVariantMap& results)
{
    answer(code == 0, results,
           code == 1 ? QStringLiteral("the user cancelled")
                     : QStringLiteral("the portal answered %1").arg(code));
}

void PortalRequest::answer(bool granted, const QVariantMap& results, const QString& why)
{
    if (!m_answered)
        return;
    stopListening();
    // The callback may delete this request.
    const Answered answered = std::exchange(m_answered, nullptr);
    answered(granted, results, why);
}

} // namespace loopwren

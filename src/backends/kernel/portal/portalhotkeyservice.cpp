#include "portalhotkeyservice.h"

#include "portalrequest.h"
#include "portalshortcut.h"
#include "shortcuttrigger.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QSet>
#include <QTimer>
#include <cstdio>

namespace loopwren {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
// An answer to the version question takes a moment even where the bus starts the portal first.
constexpr int kProbeTimeoutMs = 5000;

QList<PortalShortcut> shortcutsIn(const QVariant& value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QList<PortalShortcut>>(value.value<QDBusArgument>());
    return value.value<QList<PortalShortcut>>();
}

void log(const QString& text)
{
    std::printf("LoopWren hotkeys: %s\n", qPrintable(text));
    std::fflush(stdout);
}

// Outside a sandbox the portal learns who is asking from its Registry (xdg-desktop-portal 1.19.4 on;
// GlobalShortcuts needs it from 1.21): once per connection and portal, before any other call to the
// portal, the version question included. The answer is awaited: the portal may handle calls side by
// side, and a registration that came second would be refused. A portal without the Registry answers as
// for any unknown method, and everything goes on without it.
void introduce(const QDBusConnection& bus)
{
    static QSet<QString> introduced;
    if (!bus.isConnected())
        return;
    // A portal that was started again has forgotten the name.
    const auto instance = [&bus] {
        return bus.baseService() + QLatin1Char(' ') + bus.interface()->serviceOwner(kService).value();
    };
    if (introduced.contains(instance()))
        return;
    QDBusMessage registration = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
    registration << QStringLiteral(LOOPWREN_APP_ID) << QVariantMap();
    const QDBusMessage reply = bus.call(registration, QDBus::Block, kProbeTimeoutMs);
    const QDBusError::ErrorType error = QDBusError(reply).type();
    if (reply.type() == QDBusMessage::ErrorMessage && error != QDBusError::UnknownMethod &&
        error != QDBusError::UnknownInterface && error != QDBusError::UnknownObject &&
        error != QDBusError::ServiceUnknown)
        log(QStringLiteral("the desktop portal did not take the application's name: %1")
                .arg(reply.errorMessage()));
    introduced.insert(instance());
}

} // namespace

std::optional<uint> PortalHotkeyService::offeredVersion(const QDBusConnection& bus)
{
    if (!bus.isConnected())
        return std::nullopt;
    introduce(bus);
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kProbeTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    bool isNumber = false;
    const uint version = reply.arguments().first().value<QDBusVariant>().variant().toUInt(&isNumber);
    if (!isNumber || version < 1)
        return std::nullopt;
    return version;
}

PortalHotkeyService::PortalHotkeyService(QDBusConnection bus, std::unique_ptr<HotkeyService> fallback)
    : m_bus(std::move(bus)), m_fallback(std::move(fallback))
{
    PortalShortcut::registerType();
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                  SLOT(activated(QDBusMessage)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("Deactivated"), this,
                  SLOT(deactivated(QDBusMessage)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ShortcutsChanged"), this,
                  SLOT(shortcutsChanged(QDBusMessage)));
    introduce(m_bus);
}

PortalHotkeyService::~PortalHotkeyService()
{
    m_triggersChanged = nullptr;
    m_request.reset();
    closeSession();
}

ServiceResult PortalHotkeyService::bind(const HotkeyRole& role, const Hotkey& hotkey, Pressed pressed,
                                        Binding& binding)
{
    binding = m_next++;
    Bound bound{role, hotkey, std::move(pressed), std::nullopt};
    if (m_fellBack) {
        Binding onFallback = 0;
        const ServiceResult result = m_fallback->bind(role, hotkey, bound.pressed, onFallback);
        if (!result.ok())
            return result;
        bound.onFallback = onFallback;
    }
    m_bindings.emplace(binding, std::move(bound));
    queueSync();
    return ServiceResult::done();
}

void PortalHotkeyService::unbind(Binding binding)
{
    const auto found = m_bindings.find(binding);
    if (found == m_bindings.end())
        return;
    if (found->second.onFallback)
        m_fallback->unbind(*found->second.onFallback);
    m_bindings.erase(found);
    // The session keeps its shortcuts; presses of one with no binding are simply not passed on.
}

std::optional<QString> PortalHotkeyService::desktopTrigger(const QString& id) const
{
    const auto trigger = m_triggers.find(id);
    const auto sent = m_sent.find(id);
    if (m_fellBack || trigger == m_triggers.end() || sent == m_sent.end())
        return std::nullopt;
    if (shortcuttrigger::describesSame(sent->second.preferred, trigger->second))
        return std::nullopt;
    return trigger->second;
}

std::vector<std::uint16_t> PortalHotkeyService::desktopTriggerKeys() const
{
    std::vector<std::uint16_t> keys;
    if (m_fellBack)
        return keys;
    for (const auto& [id, trigger] : m_triggers) {
        if (const std::optional<std::uint16_t> key = shortcuttrigger::keyCodeOf(trigger))
            keys.push_back(*key);
    }
    return keys;
}

PortalHotkeyService::Shortcuts PortalHotkeyService::wanted() const
{
    // The latest binding of each hotkey counts.
    Shortcuts shortcuts;
    for (const auto& [binding, bound] : m_bindings)
        shortcuts[bound.role.id] = {bound.role.description, shortcuttrigger::preferred(bound.hotkey)};
    return shortcuts;
}

void PortalHotkeyService::queueSync()
{
    if (m_fellBack || std::exchange(m_syncQueued, true))
        return;
    QTimer::singleShot(0, this, [this] {
        m_syncQueued = false;
        sync();
    });
}

void PortalHotkeyService::sync()
{
    const Shortcuts shortcuts = wanted();
    // One exchange with the portal at a time; the answer to it syncs again.
    if (m_fellBack || m_request || shortcuts.empty() || (shortcuts == m_sent && !m_session.isEmpty()))
        return;
    closeSession();
    m_sent = shortcuts;
    if (!m_triggers.empty()) {
        m_triggers.clear();
        notifyTriggers();
    }
    createSession();
}

void PortalHotkeyService::createSession()
{
    static unsigned sessions = 0;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CreateSession"));
    call << QVariantMap{
        {QStringLiteral("session_handle_token"), QStringLiteral("loopwren%1").arg(++sessions)}};
    m_request = std::make_unique<PortalRequest>(
        m_bus, call, [this](bool granted, const QVariantMap& results, const QString& why) {
            retireRequest();
            const QVariant handle = results.value(QStringLiteral("session_handle"));
            // Documented as a string, sent as an object path by some portals.
            m_session = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                             : handle.toString();
            if (!granted || m_session.isEmpty())
                fallBack(QStringLiteral("no shortcuts session: %1")
                             .arg(granted ? QStringLiteral("no handle") : why));
            else
                bindShortcuts();
        });
}

void PortalHotkeyService::bindShortcuts()
{
    QList<PortalShortcut> shortcuts;
    for (const auto& [id, wanted] : m_sent) {
        QVariantMap properties{{QStringLiteral("description"), wanted.description}};
        if (wanted.preferred)
            properties.insert(QStringLiteral("preferred_trigger"), *wanted.preferred);
        shortcuts.append({id, properties});
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(m_session)) << QVariant::fromValue(shortcuts) << QString()
         << QVariantMap();
    m_request = std::make_unique<PortalRequest>(
        m_bus, call, [this](bool granted, const QVariantMap& results, const QString& why) {
            retireRequest();
            if (!granted) {
                fallBack(QStringLiteral("the shortcuts were not bound: %1").arg(why));
                return;
            }
            // A shortcut the desktop left out has no trigger until the user gives it one there.
            m_triggers.clear();
            for (const auto& [id, wanted] : m_sent)
                m_triggers[id] = QString();
            takeTriggers(shortcutsIn(results.value(QStringLiteral("shortcuts"))));
            sync(); // the hotkeys may have changed meanwhile
        });
}

void PortalHotkeyService::fallBack(const QString& why)
{
    log(QStringLiteral(
            "the desktop's shortcuts portal refused (%1); the keys are watched on the input devices")
            .arg(why));
    m_fellBack = true;
    closeSession();
    m_triggers.clear();
    for (auto& [binding, bound] : m_bindings) {
        Binding onFallback = 0;
        const ServiceResult result = m_fallback->bind(bound.role, bound.hotkey, bound.pressed, onFallback);
        if (result.ok())
            bound.onFallback = onFallback;
        else
            log(QStringLiteral("the %1 hotkey cannot be watched either: %2")
                    .arg(bound.role.id, result.reason));
    }
    notifyTriggers();
}

void PortalHotkeyService::closeSession()
{
    if (m_session.isEmpty())
        return;
    m_bus.asyncCall(QDBusMessage::createMethodCall(
        kService, m_session, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close")));
    m_session.clear();
    m_held.clear();
}

void PortalHotkeyService::retireRequest()
{
    // Called from the request's own answer: it goes once that has returned.
    if (m_request)
        m_request.release()->deleteLater();
}

void PortalHotkeyService::takeTriggers(const QList<PortalShortcut>& shortcuts)
{
    for (const PortalShortcut& shortcut : shortcuts) {
        if (m_sent.count(shortcut.id))
            m_triggers[shortcut.id] =
                shortcut.properties.value(QStringLiteral("trigger_description")).toString();
    }
    notifyTriggers();
}

void PortalHotkeyService::notifyTriggers()
{
    if (m_triggersChanged)
        m_triggersChanged();
}

bool PortalHotkeyService::fromOurSession(const QDBusMessage& message) const
{
    const QList<QVariant> arguments = message.arguments();
    return !m_session.isEmpty() && !arguments.isEmpty() &&
           arguments.first().value<QDBusObjectPath>().path() == m_session;
}

void PortalHotkeyService::activated(const QDBusMessage& message)
{
    const QString id = message.arguments().size() > 1 ? message.arguments().at(1).toString() : QString();
    if (m_fellBack || !fromOurSession(message) || !m_sent.count(id))
        return;
    // A desktop that repeats a held shortcut and reports its release: only the first counts.
    if (m_reportsReleases && !m_held.insert(id).second)
        return;
    // From a copy: a callback may bind or unbind.
    const auto bindings = m_bindings;
    for (const auto& [binding, bound] : bindings) {
        if (bound.role.id == id)
            bound.pressed();
    }
}

void PortalHotkeyService::deactivated(const QDBusMessage& message)
{
    if (!fromOurSession(message) || message.arguments().size() < 2)
        return;
    m_reportsReleases = true;
    m_held.erase(message.arguments().at(1).toString());
}

void PortalHotkeyService::shortcutsChanged(const QDBusMessage& message)
{
    if (m_fellBack || !fromOurSession(message) || message.arguments().size() < 2)
        return;
    takeTriggers(shortcutsIn(message.arguments().at(1)));
}

} // namespace loopwren

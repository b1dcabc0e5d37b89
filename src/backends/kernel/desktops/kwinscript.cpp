#include "kwinscript.h"

#include <QDBusMessage>
#include <QDir>

namespace loopwren {
namespace {

const QString kService = QStringLiteral("org.kde.KWin");
// KWin answers within milliseconds; a compositor that takes longer is stuck, and LoopWren goes on
// without it rather than hang with it.
constexpr int kCallTimeoutMs = 10000;

QDBusMessage scriptingCall(const QString& path, const QString& interface, const QString& method,
                           const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    return message;
}

} // namespace

KWinScript::KWinScript(QDBusConnection bus, QString pluginName, const QByteArray& text)
    : m_bus(std::move(bus)), m_pluginName(std::move(pluginName)),
      m_file(QDir::temp().filePath(QStringLiteral("loopwren-kwin-XXXXXX.js")))
{
    if (load(text))
        run();
}

KWinScript::~KWinScript()
{
    if (!m_loaded)
        return;
    m_bus.call(scriptingCall(QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"),
                             QStringLiteral("unloadScript"), {m_pluginName}),
               QDBus::Block, kCallTimeoutMs);
}

bool KWinScript::load(const QByteArray& text)
{
    if (!m_file.open() || m_file.write(text) != text.size() || !m_file.flush()) {
        m_error =
            QStringLiteral("cannot write the script to %1: %2").arg(m_file.fileName(), m_file.errorString());
        return false;
    }
    const QDBusMessage reply =
        m_bus.call(scriptingCall(QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"),
                                 QStringLiteral("loadScript"), {m_file.fileName(), m_pluginName}),
                   QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        m_error = QStringLiteral("loading it failed: %1").arg(reply.errorMessage());
        return false;
    }
    m_loaded = true;
    m_id = reply.arguments().constFirst().toInt();
    // KWin refuses a second script of the same plugin name with -1.
    if (m_id < 0) {
        m_loaded = false;
        m_error =
            QStringLiteral("KWin refused to load it (a script named %1 is loaded already)").arg(m_pluginName);
        return false;
    }
    return true;
}

bool KWinScript::run()
{
    // Plasma 6 names each script's object /Scripting/Script<id>, Plasma 5 /<id>.
    QString error;
    for (const QString& path :
         {QStringLiteral("/Scripting/Script%1").arg(m_id), QStringLiteral("/%1").arg(m_id)}) {
        const QDBusMessage reply =
            m_bus.call(scriptingCall(path, QStringLiteral("org.kde.kwin.Script"), QStringLiteral("run"), {}),
                       QDBus::Block, kCallTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return true;
        error = reply.errorMessage();
    }
    m_error = QStringLiteral("running it failed: %1").arg(error);
    return false;
}

} // namespace loopwren

#include "x11accessibility.h"

#include "x11connection.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStandardPaths>

#include <X11/Xlib.h>

#include <cstdio>

namespace loopwren {
namespace {

const QString kHelpResource = QStringLiteral(":/loopwren/x11/x11-access.html");

bool hasExtension(Display* display, const char* name)
{
    int opcode = 0;
    int eventBase = 0;
    int errorBase = 0;
    return XQueryExtension(display, name, &opcode, &eventBase, &errorBase) != 0;
}

void printAddress(const QUrl& url)
{
    std::printf("LoopWren: how to give access: %s\n", url.toString().toLocal8Bit().constData());
    std::fflush(stdout);
}

} // namespace

X11Accessibility::X11Accessibility(std::string displayName, UrlOpener openUrl)
    : m_displayName(std::move(displayName)), m_openUrl(std::move(openUrl))
{
}

bool X11Accessibility::isWaylandSession()
{
    return qEnvironmentVariable("XDG_SESSION_TYPE").compare(QLatin1String("wayland"), Qt::CaseInsensitive) ==
           0;
}

bool X11Accessibility::isTrusted()
{
    if (isWaylandSession())
        return false;
    const auto connection = X11Connection::open(m_displayName);
    return connection && hasExtension(connection->display(), "XTEST") &&
           hasExtension(connection->display(), "RECORD");
}

void X11Accessibility::requestTrust()
{
    const QUrl page = writeHelpPage();
    if (page.isEmpty()) {
        std::printf("LoopWren: access needs an X11 session with the XTEST and RECORD extensions\n");
        std::fflush(stdout);
        return;
    }
    if (m_openUrl)
        m_openUrl(page);
    else
        openInBrowser(page);
}

QUrl X11Accessibility::writeHelpPage()
{
    QFile resource(kHelpResource);
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = resource.readAll();
    // The user's own cache: a fixed name in the shared temporary folder could be planted by someone else.
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/loopwren");
    if (!QDir().mkpath(folder))
        return {};
    const QString path = folder + QStringLiteral("/x11-access.html");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return {};
    return QUrl::fromLocalFile(path);
}

bool X11Accessibility::openInBrowser(const QUrl& url)
{
    const QString scheme = url.scheme();
    if (scheme != QLatin1String("file") && scheme != QLatin1String("http") &&
        scheme != QLatin1String("https"))
        return false;
    // QDesktopServices needs the GUI's platform integration; a QCoreApplication has none.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QDesktopServices::openUrl(url))
        return true;
    printAddress(url);
    return false;
}

} // namespace loopwren

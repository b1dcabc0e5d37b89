#include "helppage.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstdio>

namespace loopwren::helppage {

QUrl write(const QString& resource, const QString& fileName)
{
    QFile source(resource);
    if (!source.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = source.readAll();
    // The user's own cache: a fixed name in the shared temporary folder could be planted by someone else.
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/loopwren");
    if (!QDir().mkpath(folder))
        return {};
    const QString path = folder + u'/' + fileName;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return {};
    return QUrl::fromLocalFile(path);
}

bool openInBrowser(const QUrl& url)
{
    const QString scheme = url.scheme();
    if (scheme != QLatin1String("file") && scheme != QLatin1String("http") &&
        scheme != QLatin1String("https"))
        return false;
    // QDesktopServices needs the GUI's platform integration; a QCoreApplication has none.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QDesktopServices::openUrl(url))
        return true;
    std::printf("LoopWren: how to give access: %s\n", url.toString().toLocal8Bit().constData());
    std::fflush(stdout);
    return false;
}

void show(const QString& resource, const QString& fileName, const UrlOpener& open, const char* fallback)
{
    const QUrl page = write(resource, fileName);
    if (page.isEmpty()) {
        std::printf("LoopWren: %s\n", fallback);
        std::fflush(stdout);
        return;
    }
    if (open)
        open(page);
    else
        openInBrowser(page);
}

} // namespace loopwren::helppage

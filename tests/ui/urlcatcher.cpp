#include "urlcatcher.h"

#include <QDesktopServices>

namespace loopwren {

namespace {
const char* const kSchemes[] = {"http", "https", "file", "ftp", "mailto"};
}

UrlCatcher::UrlCatcher()
{
    for (const char* scheme : kSchemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
}

UrlCatcher::~UrlCatcher()
{
    for (const char* scheme : kSchemes)
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

} // namespace loopwren

#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace loopwren::helppage {

// Shows a page to the user; false when it could not be shown.
using UrlOpener = std::function<bool(const QUrl&)>;

// Writes the page kept at resource (a browser cannot read Qt's resources) to fileName below the user's
// cache folder; its file URL, or an empty URL when it cannot be written.
QUrl write(const QString& resource, const QString& fileName);
// Opens file, http and https URLs with the desktop's handler. Without a GUI application (the
// command-line tool), or when that fails, prints the address for the user instead.
bool openInBrowser(const QUrl& url);
// Writes the page and shows it through open (or openInBrowser without one); prints fallback when the
// page cannot be written.
void show(const QString& resource, const QString& fileName, const UrlOpener& open, const char* fallback);

} // namespace loopwren::helppage

// The check for a newer release.
#include "logline.h"
#include "macroengine.h"
#include "mainqueue.h"
#include "versiondocument.h"

#include <QCoreApplication>
#include <QPointer>
#include <QUrl>

namespace loopwren {

bool MacroEngine::isNewerVersion(const QString& candidate, const QString& current)
{
    return loopwren::isNewerVersion(candidate, current);
}

void MacroEngine::checkForUpdates()
{
    if (m_options.updateBaseUrl.isEmpty())
        return;
    const QString url = m_options.updateBaseUrl + QStringLiteral("/api/version.json");
    // An address that does not parse is a build setting gone wrong, not a failed check: nothing to log.
    if (!QUrl(url, QUrl::StrictMode).isValid())
        return;
    const QString version = m_options.applicationVersion;
    QPointer<MacroEngine> engine(this);
    m_services.updates->fetch(url, [engine, version](FetchResult result) {
        // Only a hint off the main thread (the answer may be stale), but it keeps a check that outlives
        // its engine silent; the main-thread step below asks again.
        if (engine.isNull())
            return;
        if (!result.error.isEmpty()) {
            logLine(QStringLiteral("Failed to check for updates: "), result.error);
            return;
        }
        if (!result.data)
            return;
        const VersionDocument answer = readVersionDocument(*result.data, version);
        if (answer.outcome == VersionDocument::Outcome::parseError) {
            logLine(QStringLiteral("Failed to parse update version JSON: "), answer.parseError);
            return;
        }
        if (answer.outcome != VersionDocument::Outcome::offer)
            return;
        // The fetch completes on another thread: whether the engine still exists is asked on the main one.
        mainqueue::post(QCoreApplication::instance(), [engine, answer] {
            if (!engine)
                return;
            engine->setUpdateAvailable(true);
            engine->setUpdateDownloadURL(answer.downloadUrl);
            engine->setUpdateNotes(engine->language() == QLatin1String("Indonesia") ? answer.notesId
                                                                                    : answer.notesEn);
        });
    });
}

} // namespace loopwren

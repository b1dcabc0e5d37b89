#include "updatecheck.h"

#include "logline.h"
#include "mainqueue.h"

#include <QCoreApplication>
#include <QPointer>
#include <QUrl>

namespace loopwren {

UpdateCheck::UpdateCheck(UpdateFetcher& fetcher, QString baseUrl, QString currentVersion, Found found)
    : m_fetcher(fetcher), m_baseUrl(std::move(baseUrl)), m_currentVersion(std::move(currentVersion)),
      m_found(std::move(found))
{
}

void UpdateCheck::check()
{
    if (m_baseUrl.isEmpty())
        return;
    const QString url = m_baseUrl + QStringLiteral("/api/version.json");
    // An address that does not parse is a build setting gone wrong, not a failed check: nothing to log.
    if (!QUrl(url, QUrl::StrictMode).isValid())
        return;
    QPointer<UpdateCheck> self(this);
    m_fetcher.fetch(url, [self, version = m_currentVersion](FetchResult result) {
        // Only a hint off the main thread (the answer may be stale), but it keeps a check that outlives
        // its unit silent; the main-thread step below asks again.
        if (self.isNull())
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
        // The fetch completes on another thread: whether the unit still exists is asked on the main one.
        mainqueue::post(QCoreApplication::instance(), [self, answer] {
            if (self)
                self->m_found(answer);
        });
    });
}

} // namespace loopwren

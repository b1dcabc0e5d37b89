#pragma once

#include "updatefetcher.h"
#include "versiondocument.h"

#include <QObject>
#include <QString>
#include <functional>

namespace loopwren {

// Asks the update server whether a newer release exists. A failed request or a document that does
// not parse is logged and changes nothing; an offer is handed over on the main thread, unless the unit
// has gone by then.
class UpdateCheck : public QObject
{
public:
    using Found = std::function<void(const VersionDocument& offer)>;

    // An empty base address switches the check off.
    UpdateCheck(UpdateFetcher& fetcher, QString baseUrl, QString currentVersion, Found found);

    void check();

private:
    UpdateFetcher& m_fetcher;
    QString m_baseUrl;
    QString m_currentVersion;
    Found m_found;
};

} // namespace loopwren

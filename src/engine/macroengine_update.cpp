// The check for a newer release.
#include "logline.h"
#include "macroengine.h"
#include "mainqueue.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QUrl>

namespace loopwren {
namespace {

// Dotted decimal pieces; a piece that is not an optionally signed decimal integer is dropped.
std::vector<qint64> versionPieces(const QString& version)
{
    std::vector<qint64> pieces;
    for (const QString& piece : version.split(QLatin1Char('.'), Qt::SkipEmptyParts)) {
        qsizetype digitsFrom = (piece.startsWith(QLatin1Char('+')) || piece.startsWith(QLatin1Char('-'))) ? 1 : 0;
        if (piece.size() == digitsFrom)
            continue;
        bool allDigits = true;
        for (qsizetype i = digitsFrom; i < piece.size(); ++i)
            allDigits = allDigits && piece[i] >= QLatin1Char('0') && piece[i] <= QLatin1Char('9');
        bool ok = false;
        // toLongLong takes a leading '+' and '-' and fails on overflow, which drops the piece too.
        const qint64 value = piece.toLongLong(&ok, 10);
        if (allDigits && ok)
            pieces.push_back(value);
    }
    return pieces;
}

QString stringMember(const QJsonObject& object, const char* name)
{
    const QJsonValue value = object.value(QLatin1String(name));
    return value.isString() ? value.toString() : QString();
}

} // namespace

bool MacroEngine::isNewerVersion(const QString& candidate, const QString& current)
{
    const std::vector<qint64> a = versionPieces(candidate);
    const std::vector<qint64> b = versionPieces(current);
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const qint64 left = i < a.size() ? a[i] : 0;
        const qint64 right = i < b.size() ? b[i] : 0;
        if (left != right)
            return left > right;
    }
    return false;
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
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(*result.data, &parseError);
        if (parseError.error != QJsonParseError::NoError) {
            logLine(QStringLiteral("Failed to parse update version JSON: "), parseError.errorString());
            return;
        }
        const QJsonObject object = document.object();
        if (!document.isObject() || object.isEmpty())
            return;
        const QJsonValue latest = object.value(QLatin1String("version"));
        const QJsonValue download = object.value(QLatin1String("download_url"));
        if (!latest.isString() || !download.isString() || !isNewerVersion(latest.toString(), version))
            return;
        const QString notesEn = stringMember(object, "release_notes_en");
        const QString notesId = stringMember(object, "release_notes_id");
        // The fetch completes on another thread: whether the engine still exists is asked on the main one.
        mainqueue::post(QCoreApplication::instance(), [engine, url = download.toString(), notesEn, notesId] {
            if (!engine)
                return;
            engine->setUpdateAvailable(true);
            engine->setUpdateDownloadURL(url);
            engine->setUpdateNotes(engine->language() == QLatin1String("Indonesia") ? notesId : notesEn);
        });
    });
}

} // namespace loopwren

#include "versiondocument.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <vector>

namespace loopwren {
namespace {

std::vector<qint64> versionPieces(const QString& version)
{
    std::vector<qint64> pieces;
    for (const QString& piece : version.split(QLatin1Char('.'), Qt::SkipEmptyParts)) {
        qsizetype digitsFrom =
            (piece.startsWith(QLatin1Char('+')) || piece.startsWith(QLatin1Char('-'))) ? 1 : 0;
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

bool isNewerVersion(const QString& candidate, const QString& current)
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

VersionDocument readVersionDocument(const QByteArray& data, const QString& currentVersion)
{
    VersionDocument result;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.outcome = VersionDocument::Outcome::parseError;
        result.parseError = parseError.errorString();
        return result;
    }
    const QJsonObject object = document.object();
    if (!document.isObject() || object.isEmpty())
        return result;
    const QJsonValue latest = object.value(QLatin1String("version"));
    const QJsonValue download = object.value(QLatin1String("download_url"));
    if (!latest.isString() || !download.isString() || !isNewerVersion(latest.toString(), currentVersion))
        return result;
    result.outcome = VersionDocument::Outcome::offer;
    result.downloadUrl = download.toString();
    result.notesEn = stringMember(object, "release_notes_en");
    result.notesId = stringMember(object, "release_notes_id");
    return result;
}

} // namespace loopwren

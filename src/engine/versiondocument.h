#pragma once

#include <QByteArray>
#include <QString>

namespace loopwren {

// What the update server's version document says to a build of a given version.
struct VersionDocument
{
    enum class Outcome
    {
        parseError,     // not JSON at all
        nothingOffered, // JSON, but no string version and address, or not a newer release
        offer
    };

    Outcome outcome = Outcome::nothingOffered;
    QString parseError; // Qt's description of what is wrong, with parseError
    // With an offer: where to get the newer release and its notes (empty when the document has none).
    QString downloadUrl;
    QString notesEn;
    QString notesId;
};

// Reads the document the update check fetched. Pure and free of the engine, so it can run on the
// fetch's thread and be fuzzed on its own.
VersionDocument readVersionDocument(const QByteArray& data, const QString& currentVersion);

// True when candidate is a later release than current. Versions are dotted decimal pieces compared as
// numbers, a missing piece counting as 0; a piece that is not an optionally signed decimal integer that
// fits 64 bits is dropped, so "2.0-beta" compares as 2.
bool isNewerVersion(const QString& candidate, const QString& current);

} // namespace loopwren

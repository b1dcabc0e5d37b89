// The update server's answer is whatever the network delivers. Input: the running build's version, a
// newline, then the document. Reading it must not crash, a parse error must say something, and an offer
// must be a release that is really newer: offered again when the document goes through Qt's own writer,
// and never offered to a build of that very release.

#include "fuzzcheck.h"
#include "versiondocument.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdint>

namespace loopwren {
namespace {

std::string text(const QString& value) { return value.toStdString(); }

// Everything an answer says, in one line.
std::string describe(const VersionDocument& answer)
{
    return "outcome " + std::to_string(static_cast<int>(answer.outcome)) + " error " +
           text(answer.parseError) + " offer " + text(answer.downloadUrl) + " notes " + text(answer.notesEn) +
           " / " + text(answer.notesId);
}

} // namespace
} // namespace loopwren

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace loopwren;
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype newline = input.indexOf('\n');
    const QString current = QString::fromUtf8(newline < 0 ? QByteArray() : input.left(newline));
    const QByteArray document = newline < 0 ? input : input.mid(newline + 1);

    const VersionDocument answer = readVersionDocument(document, current);
    switch (answer.outcome) {
    case VersionDocument::Outcome::parseError:
        FUZZ_CHECK(!answer.parseError.isEmpty(), "a parse error without a description");
        FUZZ_CHECK(answer.downloadUrl.isEmpty(), "a parse error with an offer");
        break;
    case VersionDocument::Outcome::nothingOffered:
        FUZZ_CHECK(answer.downloadUrl.isEmpty() && answer.notesEn.isEmpty() && answer.notesId.isEmpty(),
                   describe(answer));
        break;
    case VersionDocument::Outcome::offer: {
        const QJsonObject object = QJsonDocument::fromJson(document).object();
        const QString offered = object.value(QLatin1String("version")).toString();
        FUZZ_CHECK(isNewerVersion(offered, current), "offered " + text(offered) + " to " + text(current));
        FUZZ_CHECK(!isNewerVersion(current, offered),
                   text(offered) + " and " + text(current) + " are each newer than the other");
        const VersionDocument toItself = readVersionDocument(document, offered);
        FUZZ_CHECK(toItself.outcome == VersionDocument::Outcome::nothingOffered,
                   "release " + text(offered) + " offered to itself: " + describe(toItself));
        break;
    }
    }

    // A document that parses means the same after Qt writes it out again, compact or indented.
    if (answer.outcome != VersionDocument::Outcome::parseError) {
        const QJsonDocument parsed = QJsonDocument::fromJson(document);
        for (const auto format : {QJsonDocument::Compact, QJsonDocument::Indented}) {
            const VersionDocument again = readVersionDocument(parsed.toJson(format), current);
            FUZZ_CHECK(describe(answer) == describe(again), describe(answer) + " became " + describe(again));
        }
    }
    return 0;
}

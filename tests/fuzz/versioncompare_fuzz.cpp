// Release versions come from the update server. Input: up to three versions separated by newlines. The
// comparison must be an order whatever the text: nothing is newer than itself (or than itself with a
// ".0" added), never both a > b and b > a, a > b > c gives a > c; huge pieces must not overflow.

#include "fuzzcheck.h"
#include "versiondocument.h"

#include <QList>
#include <cstdint>

namespace loopwren {
namespace {

std::string text(const QString& value) { return value.toStdString(); }

} // namespace
} // namespace loopwren

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace loopwren;
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QList<QByteArray> parts = input.split('\n');
    while (parts.size() < 3)
        parts.append(QByteArray());
    const QString v[3] = {QString::fromUtf8(parts[0]), QString::fromUtf8(parts[1]),
                          QString::fromUtf8(parts[2])};

    // Each comparison once: splitting long versions into pieces is what costs.
    bool newer[3][3];
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b)
            newer[a][b] = isNewerVersion(v[a], v[b]);
    }
    for (int a = 0; a < 3; ++a) {
        FUZZ_CHECK(!newer[a][a], text(v[a]) + " is newer than itself");
        const QString padded = v[a] + QStringLiteral(".0");
        FUZZ_CHECK(!isNewerVersion(padded, v[a]) && !isNewerVersion(v[a], padded),
                   text(v[a]) + " and " + text(padded) + " differ");
        for (int b = 0; b < 3; ++b) {
            FUZZ_CHECK(!(newer[a][b] && newer[b][a]),
                       text(v[a]) + " and " + text(v[b]) + " are each newer than the other");
            for (int c = 0; c < 3; ++c) {
                if (newer[a][b] && newer[b][c])
                    FUZZ_CHECK(newer[a][c], text(v[a]) + " > " + text(v[b]) + " > " + text(v[c]) +
                                                " but not " + text(v[a]) + " > " + text(v[c]));
            }
        }
    }
    return 0;
}

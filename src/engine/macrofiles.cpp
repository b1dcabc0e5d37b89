#include "macrofiles.h"

#include <QSaveFile>

namespace loopwren::macrofiles {

QString save(const QString& path, const Timeline& events)
{
    const MacroWriteResult written = writeMacro(events);
    if (!written.ok())
        return QString::fromStdString(written.error);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    // A write that fills the disk stops short without an error of its own; writing the rest is what
    // brings the system's reason (no space left) to light for the log line.
    const char* data = written.text.data();
    auto left = static_cast<qint64>(written.text.size());
    while (left > 0) {
        const qint64 count = file.write(data, left);
        if (count <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return QStringLiteral("%1: %2").arg(path, reason);
        }
        data += count;
        left -= count;
    }
    if (!file.commit())
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}

MacroReadResult load(const QString& path) { return readMacroFile(path.toStdString()); }

} // namespace loopwren::macrofiles

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
    const auto size = static_cast<qint64>(written.text.size());
    if (file.write(written.text.data(), size) != size) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return QStringLiteral("%1: %2").arg(path, reason);
    }
    if (!file.commit())
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}

MacroReadResult load(const QString& path) { return readMacroFile(path.toStdString()); }

} // namespace loopwren::macrofiles

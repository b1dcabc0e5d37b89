#include "macrofiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

namespace loopwren::macrofiles {
namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString stateFolder()
{
    // Only an absolute XDG_STATE_HOME counts, as the base-directory rules say.
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/LoopWren");
}

// A save renames a new file over the target, which would put a plain file in the place of a device
// such as /dev/null, or of a pipe: only a regular file, or a link to one, is replaced.
QString refusedTarget(const QFileInfo& target)
{
    if (target.isDir())
        return QStringLiteral("%1: Is a directory").arg(target.filePath());
    if (target.exists() && !target.isFile())
        return QStringLiteral("%1: Not a regular file").arg(target.filePath());
    return {};
}

} // namespace

QString save(const QString& path, const Timeline& events)
{
    const MacroWriteResult written = writeMacro(events);
    if (!written.ok())
        return QString::fromStdString(written.error);

    const QFileInfo target(path);
    if (QString refused = refusedTarget(target); !refused.isEmpty())
        return refused;
    const bool isNew = !target.exists();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    // Before a single byte is written: QSaveFile gives a new file the usual 0666 less the umask.
    if (isNew && !file.setPermissions(kOwnerOnly)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return QStringLiteral("%1: %2").arg(path, reason);
    }
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

QString checkWritable(const QString& path)
{
    const QFileInfo target(path);
    if (QString refused = refusedTarget(target); !refused.isEmpty())
        return refused;
    if (target.exists() && !target.isWritable())
        return QStringLiteral("Existing file %1 is not writable").arg(path);
    // The save writes a new file beside the target, so the folder must take one.
    QTemporaryFile probe(target.absolutePath() + QStringLiteral("/.loopwren-XXXXXX"));
    if (!probe.open())
        return QStringLiteral("%1: %2").arg(path, probe.errorString());
    return {};
}

QString saveRecovery(const Timeline& events, QString* error)
{
    const QString folder = stateFolder();
    if (!QDir().mkpath(folder) || !QFile::setPermissions(folder, kOwnerOnly | QFileDevice::ExeOwner)) {
        *error = QStringLiteral("%1: cannot create the folder").arg(folder);
        return {};
    }
    const QString stem = QStringLiteral("%1/unsaved_%2").arg(folder).arg(QDateTime::currentSecsSinceEpoch());
    QString path = stem + QStringLiteral(".json");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QStringLiteral("%1_%2.json").arg(stem).arg(n);
    *error = save(path, events);
    return error->isEmpty() ? path : QString();
}

} // namespace loopwren::macrofiles

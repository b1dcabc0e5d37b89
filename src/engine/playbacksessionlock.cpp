#include "playbacksessionlock.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace loopwren {
namespace {

// Who holds the lock, as the holder wrote it: "loopwren-cli, process 1234", or empty.
QString describeHolder(int fd)
{
    char buffer[32] = {};
    const ssize_t length = pread(fd, buffer, sizeof buffer - 1, 0);
    bool ok = false;
    const qint64 pid =
        QByteArray(buffer, length > 0 ? static_cast<int>(length) : 0).trimmed().toLongLong(&ok);
    if (!ok || pid <= 0)
        return QString();
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    const QString name =
        comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed()) : QString();
    return name.isEmpty() ? QStringLiteral("process %1").arg(pid)
                          : QStringLiteral("%1, process %2").arg(name).arg(pid);
}

} // namespace

QString PlaybackSessionLock::sessionPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QStringLiteral("/loopwren-playback.lock");
    return QStringLiteral("/tmp/loopwren-%1/playback.lock").arg(getuid());
}

PlaybackSessionLock::PlaybackSessionLock(QString path) : m_path(std::move(path)) {}

PlaybackSessionLock::~PlaybackSessionLock()
{
    if (m_fd >= 0)
        close(m_fd);
}

PlaybackSessionLock::Claim PlaybackSessionLock::claim()
{
    std::lock_guard guard(m_mutex);
    const std::uint64_t ticket = ++m_ticket;
    if (m_fd >= 0)
        return {ticket, {}};
    // The fallback folder in /tmp is made private; one that another user made is not used.
    const QByteArray folder = QFileInfo(m_path).path().toLocal8Bit();
    struct stat status = {};
    if (mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return {ticket, {}};
    if (lstat(folder.constData(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != getuid())
        return {ticket, {}};
    const int fd = open(m_path.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return {ticket, {}};
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        const QString holder = held ? describeHolder(fd) : QString();
        close(fd);
        if (!held)
            return {ticket, {}};
        return {ticket, holder.isEmpty()
                            ? QStringLiteral("another playback is running in this session")
                            : QStringLiteral("another playback is running in this session (%1)").arg(holder)};
    }
    const QByteArray pid = QByteArray::number(static_cast<qint64>(getpid())) + '\n';
    // Only to name the holder in a refusal; the lock itself is what counts.
    if (ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written =
            pwrite(fd, pid.constData(), static_cast<size_t>(pid.size()), 0);
    }
    m_fd = fd;
    return {ticket, {}};
}

void PlaybackSessionLock::release(std::uint64_t ticket)
{
    std::lock_guard guard(m_mutex);
    if (ticket != m_ticket || m_fd < 0)
        return;
    close(m_fd);
    m_fd = -1;
}

} // namespace loopwren

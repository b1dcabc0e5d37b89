#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace loopwren::test {

// systemctl and busctl of a user manager that answers, where the machine running the tests has none
// (the VM check runs the real one): first on PATH while it lives. Every call is written to a log;
// `systemctl restart` fails while refuse() says so; busctl says each timer next runs at nextRunMs.
class SystemdStandIn
{
public:
    static constexpr qint64 nextRunMs = 1900000000000; // 2030-03-17, in any time zone

    SystemdStandIn() : m_path(qgetenv("PATH"))
    {
        write("systemctl", R"(echo "systemctl $*" >> "$here/calls"
case "$*" in
*is-system-running*) echo running ;;
*restart*)
    [ -e "$here/refuse-always" ] && { echo "Job for $3 failed" >&2; exit 1; }
    [ -e "$here/refuse-once" ] && { rm "$here/refuse-once"; echo "Job for $3 failed" >&2; exit 1; } ;;
esac
exit 0)");
        write("busctl", R"(echo "busctl $*" >> "$here/calls"
printf 't )" + QString::number(nextRunMs * 1000) + R"(\nt 0\n')");
        qputenv("PATH", m_dir.path().toLocal8Bit() + ':' + m_path);
    }
    ~SystemdStandIn() { qputenv("PATH", m_path); }
    SystemdStandIn(const SystemdStandIn&) = delete;
    SystemdStandIn& operator=(const SystemdStandIn&) = delete;

    // The next restart fails, or every one does.
    void refuse(bool always = false) { QFile(m_dir.filePath(always ? "refuse-always" : "refuse-once")).open(QIODevice::WriteOnly); }
    void accept() { QFile::remove(m_dir.filePath("refuse-always")); }
    QStringList calls() const
    {
        QFile file(m_dir.filePath("calls"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                              : QStringList();
    }

private:
    void write(const QString& name, const QString& body)
    {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(("#!/bin/sh\nhere=$(dirname \"$0\")\n" + body + "\n").toUtf8());
        file.setPermissions(file.permissions() | QFile::ExeOwner);
    }

    QTemporaryDir m_dir;
    QByteArray m_path;
};

} // namespace loopwren::test

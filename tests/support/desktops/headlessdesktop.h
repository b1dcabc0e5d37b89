#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <sys/types.h>

// What the headless desktops of the tests share: a folder of their own, the programs they start there
// (each with a log in the folder), and the reason the last step failed. Everything started is stopped,
// by its process id and the last started first, when the object goes.
class HeadlessDesktop
{
public:
    QString error() const { return m_error; }
    // What the client with that process id printed so far (its libraries' and sanitizers' complaints,
    // on standard error, apart).
    QString clientOutput(qint64 processId) const;

protected:
    HeadlessDesktop() = default;
    ~HeadlessDesktop();
    HeadlessDesktop(const HeadlessDesktop&) = delete;
    HeadlessDesktop& operator=(const HeadlessDesktop&) = delete;

    QString path(const QString& name) const { return m_folder.filePath(name); }
    // Whether the programs are on PATH and the folders could be made in the object's folder, "run"
    // among them private to its owner; false with the reason in error() if not.
    bool prepare(const QStringList& programs, const QStringList& folders);
    // Started, logging to the file of that name in the folder (standard error to errorLog when given),
    // as the account runAs when given; nullptr with the reason in error().
    std::unique_ptr<QProcess> run(const QString& program, const QStringList& arguments,
                                  const QProcessEnvironment& environment, const QString& log,
                                  const QString& errorLog = QString(), std::optional<uid_t> runAs = {},
                                  const QStringList& groups = {});
    // The same, kept to be stopped with the object.
    template <typename... Arguments>
    QProcess* launch(Arguments&&... arguments)
    {
        std::unique_ptr<QProcess> process = run(std::forward<Arguments>(arguments)...);
        return process ? m_processes.emplace_back(std::move(process)).get() : nullptr;
    }
    // A client of the desktop; its process id, or 0 with the reason in error().
    qint64 startClient(const QString& program, const QStringList& arguments,
                       const QProcessEnvironment& environment, std::optional<uid_t> runAs = {},
                       const QStringList& groups = {});
    // Waits until answered holds; false, with the reason and the logs' ends in error(), when it does not
    // or the process ended first.
    bool cameUp(QProcess& process, const std::function<bool()>& answered, const QString& what,
                const QStringList& logs);
    QString read(const QString& log) const;

    QTemporaryDir m_folder;
    QString m_error;
    // An emulated machine takes longer: the waits are this many times eventually()'s.
    int m_patience = 1;

private:
    std::vector<std::unique_ptr<QProcess>> m_processes;
    std::map<qint64, QString> m_clientLogs;
};

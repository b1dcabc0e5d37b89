#include "helperprocess.h"

#include <QProcess>

namespace loopwren {
namespace {

HelperRun runProcess(const QString& program, const QStringList& args, const QMap<QString, QString>& env)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (auto it = env.cbegin(); it != env.cend(); ++it)
        environment.insert(it.key(), it.value());
    process.setProcessEnvironment(environment);
    process.start(program, args);
    if (!process.waitForFinished(120000))
        process.kill();
    process.waitForFinished();
    const bool ended =
        process.error() == QProcess::UnknownError && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError() + (ended ? QByteArray() : process.errorString().toUtf8())};
}

} // namespace

std::string HelperRun::describe() const
{
    return "exit " + std::to_string(exitCode) + "\nstdout:\n" + out.toStdString() + "\nstderr:\n" +
           err.toStdString();
}

QString helperPath() { return QStringLiteral(LOOPWREN_ENGINE_HELPER); }

HelperRun runHelper(const QStringList& args, const QMap<QString, QString>& env)
{
    return runProcess(helperPath(), args, env);
}

HelperRun runInPrivateMounts(const QString& script, const QMap<QString, QString>& env)
{
    QMap<QString, QString> environment = env;
    environment.insert(QStringLiteral("HELPER"), helperPath());
    // unshare makes the new namespace's mounts private, so nothing propagates back to the host.
    const QString prologue =
        QStringLiteral(R"(must() { "$@" || { echo "mount step failed: $*" >&2; exit 97; }; }
)");
    return runProcess(QStringLiteral("unshare"),
                      {QStringLiteral("--user"), QStringLiteral("--map-root-user"), QStringLiteral("--mount"),
                       QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"), prologue + script},
                      environment);
}

} // namespace loopwren

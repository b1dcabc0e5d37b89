#include "helperprocess.h"

#include <QProcess>

namespace loopwren {
namespace {

constexpr int kTimeoutMs = 120000;
constexpr int kMountsFailed = 97;

// Runs before the test's script: marks the entry into the namespace and defines `must`.
const char* const kPrologue = R"(echo "namespace entered" >&2
must() { "$@" || { echo "mount step failed: $*" >&2; exit 97; }; }
)";

HelperProcess::Result runProcess(const QString& program, const QStringList& args,
                                 const QMap<QString, QString>& extra)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        environment.insert(it.key(), it.value());
    process.setProcessEnvironment(environment);
    process.start(program, args);
    HelperProcess::Result result;
    result.started = process.waitForStarted(kTimeoutMs);
    if (!result.started) {
        result.err = process.errorString().toUtf8();
        return result;
    }
    if (!process.waitForFinished(kTimeoutMs))
        process.kill();
    process.waitForFinished();
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

} // namespace

QStringList HelperProcess::Result::outLines() const
{
    return QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString HelperProcess::Result::describe() const
{
    return QStringLiteral("started %1, crashed %2, exit %3\nstdout:\n%4\nstderr:\n%5")
        .arg(started)
        .arg(crashed)
        .arg(exitCode)
        .arg(QString::fromUtf8(out), QString::fromUtf8(err));
}

QString HelperProcess::helperPath() { return QStringLiteral(LOOPWREN_ENGINE_HELPER); }

HelperProcess::Result HelperProcess::run(const QStringList& args, const QMap<QString, QString>& extra)
{
    return runProcess(helperPath(), args, extra);
}

HelperProcess::Result HelperProcess::runWithPrivateMounts(const QString& script,
                                                          const QMap<QString, QString>& vars)
{
    QMap<QString, QString> environment = vars;
    environment.insert(QStringLiteral("HELPER"), helperPath());
    // unshare makes the new mount namespace's mounts private, so nothing propagates back to the host.
    Result result = runProcess(QStringLiteral("unshare"),
                               {QStringLiteral("--user"), QStringLiteral("--map-root-user"),
                                QStringLiteral("--mount"), QStringLiteral("--"), QStringLiteral("sh"),
                                QStringLiteral("-c"), QString::fromLatin1(kPrologue) + script},
                               environment);
    result.namespaceEntered = result.err.contains("namespace entered");
    result.mountsMade = result.namespaceEntered && !result.crashed && result.exitCode != kMountsFailed;
    return result;
}

} // namespace loopwren

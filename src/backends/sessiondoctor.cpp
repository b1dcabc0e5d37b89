#include "sessiondoctor.h"

#include "backendchoice.h"
#include "sessiontype.h"
#include "x11backend.h"

namespace loopwren {
namespace {

using Verdict = SessionCheck::Verdict;

void append(std::vector<SessionCheck>& to, std::vector<SessionCheck>&& checks)
{
    to.insert(to.end(), std::make_move_iterator(checks.begin()), std::make_move_iterator(checks.end()));
}

SessionCheck ability(const QString& subject, bool works, const QString& problem)
{
    return {works ? Verdict::fine : Verdict::lacking, subject,
            works ? QStringLiteral("works") : QStringLiteral("cannot: %1").arg(problem), QString()};
}

bool isDesktopServices(const SessionCheck& check)
{
    return check.subject == QLatin1String("desktop services");
}

} // namespace

SessionReport examineSession(const QString& backendName)
{
    SessionReport report;
    const QString desktop = sessionDesktop();
    report.checks.push_back(
        {Verdict::note, QStringLiteral("session"),
         QStringLiteral("%1, desktop %2")
             .arg(sessiontype::name(), desktop.isEmpty() ? QStringLiteral("unknown") : desktop),
         QString()});

    BackendChoice choice = chooseBackend(backendName);
    Backend* chosen = choice.backend.get();
    const QString name = chosen ? chosen->name() : QString();
    // Asked once: the kernel backend reads every input device to answer.
    const Backend::Abilities can = chosen ? chosen->abilities() : Backend::Abilities();
    // The chosen backend answers for its own side; the other side is opened just to look.
    if (name == QLatin1String("x11")) {
        append(report.checks, chosen->checks());
    } else if (const std::unique_ptr<X11Backend> x11 = X11Backend::open()) {
        // Only how the display is: the desktop's services are those of the backend that serves.
        std::vector<SessionCheck> display = x11->checks();
        std::erase_if(display, isDesktopServices);
        append(report.checks, std::move(display));
    } else {
        report.checks.push_back({Verdict::note, QStringLiteral("X display"),
                                 qEnvironmentVariableIsSet("DISPLAY")
                                     ? QStringLiteral("%1 does not open").arg(qEnvironmentVariable("DISPLAY"))
                                     : QStringLiteral("none (DISPLAY is not set)"),
                                 QString()});
    }
    std::vector<SessionCheck> kernel =
        name == QLatin1String("kernel") ? chosen->checks() : openKernelBackend()->checks();
    // Where the X server serves, it has told which windows it lists and places.
    if (name == QLatin1String("x11")) {
        std::erase_if(kernel, isDesktopServices);
    }
    if (name == QLatin1String("x11") && can.play) {
        // The kernel's devices are not needed where the X server serves: what they lack is only of note.
        for (SessionCheck& check : kernel) {
            if (check.verdict == Verdict::lacking)
                check = {Verdict::note, check.subject, check.finding, QString()};
        }
    }
    append(report.checks, std::move(kernel));

    if (!chosen) {
        report.checks.push_back({Verdict::lacking, QStringLiteral("backend"), choice.problem, QString()});
        return report;
    }
    report.backend = name;
    report.checks.push_back({Verdict::note, QStringLiteral("backend"), name, QString()});
    report.checks.push_back(ability(QStringLiteral("recording"), can.recordKeys, can.recordProblem));
    report.checks.push_back(ability(QStringLiteral("playback"), can.play, can.playProblem));
    if (can.recordKeys && !can.recordPointer) {
        report.checks.push_back({Verdict::lacking, QStringLiteral("pointer positions"),
                                 QStringLiteral("%1: clicks and pointer moves are not recorded, keys and "
                                                "scrolling are")
                                     .arg(can.pointerProblem),
                                 QString()});
    }
    if (can.recordKeys && !can.exclusiveHotkeys) {
        report.checks.push_back({Verdict::note, QStringLiteral("hotkeys"),
                                 QStringLiteral("work, and also reach the application in front"), QString()});
    }
    report.works = can.recordKeys && can.play;
    return report;
}

} // namespace loopwren

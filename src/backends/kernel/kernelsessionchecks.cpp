#include "kernelsessionchecks.h"

#include "inputdclient.h"
#include "kernelcapturesession.h"

#include <QFileInfo>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace loopwren::kernelchecks {
namespace {

using Verdict = SessionCheck::Verdict;

// The fallback where the input service does not lend input, with its price.
const QString kJoinInputGroup = QStringLiteral(
    "only as a fallback: sudo usermod -aG input \"$USER\", then log out and in again (the group lets every "
    "program of yours, in every session, read every key typed on this computer)");

bool inThisLogin(gid_t group)
{
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(0, ::getgroups(0, nullptr))));
    const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
    groups.resize(static_cast<std::size_t>(std::max(0, count)));
    return ::getegid() == group || std::find(groups.begin(), groups.end(), group) != groups.end();
}

bool inGroupDatabase(const group& input)
{
    const passwd* user = ::getpwuid(::getuid());
    if (!user)
        return false;
    for (char** member = input.gr_mem; member && *member; ++member) {
        if (std::strcmp(*member, user->pw_name) == 0)
            return true;
    }
    return user->pw_gid == input.gr_gid;
}

} // namespace

InputDeviceCount countInputDevices()
{
    InputDeviceCount count;
    for (const InputDeviceAccess& device : KernelCaptureSession::probe()) {
        if (device.replayDevice)
            continue;
        ++count.seen;
        if (count.firstNode.empty())
            count.firstNode = device.node;
        if (device.error == 0)
            ++count.readable;
        else
            count.error = device.error;
    }
    return count;
}

SessionCheck inputDevices()
{
    SessionCheck check{Verdict::fine, QStringLiteral("input devices"), QString(), QString()};
    const auto [seen, readable, error, firstNode] = countInputDevices();
    if (seen == 0) {
        check.verdict = Verdict::lacking;
        check.finding = QStringLiteral("none on this seat that libinput could use");
        check.remedy = QStringLiteral("run LoopWren in the session of this computer's keyboard and mouse");
    } else if (readable == 0) {
        check.verdict = Verdict::lacking;
        check.finding = QStringLiteral("none of %1 can be read: %2")
                            .arg(seen)
                            .arg(QString::fromLocal8Bit(std::strerror(error)));
        // Refused access is the input group's matter, whose line says what to do.
        if (error != EACCES && error != EPERM)
            check.remedy = QStringLiteral("check that nothing else holds the devices exclusively");
    } else {
        check.finding = QStringLiteral("%1 of %2 can be read").arg(readable).arg(seen);
    }
    return check;
}

SessionCheck inputService(const std::string& deviceNode)
{
    SessionCheck check{Verdict::fine, QStringLiteral("input service"), QString(), QString()};
    std::optional<inputd::Reason> reason;
    const InputdClient::Standing standing =
        InputdClient::standing(deviceNode.empty() ? "/dev/input/event0" : deviceNode, &reason);
    check.finding = QString::fromLatin1(InputdClient::describe(standing));
    switch (standing) {
    case InputdClient::Standing::lends:
        break;
    case InputdClient::Standing::notInstalled:
        check.verdict = Verdict::lacking;
        check.remedy = QStringLiteral("install LoopWren's package; from a source build, see README (input "
                                      "service)");
        break;
    case InputdClient::Standing::notRunning:
        check.verdict = Verdict::lacking;
        check.remedy = QStringLiteral("sudo systemctl enable --now loopwren-inputd.socket");
        break;
    case InputdClient::Standing::sessionRefused:
        check.verdict = Verdict::lacking;
        check.finding += QStringLiteral(" (%1)").arg(QString::fromLatin1(inputd::describe(*reason)));
        check.remedy = QStringLiteral("run LoopWren in the session in front of this computer's keyboard "
                                      "and screen");
        break;
    case InputdClient::Standing::policyRefused:
        check.verdict = Verdict::lacking;
        check.remedy = QStringLiteral("ask the administrator (polkit action io.github.loopwren.record-input)");
        break;
    case InputdClient::Standing::otherRefusal:
        check.verdict = Verdict::lacking;
        if (reason)
            check.finding += QStringLiteral(" (%1)").arg(QString::fromLatin1(inputd::describe(*reason)));
        break;
    }
    return check;
}

SessionCheck inputGroup(bool serviceLends)
{
    SessionCheck check{Verdict::fine, QStringLiteral("input group"), QString(), QString()};
    const group* input = ::getgrnam("input");
    if (serviceLends && ::geteuid() != 0 && !(input && inThisLogin(input->gr_gid))) {
        check.verdict = Verdict::note;
        check.finding = QStringLiteral("not needed: the input service lends input to this session");
    } else if (::geteuid() == 0) {
        check.finding = QStringLiteral("running as root, which reads every device");
    } else if (!input) {
        check.verdict = Verdict::note;
        check.finding = QStringLiteral("this system has no group named input");
    } else if (inThisLogin(input->gr_gid)) {
        check.finding = serviceLends ? QStringLiteral("a member (not needed: the input service lends input; "
                                                      "the group lets every program of yours read every key)")
                                     : QStringLiteral("a member (the fallback)");
    } else if (inGroupDatabase(*input)) {
        check.verdict = Verdict::lacking;
        check.finding = QStringLiteral("added, but not in this login");
        check.remedy = QStringLiteral("log out and in again");
    } else {
        check.verdict = Verdict::lacking;
        check.finding = QStringLiteral("not a member");
        check.remedy = kJoinInputGroup;
    }
    return check;
}

SessionCheck uinput(const std::string& path, const QString& deviceProblem)
{
    const QString node = QString::fromStdString(path);
    SessionCheck check{Verdict::fine, node, QStringLiteral("writable"), QString()};
    if (!QFileInfo::exists(node)) {
        check.verdict = Verdict::lacking;
        check.finding = QStringLiteral("missing: the uinput module is not loaded");
        check.remedy = QStringLiteral("sudo modprobe uinput (LoopWren's package loads it at every boot)");
    } else if (::access(path.c_str(), W_OK) != 0) {
        check.verdict = Verdict::lacking;
        check.finding = QStringLiteral("not writable");
        check.remedy = QStringLiteral("install LoopWren's udev rule (below), then log in again");
    } else if (!deviceProblem.isEmpty()) {
        check.verdict = Verdict::lacking;
        check.finding = deviceProblem;
    }
    return check;
}

SessionCheck udevRule()
{
    const QString name = QStringLiteral("60-loopwren-uinput.rules");
    for (const char* folder :
         {"/etc/udev/rules.d/", "/run/udev/rules.d/", "/usr/lib/udev/rules.d/", "/lib/udev/rules.d/"}) {
        if (QFileInfo::exists(QLatin1String(folder) + name))
            return {Verdict::fine, QStringLiteral("udev rule"), QLatin1String(folder) + name, QString()};
    }
    return {Verdict::lacking, QStringLiteral("udev rule"), QStringLiteral("%1 is not installed").arg(name),
            QStringLiteral("install LoopWren's package, or copy data/%1 to /etc/udev/rules.d/ and run sudo "
                           "udevadm trigger --action=change --sysname-match=uinput")
                .arg(name)};
}

} // namespace loopwren::kernelchecks

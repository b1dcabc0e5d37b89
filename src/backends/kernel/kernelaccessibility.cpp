#include "kernelaccessibility.h"

namespace loopwren {

KernelAccessibility::KernelAccessibility(std::function<bool()> works, helppage::UrlOpener openUrl)
    : m_works(std::move(works)), m_openUrl(std::move(openUrl))
{
}

void KernelAccessibility::requestInputAccess()
{
    helppage::show(QStringLiteral(":/loopwren/kernel/kernel-access.html"),
                   QStringLiteral("kernel-access.html"), m_openUrl,
                   "recording needs LoopWren's input service (or, as the fallback, membership of the input "
                   "group) and playing write access to /dev/uinput; loopwren-cli doctor says what is missing");
}

} // namespace loopwren

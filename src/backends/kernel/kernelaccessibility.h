#pragma once

#include "accessibility.h"
#include "helppage.h"

#include <functional>

namespace loopwren {

// On the kernel's devices access is two permissions the user grants once: writing /dev/uinput (the
// package's udev rule gives it to the active session's user) and reading the input devices (lent by
// LoopWren's input service to the active local session, or, as the fallback, membership of the input
// group, which LoopWren never arranges itself). Input access is granted when both work; a
// request opens a page, in English and Indonesian, that says what to run and what it means.
class KernelAccessibility : public Accessibility
{
public:
    // works answers whether recording and playback both work now; without an opener,
    // helppage::openInBrowser() shows the page.
    explicit KernelAccessibility(std::function<bool()> works, helppage::UrlOpener openUrl = {});

    bool isInputAccessGranted() override { return m_works(); }
    void requestInputAccess() override;

private:
    std::function<bool()> m_works;
    helppage::UrlOpener m_openUrl;
};

} // namespace loopwren

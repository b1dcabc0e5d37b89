#include "x11backend.h"

#include "ewmhclient.h"
#include "nullplatform.h"
#include "sessiontype.h"
#include "x11accessibility.h"
#include "x11connection.h"
#include "x11hotkeyservice.h"
#include "x11inputmonitor.h"
#include "x11inputposterfactory.h"
#include "x11sessionwatch.h"
#include "x11userinputwatch.h"
#include "x11windoweffects.h"
#include "x11workspace.h"

namespace loopwren {

std::unique_ptr<X11Backend> X11Backend::open(const std::string& displayName)
{
    if (!X11Connection::open(displayName))
        return nullptr;
    return std::unique_ptr<X11Backend>(new X11Backend(displayName));
}

X11Backend::X11Backend(std::string displayName)
    : m_displayName(std::move(displayName)), m_watch(std::make_unique<X11SessionWatch>(m_displayName))
{
    connect(m_watch.get(), &X11SessionWatch::lost, this, [this] {
        emit sessionLost(QStringLiteral("the connection to the X display %1").arg(m_watch->displayName()));
    });
}

X11Backend::~X11Backend() = default;

Backend::Abilities X11Backend::abilities()
{
    // Everything or nothing: an X11 session whose server offers XTEST and RECORD.
    const bool usable = X11Accessibility(m_displayName).isInputAccessGranted();
    const QString problem =
        usable ? QString() : QStringLiteral("the X server offers no XTEST or RECORD extension");
    // Windows are listed and placed by the window manager, or directly without one: the display is all
    // that takes.
    return {usable, usable, usable, usable, true, problem, problem, problem, QString()};
}

std::vector<SessionCheck> X11Backend::checks()
{
    const QString display =
        QString::fromStdString(m_displayName.empty() ? qgetenv("DISPLAY").toStdString() : m_displayName);
    SessionCheck server{SessionCheck::Verdict::fine, QStringLiteral("X display %1").arg(display),
                        QStringLiteral("opens, with XTEST and RECORD"), QString()};
    if (const QStringList missing = X11Accessibility(m_displayName).missingExtensions(); !missing.isEmpty()) {
        server.verdict = SessionCheck::Verdict::lacking;
        server.finding = QStringLiteral("opens, without %1").arg(missing.join(QStringLiteral(" and ")));
        server.remedy = QStringLiteral("enable the extension in a file in /etc/X11/xorg.conf.d/ (Section "
                                       "\"Extensions\") and log in again");
    }
    if (sessiontype::isWayland()) {
        // Xwayland: its server answers, but sees and reaches only the X applications.
        server.verdict = SessionCheck::Verdict::note;
        server.finding = QStringLiteral(
            "opens, but in a Wayland session it is Xwayland, which reaches only X applications");
        server.remedy.clear();
    }
    // What the kernel path needs the desktop's own services for, the X server offers by itself.
    bool windowManager = false;
    if (const auto connection = X11Connection::open(m_displayName))
        windowManager = EwmhClient(connection->display()).hasWindowManager();
    SessionCheck services{SessionCheck::Verdict::fine, QStringLiteral("desktop services"),
                          QStringLiteral("the X server: windows listed and placed (%1), pointer positions")
                              .arg(windowManager ? QStringLiteral("through the window manager")
                                                 : QStringLiteral("directly: no window manager answers")),
                          QString()};
    if (sessiontype::isWayland())
        return {server};
    return {server, services};
}

PlatformServices X11Backend::provide(const FrontEndHooks& hooks)
{
    PlatformServices services;
    services.input = std::make_unique<X11InputMonitor>(m_displayName);
    services.posters = std::make_unique<X11InputPosterFactory>(m_displayName);
    if (hooks.hotkeys)
        services.hotkeys = std::make_unique<X11HotkeyService>(m_displayName);
    else
        services.hotkeys = std::make_unique<NullHotkeyService>();
    services.accessibility = std::make_unique<X11Accessibility>(m_displayName, hooks.openUrl);
    services.userInput = std::make_unique<X11UserInputWatch>(m_displayName);
    services.workspace = std::make_unique<X11Workspace>(m_displayName);
    return services;
}

WindowEffects X11Backend::windowEffects()
{
    WindowEffects effects;
    const std::string display = m_displayName;
    effects.isCompositing = [display] { return X11WindowEffects::isCompositing(display); };
    effects.requestBlurBehind = [display](QWindow& window) {
        X11WindowEffects::requestBlurBehind(window.winId(), display);
    };
    effects.rendersInSoftware = [display] { return X11WindowEffects::lacksDirectRendering(display); };
    return effects;
}

} // namespace loopwren

#pragma once

#include "backend.h"

#include <memory>
#include <string>

namespace loopwren {

class X11SessionWatch;

// The X11 session: RECORD watches the input, XTEST replays it, key grabs make the hotkeys and EWMH
// places windows. Everything else of the X11 layer stays inside it.
class X11Backend : public Backend
{
    Q_OBJECT

public:
    // nullptr when the display cannot be opened (in a Wayland session without Xwayland, for one). An
    // empty display name means $DISPLAY. Call it on the main thread once the Qt application object
    // exists: the hotkeys, the input capture and the session watch deliver on its event loop.
    static std::unique_ptr<X11Backend> open(const std::string& displayName = {});
    ~X11Backend() override;

    QString name() const override { return QStringLiteral("x11"); }
    Abilities abilities() override;
    std::vector<SessionCheck> checks() override;
    PlatformServices provide(const FrontEndHooks& hooks) override;
    WindowEffects windowEffects() override;

private:
    explicit X11Backend(std::string displayName);

    std::string m_displayName;
    std::unique_ptr<X11SessionWatch> m_watch;
};

} // namespace loopwren

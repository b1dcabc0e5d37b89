#pragma once

#include "clickcounter.h"
#include "inputdelivery.h"
#include "inputmonitor.h"

#include <memory>
#include <string>

namespace loopwren {

class X11RecordSession;

// Watches the user's input through the RECORD extension. Construct, use and destroy it on the Qt main
// thread: handlers run there, from the event loop.
//
// RECORD sees the input of every client, this application's windows included. The capture runs while
// anything is watched. Its thread stamps each input as it is read and hands batches over to the main
// thread through an InputDelivery.
class X11InputMonitor : public InputMonitor
{
public:
    // An empty display name means $DISPLAY. The double-click rules come from QStyleHints when a
    // QGuiApplication exists, else from ClickSettings' defaults.
    explicit X11InputMonitor(std::string displayName = {});
    X11InputMonitor(std::string displayName, ClickSettings clicks);
    ~X11InputMonitor() override;
    X11InputMonitor(const X11InputMonitor&) = delete;
    X11InputMonitor& operator=(const X11InputMonitor&) = delete;

    std::optional<Token> watch(InputKinds kinds, Handler handler) override;
    void stopWatching(Token token) override;
    void finishWatching(Token token) override;

private:
    bool ensureCapture();
    void stopCapture();

    std::string m_displayName;
    ClickSettings m_clicks;
    InputDelivery m_delivery;
    std::unique_ptr<X11RecordSession> m_session; // last: stopped before the rest goes
};

} // namespace loopwren

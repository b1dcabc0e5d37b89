#pragma once

#include <QString>

struct org_kde_kwin_fake_input;
struct wl_display;
struct wl_registry;

// Moves KWin's pointer through KWin's fake-input Wayland protocol (org_kde_kwin_fake_input), the way
// KDE Connect's remote input does: KWin's own means, so its pointer moves as it would under a mouse.
class KWinFakePointer
{
public:
    // Connects to the display named in the runtime folder; isConnected() says whether KWin offered
    // the protocol.
    KWinFakePointer(const QString& runtimeFolder, const QString& display);
    ~KWinFakePointer();

    KWinFakePointer(const KWinFakePointer&) = delete;
    KWinFakePointer& operator=(const KWinFakePointer&) = delete;

    bool isConnected() const { return m_input != nullptr; }
    // Moves the pointer to (x, y) in KWin's logical coordinates; returns once KWin has handled it.
    bool moveTo(double x, double y);

private:
    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    org_kde_kwin_fake_input* m_input = nullptr;
};

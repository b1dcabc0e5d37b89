#pragma once

#include "hotkeyservice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <map>
#include <memory>
#include <set>

namespace loopwren {

class PortalRequest;
struct PortalShortcut;

// The hotkeys as shortcuts of the desktop's GlobalShortcuts portal (KDE Plasma, GNOME): the desktop
// grabs the keys, so they reach no other application, and it has the last word on which keys they
// are. Each hotkey is one shortcut, under its role's id; the combinations the user captured go to it as
// preferred triggers; the triggers it actually chose are reported through desktopTrigger. The portal binds a
// session's shortcuts only once, so a changed combination gets a session of its own; the bindings of one
// main-loop step go out together.
//
// Where the portal refuses (the user declines, it fails), every hotkey moves to the fallback service
// for the rest of the run, and so do the ones bound later.
class PortalHotkeyService : public QObject, public HotkeyService
{
    Q_OBJECT

public:
    // The version of the GlobalShortcuts portal the bus offers; nullopt where it offers none.
    static std::optional<uint> offeredVersion(const QDBusConnection& bus);

    PortalHotkeyService(QDBusConnection bus, std::unique_ptr<HotkeyService> fallback);
    ~PortalHotkeyService() override;

    ServiceResult bind(const HotkeyRole& role, const Hotkey& hotkey, Pressed pressed,
                       Binding& binding) override;
    void unbind(Binding binding) override;
    // The desktop's shortcuts cannot keep keys from windows either: the fallback answers.
    bool canHoldKeyboard() const override { return m_fallback->canHoldKeyboard(); }
    ServiceResult holdKeyboard() override { return m_fallback->holdKeyboard(); }
    void releaseKeyboard() override { m_fallback->releaseKeyboard(); }
    std::optional<QString> desktopTrigger(const QString& id) const override;
    std::vector<std::uint16_t> desktopTriggerKeys() const override;
    void watchDesktopTriggers(std::function<void()> changed) override
    {
        m_triggersChanged = std::move(changed);
    }

    // Whether the portal refused and the fallback serves the hotkeys.
    bool fellBack() const { return m_fellBack; }

private slots:
    void activated(const QDBusMessage& message);
    void deactivated(const QDBusMessage& message);
    void shortcutsChanged(const QDBusMessage& message);

private:
    struct Bound
    {
        HotkeyRole role;
        Hotkey hotkey;
        Pressed pressed;
        std::optional<Binding> onFallback;
    };
    // What the desktop is asked to bind for one shortcut id.
    struct Wanted
    {
        QString description;
        std::optional<QString> preferred;
        bool operator==(const Wanted&) const = default;
    };
    using Shortcuts = std::map<QString, Wanted>;

    Shortcuts wanted() const;
    void queueSync();
    void sync();
    void createSession();
    void bindShortcuts();
    void fallBack(const QString& why);
    void closeSession();
    void retireRequest();
    void takeTriggers(const QList<PortalShortcut>& shortcuts);
    bool fromOurSession(const QDBusMessage& message) const;
    void notifyTriggers();

    QDBusConnection m_bus;
    std::unique_ptr<HotkeyService> m_fallback;
    std::map<Binding, Bound> m_bindings;
    Binding m_next = 1;
    bool m_fellBack = false;
    bool m_syncQueued = false;
    std::unique_ptr<PortalRequest> m_request;
    QString m_session;
    // The shortcuts the current session was bound (or is being bound) with, by id.
    Shortcuts m_sent;
    // What the desktop says triggers each shortcut.
    std::map<QString, QString> m_triggers;
    // Shortcuts held down, once the desktop has shown that it reports releases.
    std::set<QString> m_held;
    bool m_reportsReleases = false;
    std::function<void()> m_triggersChanged;
};

} // namespace loopwren
